#!/usr/bin/env bash
# Runs the link of a Windows program and, when it fails for want of a routine, says what that means: the
# programs have no C runtime, so every C routine they call must be written in platform/windows.
out=$("$@" 2>&1)
status=$?
[ -n "$out" ] && printf '%s\n' "$out" >&2
if [ $status -ne 0 ]; then
    missing=$(printf '%s\n' "$out" | sed -n "s/.*undefined reference to \`\([^']*\)'.*/\1/p" | sort -u)
    if [ -n "$missing" ]; then
        {
            echo
            echo "The Windows programs are linked without a C runtime, and nothing provides:"
            printf '    %s\n' $missing
            echo "A C library routine is added to platform/windows/c_routines.cpp (see docs/building-windows.md);"
            echo "C++ runtime support (exceptions, RTTI, operator new, guarded statics) is not available."
        } >&2
    fi
    if printf '%s\n' "$out" | grep -q "needs a static constructor"; then
        objdump=${1%-g++*}-objdump
        [[ "$objdump" == */* ]] || objdump=$(command -v "$objdump")
        echo "Objects with static constructors:" >&2
        for input in "$@"; do
            case $input in *.obj | *.o | *.a) ;; *) continue ;; esac
            "$objdump" -h "$input" 2>/dev/null | awk -v f="$input" '/file format/ {m=$1} / \.ctors/ {print "    " f " " m}' >&2
        done
    fi
fi
exit $status
