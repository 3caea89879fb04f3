#!/bin/bash
# Builds Qt for 64-bit Windows with Debian's MinGW-w64, from the distribution's own qt6-base
# source package (the same upstream version as the host's Qt tools, which the cross build
# uses for moc, rcc and uic), into a cache outside the clone. Only qtbase's Core, Gui,
# Widgets and Test, as shared libraries; everything Freqsmith does not use is left out.
#
#   build-qt-windows.sh            build unless the cache holds this build; print its folder
#   build-qt-windows.sh --prefix   only print the folder the build goes to (built or not)
#
# The cache folder is ${XDG_CACHE_HOME:-$HOME/.cache}/freqsmith/, one folder per Qt version
# and set of configure options. The folder counts as built only once it holds the file
# .complete, written after the last installed file, so an interrupted run never looks
# finished; the next run resumes the interrupted build where it stopped.
set -euo pipefail
cd "$(dirname "$0")/.."

say() { echo "qt-windows: $*" >&2; }
fail() { say "$*"; exit 1; }

triple=x86_64-w64-mingw32
qt_version=$(dpkg-query -W -f='${source:Upstream-Version}' qt6-base-dev-tools 2>/dev/null || true)
qt_version=${qt_version%%+*}
[ -n "$qt_version" ] || fail "the host's Qt tools (qt6-base-dev-tools) are not installed; run scripts/install-deps.sh windows"

# Every option here is part of the cache key: changing one builds a new Qt next to the old.
configure_options=(
  -DCMAKE_BUILD_TYPE=Release
  -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF
  -DQT_BUILD_TESTS=OFF
  -DQT_HOST_PATH=/usr
  -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(gcc -print-multiarch)/cmake"
  -DFEATURE_sql=OFF
  -DFEATURE_network=OFF
  -DFEATURE_dbus=OFF
  -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF
  -DFEATURE_xml=OFF
  -DINPUT_opengl=no
  -DFEATURE_opengl=OFF
  -DFEATURE_direct2d=OFF
  # Qt 6.4 builds its DirectWrite 3 font database only with Direct2D, yet the Windows
  # platform plugin refers to it whenever DirectWrite 3 is on; the default GDI font
  # database is what Qt uses unless asked otherwise.
  -DFEATURE_directwrite3=OFF
  # Debian's source drops the Wintab header that tablet events need on Windows.
  -DFEATURE_tabletevent=OFF
  -DFEATURE_testlib=ON
)
toolchain=cmake/mingw-w64-x86_64.cmake
compiler_version=$($triple-g++-posix -dumpfullversion 2>/dev/null || echo none)
key=$(printf '%s\n' "$qt_version" "$compiler_version" "${configure_options[@]}" | sha256sum | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/freqsmith
prefix=$cache/qt-$qt_version-mingw-w64-$key

if [ "${1:-}" = "--prefix" ]; then
  echo "$prefix"
  exit 0
fi
[ $# -eq 0 ] || fail "unknown option '$1' (only --prefix)"

if [ -f "$prefix/.complete" ]; then
  say "Qt $qt_version for Windows is ready in $prefix"
  echo "$prefix"
  exit 0
fi

mkdir -p "$cache"
exec 9>"$cache/.lock-$key"
if ! flock -n 9; then
  say "another run is building this Qt; waiting for it"
  flock 9
  if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
  fi
fi

started=$(date +%s)
work=$cache/work-$key
# A run that takes up an interrupted build says so beside the time it took.
resumed=""
[ -d "$work" ] && resumed=", resuming an earlier run"
mkdir -p "$work"

# The source package, fetched through an apt configuration of our own, so that the
# system's sources stay as they are.
source_dir=$work/source
if [ ! -f "$work/.source-ready" ]; then
  rm -rf "$work/apt" "$work/fetch" "$source_dir"
  mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/apt/parts" "$work/fetch"
  . /etc/os-release
  case "${ID:-}" in
    debian)
      {
        echo "deb-src http://deb.debian.org/debian $VERSION_CODENAME main"
        echo "deb-src http://deb.debian.org/debian $VERSION_CODENAME-updates main"
        echo "deb-src http://deb.debian.org/debian-security $VERSION_CODENAME-security main"
      } >"$work/apt/sources.list" ;;
    ubuntu)
      {
        echo "deb-src http://archive.ubuntu.com/ubuntu $VERSION_CODENAME main universe"
        echo "deb-src http://archive.ubuntu.com/ubuntu $VERSION_CODENAME-updates main universe"
        echo "deb-src http://security.ubuntu.com/ubuntu $VERSION_CODENAME-security main universe"
      } >"$work/apt/sources.list" ;;
    *) fail "this script fetches Qt's source from Debian or Ubuntu; this system is '${ID:-unknown}'" ;;
  esac
  apt_options=(
    -o Dir::Etc::SourceList="$work/apt/sources.list"
    -o Dir::Etc::SourceParts="$work/apt/parts"
    -o Dir::State::Lists="$work/apt/lists"
    -o Dir::Cache="$work/apt/cache"
    -o APT::Sandbox::User="$(id -un)"
  )
  say "fetching the qt6-base source package ($qt_version) from the distribution's archive"
  if ! apt-get "${apt_options[@]}" update >"$work/fetch.log" 2>&1; then
    cat "$work/fetch.log" >&2
    fail "could not read the source lists of the archive (network or mirror down?); nothing was built"
  fi
  host_revision=$(dpkg-query -W -f='${source:Version}' qt6-base-dev-tools)
  # The host's own revision first; any revision of the same upstream version will do.
  if ! (cd "$work/fetch" && apt-get "${apt_options[@]}" source --only-source "qt6-base=$host_revision") \
      >>"$work/fetch.log" 2>&1; then
    if ! (cd "$work/fetch" && apt-get "${apt_options[@]}" source --only-source qt6-base) \
        >>"$work/fetch.log" 2>&1; then
      tail -20 "$work/fetch.log" >&2
      fail "could not fetch the qt6-base source package (is dpkg-dev installed, is the archive reachable?); nothing was built"
    fi
  fi
  unpacked=$(find "$work/fetch" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
  [ -n "$unpacked" ] || fail "the source package did not unpack (see $work/fetch.log)"
  case "$(basename "$unpacked")" in
    "qt6-base-$qt_version"*) ;;
    *) fail "the archive's qt6-base ($(basename "$unpacked")) is not the host tools' version $qt_version" ;;
  esac
  mv "$unpacked" "$source_dir"
  rm -rf "$work/fetch" "$work/apt/cache"
  touch "$work/.source-ready"
