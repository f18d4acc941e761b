#!/usr/bin/env bash
# Installs what the build and the tests need, by the names the distribution
# has (tried on Debian 12 and 13; written for any Debian or Ubuntu with Qt 6,
# such as Ubuntu 24.04), using sudo when not root. A package of an optional
# group that the distribution does not have is reported, and the tests that
# need it are skipped with that reason; a missing required one stops here.
set -euo pipefail

required=(cmake ninja-build g++ libgtest-dev libgmock-dev)
# The Qt 6 Widgets front end; real fonts make offscreen rendering and text
# metrics the same on every machine.
required+=(qt6-base-dev qt6-base-dev-tools fonts-dejavu-core)
# The window places itself by the frame the window manager reports, read
# through xcb (found with pkg-config; Debian 13's Qt no longer brings them).
required+=(pkgconf libxcb1-dev)
# cpack -G DEB finds the package's library dependencies with these.
required+=(dpkg-dev file)
# The distributions' validators the package test runs: lintian on the
# package, desktop-file-validate on its desktop entry, appstreamcli on its
# software-centre metadata.
required+=(lintian desktop-file-utils appstream)
required+=(clang) # scripts/test.sh builds and runs the suite with Clang too
required+=(zsh fish) # the tests parse the shell completion scripts
required+=(python3-jsonschema) # the tests validate the command line's JSON against its schema
# The desktop checks (ctest -L desktop) and scripts/screenshots-desktop.sh:
# the real program on a private X display with a real window manager.
required+=(xvfb openbox xdotool x11-utils imagemagick libx11-dev)
# The random test of the window presses buttons as a screen reader does: a
# private session bus, the accessibility bus and gdbus.
required+=(dbus at-spi2-core libglib2.0-bin)
required+=(python3) # the manual's checks (ctest -L docs)

# Optional groups: "group|what is skipped without it|packages". A package
# written "a/b" is the first of those names the distribution has.
optional=(
  # The clang runtime of the distribution's default clang (libFuzzer and the
  # sanitizers); older releases have only the versioned name.
  "fuzzing|scripts/fuzz.sh and the fuzz pass of scripts/test.sh|libclang-rt-dev/libclang-rt-CLANG-dev"
  # The desktop program as a native Wayland client under a headless compositor.
  "wayland|the wayland_session test (ctest -L desktop)|weston qt6-wayland"
  # scripts/bench.sh --load (stress-ng; chrt and setpriv come with util-linux).
  "load benchmark|scripts/bench.sh --load|stress-ng util-linux"
  # scripts/docs-images.sh: the layer picture and small PNGs.
  "manual pictures|scripts/docs-images.sh|graphviz pngquant optipng"
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# What is installed, read once.
declare -A is_installed=()
read_installed() {
  local name
  is_installed=()
  while read -r name; do is_installed[$name]=1; done < <(
    dpkg-query -W -f='${Package} ${Status}\n' 2>/dev/null | sed -n 's/ install ok installed$//p')
}
installed() { [ -n "${is_installed[$1]:-}" ]; }
candidate() { apt-cache policy "$1" 2>/dev/null | sed -n 's/^ *Candidate: *//p' | grep -v '^(none)$' || true; }
available() { [ -n "$(candidate "$1")" ]; }
# The major version of the clang that is installed, else of the one apt
# would install ("14" on Debian 12, "19" on Debian 13).
clang_major() {
  local version
  version=$(dpkg-query -W -f='${Version}' clang 2>/dev/null) || version=$(candidate clang)
  echo "$version" | sed -n 's/^\([0-9]*:\)\{0,1\}\([0-9]*\).*/\2/p'
}
# The package to install for NAME or for "a/b" alternatives: one that is
# installed, else the first one apt has; empty when it has none.
resolve() {
  local name alternatives
  IFS=/ read -r -a alternatives <<<"${1//CLANG/$major}"
  for name in "${alternatives[@]}"; do installed "$name" && { echo "$name"; return; }; done
  for name in "${alternatives[@]}"; do available "$name" && { echo "$name"; return; }; done
  return 0
}

# Fills missing (to install), unavailable (required, not offered) and
# reports (optional groups not offered) from apt's current lists.
plan() {
  local p pick group name skipped packages names want lacking major
  missing=() unavailable=() reports=()
  read_installed
  major=$(clang_major)
  for p in "${required[@]}"; do
    installed "$p" && continue
    if available "$p"; then missing+=("$p"); else unavailable+=("$p"); fi
  done
  for group in "${optional[@]}"; do
    IFS='|' read -r name skipped packages <<<"$group"
    read -r -a names <<<"$packages"
    want=() lacking=()
    for p in "${names[@]}"; do
      pick=$(resolve "$p")
      if [ -z "$pick" ]; then
        lacking+=("${p//CLANG/$major}")
      elif ! installed "$pick"; then
        want+=("$pick")
      fi
    done
    if [ ${#lacking[@]} -gt 0 ]; then
      reports+=("Optional $name packages not offered here: ${lacking[*]}; skipped without them: $skipped")
    else
      missing+=("${want[@]}")
    fi
  done
}

plan
# The package lists are read again only when something is to be installed.
if [ ${#missing[@]} -gt 0 ] || [ ${#unavailable[@]} -gt 0 ]; then
  echo "Reading the package lists"
  $sudo apt-get update -qq
  plan
fi
for report in "${reports[@]}"; do echo "$report"; done
if [ ${#unavailable[@]} -gt 0 ]; then
  echo "setup.sh: this distribution does not offer ${unavailable[*]}, needed to build and test" >&2
  exit 1
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

# The suite runs once more in German (scripts/test-as-user.sh) and checks
# figures and case mapping under German and Turkish rules: generate those
# two locales when missing (the locales package holds their sources).
missing_locales=()
for name in de_DE tr_TR; do
  locale -a 2>/dev/null | grep -qx "$name.utf8" || missing_locales+=("$name")
done
if [ ${#missing_locales[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  if ! dpkg-query -W -f='${Status}' locales 2>/dev/null | grep -q "install ok installed"; then
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq locales
  fi
  for name in "${missing_locales[@]}"; do
    echo "Generating the locale $name.UTF-8"
    $sudo localedef -i "$name" -c -f UTF-8 -A /usr/share/locale/locale.alias "$name.UTF-8"
  done
fi
