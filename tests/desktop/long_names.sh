#!/usr/bin/env bash
# A 40-character name in both lists: it is not cut, and each list scrolls
# sideways to show the rest of it.
source "$(dirname "$0")/desktop-lib.sh"
start_display
long="A display name of forty characters long!"
make_program "$WORK/programs/LONG.FNC" "$long"
make_program "$WORK/programs/SHORT.FNC" "Abc"
make_program "$WORK/LONGCAM.FNC" "$long"
start_camera --program "$WORK/LONGCAM.FNC"
write_settings
start_uploader
read -r fx fy _ <<<"$(frame_of "$MAIN")"
# The top of each list, where its items stand, from the window's frame (the
# window's layout is fixed by its template).
for list in "folder 24 164" "camera 358 164"; do
  read -r name lx ly <<<"$list"
  x=$((fx + lx)) y=$((fy + ly))
  xdotool mousemove $((x + 80)) $((y + 10))
  sleep 0.3
  grab_area "$x" "$y" 170 36 "$WORK/$name-before.png"
  xdotool click --repeat 6 --delay 50 7   # scroll right
  sleep 0.5
  grab_area "$x" "$y" 170 36 "$WORK/$name-after.png"
  changed=$(pixels_differing "$WORK/$name-before.png" "$WORK/$name-after.png")
  [ "${changed:-0}" -gt 50 ] || fail "the $name list did not scroll sideways to the rest of the long name"
done
echo "long names: both lists scroll sideways"
