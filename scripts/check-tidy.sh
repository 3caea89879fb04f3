#!/bin/sh
# Runs clang-tidy, with the checks of the tree's .clang-tidy, on the program's own sources as
# a build compiles them, and fails naming each finding.
#
# The sources are those of the build's compile_commands.json (the default preset writes
# it) that lie in the source tree and outside the build trees: not the moc, resource and
# other files CMake generates. Headers are checked where those sources include them, when
# they are ours (in a folder that holds sources), not Qt's or the build's.
#
# The Windows-only sources (*_windows.cpp, and what only they include) are in no Linux
# build's compile database, so they are not checked here: a Linux clang-tidy cannot parse
# them against <windows.h> without the cross build's flags. They are listed, not faked.
#
# A second run is cheap: a source that was clean is not checked again while its key is the
# same, the key being the hash of clang-tidy's version, .clang-tidy, the compile command and
# the preprocessed source (so any change to the file, to a header it includes, ours or
# Qt's, or to a flag or a check, checks it again). The clone's own folder is left out of the
# key, so every clone on the machine shares one cache, kept outside the clone as Qt for
# Windows is (${XDG_CACHE_HOME:-$HOME/.cache}/freqsmith/clang-tidy): CI's fresh clone finds it
# warm. A source with findings is always checked again.
#
# Without clang-tidy-14 it says so in one line and exits 0: the check is for machines that
# have it (./scripts/install-deps.sh tidy installs it).
#   check-tidy.sh [BUILD_DIR]      BUILD_DIR defaults to build/default; run after building it
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
tidy=clang-tidy-14
jobs=2
say() { echo "check-tidy: $*"; }

# One source, by its line in the list the main run makes: check-tidy.sh --one LIST LINE.
if [ "${1:-}" = "--one" ]; then
  list=$2
  line=$3
  entry=$(sed -n "${line}p" "$list")
  file=$(printf '%s\n' "$entry" | cut -f 1)
  dir=$(printf '%s\n' "$entry" | cut -f 2)
  command=$(printf '%s\n' "$entry" | cut -f 3-)
  work=$(dirname "$list")
  out="$work/out.$line"
  # The same command, stopped after the preprocessor; "-o FILE" and "-c" are the last
  # options CMake writes before the source.
  preprocess=$(printf '%s\n' "$command" | sed -e 's/ -o [^ ]* -c / -E /')
  # A source that cannot be preprocessed gets no key: clang-tidy says what is wrong.
  key=""
  if (cd "$dir" && eval "$preprocess") >"$work/preprocessed.$line" 2>/dev/null; then
    key=$({
      cat "$work/salt"
      printf '%s\n' "$command"
      cat "$work/preprocessed.$line"
    } | sed "s|$CHECK_TIDY_ROOT|@ROOT@|g" | sha256sum | cut -c 1-64)
    echo "$key" >"$work/key.$line"
  fi
  rm -f "$work/preprocessed.$line"
  if [ -n "$key" ] && [ -f "$CHECK_TIDY_CACHE/$key" ]; then
    touch "$CHECK_TIDY_CACHE/$key"
    echo cached >"$work/result.$line"
    exit 0
  fi
  status=0
  "$tidy" -p "$CHECK_TIDY_BUILD" --quiet --header-filter="$(cat "$work/filter")" "$file" \
    >"$out" 2>&1 || status=$?
  # clang-tidy prints "N warnings generated." for what it leaves out (system headers).
  if [ "$status" -eq 0 ] && ! grep -qE '(warning|error):' "$out"; then
    [ -z "$key" ] || touch "$CHECK_TIDY_CACHE/$key"
    echo clean >"$work/result.$line"
  else
    echo failed >"$work/result.$line"
  fi
  exit 0
fi

build=${1:-"$root/build/default"}
command -v "$tidy" >/dev/null 2>&1 || {
  say "$tidy is not installed, so no clang-tidy checks run (./scripts/install-deps.sh tidy)"
  exit 0
}
[ -f "$build/compile_commands.json" ] || {
  say "no $build/compile_commands.json: configure and build with the default preset first" >&2
  exit 2
}
build=$(cd "$build" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cache=${XDG_CACHE_HOME:-$HOME/.cache}/freqsmith/clang-tidy
mkdir -p "$cache"

# CMake writes each entry's "directory", "command" and "file" on lines of their own, with
# JSON's escapes only for quotes and backslashes.
sed -n 's/^ *"\(directory\|command\|file\)": "\(.*\)",\{0,1\}$/\1\t\2/p' \
  "$build/compile_commands.json" | sed -e 's/\\"/"/g' -e 's/\\\\/\\/g' |
  awk -F '\t' -v root="$root/" -v build="$build/" -v builds="$root/build/" '
    $1 == "directory" { dir = substr($0, length($1) + 2) }
    $1 == "command" { command = substr($0, length($1) + 2) }
    $1 == "file" {
      file = substr($0, length($1) + 2)
      if (index(file, root) == 1 && index(file, build) != 1 && index(file, builds) != 1 &&
          !seen[file]++)
        print file "\t" dir "\t" command
    }' | sort >"$work/list"
[ -s "$work/list" ] || { say "no sources of the tree in $build/compile_commands.json" >&2; exit 2; }
count=$(wc -l <"$work/list" | tr -d ' ')

# Our headers are those in the folders of the sources.
folders=$(cut -f 1 "$work/list" | sed "s|^$root/||; s|/.*||" | sort -u | paste -sd '|' -)
escaped_root=$(printf '%s' "$root" | sed 's/[].[^$*+?(){}|\\]/\\&/g')
echo "^$escaped_root/($folders)/" >"$work/filter"
{
  "$tidy" --version
  cat "$root/.clang-tidy"
  echo "($folders)"
} >"$work/salt"

windows=$(cd "$root" && find . \( -path ./build -o -path ./.git \) -prune -o \
  -name '*_windows.cpp' -print | sed 's|^\./||' | sort | tr '\n' ' ')
[ -z "$windows" ] || say "not checked, being in no Linux build: ${windows% }"

export CHECK_TIDY_CACHE="$cache" CHECK_TIDY_BUILD="$build" CHECK_TIDY_ROOT="$escaped_root"
seq "$count" | xargs -P "$jobs" -n 1 sh "$0" --one "$work/list"

failed=0
cached=0
for line in $(seq "$count"); do
  case "$(cat "$work/result.$line" 2>/dev/null)" in
    cached) cached=$((cached + 1)) ;;
    clean) ;;
    *)
      failed=$((failed + 1))
      say "$(sed -n "${line}p" "$work/list" | cut -f 1 | sed "s|^$root/||"):"
      sed 's/^/  /' "$work/out.$line" 2>/dev/null || echo "  (no output)"
      ;;
  esac
done
# Every clone and branch on the machine shares the cache, so a key no source here has may
# be another clone's: keys are dropped only when no run has used them for a month.
find "$cache" -type f -mtime +30 -delete

if [ "$failed" -ne 0 ]; then
  say "$failed of $count sources have findings" >&2
  exit 1
fi
say "$count sources clean ($cached of them unchanged since a clean run)"
