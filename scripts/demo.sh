#!/usr/bin/env bash
# The main job: builds the programs, the simulator and the sample distribution, makes a fresh simulated
# Windows 95 machine with the distribution's disks in drive A:, runs A:\SETUP.EXE and the main
# setup as far as it goes, and shows what the machine holds afterwards.
#
#   scripts/demo.sh [--interactive] [MACHINE_DIR]
#
# By default an agent gives every dialog its default answer; with --interactive you answer the dialogs
# in the terminal.
set -euo pipefail
cd "$(dirname "$0")/.."
agent=defaults
if [ "${1:-}" = "--interactive" ]; then
    agent=interactive
    shift
fi
machine=${1:-build/demo-machine}
bash scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target setup tnsetup win95sim_tool distribution >/dev/null
win95sim=build/linux/bin/win95sim
rm -rf "$machine"
"$win95sim" new "$machine"
# Both disks go into drive A: (the folder of the default machine's floppy drive), as on one large disk: the
# defaults agent cannot change disks, and would answer the prompt for disk 2 with the same drive forever.
cp -r build/linux/distribution/disk1/. "$machine/A/"
cp -r build/linux/distribution/disk2/. "$machine/A/"
echo "Drive A: holds disks 1 and 2 of the sample distribution:"
ls "$machine/A"
echo
echo "Running A:\\SETUP.EXE with the $agent agent..."
"$win95sim" run "$machine" --agent "$agent" -- 'A:\SETUP.EXE' || echo "(the run ended with code $?)"
echo
"$win95sim" show "$machine"
