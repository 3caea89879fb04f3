#!/bin/sh
# scripts/include-graph.sh fails on an include against the layers of README.md and names
# its file and line. Runs on a copy of the tree in a temporary folder, never on the tree:
# the copy as it is must pass; with a calc/ file including widgets' "look.h", a tools/ file
# including app's "hardware_query.h", or a detect/ file including the main window's control
# names, it must fail. A new folder of sources must fail until README.md names it, and two
# folders that share a level must not include each other.
#   include_graph_test.sh [SOURCE_DIR]
set -u
source_dir=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
check="$source_dir/scripts/include-graph.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
copy="$work/tree"
failures=0

fail() {
  echo "FAIL: $*"
  sed 's/^/  | /' "$work/out"
  failures=$((failures + 1))
}

# expect_pass WHAT: the check passes on the copy.
expect_pass() {
  sh "$check" "$copy" >"$work/out" 2>&1 || fail "$1: the check failed"
}

# expect_failure WHAT MESSAGE: the check fails on the copy and prints MESSAGE as a line.
expect_failure() {
  if sh "$check" "$copy" >"$work/out" 2>&1; then
    fail "$1: the check passed"
  elif ! grep -qxF "include-graph: $2" "$work/out"; then
    fail "$1: no line \"include-graph: $2\""
  fi
}

# plant FOLDER HEADER: adds '#include "HEADER"' at the end of FOLDER's first .cpp in the
# copy, expects the check to fail naming that file, line and header, and undoes it.
plant() {
  file=$(cd "$copy" && find "$1" -name '*.cpp' | sort | head -n 1)
  cp "$copy/$file" "$work/saved"
  [ -z "$(tail -c 1 "$copy/$file")" ] || echo >>"$copy/$file"
  printf '#include "%s"\n' "$2" >>"$copy/$file"
  line=$(wc -l <"$copy/$file" | tr -d ' ')
  home=$(cd "$copy" && find . -name "$2" | sed -e 's|^\./||' -e 's|/.*||')
  expect_failure "$file including \"$2\"" "$file:$line includes \"$2\" from $home/, which is above $1/"
  mv "$work/saved" "$copy/$file"
}

mkdir "$copy"
(cd "$source_dir" && tar -cf - --exclude=./.git --exclude=./build --exclude='./build-*' .) |
  (cd "$copy" && tar -xf -)

expect_pass "the tree as it is"
plant calc look.h
plant tools hardware_query.h
expect_pass "the tree after undoing the planted includes"

# Detection knows nothing of the window: forms/, which names its controls, is its peer.
printf '#include "main_window_controls.h"\n' >>"$copy/detect/facts.cpp"
line=$(wc -l <"$copy/detect/facts.cpp" | tr -d ' ')
expect_failure "detect/ including the window's control names" \
  "detect/facts.cpp:$line includes \"main_window_controls.h\" from forms/, which is on the same level as detect/"
cp "$source_dir/detect/facts.cpp" "$copy/detect/facts.cpp"

# A new folder of sources, outside the order and then on one new level with a second one.
mkdir "$copy/gauges" "$copy/dials"
printf '#pragma once\n' >"$copy/dials/dial.h"
printf '#include "dial.h"\n' >"$copy/gauges/gauge.cpp"
expect_failure "a folder README.md does not name" \
  "gauges/ holds C++ sources, but README.md names it neither as a layer nor outside the layers"
sed 's/^Layers, bottom first:.*/&; dials, gauges/' "$source_dir/README.md" >"$copy/README.md"
expect_failure "a folder including its peer" \
  "gauges/gauge.cpp:1 includes \"dial.h\" from dials/, which is on the same level as gauges/"
sed 's/^Layers, bottom first:.*/&; dials; gauges/' "$source_dir/README.md" >"$copy/README.md"
expect_pass "a folder including from the level below"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "include-graph.sh passes the tree and fails on each include against the layers"
