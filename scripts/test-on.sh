#!/usr/bin/env bash
# Tries the project on another Debian release as a new user would: makes a
# chroot of that release with debootstrap (kept between runs), copies this
# checkout into it, and runs scripts/setup.sh, the normal build and the
# normal suite there.
#
#   scripts/test-on.sh trixie|bookworm [--full] [--clean]
#     --full: all of scripts/test.sh; --clean: the chroot's build trees made anew
#   scripts/test-on.sh --remove trixie|bookworm   # delete a cached chroot
#
# The chroots live under $OSKEL_CHROOTS (default /var/cache/oskel-chroots);
# the first run downloads a few hundred MB. The mirror is the first Debian
# one in /etc/apt/sources.list*, or $OSKEL_MIRROR. Needs root (sudo is used
# when not root). /proc, /sys, /dev, /dev/pts and /dev/shm are mounted into
# the chroot for the desktop and Wayland tests and always unmounted on exit;
# nothing under a chroot is ever removed while anything is mounted in it.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  echo "usage: scripts/test-on.sh RELEASE [--full] [--clean] | --remove RELEASE  (RELEASE: trixie, bookworm, ...)" >&2
  exit 2
}
if [ "$(id -u)" -ne 0 ]; then
  exec sudo --preserve-env=OSKEL_CHROOTS,OSKEL_MIRROR "$0" "$@"
fi

remove=0 full=0 clean=0 release=""
for arg in "$@"; do
  case $arg in
    --remove) remove=1 ;;
    --full) full=1 ;;
    --clean) clean=1 ;;
    -*) usage ;;
    *) [ -z "$release" ] || usage; release=$arg ;;
  esac
done
[[ $release =~ ^[a-z]+$ ]] || usage

chroots=${OSKEL_CHROOTS:-/var/cache/oskel-chroots}
root=$chroots/$release

# Anything still mounted at or below the chroot (findmnt lists it).
mounted_below() {
  findmnt -rn -o TARGET | awk -v r="$(realpath -m "$root")" '$0 == r || index($0, r "/") == 1'
}
unmount_all() {
  local target
  # Deepest first; a busy one is detached lazily so the next check sees it gone.
  for target in $(mounted_below | sort -r); do
    umount -R "$target" 2>/dev/null || umount -R -l "$target" 2>/dev/null || true
  done
}
# Removes the chroot, refusing while anything is mounted below it: a removal
# through a bound /dev would delete the machine's device nodes.
remove_root() {
  unmount_all
  if [ -n "$(mounted_below)" ]; then
    echo "test-on.sh: still mounted under $root, not removing it:" >&2
    mounted_below >&2
    exit 1
  fi
  rm -rf --one-file-system "$root"
}

if [ $remove -eq 1 ]; then
  [ -d "$root" ] && remove_root
  echo "removed $root"
  exit 0
fi

command -v debootstrap >/dev/null || {
  echo "test-on.sh: debootstrap is not installed (apt-get install debootstrap)" >&2
  exit 2
}

mirror=${OSKEL_MIRROR:-}
if [ -z "$mirror" ]; then
  mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
    grep -oE 'https?://[^ ]*/debian/?( |$)' | grep -v security | head -n 1 | tr -d ' ') || true
fi
mirror=${mirror:-http://deb.debian.org/debian}

trap unmount_all EXIT
trap 'exit 130' INT TERM HUP

if [ ! -f "$root/.oskel-ready" ]; then
  # A half-made chroot from an interrupted run is made again from the start.
  [ -d "$root" ] && remove_root
  mkdir -p "$chroots"
  echo "== debootstrap $release from $mirror into $root =="
  debootstrap --variant=minbase --include=ca-certificates "$release" "$root" "$mirror"
  # No services are started by the packages setup.sh installs.
  printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
  chmod +x "$root/usr/sbin/policy-rc.d"
  touch "$root/.oskel-ready"
fi

mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount --bind /dev/shm "$root/dev/shm"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true

# This checkout as it stands (committed or not), without its build trees.
# The chroot's own build/ is kept, so a second run rebuilds only what
# changed: a changed or new file is copied with the time of the copy, a file
# gone is removed (--clean starts the build over).
[ $clean -eq 0 ] || rm -rf --one-file-system "$root/src"
stage=$root/var/tmp/oskel-src
rm -rf --one-file-system "$stage"
mkdir -p "$stage" "$root/src"
git ls-files -z --cached --others --exclude-standard | tar -c --null -T - | tar -x -C "$stage"
(cd "$stage" && find . ! -type d -print0) | while IFS= read -r -d '' f; do
  cmp -s "$stage/$f" "$root/src/$f" 2>/dev/null && continue
  mkdir -p "$(dirname "$root/src/$f")"
  cp -P --preserve=mode "$stage/$f" "$root/src/$f"
done
(cd "$root/src" && find . -path ./build -prune -o ! -type d -print0) | while IFS= read -r -d '' f; do
  [ -e "$stage/$f" ] || [ -L "$stage/$f" ] || rm -f "$root/src/$f"
done
rm -rf --one-file-system "$stage"

if [ $full -eq 1 ]; then
  steps='scripts/test.sh'
else
  steps='scripts/setup.sh
    cmake -S . -B build/normal -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSKEL_WERROR=ON >/dev/null
    ninja -C build/normal -k 0 -j "$(nproc)" | tee build/normal-build.log
    ctest --test-dir build/normal --output-on-failure -j "$(nproc)"'
fi
echo "== $release: $(echo "$steps" | sed 's/^ *//' | paste -sd ';' | sed 's/;/; /g') =="
status=0
chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" LANG=C.UTF-8 \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  bash -c "set -euo pipefail; cd /src; $steps" || status=$?

compilers=$(chroot "$root" sh -c 'g++ --version | head -n 1; clang++ --version 2>/dev/null | head -n 1' || true)
if [ $status -eq 0 ]; then
  echo "== $release: passed ($(echo "$compilers" | paste -sd ';' | sed 's/;/; /g')) =="
else
  echo "== $release: FAILED (status $status) =="
fi
exit $status
