#!/usr/bin/env bash
# SIGTERM, SIGHUP and SIGINT end the program as its Close button does: the
# position is saved, the camera is sent back to 19200 bit/s and "Port" and
# "Speed" are written. During an upload the signal first cancels it; the
# progress window is of a fixed size.
source "$(dirname "$0")/desktop-lib.sh"
start_display
start_camera --store-file "$WORK/store.txt"
for signal in TERM HUP INT; do
  write_settings
  : >"$WORK/wire.log"
  start_uploader
  kill -s "$signal" "$UPLOADER_PID"
  wait_uploader_end 100
  for key in AppPosition Port Speed; do
    grep -q "^$key=" "$INI" || fail "SIG$signal: \"$key\" was not written"
  done
  grep -q "speed code 0 (close)" "$WORK/wire.log" || fail "SIG$signal: the link was not closed with speed code 0"
done

# An upload long enough to be under way when the signal comes.
make_program "$WORK/programs/BIG.FNC" "Big Program" 400000
write_settings
start_uploader
read -r fx fy _ <<<"$(frame_of "$MAIN")"
xdotool mousemove $((fx + 60)) $((fy + 170)) click 1   # the folder list's first item
keys_to "$MAIN" alt+u
progress=$(find_window "Upload Programs" 100) || fail "the upload did not start"
sleep 1
expect_fixed_size "the progress window" "$progress"
kill -s TERM "$UPLOADER_PID"
wait_uploader_end 100
grep -q "speed code 0 (close)" "$WORK/wire.log" || fail "after the upload: the link was not closed with speed code 0"
grep -q "^AppPosition=" "$INI" || fail "after the upload: the position was not saved"
! grep -q "BIG" "$WORK/store.txt" || fail "the upload was not cancelled: the camera holds the program"
echo "signals: TERM, HUP and INT close as the Close button does; an upload is cancelled first"
