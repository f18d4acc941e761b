#!/usr/bin/env bash
# A message box whose text wraps (a second copy of the program is refused)
# opens centred, frame included, on the screen it has no owner on.
source "$(dirname "$0")/desktop-lib.sh"
start_display
start_camera
write_settings
start_uploader
"$UPLOADER" >"$WORK/second.log" 2>&1 &
second=$!
PIDS+=($second)
box=$(find_window "$TITLE" 50 "$second") || fail "the second copy showed no message box"
sleep 0.5
read -r x y w h <<<"$(frame_of "$box")"
((h > 100)) || fail "the box's text did not wrap (${w}x$h), so this checks nothing"
dx=$((2 * x + w - SCREEN_W)) dy=$((2 * y + h - SCREEN_H))   # twice the offset from the centre
((dx >= -4 && dx <= 4 && dy >= -4 && dy <= 4)) ||
  fail "the box ($x $y ${w}x$h) is off the screen's centre by ($((dx / 2)), $((dy / 2)))"
keys_to "$box" Return
wait_for 50 sh -c "! kill -0 $second" || fail "the second copy did not end after its box"
echo "message box: centred ($x $y ${w}x$h)"
