#!/usr/bin/env bash
# Builds every configuration and runs every test: the Linux build, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, the Windows builds, and the conformance tests of the
# x86_64 Windows build under Wine set to report Windows 95.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh || exit 1
jobs=$(nproc)
failed=0
passed=0
step() { # name, command...
    local name=$1; shift
    echo "== $name"
    if "$@"; then passed=$((passed + 1)); else echo "== $name FAILED"; failed=$((failed + 1)); fi
}
build() { cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$jobs"; }
step "build linux" build linux
step "tests linux" ctest --preset linux -j "$jobs"
step "build asan" build asan
step "tests asan" ctest --preset asan -j "$jobs"
step "build win64" build win64
step "build win32" build win32
step "conformance under Wine" scripts/wine.sh build/win64/tests/conformance_tests.exe
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
