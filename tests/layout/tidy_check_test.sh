#!/bin/sh
# scripts/check-tidy.sh, with the tree's .clang-tidy, fails on the faults its checks are
# there for and names each with its file and check; it passes once they are gone, checks
# nothing again on a second run, and checks a source again when a header it includes
# changes. It looks neither at a build tree's generated sources nor past a NOLINT.
# Runs on a small tree of its own in a temporary folder: the script and .clang-tidy
# copied from the tree, planted sources, and a compile database that names them.
#   tidy_check_test.sh [SOURCE_DIR]
set -u
source_dir=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree="$work/tree"
# A cache of its own: the machine's shared one may know these sources from an earlier run.
export XDG_CACHE_HOME="$work/cache"
failures=0

fail() {
  echo "FAIL: $*"
  sed 's/^/  | /' "$work/out"
  failures=$((failures + 1))
}

mkdir -p "$tree/scripts" "$tree/src" "$tree/build/generated"
cp "$source_dir/scripts/check-tidy.sh" "$tree/scripts/"
cp "$source_dir/.clang-tidy" "$tree/"
check="$tree/scripts/check-tidy.sh"

# The planted sources: file, the check that must name it, and its text. Each fault is one
# the checks are meant for; its fixed text follows it in the table below.
cat >"$work/faults" <<'EOF'
src/downcast.cpp|cppcoreguidelines-pro-type-static-cast-downcast|#include "shapes.h"\nint width(Shape* s) { return static_cast<Box*>(s)->width; }
src/moved.cpp|bugprone-use-after-move|#include <string>\n#include <utility>\nstd::string kept;\nstd::size_t keep(std::string s) {\n  kept = std::move(s);\n  return s.size();\n}
src/narrowed.cpp|cppcoreguidelines-narrowing-conversions|int clamp(long v) {\n  int i = v;\n  return i;\n}
src/names.cpp|bugprone-suspicious-missing-comma|const char* const kNames[] = {"Text1", "Text2", "Text3" "Text4", "Text5", "Text6"};
src/ratio.cpp|bugprone-integer-division|double ratio(int a, int b) { return a / b; }
src/header_user.cpp|cppcoreguidelines-pro-type-static-cast-downcast|#include "shapes.h"\nint area(Shape* s) { return s ? 1 : 0; }
EOF
cat >"$work/fixed" <<'EOF'
src/downcast.cpp|#include "shapes.h"\nint width(Shape* s) {\n  auto* box = dynamic_cast<Box*>(s);\n  return box ? box->width : 0;\n}
src/moved.cpp|#include <string>\n#include <utility>\nstd::string kept;\nstd::size_t keep(std::string s) {\n  const std::size_t size = s.size();\n  kept = std::move(s);\n  return size;\n}
src/narrowed.cpp|int clamp(long v) { return v > 0 ? 1 : 0; }
src/names.cpp|const char* const kNames[] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"};
src/ratio.cpp|double ratio(int a, int b) { return static_cast<double>(a) / b; }
src/header_user.cpp|#include "shapes.h"\nint area(Shape* s) { return s ? 1 : 0; }
EOF
# The header of ours that two of them include: its inline function carries the downcast
# until it is fixed, and then comes back with it to show the cache does not hide it.
shapes_with_fault='struct Shape {\n  virtual ~Shape() = default;\n};\nstruct Box : Shape {\n  int width = 0;\n};\ninline int heightOf(Shape* s) { return static_cast<Box*>(s)->width; }'
shapes_fixed='struct Shape {\n  virtual ~Shape() = default;\n};\nstruct Box : Shape {\n  int width = 0;\n};'

write() { printf '#pragma once\n%b\n' "$2" >"$tree/$1"; }
plant() {
  while IFS='|' read -r file text; do printf '%b\n' "$text" >"$tree/$file"; done
}

# The compile database as CMake writes it, with one generated source that breaks a check.
printf '%b\n' 'double generated(int a, int b) { return a / b; }' >"$tree/build/generated/moc_x.cpp"
{
  echo "["
  for file in $(cut -d'|' -f1 "$work/faults") build/generated/moc_x.cpp; do
    printf '{\n  "directory": "%s",\n' "$tree/build"
    printf '  "command": "/usr/bin/c++ -I%s/src -std=c++20 -o %s.o -c %s/%s",\n' \
      "$tree" "$(basename "$file")" "$tree" "$file"
    printf '  "file": "%s/%s"\n},\n' "$tree" "$file"
  done
  echo "]"
} >"$tree/build/compile_commands.json"
count=$(wc -l <"$work/faults" | tr -d ' ')

run() {
  status=0
  sh "$check" "$tree/build" >"$work/out" 2>&1 || status=$?
}

# Every fault, each under its file and check, the header's under the header's name.
write src/shapes.h "$shapes_with_fault"
cut -d'|' -f1,3 "$work/faults" | plant
run
[ "$status" -eq 1 ] || fail "the planted faults: exit status $status, not 1"
while IFS='|' read -r file name text; do
  grep -q "^check-tidy: $file:\$" "$work/out" || fail "$file: not named"
  at=$file
  [ "$file" != src/header_user.cpp ] || at=src/shapes.h
  grep -q "^  $tree/$at:[0-9]*:[0-9]*: error: .*\[$name" "$work/out" ||
    fail "$at: no $name finding"
done <"$work/faults"
if grep -q "moc_x" "$work/out"; then fail "a generated source under build/ was checked"; fi
grep -q "^check-tidy: $count of $count sources have findings\$" "$work/out" ||
  fail "no line counting $count of $count sources with findings"

# Fixed: clean, and a second run checks none again.
write src/shapes.h "$shapes_fixed"
plant <"$work/fixed"
run
if ! { [ "$status" -eq 0 ] && grep -q "^check-tidy: $count sources clean (0 of them" "$work/out"; }
then
  fail "the fixed sources: exit status $status"
fi
run
if ! { [ "$status" -eq 0 ] &&
  grep -q "^check-tidy: $count sources clean ($count of them" "$work/out"; }; then
  fail "the second run on unchanged sources: not all from the cache"
fi

# The same sources in a clone elsewhere on the machine, as CI makes one: all from the cache.
original=$tree
tree="$work/clone"
cp -R "$original" "$tree"
sed -i "s|$original|$tree|g" "$tree/build/compile_commands.json"
check="$tree/scripts/check-tidy.sh"
run
if ! { [ "$status" -eq 0 ] &&
  grep -q "^check-tidy: $count sources clean ($count of them" "$work/out"; }; then
  fail "a clone in another folder: not all from the cache"
fi

# A header changed under unchanged sources: both that include it are checked again.
write src/shapes.h "$shapes_with_fault"
run
if ! { [ "$status" -eq 1 ] &&
  grep -q "^check-tidy: 2 of $count sources have findings\$" "$work/out"; }; then
  fail "a fault in a header the cache knew clean: exit status $status"
fi

# A NOLINTNEXTLINE for the one check, with its reason, is respected.
write src/shapes.h "$shapes_fixed\n// Planted: the caller checked the kind.\n// NOLINTNEXTLINE(cppcoreguidelines-pro-type-static-cast-downcast)\ninline int heightOf(Shape* s) { return static_cast<Box*>(s)->width; }"
run
[ "$status" -eq 0 ] || fail "a NOLINTNEXTLINE for the check: exit status $status"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "check-tidy.sh names each planted fault, passes once they are fixed, and keeps what was clean"
