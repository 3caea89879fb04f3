#!/bin/bash
# Proves that the releases are reproducible: the commit that is checked out is cloned twice,
# into two fresh folders of different lengths, and each clone builds the Windows zip and
# installer (scripts/package-windows.sh) and the .deb (scripts/package-deb.sh); the
# second build runs minutes later, in another time zone and with another umask. Every
# artefact must be the same byte for byte; where one is not, the members that differ are
# named (diffoscope tells more when it is installed).
#
#   check-reproducible.sh               the Windows release and the .deb
#   check-reproducible.sh windows|deb   only that one
#
# Only committed work is checked: the clones take HEAD, not the working tree.
# The .deb's clones are configured without the tests and benchmarks, which are not packaged
# and do not change how the program is compiled; Qt for Windows comes from the cache that
# package-windows.sh keeps (the first run on a machine builds it, 15 to 35 minutes).
#
# Cost on two cores with Qt cached, as measured: 270 to 350 s in all (each clone 70 to 110 s
# for the Windows release and 50 to 70 s for the .deb, the rest cloning and comparing) and
# 300 MB in /tmp while it runs. That is at most a tenth of the hour CI may take, so
# .ci/run runs it after the other tests, when Qt is built.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
started=$(date +%s)
say() { echo "check-reproducible: $*"; }
fail() { echo "check-reproducible: $*" >&2; exit 1; }

want_windows=""
want_deb=""
[ $# -gt 0 ] || set -- windows deb
for what in "$@"; do
  case "$what" in
    windows) want_windows=1 ;;
    deb) want_deb=1 ;;
    *) fail "unknown release '$what' (windows or deb)" ;;
  esac
done

commit=$(git rev-parse HEAD)
# What is checked is the unsigned release: a time-stamped signature differs in every build.
unset FREQSMITH_SIGN_CERT FREQSMITH_SIGN_PASSWORD FREQSMITH_SIGN_PASSWORD_FILE FREQSMITH_SIGN_TIMESTAMP_URL
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
  say "the working tree has uncommitted changes; they are not part of this check"
./scripts/install-deps.sh build package
[ -z "$want_windows" ] || ./scripts/install-deps.sh windows wine-desktop

work=$(mktemp -d "${TMPDIR:-/tmp}/freqsmith-reproducible.XXXXXX")
keep_work=1
# The folders are kept when the check fails, for a closer look.
trap '[ -n "$keep_work" ] && [ -d "$work" ] && say "the builds are left in $work" >&2 || rm -rf "$work"' EXIT

# Clones the commit into $1 and builds there; $2 names the build in the progress lines.
build_release() {
  local dir=$1 label=$2 build_started
  build_started=$(date +%s)
  mkdir -p "$dir"
  git init -q "$dir"
  git -C "$dir" fetch -q "$top" "$commit"
  git -C "$dir" checkout -q FETCH_HEAD
  mkdir -p "$dir/out"
  if [ -n "$want_windows" ]; then
    say "[$label] Windows release in $dir"
    (cd "$dir" && ./scripts/package-windows.sh) 2>&1 | sed "s/^/  [$label] /"
    cp "$dir"/dist/freqsmith-*-windows-x64.zip "$dir"/dist/freqsmith-*-setup.exe \
       "$dir/dist/SHA256SUMS" "$dir/out/"
  fi
  if [ -n "$want_deb" ]; then
    say "[$label] .deb in $dir"
    (cd "$dir" && ./scripts/package-deb.sh -DFREQSMITH_TESTS=OFF -DFREQSMITH_BENCH=OFF) 2>&1 |
      sed "s/^/  [$label] /"
    cp "$dir"/build/default/freqsmith_*.deb "$dir/out/"
  fi
  say "[$label] built in $(($(date +%s) - build_started)) s"
  scan_paths "$dir" "$label"
}

