#!/bin/bash
# Cross-builds Freqsmith for 64-bit Windows in Release and writes the release into dist/:
# the zip (a folder to unpack and run), the installer and SHA256SUMS. The first run on a
# machine also builds Qt for Windows (15 to 35 minutes, cached; see build-qt-windows.sh).
#   package-windows.sh
# Two runs on the same commit give the same bytes (scripts/check-reproducible.sh): every
# time stamp is the commit's, SOURCE_DATE_EPOCH, unless the caller sets another.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$(date +%s)
say() { echo "package-windows: $*"; }

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  if ! SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null); then
    SOURCE_DATE_EPOCH=$(date +%s)
    say "not a git checkout: the files get the time of this build (set SOURCE_DATE_EPOCH to the release's time)"
  fi
fi
export SOURCE_DATE_EPOCH
say "time stamps: $(date -u -d "@$SOURCE_DATE_EPOCH" +%Y-%m-%dT%H:%M:%SZ) (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"

./scripts/install-deps.sh windows
# A signing setting that cannot work fails now, not after the build; deploy.sh says how the
# release is signed, or that it is not.
[ -z "${FREQSMITH_SIGN_CERT:-}" ] || ./packaging/windows/sign.sh --check >/dev/null

say "Qt for Windows"
qt=$(./scripts/build-qt-windows.sh)

build=build/windows-release
mkdir -p build
# The same configuration serves the tests of test-windows.sh, so they share one build.
say "configuring $build"
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DQT_HOST_PATH=/usr \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
  -DFREQSMITH_TESTS=ON -DFREQSMITH_GOOGLETEST_SOURCE=/usr/src/googletest \
  -DFREQSMITH_WINDOWS_PROBE=ON >build/package-windows-configure.log 2>&1 ||
  { cat build/package-windows-configure.log >&2; exit 1; }

say "building freqsmith.exe"
cmake --build "$build" --target freqsmith -j "$(nproc)"

./packaging/windows/deploy.sh "$build" "$qt" dist
say "done in $(($(date +%s) - started)) s"
