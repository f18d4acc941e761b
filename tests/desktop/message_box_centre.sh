#!/usr/bin/env bash
# A message box whose text wraps (a second copy of the program is refused)
# opens centred on its final size over the screen (it has no owner). The
# window is centred; the title bar the window manager adds above it is not
# counted, as for every box.
source "$(dirname "$0")/desktop-lib.sh"
start_display
start_camera
write_settings
start_uploader
"$UPLOADER" >"$WORK/second.log" 2>&1 &
second=$!
PIDS+=($second)
box=$(find_window "$TITLE" 150 "$second") || fail "the second copy showed no message box"
for ((n = 0; n < 50; n++)); do   # a loaded machine may take a while to lay it out
  read -r x y w h <<<"$(client_of "$box")"
  dx=$((2 * x + w - SCREEN_W)) dy=$((2 * y + h - SCREEN_H))   # twice the offset from the centre
  ((dx >= -4 && dx <= 4 && dy >= -4 && dy <= 4)) && break
  sleep 0.1
done
((dx >= -4 && dx <= 4 && dy >= -4 && dy <= 4)) ||
  fail "the box ($x $y ${w}x$h) is off the screen's centre by ($((dx / 2)), $((dy / 2)))"
keys_to "$box" Return
wait_for 150 sh -c "! kill -0 $second" || fail "the second copy did not end after its box"
echo "message box: centred ($x $y ${w}x$h)"
