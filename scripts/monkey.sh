#!/usr/bin/env bash
# The seeded random test of the desktop program, at length: random sequences
# of clicks, keys, mnemonics, close requests, signals, accessibility presses
# and answers against camera-emulator, each checked for its invariants.
#   scripts/monkey.sh [--sequences N] [--seed S] [--steps K] [--jobs J] [--stop-on-failure]
# A failing sequence prints its seed; --sequences 1 --seed S replays it.
# --jobs J runs J displays side by side, each with its share of the seeds
# (S, S+1, ... in consecutive blocks); mostly the sequences wait for the
# camera, so two or three jobs fit on two cores.
# BUILD_DIR names the build tree (default build/normal, built beforehand).
set -euo pipefail
cd "$(dirname "$0")/.."
export BUILD_DIR=${BUILD_DIR:-build/normal}
[ -x "$BUILD_DIR/frontends/qt/oskel-uploader" ] || { echo "monkey: build $BUILD_DIR first" >&2; exit 2; }

sequences=300 seed="" jobs=1 rest=()
while [ $# -gt 0 ]; do
  case $1 in
    --sequences) sequences=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    *) rest+=("$1"); shift ;;
  esac
done
[[ $sequences =~ ^[0-9]+$ && $jobs =~ ^[1-9][0-9]*$ && ${seed:-0} =~ ^[0-9]+$ ]] ||
  { echo "monkey: --sequences, --jobs and --seed take whole numbers" >&2; exit 2; }
seed=${seed:-$((RANDOM * 32768 + RANDOM))}
if [ "$jobs" -eq 1 ]; then
  exec tests/desktop/monkey.sh --sequences "$sequences" --seed "$seed" "${rest[@]}"
fi

# Each job's output goes to a file of its own, shown when all are done.
logs=$(mktemp -d /tmp/oskel-monkey-jobs.XXXXXX)
share=$(((sequences + jobs - 1) / jobs))
pids=()
for ((j = 0; j < jobs; j++)); do
  count=$((sequences - j * share < share ? sequences - j * share : share))
  [ "$count" -gt 0 ] || break
  tests/desktop/monkey.sh --sequences "$count" --seed $((seed + j * share)) "${rest[@]}" >"$logs/job-$j.log" 2>&1 &
  pids+=($!)
done
status=0
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
for log in "$logs"/job-*.log; do
  echo "== ${log##*/} =="
  grep -v '^sequence .*: .* inputs, ok$' "$log" || true
done
echo "monkey: $sequences sequences from seed $seed in $jobs jobs: $(cat "$logs"/job-*.log | grep -c ', ok$') passed" \
  "($(cat "$logs"/job-*.log | grep -c ', FAILED$') failed)"
rm -rf "$logs"
exit $status
