#!/usr/bin/env bash
# OSKEL_TRACE pointed at a pipe whose reader goes away: the trace's writes
# fail from then on, and the program carries on (it ignores SIGPIPE): it
# reads the camera, stays up, and ends normally when closed.
source "$(dirname "$0")/desktop-lib.sh"
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 LANG=C.UTF-8
unset WAYLAND_DISPLAY
start_display
make_program "$WORK/programs/A.FNC" "Alpha" 3000
start_camera --store-file "$WORK/store.txt"
write_settings
mkfifo "$WORK/trace"
head -c 200 "$WORK/trace" >/dev/null & # reads the first lines, then goes
OSKEL_TRACE=$WORK/trace "$UPLOADER" >"$WORK/uploader.log" 2>&1 &
UPLOADER_PID=$!
PIDS+=($UPLOADER_PID)
MAIN=""
for ((n = 0; n < 300; n++)); do
  kill -0 "$UPLOADER_PID" 2>/dev/null || fail "a trace write to the closed pipe ended the program"
  MAIN=$(xdotool search --all --onlyvisible --pid "$UPLOADER_PID" --name "^$TITLE\$" 2>/dev/null | head -n1 || true)
  [ -n "$MAIN" ] && break
  sleep 0.1
done
[ -n "$MAIN" ] || fail "the main window did not appear"
"$X_CHECK" close "$MAIN"
status=0
wait_uploader_end 100
wait "$UPLOADER_PID" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
grep -q "speed code 0 (close)" "$WORK/wire.log" || fail "the link was not closed"
echo "trace: a pipe whose reader has gone does not end the program"
