#!/usr/bin/env bash
# The load benchmark; scripts/bench.sh --load runs it and sets repeat,
# as_user, rtprio, cap_sys_nice, stress, tag, bin (the benchmark programs)
# and out.
#
# 500 KB uploads at 230400 bit/s, one at a time, each with its own
# camera-emulator and wire log, while stress-ng runs the standard load. The
# emulator stands for a camera with its own processor, so it runs at
# real-time priority when it may, to measure the program and not the
# stand-in. The wire logs tell apart what the rig does by itself: a byte the
# program sent (and waited out) just before a speed change can reach the
# emulator after it, through the pty's kernel worker, and is judged at the
# new speed ("garbled" in the log) although it went out right.
set -euo pipefail
cd "$(dirname "$0")/.."

dir=$out/load
mkdir -p "$dir"
if [ -z "$tag" ]; then
  tag=$(id -un)
  [ -z "$as_user" ] || tag="$as_user, ulimit -r $rtprio"
  [ "$cap_sys_nice" = 0 ] || tag="$as_user, CAP_SYS_NICE"
fi
slug=$(printf '%s' "$tag" | tr -c 'A-Za-z0-9' '-')
runs=$dir/$slug.csv
logs=$dir/$slug-wire
if [ "$repeat" -gt 0 ]; then
  rm -rf "$runs" "$logs"
  mkdir -p "$logs"
fi

emulator=$(readlink -f "$bin/../emulator/camera-emulator")
wrapper=$dir/camera-emulator-raised
cat > "$wrapper" <<WRAP
#!/bin/sh
# camera-emulator at real-time priority when the user may have it.
for prio in 50 \$(ulimit -r); do
  [ "\$prio" != unlimited ] && [ "\$prio" -gt 0 ] 2>/dev/null || continue
  [ "\$prio" -le 50 ] || prio=50
  chrt -f "\$prio" true 2>/dev/null && exec chrt -f "\$prio" "$emulator" "\$@"
done
exec "$emulator" "\$@"
WRAP
chmod 755 "$wrapper"

run_as=()
if [ -n "$as_user" ]; then
  [ "$(id -u)" -eq 0 ] || { echo "bench.sh: --as-user needs root" >&2; exit 2; }
  chmod 777 "$dir" "$logs"
  run_as=(setpriv --reuid="$as_user" --regid="$(id -g "$as_user")" --clear-groups --inh-caps=-all --)
  # Raising a hard limit needs CAP_SYS_RESOURCE, which some containers lack:
  # CAP_SYS_NICE then gives the user the same real-time class.
  if [ "$cap_sys_nice" = 1 ]; then
    run_as=(setpriv --reuid="$as_user" --regid="$(id -g "$as_user")" --clear-groups --inh-caps=+sys_nice
            --ambient-caps=+sys_nice --)
  fi
fi

conditions=$dir/$slug-conditions.md
stress_pid=
stop_stress() { [ -z "$stress_pid" ] || kill "$stress_pid" 2>/dev/null || true; wait 2>/dev/null || true; }
trap stop_stress EXIT
if [ "$stress" = 1 ] && [ "$repeat" -gt 0 ]; then
  stress-ng --cpu 4 --io 2 --vm 1 --vm-bytes 256M --quiet &
  stress_pid=$!
  sleep 5 # let the load build up
fi

[ "$repeat" -gt 0 ] && {
  echo "- $tag: $repeat runs started $(date '+%Y-%m-%d %H:%M:%S %Z') on $(nproc) processors, $(uname -sr)"
  if [ "$stress" = 1 ]; then echo "- load: stress-ng --cpu 4 --io 2 --vm 1 --vm-bytes 256M"; else echo "- no added load"; fi
  echo "- load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
} > "$conditions"
for ((k = 1; k <= repeat; k++)); do
  log=$logs/run-$k.log
  ( ulimit -r "$rtprio" 2>/dev/null || true
    OSKEL_BENCH_WIRE_LOG=$log exec "${run_as[@]}" "$bin/bench_upload" --only 500KB --only 230400 --run "$k" \
      --csv "$runs" --emulator "$wrapper" ) || true
done
[ "$repeat" -eq 0 ] || echo "- load average at the end: $(cut -d' ' -f1-3 /proc/loadavg), $(date '+%H:%M:%S')" >> "$conditions"
stop_stress

# One line of the summary: success rate, ratio to the floor, the garbles.
# From the wire logs: partial packets the camera dropped, ACKs it never got
# before the next command (unless judged at the wrong speed just before:
# the pty's hop), and bytes judged at a speed the PC had switched to.
read -r cut lost garbled < <(cat "$logs"/*.log 2>/dev/null | awk '
  /incomplete packet dropped/ { cut++ }
  /transfer dropped: a new command begins/ && previous !~ /garbled/ { lost++ }
  /garbled/ { garbled++ }
  { previous = $0 }
  END { print cut + 0, lost + 0, garbled + 0 }')
runs_made=$(($(wc -l < "$runs") - 1))
row=$(awk -F, 'NR > 1 && $5 == 1 { print $11 }' "$runs" | sort -n | awk -v tag="$tag" -v n="$runs_made" \
  -v wire="$cut | $lost | $garbled" '
  { r[++ok] = $1; if ($1 <= 1.10) within++ }
  END {
    median = ok > 0 ? r[int((ok + 1) / 2)] : 0
    printf "| %s | %d of %d | %d | %.4f | %.4f | %s |", tag, ok, n, within, median, r[ok] + 0, wire
  }')
report=$out/report.md
if ! grep -q '^## Under load' "$report" 2>/dev/null; then
  cat >> "$report" <<'HEAD'

## Under load

500 KB uploads at 230400 bit/s (`scripts/bench.sh --load`), camera-emulator at real-time priority.
*within 1.10*: runs that took at most 1.10 x their floor; the ratios are over the runs that
succeeded. From the emulator's wire logs: *packets cut*: partial packets the camera dropped after
a pause of more than 100 ms; *ACKs lost*: answers the camera never received before the PC's next
command; *speed-change garbles*: bytes the emulator judged at a speed the PC switched to after
sending them (the pty's hop, not the program).

| who | succeeded | within 1.10 | ratio (median) | ratio (worst) | packets cut | ACKs lost | speed-change garbles |
|---|---|---|---|---|---|---|---|
HEAD
fi
echo "$row" >> "$report"
[ "$repeat" -eq 0 ] || cat "$conditions" >> "$dir/conditions.md"
echo "$row"
cat "$conditions"
echo "written: $runs, $logs/, $report"
