#!/usr/bin/env bash
# Builds every configuration and runs every test: the Linux build (unit, conformance and scenario tests),
# the same tests under AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz targets over their seed
# corpora, the Windows builds with the check that their programs run on a bare Windows 95, the product's
# unit tests under Valgrind's memcheck, the conformance tests of the x86_64 Windows build under Wine set
# to report Windows 95 (with a virtual display for their windows), and the scenarios of the loader, the
# wizard, the copy and whole installations played against the real x86_64 programs under Wine.
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
fuzz_corpora() {
    local status=0
    for target in build/fuzz/tests/*_fuzz; do
        local name corpus
        name=$(basename "$target")
        corpus=tests/fuzz/corpus/${name%_fuzz}
        [ -d "$corpus" ] || corpus=tests/fuzz/corpus/$name
        [ -d "$corpus" ] || continue
        "$target" -runs=0 "$corpus" >/dev/null 2>&1 || { echo "fuzz target $name fails on its corpus"; status=1; }
    done
    return $status
}
# The product's unit tests under memcheck, which sees the reads of uninitialised memory that ASan does not.
memcheck_unit_tests() {
    local status=0 started=$SECONDS
    for program in build/linux/tests/tnsetup_tests build/linux/tests/loader_tests; do
        valgrind -q --error-exitcode=99 --track-origins=yes "$program" --gtest_brief=1 >/dev/null ||
            { echo "$(basename "$program") fails under memcheck"; status=1; }
    done
    echo "memcheck: $((SECONDS - started)) s"
    return $status
}
step "build linux" build linux
step "tests linux" ctest --preset linux -j "$jobs"
step "unit tests under memcheck" memcheck_unit_tests
step "build asan" build asan
step "tests asan" ctest --preset asan -j "$jobs"
step "build fuzz" build fuzz
step "fuzz targets over their corpora" fuzz_corpora
step "build win64" build win64
step "build win32" build win32
step "Windows programs (win32): imports, exports, headers, 386 code" bash scripts/check-windows-programs.sh build/win32
step "Windows programs (win64): imports, exports, headers" bash scripts/check-windows-programs.sh build/win64
step "conformance under Wine" xvfb-run -a scripts/wine.sh build/win64/tests/conformance_tests.exe
step "scenarios under Wine" bash scripts/wine-scenarios.sh
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