fi

build_dir=$work/build
if [ ! -f "$build_dir/build.ninja" ]; then
  say "configuring (log: $work/configure.log)"
  rm -rf "$build_dir"
  if ! cmake -S "$source_dir" -B "$build_dir" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$PWD/$toolchain" \
      -DCMAKE_INSTALL_PREFIX="$prefix" \
      "${configure_options[@]}" >"$work/configure.log" 2>&1; then
    tail -40 "$work/configure.log" >&2
    rm -rf "$build_dir"
    fail "configuring Qt failed (log: $work/configure.log)"
  fi
fi

jobs=$(nproc)
# Measured on two cores: 15 minutes when they are idle, 35 when other work keeps them busy,
# that is 30 to 70 core-minutes; other machines get that spread over their own cores.
cores="$jobs cores"
[ "$jobs" -ne 1 ] || cores="one core"
say "building with $jobs jobs; the first build takes about $(( (30 + jobs - 1) / jobs )) to $(( (70 + jobs - 1) / jobs )) minutes on $cores (log: $work/build.log)"
# Ninja's "[done/total]" lines, reported every 5 percent with the minutes so far.
if ! ninja -C "$build_dir" -j "$jobs" 2>&1 | tee "$work/build.log" |
    awk -v started="$started" '
      match($0, /^\[[0-9]+\/[0-9]+\]/) {
        split(substr($0, 2, RLENGTH - 2), n, "/")
        percent = int(n[1] * 100 / n[2])
        if (percent >= next_report) {
          "date +%s" | getline now; close("date +%s")
          printf "qt-windows: %3d%% (%d of %d steps, %d min)\n", percent, n[1], n[2], (now - started) / 60 > "/dev/stderr"
          next_report = percent - percent % 5 + 5
        }
      }'; then
  grep -B2 -A20 -m1 'FAILED' "$work/build.log" >&2 || tail -40 "$work/build.log" >&2
  fail "building Qt failed; running this script again resumes the build (log: $work/build.log)"
fi

say "installing into the cache"
rm -rf "$prefix"
cmake --install "$build_dir" >"$work/install.log" 2>&1 || {
  tail -20 "$work/install.log" >&2
  fail "installing Qt failed (log: $work/install.log)"
}
for file in bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll bin/Qt6Test.dll \
            plugins/platforms/qwindows.dll plugins/platforms/qoffscreen.dll \
            plugins/styles/qwindowsvistastyle.dll lib/cmake/Qt6/qt.toolchain.cmake; do
  [ -f "$prefix/$file" ] || fail "the installed Qt lacks $file"
done
# The source's own licence texts go with the build, for the packages that ship Qt.
cp -r "$source_dir/LICENSES" "$prefix/LICENSES"
{
  echo "Qt $qt_version (qtbase) for $triple, built by scripts/build-qt-windows.sh"
  echo "source: $(head -1 "$source_dir/debian/changelog")"
  printf 'option: %s\n' "${configure_options[@]}"
  echo "compiler: $triple-g++-posix $compiler_version"
  echo "built: $(date -u +%Y-%m-%dT%H:%M:%SZ) in $(( ($(date +%s) - started) / 60 )) min$resumed"
} >"$prefix/.complete.new"
mv "$prefix/.complete.new" "$prefix/.complete"
rm -rf "$work"
# Builds with other options that were interrupted leave their work folders, the better part
# of a gigabyte each; those that no run holds now are of no further use.
for other in "$cache"/work-*; do
  [ -e "$other" ] || [ -L "$other" ] || continue
  other_key=${other##*/work-}
  exec 8>"$cache/.lock-$other_key"
  if flock -n 8; then
    say "removing the stale work folder $other"
    rm -rf "$other"
  fi
  exec 8>&-
done
say "Qt $qt_version for Windows is ready in $prefix ($(( ($(date +%s) - started) / 60 )) min$resumed)"
echo "$prefix"
