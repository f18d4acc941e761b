#!/usr/bin/env bash
# The desktop program ends with the command line's statuses when it starts
# no window: 4 after refusing a second copy, 3 after Cancel in the
# camera-not-found window.
source "$(dirname "$0")/desktop-lib.sh"
start_display
start_camera
write_settings
start_uploader
"$UPLOADER" >"$WORK/second.log" 2>&1 &
second=$!
box=$(find_window "$TITLE" 150 "$second") || fail "the second copy showed no message box"
keys_to "$box" Return
wait "$second" && status=0 || status=$?
[ "$status" -eq 4 ] || fail "the refused second copy ended with $status, not 4"
keys_to "$MAIN" alt+c
wait_uploader_end 100

# No camera on COM1: the camera-not-found window, cancelled.
kill "$CAMERA_PID"
wait "$CAMERA_PID" 2>/dev/null || true
"$UPLOADER" >"$WORK/nocamera.log" 2>&1 &
nocamera=$!
window=$(find_window "Error: Camera Not Found!" 300 "$nocamera") || fail "no camera-not-found window"
keys_to "$window" Escape
wait "$nocamera" && status=0 || status=$?
[ "$status" -eq 3 ] || fail "Cancel in the camera-not-found window ended with $status, not 3"
echo "exit status: 4 for a second copy, 3 after Cancel without a camera"
