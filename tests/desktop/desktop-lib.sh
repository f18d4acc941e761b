# Shared by the desktop checks: a private X display (Xvfb, 1280x1024) with
# openbox, a camera-emulator, the desktop program's own settings and
# runtime folders, and helpers that look at windows through the X server.
# Each check runs in its own temporary folder and display, so several can
# run side by side. BUILD_DIR names the build tree.
set -euo pipefail

: "${BUILD_DIR:?BUILD_DIR must name the build tree}"
UPLOADER=$BUILD_DIR/frontends/qt/oskel-uploader
EMULATOR=$BUILD_DIR/emulator/camera-emulator
SCREEN_W=${SCREEN_W:-1280}   # a check may ask for another screen
SCREEN_H=${SCREEN_H:-1024}
TITLE="OSKEL Program Uploader"

# The program sees this private session alone, whatever the caller's desktop
# exports: X11 on the display started below, no Wayland compositor or
# session bus of the caller's, none of its scaling, style or theme, and the
# C locale's texts.
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
# In the sanitizer build: what the system's libdbus keeps for the life of
# the process is not the program's leak.
export LSAN_OPTIONS="suppressions=$(dirname "${BASH_SOURCE[0]}")/desktop-lsan.supp:fast_unwind_on_malloc=0"
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
  QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING QT_FONT_DPI QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME

WORK=$(mktemp -d -t oskel-desktop.XXXXXX)
export XDG_CONFIG_HOME=$WORK/config XDG_RUNTIME_DIR=$WORK/runtime HOME=$WORK/home
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$HOME" "$WORK/programs"
chmod 700 "$XDG_RUNTIME_DIR"
INI=$XDG_CONFIG_HOME/QUIVRAN.INI
PIDS=()

