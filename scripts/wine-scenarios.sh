#!/usr/bin/env bash
# Plays the scenarios of the loader and the main setup against the real x86_64 programs under Wine set to
# Windows 95 (docs/wine.md): a fresh prefix, Xvfb with Wine's desktop shell in a 640 x 480 virtual desktop
# (it also answers Program Manager's DDE), the Windows distribution on drive A:, and windriver.exe.
# Needs the win64 build (setup.exe, tnsetup.exe, windriver.exe, execlog.exe) and the linux build (mkdist,
# win95sim). Usage: scripts/wine-scenarios.sh [SCENARIO...]
# (default: every scenario of the loader, the main setup, the copy and whole installations)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
win=$here/build/win64
stage=$here/build/wine-scenarios
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
server=$(command -v wineserver || true)
[ -n "$server" ] || server=/usr/lib/wine/wineserver
for f in "$win/loader/setup.exe" "$win/setup/tnsetup.exe" "$win/tools/windriver/windriver.exe" \
         "$win/tools/windriver/execlog.exe" "$here/build/linux/bin/mkdist" "$here/build/linux/bin/win95sim"; do
    [ -f "$f" ] || { echo "wine-scenarios: $f is missing (build the linux and win64 presets)" >&2; exit 1; }
done

if [ $# -gt 0 ]; then scenarios=("$@"); else
    mapfile -t scenarios < <(find "$here/tests/scenarios/loader" "$here/tests/scenarios/tnsetup" \
                                  "$here/tests/scenarios/copy" "$here/tests/scenarios/config" -name '*.scn' \
                             -not -path '*/fail/*' | sort)
fi

rm -rf "$stage"
mkdir -p "$stage/programs" "$stage/A"
cp "$win/loader/setup.exe" "$win/setup/tnsetup.exe" "$win/tools/windriver/execlog.exe" "$stage/programs/"
"$here/build/linux/bin/mkdist" "$here/examples/distribution" "$stage/distribution" --windows "$stage/programs"

export WINEPREFIX=$stage/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$wine" wineboot -i >/dev/null 2>&1 || true
"$here/scripts/wine-fonts.sh" "$WINEPREFIX"
# Windows 95, one virtual desktop of the simulator's screen size, and drive A: a floppy drive.
"$wine" reg add 'HKCU\Software\Wine' /v Version /d win95 /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 640x480 /f >/dev/null 2>&1
"$wine" reg add 'HKLM\Software\Wine\Drives' /v 'a:' /d floppy /f >/dev/null 2>&1
# Windows 95 reads every section of WIN.INI from the file; Wine maps some ([intl], [windows], ...) to the
# registry.
"$wine" reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\IniFileMapping\win.ini' /f >/dev/null 2>&1
# Windows 95's colours and its fonts of captions and message boxes.
"$wine" regedit /S "$(echo "Z:$here/scripts/wine-win95-look.reg" | tr / '\\')" >/dev/null 2>&1
"$server" -w
ln -sfn "$stage/A" "$WINEPREFIX/dosdevices/a:"

# The Windows files of the simulator's default machine, so that both start from the same configuration:
# WIN.INI and SYSTEM.INI, CONTROL.INF and SETUP.INF, and (by windriver) its registry values.
"$here/build/linux/bin/win95sim" new "$stage/machine" >/dev/null
windows=$WINEPREFIX/drive_c/windows
cp "$stage/machine/C/WINDOWS/WIN.INI" "$windows/win.ini"
cp "$stage/machine/C/WINDOWS/SYSTEM.INI" "$windows/system.ini"
cp "$stage/machine/C/WINDOWS/SYSTEM/CONTROL.INF" "$stage/machine/C/WINDOWS/SYSTEM/SETUP.INF" "$windows/system32/"

z() { echo "Z:${1//\//\\}"; }
args=(${WINDRIVER_ARGS:-} --programs "$(z "$stage/programs")" --dist "$(z "$stage/distribution")"
      --registry "$(z "$stage/machine/registry.reg")")
for s in "${scenarios[@]}"; do args+=("$(z "$(cd "$(dirname "$s")" && pwd)/$(basename "$s")")"); done
cd "$stage"
start=$(date +%s)
status=0
xvfb-run -a -e "$stage/xvfb.log" -s "-screen 0 1024x768x24" "$wine" "$win/tools/windriver/windriver.exe" "${args[@]}" || status=$?
[ -n "${WINDRIVER_ARGS:-}" ] || "$server" -k 2>/dev/null || true
echo "wine scenarios: $(( $(date +%s) - start )) s"
exit $status
