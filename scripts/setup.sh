#!/usr/bin/env bash
# Installs what the build needs on Debian 12, using sudo when not root.
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev libgmock-dev)
# The Qt 6 Widgets front end; real fonts make offscreen rendering and text
# metrics the same on every machine.
packages+=(qt6-base-dev qt6-base-dev-tools fonts-dejavu-core)
# cpack -G DEB finds the package's library dependencies with these.
packages+=(dpkg-dev file)
# The distributions' validators the package test runs: lintian on the
# package, desktop-file-validate on its desktop entry, appstreamcli on its
# software-centre metadata.
packages+=(lintian desktop-file-utils appstream)
# The desktop program as a native Wayland client under a headless
# compositor (ctest -L desktop).
packages+=(weston qt6-wayland)
packages+=(clang libclang-rt-14-dev) # the fuzz targets: scripts/fuzz.sh
packages+=(zsh fish) # the tests parse the shell completion scripts
packages+=(python3-jsonschema) # the tests validate the command line's JSON against its schema
# The desktop checks (ctest -L desktop) and scripts/screenshots-desktop.sh:
# the real program on a private X display with a real window manager.
packages+=(xvfb openbox xdotool x11-utils imagemagick libx11-dev)
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
