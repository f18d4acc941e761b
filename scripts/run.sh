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

cli=build/normal/frontends/cli/oskel-uploader-cli
config=$PWD/$demo/config   # the demo's own QUIVRAN.INI, not yours

rm -f "$link"   # a link left by a killed run may point at another terminal now
build/normal/emulator/camera-emulator --link "$link" \
    --program "$programs/CLOCK.FNC" \
    --program "$programs/FRAMES.FNC" \
    --program "$programs/FRAMEA.ATC" \
    --wire-log "$demo/wire.log" \
    --dump "$demo/camera-after" &
emulator=$!
trap 'kill -INT $emulator 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -e "$link" ] && break; sleep 0.05; done

echo
echo "The camera emulator serves a camera on $link, holding CLOCK.FNC,"
echo "FRAMES.FNC and FRAMEA.ATC; $programs holds the sample programs."
echo "The uploader's command line finds it, climbs to the top speed and reads"
echo "its identity (settings in $config/QUIVRAN.INI):"
echo
XDG_CONFIG_HOME=$config "$cli" --device "$link" probe
XDG_CONFIG_HOME=$config "$cli" --device "$link" about
echo
echo "The emulator keeps running: every packet is logged to $demo/wire.log,"
echo "and on exit the camera's programs are written to $demo/camera-after."
echo "Try: XDG_CONFIG_HOME=$config $cli --device $link about"
echo "Stop with Ctrl+C."
trap - EXIT
wait $emulator
