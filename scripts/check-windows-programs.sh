#!/usr/bin/env bash
# Checks the built Windows programs of one build (build/win32 or build/win64) for what a bare Windows 95 of
# the first release needs of them:
#   - every imported function is on the list in docs/windows-imports.md (functions Windows 95 exports);
#   - the window, dialog and DDE procedures are exported under their plain names, and nothing else is;
#   - the PE header asks for a Windows GUI subsystem and OS version 4.0 (and subsystem 4.0 on i686);
#   - on i686, the code holds no instruction that a 386 lacks.
# Usage: scripts/check-windows-programs.sh BUILD_DIR. Prints each fault, naming it; exits 1 on any.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: check-windows-programs.sh BUILD_DIR}
faults=0
fault() { echo "$*"; faults=$((faults + 1)); }

# The procedures the programs export by name, as each program's sources define them.
exported_procedures="CopySetupWndProc SetupWndProc WelcomeDlgProc SetupDirDlgProc DriveDirDlgProc
    SetupOptionsDlgProc LanguageLayoutProc FontsDlgProc SourceDirDlgProc MessageDlgProc ExitDlgProc
    ProgmanDdeCallback"

# "DLL Function" for every function on the list of allowed imports.
allowed=$(awk -F'|' 'NF >= 4 && $2 ~ /^ *[A-Z0-9]+ *$/ && $3 ~ /^ *`/ {
        dll = $2; fn = $3; gsub(/[ `]/, "", dll); gsub(/[ `]/, "", fn); print dll, fn }' \
    "$here/docs/windows-imports.md")

# "DLL Function" for every function a program imports.
imports_of() {
    "$objdump" -p "$1" | awk '/DLL Name:/ { dll = toupper($3); sub(/\.DLL$/, "", dll) }
        /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ && dll { print dll, $NF }'
}

check_imports() { # program
    local program=$1 name
    name=$(basename "$program")
    while read -r dll fn; do
        grep -qx "$dll $fn" <<<"$allowed" ||
            fault "$name imports $dll!$fn, which is not on the list of docs/windows-imports.md"
    done < <(imports_of "$program")
}

check_exports() { # program source-folder
    local program=$1 sources=$2 name exported defined proc
    name=$(basename "$program")
    exported=$("$objdump" -p "$program" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
        awk '/^\t\[/ { print $NF }')
    defined=$(for proc in $exported_procedures; do
        grep -rqE "CALLBACK +$proc *\(" --include='*.cpp' "$here/$sources" && echo "$proc"
    done)
    for proc in $defined; do
        grep -qx "$proc" <<<"$exported" ||
            fault "$name does not export $proc: declare it EXPORTED (platform/win32.h)"
    done
    for proc in $exported; do
        grep -qx "$proc" <<<"$defined" || fault "$name exports $proc, which is not one of its named procedures"
    done
}

check_header() { # program
    local program=$1 name header
    name=$(basename "$program")
    header=$("$objdump" -p "$program")
    field() { awk -v f="$1" '$1 == f { print $2 }' <<<"$header"; }
    [ "$(field Subsystem)" = 00000002 ] || fault "$name is not a Windows GUI program"
    [ "$(field MajorOSystemVersion).$(field MinorOSystemVersion)" = 4.0 ] ||
        fault "$name asks for OS version $(field MajorOSystemVersion).$(field MinorOSystemVersion), not 4.0"
    if [ "$arch" = i686 ]; then
        [ "$(field MajorSubsystemVersion).$(field MinorSubsystemVersion)" = 4.0 ] ||
            fault "$name asks for subsystem $(field MajorSubsystemVersion).$(field MinorSubsystemVersion), not 4.0"
    fi
}

# Instructions of later processors: the Pentium's (cmpxchg8b, rdtsc, rdmsr, ...), the 486's (bswap,
# cmpxchg, xadd, invd, ...), the Pentium Pro's (cmov, fcomi, long nops, ud2, ...), MMX and SSE.
later_mnemonics='^(cmov|fcmov|f(u)?comip?$|bswap|cmpxchg|xadd|cpuid|rdtsc|rdmsr|wrmsr|rdpmc|invd|wbinvd|invlpg|rsm|sysenter|sysexit|nop[lwq]|ud2|endbr|emms|femms|fisttp|fxsave|fxrstor|[lsm]fence|clflush|prefetch|movnti|ldmxcsr|stmxcsr|popcnt|lzcnt|tzcnt|movbe|crc32)'

check_386() { # program
    local program=$1 name
    name=$(basename "$program")
    while read -r mnemonic count address; do
        fault "$name holds $mnemonic, which a 386 lacks ($count times, first at $address)"
    done < <("$objdump" -d --no-show-raw-insn "$program" | awk -F'\t' -v later="$later_mnemonics" '
        NF >= 2 && $1 ~ /^ *[0-9a-f]+:$/ {
            n = split($2, word, / +/); m = 1
            while (m < n && word[m] ~ /^(lock|rep|repz|repnz|repe|repne|data16|addr16|addr32|cs|ds|es|fs|gs|ss)$/) m++
            op = word[m]
            if (op ~ later || $2 ~ /%[xyz]?mm[0-9]/) {
                if (!(op in count)) { first[op] = $1; order[++kinds] = op }
                count[op]++
            }
        }
        END { for (i = 1; i <= kinds; i++) { a = first[order[i]]; sub(/^ */, "", a); sub(/:$/, "", a)
              print order[i], count[order[i]], "0x" a } }')
}

case $(basename "$build") in
win32) arch=i686 ;;
win64) arch=x86_64 ;;
*) echo "check-windows-programs.sh: $build is neither a win32 nor a win64 build" >&2; exit 2 ;;
esac
objdump=$arch-w64-mingw32-objdump
checked=0
for entry in loader/setup.exe:loader setup/tnsetup.exe:setup; do
    program=$build/${entry%%:*}
    [ -f "$program" ] || { fault "$program is missing: build the $(basename "$build") preset first"; continue; }
    check_imports "$program"
    check_exports "$program" "${entry##*:}"
    check_header "$program"
    [ "$arch" = i686 ] && check_386 "$program"
    checked=$((checked + 1))
done
[ $faults -eq 0 ] && echo "$checked programs of $build import, export and run as Windows 95 needs"
[ $faults -eq 0 ]
