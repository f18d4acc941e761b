#!/usr/bin/env bash
# Draws the desktop program on a real X display (a private Xvfb with
# openbox, against camera-emulator) into build/screenshots/:
#   - the main window with a long name scrolled sideways in both lists, and
#     the wrapped message box of a second copy of the program, centred on
#     the screen;
#   - every window, with its frame, on three screens: 800x600 at scale 2,
#     1280x1024 at scale 1.5, and 1280x1024 with Qt's scaling off and a
#     144 dpi font (build/screenshots/<screen>/): the main window, About,
#     the folder chooser, the message of an unreadable folder, a Yes/No
#     question, the progress window during an upload, the box of a second
#     copy, and the camera-not-found window of a port where nothing answers.
#     Beside the pictures, windows.txt holds each window's size hints and
#     the actions the window manager allows on it.
#
#   scripts/screenshots-desktop.sh            all of the above
#   scripts/screenshots-desktop.sh SCREEN     one screen: scale2-800x600,
#                                             scale1.5-1280x1024 or
#                                             font144-1280x1024
set -euo pipefail
cd "$(dirname "$0")/.."
export BUILD_DIR=$PWD/build/normal
[ -f "$BUILD_DIR/build.ninja" ] || cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
out=$PWD/build/screenshots

screens=(scale2-800x600 scale1.5-1280x1024 font144-1280x1024)
if [ $# -eq 0 ]; then
  ninja -C "$BUILD_DIR" oskel-uploader camera-emulator oskel-x-check
  "$0" long-names
  for screen in "${screens[@]}"; do "$0" "$screen"; done
  exit 0
fi
screen=$1
case $screen in
  long-names) ;;
  scale2-800x600) export SCREEN_W=800 SCREEN_H=600 ;;
  scale1.5-1280x1024 | font144-1280x1024) export SCREEN_W=1280 SCREEN_H=1024 ;;
  *) echo "unknown screen: $screen (one of ${screens[*]})" >&2; exit 2 ;;
esac
mkdir -p "$out"
source tests/desktop/desktop-lib.sh
# After the library, which clears the caller's scaling.
case $screen in
  scale2-*) export QT_SCALE_FACTOR=2 ;;
  scale1.5-*) export QT_SCALE_FACTOR=1.5 ;;
  font144-*) export QT_ENABLE_HIGHDPI_SCALING=0 QT_FONT_DPI=144 ;;
esac

if [ "$screen" = long-names ]; then
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
  exit 0
fi

shots=$out/$screen
rm -rf "$shots"
mkdir -p "$shots"
: >"$shots/windows.txt"

# Writes window $1 with its frame to $2.png after $3 seconds (default 0.8),
# and its size hints and allowed actions to windows.txt.
shoot() {
  local x y w h
  sleep "${3:-0.8}"
  read -r x y w h <<<"$(frame_of "$1")"
  grab_area "$x" "$y" "$w" "$h" "$shots/$2.png"
  { echo "== $2: frame ${w}x$h at $x,$y"
    xprop -id "$1" WM_NORMAL_HINTS _NET_WM_WINDOW_TYPE _NET_WM_ALLOWED_ACTIONS _MOTIF_WM_HINTS; } >>"$shots/windows.txt"
  echo "drew $screen/$2.png (${w}x$h)"
}

gone() {
  wait_for 50 sh -c "! xwininfo -id $1 2>/dev/null | grep -q IsViewable"
}

# Programs in the folder: a small one, and one that takes about 20 s at
# 19200 bit/s, so that the progress window stays up; two others in the
# camera, to be asked about.
make_program "$WORK/programs/CLOCK.FNC" "World Clock"
make_program "$WORK/programs/LARGE.FNC" "Large Program" 40000
make_program "$WORK/TIMER.FNC" "Self Timer"
make_program "$WORK/HEARTS.FNC" "Stamp: Hearts"
# A folder this program may not read. Root reads every folder, so then the
# folder belongs to nobody and the program runs in a user namespace of its
# own, where root has no power over what nobody owns.
mkdir "$WORK/programs/Locked"
chmod 000 "$WORK/programs/Locked"
if [ "$(id -u)" -eq 0 ]; then
  chown 65534:65534 "$WORK/programs/Locked"
  unshare --user --map-root-user true 2>/dev/null || fail "unshare cannot make a user namespace here"
  cat >"$WORK/uploader" <<EOF
#!/bin/sh
exec unshare --user --map-root-user "$UPLOADER"
EOF
  chmod +x "$WORK/uploader"
  UPLOADER=$WORK/uploader
fi

settings() {
  printf '[Ports]\nCOM1=%s\n\n[Communication]\nMaxPort=1\nPort=0\nSpeed=19200\n\n' "$1"
  printf '[UploadDialog]\nOPFFolder=%s/\n' "$WORK/programs"
}

start_display
start_camera --program "$WORK/TIMER.FNC" --program "$WORK/HEARTS.FNC"
settings "$CAMERA_LINK" >"$INI"
start_uploader
shoot "$MAIN" main

keys_to "$MAIN" F1
about=$(find_window "About OSKEL Program Uploader" 100) || fail "no About box"
shoot "$about" about 1.5
keys_to "$about" Return
gone "$about"

keys_to "$MAIN" alt+b
chooser=$(find_window "Choose Folder" 100) || fail "no folder chooser"
shoot "$chooser" folder-chooser 2.5
# The locked folder is the only one inside the program folder.
keys_to "$chooser" Down
sleep 0.5
keys_to "$chooser" Return
unreadable=$(other_window "$TITLE" 100) || fail "no message about the unreadable folder"
shoot "$unreadable" unreadable-folder
keys_to "$unreadable" Return
gone "$unreadable"
chooser=$(find_window "Choose Folder" 20) && { keys_to "$chooser" Escape; gone "$chooser"; }

keys_to "$MAIN" alt+a End Home alt+r
question=$(other_window "$TITLE" 100) || { grab_screen "$shots/failed.png"; fail "no question before the erase"; }
shoot "$question" yes-no-question
keys_to "$question" alt+n
gone "$question"

"$BUILD_DIR/frontends/qt/oskel-uploader" >"$WORK/second.log" 2>&1 &
second=$!
PIDS+=($second)
box=$(find_window "$TITLE" 100 "$second") || fail "the second copy showed no message box"
shoot "$box" second-copy
keys_to "$box" Return
wait_for 50 sh -c "! kill -0 $second" || true

# Large Program: the folder list reads Large Program, World Clock.
keys_to "$MAIN" alt+f End Home alt+u
progress=$(other_window "Upload Programs" 100) || fail "no progress window"
shoot "$progress" progress 2.5
kill "$UPLOADER_PID"
wait_uploader_end 100

# A port where nothing answers: the camera-not-found window.
kill "$CAMERA_PID"
wait_for 50 sh -c "! test -e $CAMERA_LINK"
start_camera --fault silence@1
settings "$CAMERA_LINK" >"$INI"
launch_uploader
lost=$(find_window "Error: Camera Not Found!" 600) || fail "no camera-not-found window"
shoot "$lost" camera-not-found
keys_to "$lost" Escape
wait_uploader_end 100
echo "wrote $shots/"
