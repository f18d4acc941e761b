#!/bin/sh
# The dry run against the real run on generated cameras, at length:
#   scripts/differential.sh [--cases N] [--seed S] [BUILD_DIR]
# --cases N runs seeds 1..N (default 10000); --seed S replays one case and
# prints both runs. The short run (300 cases) is part of the unit tests.
set -eu
cases=10000
seed=
build=build/normal
while [ $# -gt 0 ]; do
    case "$1" in
    --cases) cases=$2; shift 2 ;;
    --cases=*) cases=${1#--cases=}; shift ;;
    --seed) seed=$2; shift 2 ;;
    --seed=*) seed=${1#--seed=}; shift ;;
    -h|--help) sed -n '2,5p' "$0"; exit 0 ;;
    *) build=$1; shift ;;
    esac
done
tests="$build/tests/oskel_unit_tests"
[ -x "$tests" ] || { echo "$0: $tests is not built" >&2; exit 2; }
if [ -n "$seed" ]; then
    OSKEL_CASE_SEED=$seed exec "$tests" --gtest_filter='DifferentialTest.*'
fi
OSKEL_CASES=$cases exec "$tests" --gtest_filter='DifferentialTest.DryRunAndRealRunAgreeOnGeneratedCameras'
