#!/usr/bin/env bash
# Draws the desktop program on a real X display (a private Xvfb with
# openbox, against camera-emulator) into build/screenshots/: the main window
# with a long name scrolled sideways in both lists, and the wrapped message
# box of a second copy of the program, centred on the screen.
set -euo pipefail
cd "$(dirname "$0")/.."
export BUILD_DIR=$PWD/build/normal
[ -f "$BUILD_DIR/build.ninja" ] || cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
ninja -C "$BUILD_DIR" oskel-uploader camera-emulator oskel-x-check
out=$PWD/build/screenshots
mkdir -p "$out"
source tests/desktop/desktop-lib.sh

start_display
long="A display name of forty characters long!"
make_program "$WORK/programs/LONG.FNC" "$long"
make_program "$WORK/programs/CLOCK.FNC" "World Clock"
make_program "$WORK/LONGCAM.FNC" "$long"
start_camera --program "$WORK/LONGCAM.FNC"
write_settings
start_uploader
read -r fx fy fw fh <<<"$(frame_of "$MAIN")"
for at in "24 164" "358 164"; do   # the folder list, then the camera list
  read -r lx ly <<<"$at"
  xdotool mousemove $((fx + lx + 80)) $((fy + ly + 10)) click --repeat 4 --delay 50 7
done
xdotool mousemove 0 0
sleep 0.5
grab_area "$fx" "$fy" "$fw" "$fh" "$out/desktop-main-long-name-scrolled.png"

"$UPLOADER" >"$WORK/second.log" 2>&1 &
PIDS+=($!)
find_window "$TITLE" 50 $! >/dev/null || fail "the second copy showed no message box"
sleep 0.5
grab_screen "$out/desktop-wrapped-message-box.png"
echo "wrote $out/desktop-main-long-name-scrolled.png and $out/desktop-wrapped-message-box.png"
