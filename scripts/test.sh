#!/usr/bin/env bash
# Builds and runs every test: a normal build, its suite again as an ordinary
# user in German in a hostile environment (scripts/test-as-user.sh), the same
# suite built with Clang, then one with AddressSanitizer and
# UndefinedBehaviorSanitizer; then runs each fuzz target briefly, so that
# every one still builds and runs clean. The normal build's suite also
# packages the program once and checks the package with lintian,
# desktop-file-validate and appstreamcli (ctest -L package), and all run the
# program under a headless Wayland compositor (ctest -L desktop). Run it as an
# ordinary user: sudo is asked for only to install packages and generate
# locales.
#   scripts/test.sh --on trixie|bookworm [--full]: the normal build and suite
#   in a chroot of that Debian release instead (scripts/test-on.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--on" ]; then
  shift
  exec scripts/test-on.sh "$@"
fi
scripts/setup.sh

# Compiler warnings fail the builds in CI (CI=true, or OSKEL_WERROR=ON); a
# user's run only shows them, so a newer compiler's new warning stops nobody.
werror=${OSKEL_WERROR:-OFF}
[ "${CI:-}" != "true" ] || werror=ON

jobs=$(nproc)
# run_suite DIR [CMAKE OPTIONS...] [-- CTEST OPTIONS...]
run_suite() {
  local dir=$1 configure=(); shift
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do configure+=("$1"); shift; done
  [ $# -eq 0 ] || shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSKEL_WERROR="$werror" "${configure[@]}" >/dev/null
  ninja -C "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" "$@"
}

echo "== normal build =="
run_suite build/normal
# The same suite in the caller's shoes: an ordinary user ("nobody" when run
# as root, as CI runs), in German, with a hostile desktop session.
echo "== normal build, as an ordinary user, in German, in a hostile environment =="
status=0
scripts/test-as-user.sh de_DE.UTF-8 || status=$?
if [ "$status" -eq 77 ]; then
  echo "SKIPPED: the ordinary user's pass cannot run here (the reason is above)"
elif [ "$status" -ne 0 ]; then
  exit "$status"
fi
echo "== Clang build =="
# The distribution's clang, whose warnings and header set differ from GCC's.
# The package check and the two-minute fault soak run once, in the normal
# build: they would repeat the same checks at the same cost.
run_suite build/clang -DCMAKE_CXX_COMPILER=clang++ -- -LE 'package|soak'
echo "== sanitizer build =="
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_suite build/sanitize -DOSKEL_SANITIZE=ON
echo "== fuzz targets, a few seconds each =="
fuzz_log=$(mktemp)
trap 'rm -f "$fuzz_log"' EXIT
# libFuzzer comes with the clang runtime, an optional package.
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
  clang++ -x c++ -fsanitize=fuzzer - -o "$fuzz_log" >/dev/null 2>&1; then
  echo "SKIPPED: clang++ -fsanitize=fuzzer does not link here (no clang runtime; scripts/setup.sh installs libclang-rt-dev where the distribution has it)"
  exit 0
fi
for target in $(scripts/fuzz.sh --list); do
  if ! scripts/fuzz.sh "$target" 8 -runs=200000 >"$fuzz_log" 2>&1; then
    tail -n 80 "$fuzz_log"
    echo "fuzz target $target failed: replay with build/fuzz/fuzz/fuzz_$target build/fuzz/artifacts/$target/<file>"
    exit 1
  fi
  echo "$target: $(sed -n 's/^stat::number_of_executed_units: *//p' "$fuzz_log") runs, clean"
done
