#!/usr/bin/env bash
# The seeded random test of the desktop program, at length: random sequences
# of clicks, keys, mnemonics, close requests, signals, accessibility presses
# and answers against camera-emulator, each checked for its invariants.
#   scripts/monkey.sh [--sequences N] [--seed S] [--steps K] [--stop-on-failure]
# A failing sequence prints its seed; --sequences 1 --seed S replays it.
# BUILD_DIR names the build tree (default build/normal, built beforehand).
set -euo pipefail
cd "$(dirname "$0")/.."
export BUILD_DIR=${BUILD_DIR:-build/normal}
[ -x "$BUILD_DIR/frontends/qt/oskel-uploader" ] || { echo "monkey: build $BUILD_DIR first" >&2; exit 2; }
exec tests/desktop/monkey.sh --sequences 300 "$@"
