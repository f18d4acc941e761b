#!/usr/bin/env bash
# The seeded random test of the desktop program (monkey.py) on a display of
# its own with openbox and an accessibility bus. Arguments go to monkey.py:
# --sequences N, --seed S (replays S, S+1, ...), --steps K.
for tool in gdbus dbus-daemon /usr/libexec/at-spi-bus-launcher python3 xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (the monkey presses through AT-SPI)"; exit 77; }
done
source "$(dirname "$0")/desktop-lib.sh"
# What the program and the tools depend on, whatever the caller's session.
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 LANG=C.UTF-8
unset WAYLAND_DISPLAY QT_ACCESSIBILITY QT_LINUX_ACCESSIBILITY_ALWAYS_ON
# The bus sockets and the sequences' folders live apart from the display's
# folder; a failing sequence's folder is kept.
MONKEY=$(mktemp -d /tmp/oskel-monkey.XXXXXX)
export XDG_RUNTIME_DIR=$MONKEY/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir "$MONKEY/sequences"
trap 'status=$?; [ "$status" -eq 0 ] && rm -rf "$MONKEY"; cleanup' EXIT
start_display
# A session bus of our own, and the accessibility bus it launches.
dbus-daemon --session --fork --nosyslog --print-address=3 --print-pid=4 3>"$MONKEY/dbus.address" 4>"$MONKEY/dbus.pid" ||
  fail "no session bus"
PIDS+=("$(cat "$MONKEY/dbus.pid")")
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$MONKEY/dbus.address")
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$MONKEY/atspi.log" 2>&1 &
PIDS+=($!)
a11y=""
for ((n = 0; n < 50; n++)); do
  a11y=$(gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus --method org.a11y.Bus.GetAddress 2>/dev/null |
    sed -n "s/^('\(.*\)',)$/\1/p")
  [ -n "$a11y" ] && break
  sleep 0.1
done
[ -n "$a11y" ] || fail "the accessibility bus did not start"
python3 "$(dirname "$0")/monkey.py" --build "$BUILD_DIR" --work "$MONKEY/sequences" --a11y "$a11y" "$@"
