#!/bin/sh
# Installs the Debian/Ubuntu packages Freqsmith needs that are not installed yet.
#   install-deps.sh           what building and running the program needs
#   install-deps.sh test      ... plus what the test suite needs (clang for the fuzz targets,
#                             the fonts the screenshot test draws with, the style check's
#                             clang-format and shellcheck)
#   install-deps.sh tidy      ... plus clang-tidy, which the test suite runs when it is there
#   install-deps.sh bench     ... plus what the benchmarks need
#   install-deps.sh windows   ... plus what the Windows release needs: the MinGW-w64 cross
#                             compiler, Wine, GoogleTest's sources, makensis
#                             and zip (and dpkg-dev, which unpacks Qt's source package),
#                             osslsigncode and openssl, which sign it when a certificate
#                             is given, and python3, whose HTTP server stands in for a
#                             time-stamp authority in the signing test
#   install-deps.sh wine-desktop  ... plus a virtual X display and the tools that drive
#                             and read the Windows program's window under Wine
#   install-deps.sh package   ... plus what makes the .deb and the distribution's checkers
#                             of packages, desktop entries and AppStream metadata
# Several groups may be given. Installs nothing when everything is present.
set -eu

packages="cmake ninja-build g++ make pkg-config qt6-base-dev fonts-liberation2"
for group in "$@"; do
  case "$group" in
    build) ;;
    test) packages="$packages googletest libgtest-dev clang-14 libclang-rt-14-dev fonts-dejavu-core
      clang-format-14 shellcheck git" ;;
    package) packages="$packages dpkg-dev file lintian desktop-file-utils appstream" ;;
    debootstrap) packages="$packages debootstrap" ;;
    tidy) packages="$packages clang-tidy-14" ;;
    bench) packages="$packages libbenchmark-dev time" ;;
    windows) packages="$packages g++-mingw-w64-x86-64-posix wine wine64 googletest nsis zip dpkg-dev osslsigncode openssl python3" ;;
    wine-desktop) packages="$packages xvfb xauth xdotool xclip unzip imagemagick" ;;
    screenshot) packages="$packages xvfb xauth imagemagick xdotool" ;;
    *) echo "install-deps.sh: unknown group '$group'" >&2; exit 2 ;;
  esac
done

missing=""
for p in $packages; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=""
elif command -v sudo >/dev/null 2>&1; then
  as_root="sudo"
else
  echo "install-deps.sh: these packages are missing and neither root nor sudo is available:$missing" >&2
  exit 1
fi

echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
$as_root apt-get update -qq
# shellcheck disable=SC2086
$as_root apt-get install -y -qq --no-install-recommends $missing