# No folder of the build may show in what it made: the temporary folder of the clones is
# looked for in every file of the zip and the .deb (as text and as UTF-16 text; the
# installer holds the zip's files). Qt's DLLs name files of Qt's own build, in its cache;
# those are counted, not failed (they change only with the cache's place).
qt_cache=""
[ -z "$want_windows" ] || qt_cache=$(dirname "$(./scripts/build-qt-windows.sh --prefix)")
scan_paths() {
  local dir=$1 label=$2 unpacked=$1/unpacked file builds=0 qt=0
  rm -rf "$unpacked"
  mkdir -p "$unpacked"
  [ -z "$want_windows" ] || unzip -q "$dir"/out/*.zip -d "$unpacked/zip"
  [ -z "$want_deb" ] || dpkg-deb -x "$dir"/out/*.deb "$unpacked/deb"
  while read -r file; do
    if grep -q -a -F "$work" "$file" || strings -a -e l "$file" | grep -q -F "$work"; then
      say "[$label] a build folder shows in ${file#"$unpacked"/}" >&2
      builds=$((builds + 1))
    fi
    if [ -n "$qt_cache" ] && grep -q -a -F "$qt_cache" "$file"; then qt=$((qt + 1)); fi
  done < <(find "$unpacked" -type f | LC_ALL=C sort)
  [ "$builds" -eq 0 ] || fail "[$label] $builds files name the folder they were built in"
  say "[$label] no build folder in any file$([ "$qt" -eq 0 ] || echo "; $qt of Qt's DLLs name files of Qt's build in $qt_cache")"
  rm -rf "$unpacked"
}

build_release "$work/a" first
# Another folder length, time zone (a half-hour offset) and umask for the second build.
(
  umask 0002
  export TZ=America/St_Johns
  build_release "$work/second-build-in-a-longer-folder/freqsmith" second
)
first=$work/a/out
second=$work/second-build-in-a-longer-folder/freqsmith/out

# Names the members of two differing artefacts that differ.
explain() {
  local a=$1 b=$2
  if command -v diffoscope >/dev/null; then
    diffoscope "$a" "$b" || true
    return
  fi
  local x=$work/explain/a y=$work/explain/b
  rm -rf "$work/explain"
  mkdir -p "$x" "$y"
  case "$a" in
    *SUMS)
      diff "$a" "$b" || true ;;
    *.zip)
      command -v unzip >/dev/null || { echo "  (unzip is not installed)"; return; }
      diff <(zipinfo -l -T "$a" | tail -n +3) <(zipinfo -l -T "$b" | tail -n +3) || true
      unzip -q "$a" -d "$x"
      unzip -q "$b" -d "$y"
      diff -r "$x" "$y" || true ;;
    *.deb)
      diff <(ar tv "$a") <(ar tv "$b") || true
      diff <(dpkg-deb -c "$a") <(dpkg-deb -c "$b") || true
      dpkg-deb -R "$a" "$x"
      dpkg-deb -R "$b" "$y"
      diff -r "$x" "$y" || true ;;
    *)
      echo "  $(cmp -l "$a" "$b" | wc -l) bytes differ; the first at (offset, octal values):"
      cmp -l "$a" "$b" | head -5 | sed 's/^/    /' ;;
  esac
}

differ=0
for file in "$first"/*; do
  name=$(basename "$file")
  if cmp -s "$file" "$second/$name"; then
    say "identical  $(sha256sum "$file" | cut -d' ' -f1)  $name"
  else
    say "DIFFERENT  $name"
    explain "$file" "$second/$name" | sed 's/^/  /'
    differ=1
  fi
done
[ "$(ls "$first")" = "$(ls "$second")" ] || { say "the two builds made different files"; differ=1; }
[ "$differ" -eq 0 ] || fail "not reproducible (after $(($(date +%s) - started)) s)"
keep_work=""
say "reproducible: both builds of $(git log -1 --format=%h "$commit") gave the same bytes ($(($(date +%s) - started)) s)"
