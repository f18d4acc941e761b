#!/usr/bin/env bash
# Redraws every picture of the manual into docs/images/: the desktop
# program's windows on the demo camera (the camera scripts/run.sh starts:
# the sample programs, three of them in the camera), drawn by the real
# program on a private X display with a window manager (Xvfb and openbox),
# the main window also at scale 2; and the layer picture of
# docs/development.md from docs/layers.dot (Graphviz). Every PNG is then
# quantised and optimised so that the pages stay light.
#
#   scripts/docs-images.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/docs/images
for tool in Xvfb openbox xdotool xwininfo xprop import dot pngquant optipng; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/setup.sh" >&2; exit 1; }
done
export BUILD_DIR=$root/build/normal
[ -f "$BUILD_DIR/build.ninja" ] || cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
ninja -C "$BUILD_DIR" oskel-uploader camera-emulator make-sample-programs
mkdir -p "$out"

# Pinned so that the pictures do not follow the caller's desktop.
unset WAYLAND_DISPLAY QT_SCALE_FACTOR QT_FONT_DPI QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 LANG=C.UTF-8
source tests/desktop/desktop-lib.sh
# Drawn here, and copied into docs/images/ only once all are drawn and made
# small: an interrupted redraw leaves the pictures as they were.
shots=$WORK/images
mkdir -p "$shots"
# Ended by a signal, the script still stops what it started.
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# Gives window $1 the focus and types the keys into it; never waits long
# for a window that cannot take the focus.
keys() {
  local id=$1; shift
  timeout 5 xdotool windowactivate --sync "$id" >/dev/null 2>&1 ||
    timeout 5 xdotool windowfocus --sync "$id" >/dev/null 2>&1 || true
  xdotool key --delay 80 "$@"
}

# Writes window $1 with its frame to docs/images/$2.png, after $3 seconds
# (default 0.6: painted, and framed by openbox).
shoot() {
  local x y w h
  sleep "${3:-0.6}"
  read -r x y w h <<<"$(frame_of "$1")"
  grab_area "$x" "$y" "$w" "$h" "$shots/$2.png"
  echo "drew docs/images/$2.png (${w}x$h)"
}

# The demo camera of scripts/run.sh, at a fixed 19200 bit/s so that the
# progress window stays up long enough to be drawn.
"$BUILD_DIR/emulator/make-sample-programs" "$WORK/programs" >/dev/null
start_camera --program "$WORK/programs/CLOCK.FNC" --program "$WORK/programs/FRAMES.FNC" \
  --program "$WORK/programs/FRAMEA.ATC"

# The program sees its folder as /home/ann/camera-programs: it runs in a
# mount namespace of its own with an empty /home, so that the pictures show
# neither a random temporary folder nor this machine's home folders, and
# stay the same from one redraw to the next.
home=/home/ann
programs=$home/camera-programs
if [ "$(id -u)" -eq 0 ]; then
  namespace="unshare --mount --propagation private"
else
  namespace="unshare --map-root-user --mount"
fi
$namespace true 2>/dev/null || fail "unshare cannot make a mount namespace here"
cat >"$WORK/uploader" <<EOF
#!/bin/sh
exec $namespace sh -c 'set -e
mount -t tmpfs -o mode=755 none /home
mkdir -p "$programs"
cp "$WORK"/programs/* "$programs/"
export HOME="$home"
cd "$home"
exec "$UPLOADER"'
EOF
chmod +x "$WORK/uploader"
UPLOADER=$WORK/uploader

# COM1 is the camera's link, or a port with nothing behind it.
settings() {
  printf '[Ports]\nCOM1=%s\n\n[Communication]\nMaxPort=1\nPort=0\nSpeed=19200\n\n' "$1"
  printf '[UploadDialog]\nOPFFolder=%s/\n' "$programs"
}
settings "$CAMERA_LINK" >"$INI"

start_display
start_uploader
# The folder list, sorted: Frame: Classic, Frame: Stamp, Self Timer Plus,
# Slide Show, Stamp: Hearts, World Clock. The camera list: World Clock,
# Frame: Classic (their host hidden).
keys "$MAIN" alt+f End Home Down Down
shoot "$MAIN" main-window

keys "$MAIN" F1
about=$(find_window "About OSKEL Program Uploader" 100) || fail "no About box"
sleep 1.5 # the camera's texts read
shoot "$about" about
keys "$about" Return
wait_for 50 sh -c "! xwininfo -id $about | grep -q IsViewable"

keys "$MAIN" alt+b
chooser=$(find_window "Choose Folder" 100) || fail "no folder chooser"
shoot "$chooser" folder-chooser
keys "$chooser" Escape
wait_for 50 sh -c "! xwininfo -id $chooser | grep -q IsViewable"

# World Clock is in the camera in the same version: the upload skips it.
keys "$MAIN" alt+f End alt+u
box=$(other_window "$TITLE" 100) || fail "no message box"
shoot "$box" message-box
keys "$box" Return
wait_for 50 sh -c "! xwininfo -id $box | grep -q IsViewable"

# Self Timer Plus (5000 bytes) takes a few seconds at 19200 bit/s.
keys "$MAIN" alt+f End Home Down Down alt+u
progress=$(other_window "Upload Programs" 100) || fail "no progress window"
shoot "$progress" progress 0.9
wait_for 200 sh -c "! xwininfo -id $progress | grep -q IsViewable"
sleep 1 # the camera list read again

keys "$MAIN" alt+a End Home alt+r
question=$(other_window "$TITLE" 100) || fail "no question before the erase"
shoot "$question" remove-question
keys "$question" Escape
wait_for 50 sh -c "! xwininfo -id $question | grep -q IsViewable" || keys "$question" alt+n

keys "$MAIN" alt+c
wait_uploader_end 100

# The main window on a screen at scale 2.
settings "$CAMERA_LINK" >"$INI"
QT_SCALE_FACTOR=2 start_uploader
keys "$MAIN" alt+f End Home Down Down
shoot "$MAIN" main-window-scale2
keys "$MAIN" alt+c
wait_uploader_end 100

# No camera behind the port: the camera-not-found window.
kill "$CAMERA_PID"
wait_for 50 sh -c "! test -e $CAMERA_LINK"
no_device=/dev/ttyUSB0   # where this machine has none
[ ! -e "$no_device" ] || no_device=$CAMERA_LINK
settings "$no_device" >"$INI"
launch_uploader
lost=$(find_window "Error: Camera Not Found!" 300) || fail "no camera-not-found window"
shoot "$lost" camera-not-found
keys "$lost" Escape
wait_uploader_end 100

dot -Tpng -Gdpi=96 docs/layers.dot -o "$shots/layers.png"
echo "drew docs/images/layers.png"

# 256 colours at most, then the smallest lossless encoding.
for png in "$shots"/*.png; do
  pngquant --force --skip-if-larger --strip --speed 1 --output "$png" -- "$png" || true
  optipng -quiet -strip all -o5 "$png"
done
cp "$shots"/*.png "$out/"
du -ch "$out"/*.png | tail -n1
