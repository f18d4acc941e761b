#!/usr/bin/env bash
# Runs one libFuzzer target for SECONDS seconds (building build/fuzz with
# clang first when needed): scripts/fuzz.sh TARGET SECONDS [libFuzzer flags].
# New inputs go to build/fuzz/corpus/TARGET (the seeds in fuzz/corpus/TARGET
# are read, never written); a crashing input is saved in
# build/fuzz/artifacts/TARGET/ and the script fails (replay it with
# build/fuzz/fuzz/fuzz_TARGET FILE).
# scripts/fuzz.sh --list names the targets.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C # [a-z_] below matches bytes (under tr_TR it leaves out the i)

targets() { sed -n 's/^oskel_fuzz_target(\([a-z_]*\) .*/\1/p' fuzz/CMakeLists.txt; }

if [ "${1:-}" = "--list" ]; then
  targets
  exit 0
fi
if [ $# -lt 2 ] || ! targets | grep -qx "$1" || ! [[ $2 =~ ^[0-9]+$ ]]; then
  echo "usage: scripts/fuzz.sh TARGET SECONDS [libFuzzer flags]" >&2
  echo "targets: $(targets | tr '\n' ' ')" >&2
  exit 2
fi
target=$1 seconds=$2
shift 2

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ not found; scripts/setup.sh installs clang and libclang-rt-dev" >&2
  exit 2
fi
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ ! -f build/fuzz/build.ninja ]; then
  cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DOSKEL_FUZZ=ON -DOSKEL_BUILD_TESTS=OFF "${launcher[@]}" >/dev/null
fi
ninja -C build/fuzz -j "${FUZZ_BUILD_JOBS:-$(nproc)}" "fuzz/fuzz_$target" >/dev/null

corpus=build/fuzz/corpus/$target
artifacts=build/fuzz/artifacts/$target
mkdir -p "$corpus" "$artifacts"
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1} \
  "build/fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
  -artifact_prefix="$artifacts/" -print_final_stats=1 "$@" "$corpus" "fuzz/corpus/$target"
