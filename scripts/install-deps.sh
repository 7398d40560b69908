#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on Debian 12 (as root). Safe to run again: it
# asks apt only for the packages that are missing.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev googletest libbenchmark-dev libpng-dev
          mingw-w64 wine64 xvfb xauth mscompress libmspack-dev fonts-dejavu-core fonts-wine clang libclang-rt-14-dev clang-format
          valgrind)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
