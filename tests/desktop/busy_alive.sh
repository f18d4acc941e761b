#!/usr/bin/env bash
# A removal that keeps the camera busy for twenty-five seconds: meanwhile the
# window answers the window manager's ping and repaints what was hidden,
# and the removal still completes.
source "$(dirname "$0")/desktop-lib.sh"
start_display
make_program "$WORK/SLOW.FNC" "Slow Eraser"
start_camera --program "$WORK/SLOW.FNC" --erase-enq-delay 25000 --store-file "$WORK/store.txt"
write_settings
start_uploader
read -r fx fy _ <<<"$(frame_of "$MAIN")"
read -r cx cy cw ch <<<"$(client_of "$MAIN")"
xdotool mousemove $((fx + 420)) $((fy + 170)) click 1   # the camera list's item
keys_to "$MAIN" alt+r
confirm=$(question_box 100) || fail "the removal asked nothing"
keys_to "$confirm" y
wait_for 150 grep -q "Action 13" "$WORK/wire.log" || fail "the erase did not start"
started=$SECONDS
sleep 1
xdotool mousemove 0 0
grab_area "$cx" "$cy" "$cw" "$ch" "$WORK/before.png"
for round in 1 2 3; do
  "$X_CHECK" ping "$MAIN" 2000 || fail "round $round of the erase: the window did not answer the ping"
  "$X_CHECK" cover "$cx" "$cy" "$cw" "$ch" 300
  sleep 0.7
  grab_area "$cx" "$cy" "$cw" "$ch" "$WORK/after-$round.png"
  changed=$(pixels_differing "$WORK/before.png" "$WORK/after-$round.png")
  [ "${changed:-0}" -lt 200 ] || fail "round $round of the erase: the window did not repaint what was hidden ($changed pixels differ)"
  sleep 1
done
((SECONDS - started < 25)) || fail "the checks outlasted the erase; they prove nothing"
wait_for 250 sh -c "! grep -q SLOW '$WORK/store.txt'" || fail "the program was not erased"
echo "busy: the window stayed alive through a 25-second erase"
