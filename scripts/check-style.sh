#!/bin/sh
# Checks that the sources are laid out as clang-format lays them out and that the shell
# scripts pass shellcheck, so that neither is argued about in review.
#
# The files are those git knows of, tracked or new and not ignored (so build trees and
# dist/ are not looked at, and a file not yet added is); a file deleted from the checkout
# is skipped.
#   - C and C++ sources (.c .cc .cpp .cxx .h .hh .hpp .hxx, and .h.in templates read as
#     headers) against the tree's .clang-format, with Debian's clang-format-14: another
#     version lays out some constructs differently, so the binary is pinned by name and its
#     version is checked.
#   - Shell scripts, found by their first line (#!/bin/sh, #!/bin/bash, #!/usr/bin/env sh
#     and the like) wherever they are, and .sh files without one (sourced, not run),
#     against shellcheck at every severity, following the files they source (-x).
# Prints each file that fails with what is wrong (the changes clang-format would make, as a
# diff; the findings as file:line:column), then the files again in one list, and exits
# 1; exits 2 when a tool is missing or the folder is no git checkout.
#   check-style.sh          checks this checkout
#   check-style.sh DIR      checks the checkout at DIR
set -eu
root=${1:-"$(dirname "$0")/.."}
cd "$root"

clang_format=clang-format-14
say() { echo "check-style: $*"; }
missing() {
  say "$1 is not installed; ./scripts/install-deps.sh build test installs it" >&2
  exit 2
}
command -v "$clang_format" >/dev/null 2>&1 || missing "$clang_format"
command -v shellcheck >/dev/null 2>&1 || missing shellcheck
case "$("$clang_format" --version)" in
  *" version 14."*) ;;
  *) say "$clang_format is not version 14: $("$clang_format" --version)" >&2; exit 2 ;;
esac
git rev-parse --is-inside-work-tree >/dev/null 2>&1 || {
  say "$(pwd) is no git checkout; the files to check are the ones git knows of" >&2
  exit 2
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git ls-files -z --cached --others --exclude-standard | tr '\0' '\n' | sort -u |
  while IFS= read -r file; do [ -f "$file" ] && printf '%s\n' "$file"; done >"$work/files"

failed="$work/failed"
: >"$failed"

# C and C++: clang-format reads them all in one run and names those it would change; only
# those are laid out again to show the change.
grep -E '\.(c|cc|cpp|cxx|h|hh|hpp|hxx|h\.in)$' "$work/files" >"$work/sources" || true
# A template is read as the header it becomes: clang-format takes a file of a name it does
# not know (.in) for C++.
tr '\n' '\0' <"$work/sources" |
  xargs -0 -r "$clang_format" --style=file --dry-run --Werror 2>&1 |
  sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' | sort -u \
  >"$work/misformatted"
while IFS= read -r file; do
  say "$file: clang-format would change it ($clang_format -i $file):"
  "$clang_format" --style=file "$file" | diff -u "$file" - | sed -e 1,2d -e 's/^/  /' |
    head -n 40
  echo "$file" >>"$failed"
done <"$work/misformatted"

# Shell: a .sh file, or any file whose first line starts a POSIX shell or bash.
grep -E '\.sh$' "$work/files" >"$work/scripts" || true
# The $0 in single quotes is awk's, not the shell's.
# shellcheck disable=SC2016
grep -vE '\.sh$' "$work/files" | tr '\n' '\0' |
  xargs -0 -r awk 'FNR == 1 {
      if ($0 ~ /^#! *(\/usr)?\/bin\/(env +)?(sh|bash|dash|ksh)( |$)/) print FILENAME
      nextfile
    }' >>"$work/scripts"
sort -o "$work/scripts" "$work/scripts"
# One run for all of them (shellcheck takes a while to start), then its findings by file,
# as it names them (a finding in a file that a script sources is under that file's name).
status=0
tr '\n' '\0' <"$work/scripts" | xargs -0 -r shellcheck -x --format=gcc >"$work/findings" 2>&1 ||
  status=$?
sed -n 's/^\(.*\):[0-9]*:[0-9]*: [a-z]*: .*/\1/p' "$work/findings" | sort -u >"$work/warned"
while IFS= read -r file; do
  say "$file: shellcheck warns:"
  awk -v prefix="$file:" 'index($0, prefix) == 1 { print "  " $0 }' "$work/findings"
  echo "$file" >>"$failed"
done <"$work/warned"
if [ "$status" -ne 0 ] && [ ! -s "$work/warned" ]; then
  say "shellcheck failed (exit status $status) without a finding:"
  sed 's/^/  /' "$work/findings"
  echo "(shellcheck)" >>"$failed"
fi

sources=$(wc -l <"$work/sources" | tr -d ' ')
scripts=$(wc -l <"$work/scripts" | tr -d ' ')
if [ -s "$failed" ]; then
  say "$(wc -l <"$failed" | tr -d ' ') of $sources C++ files and $scripts shell scripts fail:" >&2
  sed 's/^/  /' "$failed" >&2
  exit 1
fi
say "$sources C++ files as clang-format lays them out, $scripts shell scripts clean under shellcheck"
