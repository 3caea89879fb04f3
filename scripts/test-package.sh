#!/bin/sh
# Builds the .deb and checks that it installs and starts on a clean Debian system: a minimal
# system of this machine's release is made with debootstrap, the package is installed there
# with its dependencies from the archive, and the program answers --version and --help and
# runs offscreen for a few seconds without falling over.
set -eu
cd "$(dirname "$0")/.."
started=$(date +%s)
./scripts/install-deps.sh build package

cmake --preset default
cmake --build --preset default
(cd build/default && rm -f freqsmith_*.deb && cpack -G DEB)
deb=$(ls build/default/freqsmith_*_*.deb)
echo "test-package: built $deb"
dpkg-deb --info "$deb"

as_root=""
[ "$(id -u)" -eq 0 ] || as_root="sudo"
. /etc/os-release
root="$PWD/build/clean-system"

cleanup() {
  $as_root umount "$root/proc" 2>/dev/null || true
  $as_root rm -rf "$root"
}
trap cleanup EXIT
cleanup

if [ "${ID:-}" = "debian" ]; then
  ./scripts/install-deps.sh debootstrap
  echo "test-package: making a clean $VERSION_CODENAME system"
  $as_root debootstrap --variant=minbase "$VERSION_CODENAME" "$root" http://deb.debian.org/debian \
    > build/debootstrap.log 2>&1 || { tail -20 build/debootstrap.log >&2; exit 1; }
  $as_root mount --bind /proc "$root/proc"
  $as_root cp "$deb" "$root/tmp/freqsmith.deb"
  in_system() { $as_root chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin "$@"; }
else
  # Elsewhere (Ubuntu and others) the package is checked on this machine itself.
  in_system() { $as_root env "$@"; }
  $as_root cp "$deb" /tmp/freqsmith.deb
fi

in_system DEBIAN_FRONTEND=noninteractive sh -c \
  'apt-get update -qq && apt-get install -y -qq --no-install-recommends /tmp/freqsmith.deb'
for file in /usr/bin/freqsmith /usr/share/applications/freqsmith.desktop \
            /usr/share/icons/hicolor/64x64/apps/freqsmith.png \
            /usr/share/icons/hicolor/scalable/apps/freqsmith.svg \
            /usr/share/doc/freqsmith/LICENSE; do
  in_system test -f "$file" || { echo "test-package: $file is missing" >&2; exit 1; }
done
version=$(in_system freqsmith --version)
[ "$version" = "freqsmith 1.34b" ] || { echo "test-package: --version said '$version'" >&2; exit 1; }
in_system freqsmith --help | grep -q -- "--version" || { echo "test-package: --help is wrong" >&2; exit 1; }

# The window runs until it is closed: still running after a few seconds is the pass.
status=0
in_system QT_QPA_PLATFORM=offscreen timeout 4 freqsmith > build/package-run.log 2>&1 || status=$?
if [ "$status" -ne 124 ]; then
  cat build/package-run.log >&2
  echo "test-package: freqsmith ended with status $status instead of running" >&2
  exit 1
fi
echo "test-package: passed in $(($(date +%s) - started))s"
