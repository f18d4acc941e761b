#!/usr/bin/env bash
# Builds and runs every test twice: a normal build, then one with
# AddressSanitizer and UndefinedBehaviorSanitizer; then runs each fuzz
# target briefly, so that every one still builds and runs clean. The normal
# build's suite also packages the program once and checks the package with
# lintian, desktop-file-validate and appstreamcli (ctest -L package), and
# both run the program under a headless Wayland compositor (ctest -L desktop).
# The normal build's suite runs a second time as an ordinary user, in German,
# in a hostile environment (scripts/test-as-user.sh). Run it as an ordinary
# user: sudo is asked for only to install packages and generate locales.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
  ninja -C "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== normal build =="
run_suite build/normal
# The same suite in the caller's shoes: an ordinary user ("nobody" when run
# as root, as CI runs), in German, with a hostile desktop session.
echo "== normal build, as an ordinary user, in German, in a hostile environment =="
scripts/test-as-user.sh de_DE.UTF-8
echo "== sanitizer build =="
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_suite build/sanitize -DOSKEL_SANITIZE=ON
echo "== fuzz targets, a few seconds each =="
fuzz_log=$(mktemp)
trap 'rm -f "$fuzz_log"' EXIT
for target in $(scripts/fuzz.sh --list); do
  if ! scripts/fuzz.sh "$target" 8 -runs=200000 >"$fuzz_log" 2>&1; then
    tail -n 80 "$fuzz_log"
    echo "fuzz target $target failed: replay with build/fuzz/fuzz/fuzz_$target build/fuzz/artifacts/$target/<file>"
    exit 1
  fi
  echo "$target: $(sed -n 's/^stat::number_of_executed_units: *//p' "$fuzz_log") runs, clean"
done
