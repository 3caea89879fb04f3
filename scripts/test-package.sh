#!/bin/sh
# Builds the .deb and checks that it follows the distribution's conventions and installs and
# starts on a clean Debian system: lintian checks the package; a minimal system of this
# machine's release is made with debootstrap, the package is installed there with its
# dependencies from the archive, its desktop entry and AppStream metadata are validated as
# installed, and the program answers --version and --help and runs offscreen for a few
# seconds without falling over.
set -eu
cd "$(dirname "$0")/.."
started=$(date +%s)
./scripts/install-deps.sh build package

./scripts/package-deb.sh
deb=$(ls build/default/freqsmith_*_*.deb)
echo "test-package: built $deb"
dpkg-deb --info "$deb"
version=$(dpkg-deb --field "$deb" Version)
id=io.github.freqsmith.Freqsmith

fail() { echo "test-package: $*" >&2; exit 1; }

# Errors and warnings fail; the few overrides carry their reasons in the package.
echo "test-package: lintian"
lintian --allow-root --fail-on error,warning --display-info --show-overrides "$deb"

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
  installed="$root"
else
  # Elsewhere (Ubuntu and others) the package is checked on this machine itself.
  in_system() { $as_root env "$@"; }
  installed=""
  $as_root cp "$deb" /tmp/freqsmith.deb
fi

in_system DEBIAN_FRONTEND=noninteractive sh -c \
  'apt-get update -qq && apt-get install -y -qq --no-install-recommends /tmp/freqsmith.deb'
for file in /usr/bin/freqsmith /usr/share/applications/$id.desktop \
            /usr/share/icons/hicolor/64x64/apps/$id.png \
            /usr/share/icons/hicolor/scalable/apps/$id.svg \
            /usr/share/metainfo/$id.metainfo.xml /usr/share/man/man1/freqsmith.1.gz \
            /usr/share/doc/freqsmith/copyright /usr/share/doc/freqsmith/changelog.gz; do
  in_system test -f "$file" || fail "$file is missing"
done

hints=$(desktop-file-validate "$installed/usr/share/applications/$id.desktop" 2>&1) ||
  fail "desktop-file-validate failed: $hints"
[ -z "$hints" ] || fail "desktop-file-validate has hints: $hints"
echo "test-package: desktop-file-validate: no errors and no hints"
# --strict fails on anything above a pedantic hint; those are printed (the id's capitals,
# which spell the program's name as it is written, earn one).
echo "test-package: appstreamcli validate"
appstreamcli validate --no-net --strict --pedantic "$installed/usr/share/metainfo/$id.metainfo.xml"

# The release that is packaged is the one the changelog and the metainfo describe.
zcat "$installed/usr/share/doc/freqsmith/changelog.gz" | head -1 | grep -qF "freqsmith ($version)" ||
  fail "the changelog does not start with $version"
grep -qF "<release version=\"$version\"" "$installed/usr/share/metainfo/$id.metainfo.xml" ||
  fail "the metainfo has no release $version"

answer=$(in_system freqsmith --version)
[ "$answer" = "freqsmith $version" ] || fail "--version said '$answer'"
in_system freqsmith --help | grep -q -- "--version" || fail "--help is wrong"

# The window runs until it is closed: still running after a few seconds is the pass.
status=0
in_system QT_QPA_PLATFORM=offscreen timeout 4 freqsmith > build/package-run.log 2>&1 || status=$?
if [ "$status" -ne 124 ]; then
  cat build/package-run.log >&2
  fail "freqsmith ended with status $status instead of running"
fi
echo "test-package: passed in $(($(date +%s) - started))s"
