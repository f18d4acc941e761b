#!/usr/bin/env bash
# Builds the benchmarks (optimised, in build/bench) and runs every operation
# against camera-emulator, then writes build/bench/report.md, summary.csv,
# runs.csv (one row per run) and upload-throughput.svg.
#
#   scripts/bench.sh [--repeat N] [--only CASE|SPEED]... [--quick] [--no-replay]
#   scripts/bench.sh --load [--repeat N] [--as-user USER [--rtprio N]] [--no-stress] [--tag NAME]
#
# --repeat N   runs of every case (default 3); the rounds are interleaved so
#              that a disturbance on the machine spreads over the cases
# --only X     only cases named X (2KB, 100KB, 500KB, 100programs, first-run,
#              stored) and/or at speed X (19200, 57600, 115200, 230400)
# --quick      leave out the 500 KB uploads at 19200 and 57600 bit/s (they
#              take five and two minutes a run)
# --no-replay  do not replay each listing and upload run with a bare client
#              (the replay shows what the line costs without the program and
#              doubles the time those cases take)
# --adapters-only  only the serial adapter dimension: the listing of 100
#              programs, the connect and the 100 KB upload at 230400 bit/s
#              (115200 behind uart16550) behind each adapter model of
#              camera-emulator --adapter (pty, ftdi:1, ftdi:16, cp210x,
#              ch341, pl2303, uart16550), then the listing and a 300 KB
#              upload behind each in virtual time; a full run includes them
# --no-adapters   leave that dimension out
# --load       the load benchmark instead: 500 KB uploads at 230400 bit/s
#              (--repeat N, default 20) while stress-ng runs the standard load
#              (--cpu 4 --io 2 --vm 1 --vm-bytes 256M). camera-emulator stands
#              for a camera with its own processor: it runs at real-time
#              priority (chrt -f 50) when it may. Results in build/bench/load/,
#              a summary added to build/bench/report.md.
# --as-user U  (--load, as root) the program runs as user U with ulimit -r N
# --rtprio N   the ulimit -r that --as-user gets (default 20; 0 for none)
# --cap-sys-nice  (--as-user) the capability CAP_SYS_NICE instead of ulimit
#              -r, where root may not raise that limit (a container without
#              CAP_SYS_RESOURCE)
# --no-stress  (--load) the same runs without stress-ng
# --tag NAME   (--load) names the runs in the summary (default: who ran them);
#              --load --repeat 0 --tag NAME adds the summary of runs made before
# OSKEL_BENCH_BUILD=DIR runs the benchmark programs of another build (made
# with -DCMAKE_BUILD_TYPE=Release) instead of building build/bench.
set -euo pipefail
cd "$(dirname "$0")/.."

repeat=3
quick=0
load=0
as_user=
rtprio=20
cap_sys_nice=0
stress=1
tag=
replay=--replay
adapters=1
main=1
only=()
while [ $# -gt 0 ]; do
  case "$1" in
    --repeat) repeat=$2; shift 2 ;;
    --only) only+=(--only "$2"); shift 2 ;;
    --quick) quick=1; shift ;;
    --no-replay) replay=; shift ;;
    --adapters-only) main=0; adapters=1; shift ;;
    --no-adapters) adapters=0; shift ;;
    --load) load=1; repeat=20; shift ;;
    --as-user) as_user=$2; shift 2 ;;
    --rtprio) rtprio=$2; shift 2 ;;
    --cap-sys-nice) cap_sys_nice=1; shift ;;
    --no-stress) stress=0; shift ;;
    --tag) tag=$2; shift 2 ;;
    -h|--help) sed -n '2,40p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench.sh: unknown option $1" >&2; exit 2 ;;
  esac
done

scripts/setup.sh
if [ "$load" = 1 ] && [ "$stress" = 1 ] && ! command -v stress-ng >/dev/null; then
  echo "bench.sh: stress-ng is not installed (scripts/setup.sh installs it where the distribution has it); --no-stress runs without the load" >&2
  exit 2
