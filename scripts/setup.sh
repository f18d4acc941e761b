#!/usr/bin/env bash
# Installs what the build needs on Debian 12, using sudo when not root.
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev libgmock-dev)
# The Qt 6 Widgets front end; real fonts make offscreen rendering and text
# metrics the same on every machine.
packages+=(qt6-base-dev qt6-base-dev-tools fonts-dejavu-core)
# cpack -G DEB finds the package's library dependencies with these.
packages+=(dpkg-dev file)
packages+=(clang libclang-rt-14-dev) # the fuzz targets: scripts/fuzz.sh
packages+=(stress-ng util-linux) # the load benchmark: scripts/bench.sh --load (stress-ng, chrt, setpriv)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
