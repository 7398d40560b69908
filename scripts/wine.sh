#!/usr/bin/env bash
# Runs a Windows program of the win64 build under Wine, in a prefix of the build tree set to report
# Windows 95. Usage: scripts/wine.sh PROGRAM.exe [ARGS...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
[ -x "$wine" ] || { echo "wine.sh: wine64 is not installed (scripts/install-deps.sh installs it)" >&2; exit 1; }
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/.win95" ]; then
    mkdir -p "$WINEPREFIX"
    "$wine" wineboot -i >/dev/null 2>&1 || true
    "$wine" reg add 'HKCU\Software\Wine' /v Version /d win95 /f >/dev/null 2>&1
    /usr/lib/wine/wineserver -w 2>/dev/null || wineserver -w 2>/dev/null || true
    touch "$WINEPREFIX/.win95"
fi
if [ ! -f "$WINEPREFIX/.fonts" ]; then
    "$here/scripts/wine-fonts.sh" "$WINEPREFIX"
    touch "$WINEPREFIX/.fonts"
fi
exec "$wine" "$@"
