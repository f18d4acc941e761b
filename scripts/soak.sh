#!/usr/bin/env bash
# Seeded fault soak: random uploads, removals, listings, About reads and
# reconnects, each one run of oskel-uploader-cli, against camera-emulator
# with its random faults on. After every operation a fresh `list --json` must
# show exactly the programs the emulator holds (hosts hidden, as the list
# hides them) and its free memory.
#
#   scripts/soak.sh SEED OPERATIONS
#
# Environment: SOAK_PERMILLE (faulty packets per 1000, default 20),
# SOAK_TIMEOUT (seconds one run may take, default 90), BUILD_DIR (default
# build/normal), SOAK_KEEP=1 keeps the work folder.
#
# A run may fail (status 1 with a message, or 3 when the camera could not be
# reached); the soak stops with status 1 at a mismatch, a hang, a crash, a
# failure without a message or any other status, printing the seed and the
# operation so that `scripts/soak.sh SEED N` replays up to it.
set -uo pipefail
cd "$(dirname "$0")/.."
# The text tools below match bytes: under tr_TR, [a-zA-Z] leaves out the i.
export LC_ALL=C

if [ $# -ne 2 ] || ! [[ $1 =~ ^[0-9]+$ && $2 =~ ^[0-9]+$ ]]; then
  echo "usage: scripts/soak.sh SEED OPERATIONS" >&2
  exit 2
fi
seed=$1
operations=$2
permille=${SOAK_PERMILLE:-20}
limit=${SOAK_TIMEOUT:-90}
build=${BUILD_DIR:-build/normal}
[[ $build = /* ]] || build=$PWD/$build
cli=$build/frontends/cli/oskel-uploader-cli
emulator_bin=$build/emulator/camera-emulator
samples=$build/emulator/make-sample-programs
for tool in "$cli" "$emulator_bin" "$samples"; do
  [ -x "$tool" ] || { echo "soak: $tool is missing; build first" >&2; exit 2; }
done

work=$(mktemp -d /tmp/oskel-soak.XXXXXX)
emulator=
cleanup() {
  [ -n "$emulator" ] && kill -INT "$emulator" 2>/dev/null && wait "$emulator" 2>/dev/null
  if [ "${SOAK_KEEP:-0}" = 1 ] || [ "${failed:-0}" = 1 ]; then
    echo "soak: work folder kept: $work" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work XDG_RUNTIME_DIR=$work XDG_CACHE_HOME=$work

"$samples" --signature plus "$work/programs" >/dev/null || exit 2
files=(CLOCK.FNC SLIDES.FNC TIMER.FNC FRAMEA.ATC FRAMEB.ATC STAMPA.ATC)

# Shorter camera delays than the defaults keep the soak quick; the PC's own
# waits (1500 ms after each upload) are as always.
"$emulator_bin" --link "$work/camera" --quiet --random-faults "$seed:$permille" \
  --store-file "$work/store.txt" --upload-enq-delay 300 --erase-enq-delay 300 \
  --wire-log "$work/wire.log" 2>"$work/emulator.err" &
emulator=$!
for _ in $(seq 100); do [ -e "$work/camera" ] && [ -e "$work/store.txt" ] && break; sleep 0.05; done

RANDOM=$seed
declare -A statuses=()
failures=0
mismatches=0
op=0
started=$SECONDS

fail() {
  failed=1
  echo "soak: FAILED at operation $op of seed $seed: $*" >&2
  echo "soak: operation: oskel-uploader-cli ${last_args[*]}" >&2
  echo "soak: replay with: scripts/soak.sh $seed $op   (SOAK_PERMILLE=$permille)" >&2
  exit 1
}

# Runs the CLI once; sets run_status, run_out, run_err.
run() {
  last_args=("$@")
  timeout -k 5 "$limit" "$cli" --device "$work/camera" --folder "$work/programs" "$@" \
    >"$work/out" 2>"$work/err" </dev/null
  run_status=$?
  run_out=$(cat "$work/out")
  run_err=$(cat "$work/err")
}

# What a run may end with: done, a failure with its message, or no camera.
check_run() {
  local what=$1
  case $run_status in
    0) ;;
    1|3)
      [ -n "$run_err" ] || fail "$what ended with status $run_status without a message"
      failures=$((failures + 1))
      echo "soak: operation $op: ${last_args[*]}: status $run_status: $(grep -v '^ \|^Uploading' "$work/err" | tr '\n' ' ')" ;;
    124|137) fail "$what did not end within ${limit} s" ;;
    *) fail "$what ended with status $run_status: $run_err" ;;
  esac
  if grep -q "runtime error\|AddressSanitizer\|LeakSanitizer" "$work/err"; then
    fail "$what: sanitizer report: $run_err"
  fi
  kill -0 "$emulator" 2>/dev/null || fail "the emulator has gone: $(cat "$work/emulator.err")"
  statuses[$what:$run_status]=$(( ${statuses[$what:$run_status]:-0} + 1 ))
}

# "slot name version" for each listed camera program, from list --json.
program_view() {
  local camera=${1#*\"camera\":}
  grep -o '"slot":[0-9]*\|"cameraName":"[^"]*"\|"version":"[^"]*"' <<<"$camera" |
    sed 's/^"[a-zA-Z]*":"\{0,1\}//; s/"$//' | paste -d ' ' - - -
  grep -o '"freeMemory":[0-9-]*' <<<"$camera" | sed 's/.*:/free /'
}

# The same from the emulator's store: hosts (kind 4) are not listed.
store_view() {
  awk 'NR == 1 { free = $(NF - 1); next }
       { match($0, / kind [0-9]+ /); kind = substr($0, RSTART + 6, RLENGTH - 7)
         match($0, / version 0x[0-9A-Fa-f]+ /); version = substr($0, RSTART + 11, RLENGTH - 12)
         name = substr($0, 5, 11); base = substr(name, 1, 8); ext = substr(name, 9, 3)
         gsub(/ +$/, "", base); gsub(/ +$/, "", ext)
         if (kind != 4) print $1, base (ext == "" ? "" : "." ext), version }
       END { print "free", free }' "$work/store.txt"
}

check_view() {
  local listing=$1 attempt operation=("${last_args[@]}") status=$run_status
  for attempt in 1 2 3; do
    [ -n "$listing" ] && break
    run --json list
    check_run view
    [ "$run_status" = 0 ] && listing=$run_out
  done
  [ -n "$listing" ] || fail "list failed three times in a row: $run_err"
  last_args=("${operation[@]}")
  local seen expected
  seen=$(program_view "$listing")
  expected=$(store_view)
  if [ "$seen" != "$expected" ]; then
    mismatches=$((mismatches + 1))
    fail "the program's view differs from the camera's store
--- list --json shows:
$seen
--- the camera holds:
$expected"
  fi
  # An operation that says it succeeded must have done its work.
  if [ "$done_what" = remove ] && ((status == 0)) &&
     (($(grep -vc '^free' <<<"$seen") != ${#slots[@]} - ${#targets[@]})); then
    fail "remove said done, but the camera lists $(grep -vc '^free' <<<"$seen") programs, not ${#slots[@]} - ${#targets[@]}"
  fi
  if [ "$done_what" = upload ] && ((status == 0)); then
    local name
    for name in "${names[@]}"; do
      grep -q " $name " <<<"$seen" || fail "upload said done, but the camera does not list $name"
    done
  fi
  slots=($(awk '$1 != "free" { print $1 }' <<<"$seen"))
}

slots=()
last_args=(--json list)
run_status=0
done_what=
check_view ""
for ((op = 1; op <= operations; op++)); do
  pick=$((RANDOM % 100))
  listing=
  done_what=
  if ((pick < 35)); then
    names=("${files[RANDOM % 6]}")
    ((RANDOM % 3 == 0)) && names+=("${files[RANDOM % 6]}")
    [ "${names[0]}" = "${names[1]:-}" ] && names=("${names[0]}")
    answer=--yes
    ((RANDOM % 5 == 0)) && answer=--no
    run -q "$answer" upload "${names[@]}"
    check_run upload
    done_what=upload
  elif ((pick < 60)); then
    if ((${#slots[@]} == 0)); then
      names=("${files[RANDOM % 6]}")
      run --yes upload "${names[@]}"
      check_run upload
      done_what=upload
    else
      targets=("#${slots[RANDOM % ${#slots[@]}]}")
      ((${#slots[@]} > 1 && RANDOM % 3 == 0)) && targets+=("#${slots[RANDOM % ${#slots[@]}]}")
      [ "${targets[0]}" = "${targets[1]:-}" ] && targets=("${targets[0]}")
      run --yes remove "${targets[@]}"
      check_run remove
      done_what=remove
    fi
  elif ((pick < 75)); then
    run --json list
    check_run list
    [ "$run_status" = 0 ] && listing=$run_out
  elif ((pick < 88)); then
    run about
    check_run about
  else
    speeds=(auto auto 57600 230400)
    run --speed "${speeds[RANDOM % 4]}" probe
    check_run probe
  fi
  check_view "$listing"
  if ((op % 50 == 0)); then
    echo "soak: $op of $operations operations, $failures failed runs, $mismatches mismatches, $((SECONDS - started)) s"
  fi
done

echo "soak: seed $seed, $operations operations at $permille faulty packets per 1000:" \
  "$mismatches mismatches, $failures failed runs, $((SECONDS - started)) s"
for key in $(printf '%s\n' "${!statuses[@]}" | sort); do
  echo "soak:   ${key%:*} status ${key#*:}: ${statuses[$key]}"
done
