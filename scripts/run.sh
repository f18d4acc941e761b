#!/usr/bin/env bash
# Installs what is missing, builds, writes the sample programs and starts the
# camera emulator with some of them already in the camera: the "embedded
# default" camera the uploader is run against. On a desktop it opens the
# uploader's window on that camera and stops the emulator when the window
# closes; without a display it runs the command line against it.
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

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  # The window's own settings: COM1 is the emulator's link and the folder
  # holds the sample programs. Kept between runs (the window's position).
  gui_config=$PWD/$demo/gui-config
  if [ ! -e "$gui_config/QUIVRAN.INI" ]; then
    mkdir -p "$gui_config"
    printf '[Ports]\nCOM1=%s\n\n[UploadDialog]\nOPFFolder=%s/\n' "$PWD/$link" "$PWD/$programs" \
      >"$gui_config/QUIVRAN.INI"
  fi
  echo
  echo "The camera emulator serves a camera on $link, holding CLOCK.FNC,"
  echo "FRAMES.FNC and FRAMEA.ATC; the uploader's window shows it beside the"
  echo "sample programs in $programs (settings in $gui_config/QUIVRAN.INI)."
  echo "Closing the window stops the emulator; the camera's programs are then"
  echo "written to $demo/camera-after."
  XDG_CONFIG_HOME=$gui_config build/normal/frontends/qt/oskel-uploader || true
  trap - EXIT
  kill -INT $emulator 2>/dev/null || true
  wait $emulator || true
  exit 0
fi

echo
echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): the window"
echo "cannot open, so the command line runs against the emulator instead."
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