cleanup() {
  local status=$?
  for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do kill "${PIDS[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [ "$status" -ne 0 ] && [ -n "${KEEP_ON_FAILURE:-}" ]; then
    echo "kept: $WORK"
  else
    rm -rf "$WORK"
  fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Polls a command for up to $1 tenths of a second.
wait_for() {
  local tenths=$1; shift
  for ((n = 0; n < tenths; n++)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

start_display() {
  local out=$WORK/display
  Xvfb -displayfd 3 -screen 0 ${SCREEN_W}x${SCREEN_H}x24 -nolisten tcp 3>"$out" 2>"$WORK/xvfb.log" &
  PIDS+=($!)
  wait_for 300 test -s "$out" || fail "Xvfb did not start"
  export DISPLAY=:$(head -n1 "$out")
  # openbox now and then stalls while starting on a busy machine: start it
  # again rather than wait for ever.
  for attempt in 1 2 3; do
    openbox --sm-disable --replace >>"$WORK/openbox.log" 2>&1 &
    PIDS+=($!)
    wait_for 100 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' && return 0
    kill "${PIDS[-1]}" 2>/dev/null || true
  done
  fail "openbox did not start: $(tail -n 5 "$WORK/openbox.log")"
}

# A program file (a standalone application) with the given display name and
# size in bytes (1020 when not given).
make_program() {
  local file=$1 name=$2 size=${3:-1020}
  local field
  field=$(printf '%s~%*s' "$name" 40 '' | cut -c1-40)
  { printf 'KAVRA+~0000300000000'
    printf '%-32s' 'OSKEL desktop test'
    printf '%s' "$field"
    printf '%-24s' 'desktop test'
    printf '0100'
    head -c $((size - 120)) /dev/zero | tr '\0' 'x'; } >"$file"
}

# camera-emulator with the given extra arguments; COM1 is its link.
start_camera() {
  CAMERA_LINK=$WORK/camera
  "$EMULATOR" --link "$CAMERA_LINK" --quiet --wire-log "$WORK/wire.log" "$@" >"$WORK/emulator.log" 2>&1 &
  CAMERA_PID=$!
  PIDS+=($CAMERA_PID)
  wait_for 150 test -e "$CAMERA_LINK" || fail "camera-emulator did not start"
}

# The settings file: COM1 on the emulator, the program folder, and any
# further "[UploadDialog]" lines given.
write_settings() {
  { printf '[Ports]\nCOM1=%s\n\n[Communication]\nMaxPort=1\n\n' "$CAMERA_LINK"
    printf '[UploadDialog]\nOPFFolder=%s/\n' "$WORK/programs"
    for line in "$@"; do printf '%s\n' "$line"; done; } >"$INI"
}

# Starts the program without waiting for a window: it has no main window
# until one appears.
launch_uploader() {
  "$UPLOADER" >"$WORK/uploader.log" 2>&1 &
  UPLOADER_PID=$!
  PIDS+=($UPLOADER_PID)
  MAIN=none
}

start_uploader() {
  launch_uploader
  MAIN=$(find_window "$TITLE" 400) || fail "the main window did not appear"
  sleep 0.5 # openbox has framed it and the program has placed it
}

# The id of a visible window with exactly this title, of process $3 when
# given, waiting up to $2 tenths of a second.
find_window() {
  local title=$1 tenths=${2:-50} pid=${3:-} id
  for ((n = 0; n < tenths; n++)); do
    id=$(xdotool search --all --onlyvisible ${pid:+--pid "$pid"} --name "^${title}\$" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# "x y w h" of a window without its frame, on screen.
client_of() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /^ +Width:/ {w=$NF} /^ +Height:/ {h=$NF} END {print x, y, w, h}'
}

# "x y w h" of a window's frame (title bar and borders included), on screen.
frame_of() {
  local id=$1 x y w h l r t b
  read -r x y w h <<<"$(client_of "$id")"
  read -r l r t b < <(xprop -id "$id" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ',')
  echo "$((x - ${l:-0})) $((y - ${t:-0})) $((w + ${l:-0} + ${r:-0})) $((h + ${t:-0} + ${b:-0}))"
}

# Waits for the uploader to end; fails after $1 tenths of a second.
wait_uploader_end() {
  wait_for "$1" sh -c "! kill -0 $UPLOADER_PID" || fail "the program did not end"
}

ini_value() {
  sed -n "s/^$1=//p" "$INI" | tr -d '\r'
}

# Writes the screen to a PNG.
grab_screen() {
  import -display "$DISPLAY" -window root "$1"
}

X_CHECK=$BUILD_DIR/tests/oskel-x-check

# Fails unless the frame "x y w h" lies wholly on the screen.
expect_on_screen() {
  local what=$1 x y w h
  read -r x y w h <<<"$2"
  if ((x < 0 || y < 0 || x + w > SCREEN_W || y + h > SCREEN_H)); then
    fail "$what ($x $y ${w}x$h) is not wholly on the ${SCREEN_W}x$SCREEN_H screen"
  fi
}

# Fails unless window $2's frame comes to lie wholly on the screen within
# five seconds (a loaded machine may take a while to place it).
expect_frame_on_screen() {
  local what=$1 id=$2
  for ((n = 0; n < 50; n++)); do
    (expect_on_screen "$what" "$(frame_of "$id")") 2>/dev/null && return 0
    sleep 0.1
  done
  expect_on_screen "$what" "$(frame_of "$id")"
}

# Fails unless window $2 is of a fixed size as the window manager sees it:
# its minimum and maximum sizes are equal, and the window manager allows
# neither resizing nor maximising it. (openbox 3.6 still draws a maximise
# button, disabled, between a minimise button and the title; its default
# theme draws a disabled button as an enabled one.)
expect_fixed_size() {
  local what=$1 id=$2 hints actions min max
  hints=$(xprop -id "$id" WM_NORMAL_HINTS)
  min=$(sed -n 's/.*minimum size: //p' <<<"$hints")
  max=$(sed -n 's/.*maximum size: //p' <<<"$hints")
  [ -n "$min" ] && [ "$min" = "$max" ] || fail "$what: minimum size '$min' is not its maximum size '$max'"
  actions=$(xprop -id "$id" _NET_WM_ALLOWED_ACTIONS)
  if grep -qE '_NET_WM_ACTION_(RESIZE|MAXIMIZE)' <<<"$actions"; then
    fail "$what: the window manager offers to resize or maximise it: $actions"
  fi
}

# Gives the window the focus and types the keys into it.
keys_to() {
  local id=$1; shift
  xdotool windowactivate --sync "$id" >/dev/null 2>&1 || xdotool windowfocus --sync "$id"
  xdotool key --delay 50 "$@"
}

# Writes the w x h part of the screen at (x, y) to a PNG.
grab_area() {
  import -display "$DISPLAY" -window root -crop "${3}x${4}+${1}+${2}" +repage "$5"
}

# How many pixels differ between two pictures of the same size.
pixels_differing() {
  { compare -metric AE "$1" "$2" null: 2>&1 || true; } | cut -d' ' -f1
}

# A visible window of the program titled $1, other than the main window,
# waiting up to $2 tenths of a second for it.
other_window() {
  local id
  for ((n = 0; n < $2; n++)); do
    id=$(xdotool search --all --onlyvisible --pid "$UPLOADER_PID" --name "^$1\$" 2>/dev/null |
      grep -vx "${MAIN:-none}" | tail -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# The id of a box the program shows over its main window (its title is the
# program's), waiting up to $1 tenths of a second.
question_box() {
  local id
  for ((n = 0; n < $1; n++)); do
    id=$(xdotool search --all --onlyvisible --pid "$UPLOADER_PID" --name "^$TITLE\$" | grep -v "^$MAIN\$" | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
