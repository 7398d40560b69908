#!/usr/bin/env bash
# The main job: builds the programs and the simulator, makes a fresh simulated Windows 95 machine and
# shows what it holds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" >/dev/null
machine=${1:-build/demo-machine}
rm -rf "$machine"
build/linux/tools/win95sim/win95sim new "$machine"
build/linux/tools/win95sim/win95sim show "$machine"
