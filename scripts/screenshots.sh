#!/usr/bin/env bash
# Draws a PNG of each window of the desktop program under build/screenshots/
# (offscreen; no display needed). Names given as arguments draw only those.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/normal
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
ninja -C "$build" oskel-screenshots
QT_QPA_PLATFORM=offscreen "$build/frontends/qt/screenshots/oskel-screenshots" build/screenshots "$@"
