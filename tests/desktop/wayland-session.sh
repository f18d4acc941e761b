#!/usr/bin/env bash
# Runs the desktop program's Wayland session test (WaylandSessionTest.cpp)
# under a headless Weston against a camera-emulator process. Exits 77
# (skipped) when no compositor can start here.
#   wayland-session.sh TEST_PROGRAM CAMERA_EMULATOR MAKE_SAMPLE_PROGRAMS
set -euo pipefail
test_program=$1 emulator=$2 make_samples=$3

scratch=$(mktemp -d)
weston_pid="" emulator_pid=""
cleanup() {
  [ -z "$emulator_pid" ] || kill "$emulator_pid" 2>/dev/null || true
  [ -z "$weston_pid" ] || kill "$weston_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# The caller's desktop session stays out: its display, bus, scaling, style
# and theme, and its language.
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
  QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING QT_FONT_DPI QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME
# Wayland wants a private runtime folder for its socket.
export XDG_RUNTIME_DIR="$scratch/runtime" XDG_CONFIG_HOME="$scratch/config"
mkdir -m 700 "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"
socket=oskel-wayland-$$
if ! command -v weston >/dev/null; then
  echo "SKIPPED: weston is not installed (scripts/setup.sh installs it)"
  exit 77
fi
weston --backend=headless-backend.so --use-pixman --socket="$socket" --idle-time=0 \
  >"$scratch/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$socket" ] && break; sleep 0.05; done
if [ ! -S "$XDG_RUNTIME_DIR/$socket" ] || ! kill -0 "$weston_pid" 2>/dev/null; then
  echo "SKIPPED: the headless Weston compositor did not start here:"
  tail -n 5 "$scratch/weston.log"
  exit 77
fi

"$make_samples" "$scratch/programs" >/dev/null
"$emulator" --link "$scratch/camera" --quiet --id WAYLAND-1 --program "$scratch/programs/CLOCK.FNC" &
emulator_pid=$!
for _ in $(seq 100); do [ -e "$scratch/camera" ] && break; sleep 0.05; done
# A position saved in an X11 session, which the Wayland session must keep.
printf '[Ports]\nCOM1=%s\n\n[UploadDialog]\nOPFFolder=%s/\nAppPosition=100 120 554 337 1\n' \
  "$scratch/camera" "$scratch/programs" \
  >"$XDG_CONFIG_HOME/QUIVRAN.INI"

# In the sanitizer build: whole stacks, so the leak check can tell the Wayland
# plug-in's own allocations (suppressed) from ours.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"
export LSAN_OPTIONS="suppressions=$(dirname "$0")/wayland-lsan.supp"
status=0
WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland "$test_program" 2>&1 | tee "$scratch/client.log" || status=$?
if grep -q 'Could not find the Qt platform plugin "wayland"' "$scratch/client.log"; then
  echo "SKIPPED: Qt's Wayland plug-in is not installed (scripts/setup.sh installs qt6-wayland)"
  exit 77
fi
if grep -E "qt\.qpa\.wayland.*(rror|protocol)|wl_display" "$scratch/client.log"; then
  echo "FAIL: Wayland protocol errors above"
  status=1
fi
exit $status
