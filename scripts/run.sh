#!/usr/bin/env bash
# Installs what is missing, builds, and runs the smoke run: the link layer
# against a pseudo-terminal (until the front ends exist).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build/normal -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
ninja -C build/normal
ctest --test-dir build/normal -L integration --output-on-failure
