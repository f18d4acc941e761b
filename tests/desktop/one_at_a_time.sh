#!/usr/bin/env bash
# One camera operation at a time, seen from outside. During a removal's long
# erase what the user clicks or types is dropped: nothing is uploaded or
# opened afterwards. A close request made meanwhile (the Close button, the
# close box, Alt+F4), even followed by other clicks, closes the window once
# the erase is over: the program ends with status 0, the close packet on the
# wire, "Port" and "Speed" written and the camera lock free.
source "$(dirname "$0")/desktop-lib.sh"
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 LANG=C.UTF-8
unset WAYLAND_DISPLAY
start_display
make_program "$WORK/SLOW.FNC" "Slow Eraser"
make_program "$WORK/programs/A.FNC" "Alpha" 3000
LOCK=$XDG_RUNTIME_DIR/OskelCameraMutex.lock

# Clicks at a point of the main window's client area (the template's
# controls: folder list item, UPLOAD, Browse, Close).
click() { xdotool mousemove $((cx + $1)) $((cy + $2)) click 1; }
FOLDER_ITEM="59 153" UPLOAD="273 202" BROWSE="490 104" CLOSE="282 286"

# A new camera holding the slow program and a new program run, removing it.
start_erase() {
  [ -n "${CAMERA_PID:-}" ] && kill "$CAMERA_PID" && wait "$CAMERA_PID" 2>/dev/null || true
  start_camera --program "$WORK/SLOW.FNC" --erase-enq-delay 6000 --store-file "$WORK/store.txt"
  write_settings
  start_uploader
  read -r cx cy _ <<<"$(client_of "$MAIN")"
  click 392 151 # the camera list's item
  keys_to "$MAIN" alt+r
  local confirm
  confirm=$(question_box 100) || fail "the removal asked nothing"
  keys_to "$confirm" y
  wait_for 150 grep -q "Action 13" "$WORK/wire.log" || fail "the erase did not start"
  sleep 0.5
}

erase_over() { grep -q "CAM>PC.* ENQ" "$WORK/wire.log"; }

expect_ended_well() {
  local what=$1 status=0
  wait_for 150 erase_over || fail "$what: the erase did not end"
  wait_for 80 sh -c "! kill -0 $UPLOADER_PID" || fail "$what: the program did not end after the erase"
  wait "$UPLOADER_PID" || status=$?
  [ "$status" -eq 0 ] || fail "$what: the program ended with status $status"
  grep -q "speed code 0 (close)" "$WORK/wire.log" || fail "$what: no close packet on the wire"
  for key in Port Speed; do grep -q "^$key=" "$INI" || fail "$what: \"$key\" was not written"; done
  flock -n "$LOCK" true || fail "$what: the camera lock is still held"
  ! grep -q "announced" "$WORK/wire.log" || fail "$what: a click made during the erase uploaded a program"
}

# Clicks and keys during the erase: dropped, then and afterwards.
start_erase
click $FOLDER_ITEM
click $UPLOAD
click $BROWSE
xdotool key alt+u Return alt+b
wait_for 150 erase_over || fail "the erase did not end"
sleep 3
! grep -q "announced" "$WORK/wire.log" || fail "a click on UPLOAD made during the erase uploaded the program afterwards"
[ -z "$(xdotool search --all --onlyvisible --pid "$UPLOADER_PID" --name . | grep -v "^$MAIN\$")" ] ||
  fail "a window opened after the erase from input made during it"
kill -0 "$UPLOADER_PID" || fail "the program ended"
"$X_CHECK" close "$MAIN"
wait_uploader_end 100

# Close, then a list item and UPLOAD, during the erase.
start_erase
click $CLOSE
click $FOLDER_ITEM
click $UPLOAD
expect_ended_well "Close during the erase"

# The close box and Alt+F4, then UPLOAD.
start_erase
"$X_CHECK" close "$MAIN"
click $FOLDER_ITEM
click $UPLOAD
expect_ended_well "the close box during the erase"
start_erase
keys_to "$MAIN" alt+F4
click $FOLDER_ITEM
click $UPLOAD
expect_ended_well "Alt+F4 during the erase"
echo "one at a time: input during an erase dropped, a close request kept for its end"
