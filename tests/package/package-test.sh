#!/usr/bin/env bash
# Builds the Debian package, checks it with the distributions' own
# validators (lintian, desktop-file-validate, appstreamcli), unpacks it into
# a scratch root and runs the installed programs against each other.
#   package-test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
id=org.oskel.ProgramUploader
scratch=$(mktemp -d)
emulator_pid=""
cleanup() {
  [ -z "$emulator_pid" ] || kill "$emulator_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The build tree may be another user's, read-only here: the top-level
# install script writes its manifest into it, so cpack runs the scripts of
# the folders it includes, which install the same files and write nothing
# there.
projects=""
while read -r script; do
  projects+="${projects:+;}$(dirname "$script");OskelUploader;ALL;/"
done < <(sed -n 's/^ *include("\(.*\/cmake_install\.cmake\)")$/\1/p' "$build/cmake_install.cmake")
[ -n "$projects" ] || fail "no install scripts found in $build/cmake_install.cmake"
pack() { cpack -G DEB -B "$scratch/out" --config "$build/CPackConfig.cmake" -D "CPACK_INSTALL_CMAKE_PROJECTS=$projects"; }
pack >/dev/null 2>&1 || pack
deb=$(ls "$scratch"/out/oskel-uploader_*.deb)

echo "== lintian"
lintian --pedantic "$deb" >"$scratch/lintian.txt" 2>&1 || true
grep -v '^running with root privileges' "$scratch/lintian.txt" || true
! grep -q '^[EW]:' "$scratch/lintian.txt" || fail "lintian reports errors or warnings"

root="$scratch/root"
dpkg -x "$deb" "$root"
share="$root/usr/share"

echo "== desktop-file-validate"
desktop-file-validate "$share/applications/$id.desktop"
grep -qx "Icon=$id" "$share/applications/$id.desktop" || fail "the desktop entry does not name the icon $id"
echo "== appstreamcli validate"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml"
grep -q "<id>$id</id>" "$share/metainfo/$id.metainfo.xml" || fail "metainfo id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$share/metainfo/$id.metainfo.xml" \
  || fail "metainfo does not launch $id.desktop"

echo "== files where the desktop looks for them"
for size in 48 128 256; do
  icon="$share/icons/hicolor/${size}x${size}/apps/$id.png"
  [ -f "$icon" ] || fail "missing $icon"
  file "$icon" | grep -q "$size x $size" || fail "$icon is not $size x $size"
done
[ -f "$share/icons/hicolor/scalable/apps/$id.svg" ] || fail "missing the scalable icon"
for page in oskel-uploader oskel-uploader-cli camera-emulator make-sample-programs; do
  [ -x "$root/usr/bin/$page" ] || fail "missing /usr/bin/$page"
  gzip -t "$share/man/man1/$page.1.gz" || fail "missing or broken manual page $page.1.gz"
done
[ -f "$share/doc/oskel-uploader/copyright" ] || fail "missing the copyright file"
gzip -t "$share/doc/oskel-uploader/changelog.gz" || fail "missing the changelog"
# The serial adapter's udev rule is shipped for the user to copy, not active.
[ -f "$share/oskel-uploader/udev/99-oskel-serial-adapter.rules" ] || fail "missing the udev rule"
if find "$root" -path '*/udev/rules.d/*' | grep -q .; then fail "a udev rule is installed where udev reads it"; fi

echo "== the installed programs"
export XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/config"
mkdir -m 700 "$XDG_CONFIG_HOME"
"$root/usr/bin/oskel-uploader-cli" --version | grep -qx "oskel-uploader-cli [0-9.]*" || fail "--version"
"$root/usr/bin/camera-emulator" --link "$scratch/camera" --quiet &
emulator_pid=$!
for _ in $(seq 100); do [ -e "$scratch/camera" ] && break; sleep 0.05; done
probe=$(timeout 60 "$root/usr/bin/oskel-uploader-cli" --device "$scratch/camera" probe)
echo "$probe"
grep -q "^Model: SR82 OSKEL camera emulator" <<<"$probe" || fail "probe did not find the installed emulator"
echo "package test passed"
