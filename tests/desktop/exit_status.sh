#!/usr/bin/env bash
# The desktop program ends with the command line's statuses when it starts
# no window: 4 after refusing a second copy, 3 after Cancel in the
# camera-not-found window. Both windows are of a fixed size.
source "$(dirname "$0")/desktop-lib.sh"

# Starts the program, answers window $1 with key $2 and expects status $3.
expect_status() {
  local title=$1 key=$2 expected=$3 pid window status
  "$UPLOADER" >>"$WORK/other.log" 2>&1 &
  pid=$!
  window=$(find_window "$title" 300 "$pid") || fail "no window \"$title\""
  expect_fixed_size "the window \"$title\"" "$window"
  keys_to "$window" "$key"
  wait "$pid" && status=0 || status=$?
  [ "$status" -eq "$expected" ] || fail "after \"$title\" the program ended with $status, not $expected"
}

start_display
start_camera
write_settings
start_uploader
expect_status "$TITLE" Return 4 # the refused second copy's box
keys_to "$MAIN" alt+c
wait_uploader_end 100

# No camera on COM1: the camera-not-found window, cancelled.
kill "$CAMERA_PID"
wait "$CAMERA_PID" 2>/dev/null || true
expect_status "Error: Camera Not Found!" Escape 3
echo "exit status: 4 for a second copy, 3 after Cancel without a camera"
