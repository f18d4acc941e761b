#!/usr/bin/env bash
# Installs what is missing, builds, writes the sample programs and starts the
# camera emulator with some of them already in the camera: the "embedded
# default" camera the uploader is run against.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build/normal -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
ninja -C build/normal

demo=build/demo
programs=$demo/programs
link=$demo/camera
mkdir -p "$demo"
build/normal/emulator/make-sample-programs --list "$programs"

echo
echo "Starting the camera emulator on $link (the uploader's serial port):"
echo "  - the camera holds CLOCK.FNC, FRAMES.FNC and FRAMEA.ATC;"
echo "  - $programs holds the sample programs to upload;"
echo "  - every packet is logged to $demo/wire.log;"
echo "  - on exit the camera's programs are written to $demo/camera-after."
echo "The uploader will be opened against this link by a later change; until"
echo "then any program can use it as a serial port (settings file QUIVRAN.INI,"
echo "[Ports] COM1=$PWD/$link). Stop with Ctrl+C."
echo
exec build/normal/emulator/camera-emulator --link "$link" \
    --program "$programs/CLOCK.FNC" \
    --program "$programs/FRAMES.FNC" \
    --program "$programs/FRAMEA.ATC" \
    --wire-log "$demo/wire.log" \
    --dump "$demo/camera-after"