fi
out=build/bench
if [ -n "${OSKEL_BENCH_BUILD:-}" ]; then
  bin=$OSKEL_BENCH_BUILD/bench
else
  cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOSKEL_BUILD_TESTS=OFF >/dev/null
  ninja -C "$out" camera-emulator bench_upload bench_listing bench_connect bench_report bench_pty_hop
  bin=$out/bench
fi
if [ "$load" = 1 ]; then
  repeat=$repeat as_user=$as_user rtprio=$rtprio cap_sys_nice=$cap_sys_nice stress=$stress tag=$tag bin=$bin out=$out \
    exec scripts/bench-load.sh
fi
runs=$out/runs.csv
conditions=$out/conditions.md
rm -f "$runs"
{
  echo "- started $(date '+%Y-%m-%d %H:%M:%S %Z') on $(nproc) processors, $(uname -sr)"
  echo "- load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "- $("$bin/bench_pty_hop")"
} > "$conditions"
cat "$conditions"

upload_cases=()
if [ "$quick" = 1 ] && [ ${#only[@]} -eq 0 ]; then
  upload_cases=(--only 2KB --only 100KB)
fi
adapter_models=(ftdi:1 ftdi:16 cp210x ch341 pl2303 uart16550)
adapter_round() {
  local round=$1 model speed
  for model in pty "${adapter_models[@]}"; do
    speed=230400
    [ "$model" = uart16550 ] && speed=115200
    "$bin/bench_listing" --adapter "$model" --run "$round" --csv "$runs" --only "$speed" || true
    "$bin/bench_upload" --adapter "$model" --run "$round" --csv "$runs" --only "$speed" --only 100KB || true
    [ "$model" = pty ] || "$bin/bench_connect" --adapter "$model" --run "$round" --csv "$runs" --only stored || true
  done
}
for ((round = 1; round <= repeat; round++)); do
  echo "== round $round of $repeat"
  if [ "$adapters" = 1 ]; then adapter_round "$round"; fi
  if [ "$main" = 0 ]; then continue; fi
  "$bin/bench_connect" --run "$round" --csv "$runs" "${only[@]}" || true
  "$bin/bench_listing" --run "$round" --csv "$runs" $replay "${only[@]}" || true
  "$bin/bench_upload" --run "$round" --csv "$runs" $replay "${only[@]}" "${upload_cases[@]}" || true
  if [ "$quick" = 1 ] && [ ${#only[@]} -eq 0 ]; then
    "$bin/bench_upload" --run "$round" --csv "$runs" $replay --only 500KB --only 115200 --only 230400 || true
  fi
done
# The same operations in virtual time over the in-process emulator line:
# deterministic, so once is enough. They land on their floor when the floor
# model is right and the program adds no waits of its own.
if [ "$main" = 1 ]; then
  "$bin/bench_listing" --virtual --csv "$runs" "${only[@]}" || true
  "$bin/bench_upload" --virtual --csv "$runs" "${only[@]}" || true
fi
# Behind each adapter model in virtual time: the listing and the 300 KB
# upload of the adapter table (the bare line's listing comes from the run
# above unless only the adapters are measured).
if [ "$adapters" = 1 ]; then
  virtual_models=("${adapter_models[@]}")
  [ "$main" = 1 ] || virtual_models=(pty "${virtual_models[@]}")
  for model in "${virtual_models[@]}"; do
    speed=230400
    [ "$model" = uart16550 ] && speed=115200
    "$bin/bench_listing" --virtual --adapter "$model" --csv "$runs" --only "$speed" || true
  done
  for model in pty "${adapter_models[@]}"; do
    speed=230400
    [ "$model" = uart16550 ] && speed=115200
    "$bin/bench_upload" --virtual --adapter "$model" --csv "$runs" --only "$speed" --only 300KB || true
  done
fi
{
  echo "- load average after: $(cut -d' ' -f1-3 /proc/loadavg), finished $(date '+%H:%M:%S')"
  echo "- $("$bin/bench_pty_hop")"
} >> "$conditions"
"$bin/bench_report" "$runs" "$out" --note "$conditions"
