#!/usr/bin/env bash
# Draws a PNG of each window of the desktop program under build/screenshots/
# (offscreen; no display needed), then the main, progress and About windows
# at scale 2 under build/screenshots/scale2 and scale2-font150. Names given as
# arguments draw only those, at scale 1.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/normal
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
ninja -C "$build" oskel-screenshots
shots="$build/frontends/qt/screenshots/oskel-screenshots"
QT_QPA_PLATFORM=offscreen "$shots" build/screenshots "$@"
# A high-DPI screen (scale factor 2) and, beside it, a 150 % font as well:
# the main window, the progress window and the About box.
if [ $# -eq 0 ]; then
  set -- main main-selected progress-mid-upload about
  QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 "$shots" build/screenshots/scale2 "$@"
  QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 QT_FONT_DPI=144 "$shots" build/screenshots/scale2-font150 "$@"
fi
