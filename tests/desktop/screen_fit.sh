#!/usr/bin/env bash
# The main window on small and large screens at several scales: its whole
# frame fits the screen (every control can be reached), a first start
# centres the frame exactly, and a saved place beyond the bottom-right
# corner ends with the frame exactly on those edges. The folder chooser's
# frame, taller than a fixed window's by its resize handle, fits too; the
# main window and the About box stay of a fixed size at every scale.
if [ $# -eq 0 ]; then
  for run in "800 600 2" "640 480 1.5" "1280 1024 1"; do
    read -r w h scale <<<"$run"
    SCREEN_W=$w SCREEN_H=$h "$0" "$scale" || exit 1
  done
  exit 0
fi
source "$(dirname "$0")/desktop-lib.sh"
# After the library, which clears the caller's scaling.
export QT_SCALE_FACTOR=$1
where="${SCREEN_W}x$SCREEN_H at scale $QT_SCALE_FACTOR"
start_display
start_camera
write_settings
start_uploader
expect_frame_on_screen "the main window's frame ($where)" "$MAIN"
# Placed once the window manager has told its frame; at a scale Qt places
# in its own coordinates, a pixel or two of the screen's apart.
tol=$(awk -v s="$QT_SCALE_FACTOR" 'BEGIN { print (s == 1) ? 1 : int(2 * s + 0.5) }')
for ((n = 0; n < 50; n++)); do
  read -r x y w h <<<"$(frame_of "$MAIN")"
  dx=$((2 * x + w - SCREEN_W)) dy=$((2 * y + h - SCREEN_H))   # twice the offset from the centre
  ((dx >= -tol && dx <= tol && dy >= -tol && dy <= tol)) && break
  sleep 0.1
done
((dx >= -tol && dx <= tol && dy >= -tol && dy <= tol)) ||
  fail "the frame ($x $y ${w}x$h) is off the centre of the $where screen by ($((dx / 2)), $((dy / 2)))"
expect_fixed_size "the main window ($where)" "$MAIN"
keys_to "$MAIN" F1
about=$(find_window "About OSKEL Program Uploader" 100) || fail "no About box"
expect_fixed_size "the About box ($where)" "$about"
keys_to "$about" Return
wait_for 50 sh -c "! xwininfo -id $about 2>/dev/null | grep -q IsViewable"
keys_to "$MAIN" alt+b
chooser=$(find_window "Choose Folder" 100) || fail "no folder chooser"
expect_frame_on_screen "the folder chooser's frame ($where)" "$chooser"
keys_to "$chooser" Escape
wait_for 50 sh -c "! xwininfo -id $chooser 2>/dev/null | grep -q IsViewable"
keys_to "$MAIN" alt+c
wait_uploader_end 100

write_settings "AppPosition=5000 5000 300 200 1"
start_uploader
for ((n = 0; n < 50; n++)); do
  read -r x y w h <<<"$(frame_of "$MAIN")"
  gap_x=$((SCREEN_W - x - w)) gap_y=$((SCREEN_H - y - h))
  ((gap_x * 2 >= -tol && gap_x * 2 <= tol && gap_y * 2 >= -tol && gap_y * 2 <= tol)) && break
  sleep 0.1
done
((gap_x * 2 >= -tol && gap_x * 2 <= tol && gap_y * 2 >= -tol && gap_y * 2 <= tol)) ||
  fail "the clamped frame ($x $y ${w}x$h) does not end on the $where screen's right and bottom edges"
echo "screen fit: $where, frame ${w}x$h centred and clamped exactly"
