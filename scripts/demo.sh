#!/usr/bin/env bash
# The main job: builds the programs, the simulator and the sample distribution, makes a fresh simulated
# Windows 95 machine with the distribution's first disk in drive A:, runs A:\SETUP.EXE and the main setup
# from the Welcome dialog to the exit choice, and shows in short what the installation changed.
#
#   scripts/demo.sh [--interactive] [MACHINE_DIR]
#
# By default an agent gives every dialog its default answer, puts disk 2 into drive A: when the setup asks
# for it, and saves screenshots of the setup window with the progress window (behind the request for disk
# 2) and of the exit dialog into build/demo-screens/. With --interactive you answer the dialogs in the
# terminal; both disks are then in drive A: from the start.
set -euo pipefail
cd "$(dirname "$0")/.."
agent=defaults
if [ "${1:-}" = "--interactive" ]; then
    agent=interactive
    shift
fi
machine=${1:-build/demo-machine}
screens=build/demo-screens
dist=build/linux/distribution
bash scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target setup tnsetup win95sim_tool distribution >/dev/null
win95sim=build/linux/bin/win95sim
rm -rf "$machine" "$screens"
mkdir -p "$screens"
"$win95sim" new "$machine"
# Disk 1 goes into drive A: (the folder of the default machine's floppy drive).
cp -r "$dist/disk1/." "$machine/A/"
hooks=()
if [ "$agent" = defaults ]; then
    hooks=(--on INSERTDISK "screenshot $screens/progress.png" --on INSERTDISK "disk A: $dist/disk2"
           --on EXITSETUP "screenshot $screens/exit-dialog.png"
           --on EXITSETUP3 "screenshot $screens/exit-dialog.png")
else
    cp -r "$dist/disk2/." "$machine/A/"
fi
echo "Drive A: holds disk 1 of the sample distribution:"
ls "$machine/A"
echo
echo "Running A:\\SETUP.EXE with the $agent agent..."
"$win95sim" run "$machine" --agent "$agent" "${hooks[@]}" -- 'A:\SETUP.EXE' || echo "(the run ended with code $?)"
echo
"$win95sim" show --summary "$machine"
echo
echo "The whole machine: $win95sim show $machine"
if [ "$agent" = defaults ]; then
    echo "Screenshots: $screens/progress.png (copying, disk 2 asked for), $screens/exit-dialog.png"
fi
