#!/usr/bin/env bash
# Puts the bitmap fonts of the fonts-wine package into a Wine prefix's fonts folder: this Wine looks for
# them only there, and without them draws every dialog in a TrueType font of the host instead of "MS Sans
# Serif" and the System font. Usage: scripts/wine-fonts.sh PREFIX
set -euo pipefail
fonts="$1/drive_c/windows/Fonts"
[ -d /usr/share/wine/fonts ] || { echo "wine-fonts: fonts-wine is not installed" >&2; exit 1; }
mkdir -p "$fonts"
cp /usr/share/wine/fonts/*.fon "$fonts/"
