#!/usr/bin/env bash
# Runs the normal build's suite (build/normal, already built) as an ordinary
# user whose environment trips up whatever a test does not pin for itself:
# Qt told to use Wayland, a display and a compositor that do not exist,
# files private to their owner (umask 077), temporary and home folders with
# a blank in their names, the user's own settings file naming a port that is
# no camera, and another language (de_DE.UTF-8 unless one is given).
#   scripts/test-as-user.sh [LOCALE [CTEST ARGUMENTS...]]
# Run as root (as CI runs), the suite runs as the user "nobody" (or
# $OSKEL_TEST_USER), who must be able to read the checkout; ctest's record
# folder build/normal/Testing is lent to that user and given back at the end,
# nothing else changes owner.
set -euo pipefail
cd "$(dirname "$0")/.."
locale=${1:-de_DE.UTF-8}
[ $# -eq 0 ] || shift
build=$PWD/build/normal
fail() { echo "test-as-user.sh: $*" >&2; exit 1; }
# What this machine cannot give the pass (a locale, a user who may read the
# tree) ends it with status 77, which scripts/test.sh reports as skipped.
cannot() { echo "test-as-user.sh: $*" >&2; exit 77; }

[ -f "$build/CTestTestfile.cmake" ] || fail "build/normal is not built yet (scripts/test.sh builds it)"
wanted=$(echo "$locale" | tr '[:upper:]' '[:lower:]' | sed 's/utf-8$/utf8/')
locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]' | grep -qx "$wanted" \
  || cannot "the locale $locale is not installed (scripts/setup.sh generates de_DE.UTF-8 and tr_TR.UTF-8)"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/oskel caller.XXXXXX")
run_as=()
cleanup() {
  if [ ${#run_as[@]} -gt 0 ]; then chown -R "$owner" "$build/Testing"; fi
  rm -rf "$scratch"
}
trap cleanup EXIT
mkdir -p "$scratch/tmp dir" "$scratch/home dir/.config" "$scratch/runtime"
printf '[Ports]\nCOM1=/dev/null\n\n[Communication]\nPort=0\nSpeed=9600\nMaxPort=1\n' \
  >"$scratch/home dir/.config/QUIVRAN.INI"
chmod -R go-rwx "$scratch"

if [ "$(id -u)" -eq 0 ]; then
  user=${OSKEL_TEST_USER:-nobody}
  run_as=(runuser -u "$user" --)
  mkdir -p "$build/Testing/Temporary"
  owner=$(stat -c %u:%g "$build/Testing")
  chown -R "$user" "$build/Testing" "$scratch"
  "${run_as[@]}" test -r "$build/CTestTestfile.cmake" -a -x "$build/tests/oskel_unit_tests" \
    || cannot "the user $user cannot read $build: put the checkout where every user may read it, or name another user in OSKEL_TEST_USER"
fi

echo "as $(id -un "${user:-$(id -u)}"), in $locale, with a hostile desktop session"
"${run_as[@]}" env -u LC_ALL -u LANGUAGE -u LC_NUMERIC -u LC_CTYPE -u LC_COLLATE -u LC_MESSAGES \
  LANG="$locale" QT_QPA_PLATFORM=wayland DISPLAY=:9999 WAYLAND_DISPLAY=oskel-no-such-compositor \
  TMPDIR="$scratch/tmp dir" HOME="$scratch/home dir" XDG_CONFIG_HOME="$scratch/home dir/.config" \
  XDG_RUNTIME_DIR="$scratch/runtime" \
  bash -c 'umask 077; exec ctest --test-dir "$0" --output-on-failure -j "$(nproc)" "$@"' "$build" "$@"
