#!/bin/sh
# scripts/check-style.sh fails, naming each file, on a C++ file that clang-format would
# change and on a shell script that shellcheck warns about, and looks at no other file.
# Runs on a copy of the tree in a temporary folder (a git checkout of its own), never on
# the tree: the copy as it is must pass; with the files of the table below planted, the
# check must fail and list exactly the files the table says it must, each with its finding.
# A clang-format of another version and a folder that is no git checkout stop the check.
#   style_check_test.sh [SOURCE_DIR]
set -u
source_dir=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
check="$source_dir/scripts/check-style.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
copy="$work/tree"
failures=0

fail() {
  echo "FAIL: $*"
  sed 's/^/  | /' "$work/out"
  failures=$((failures + 1))
}

# The files git knows of, as the check sees them, in a checkout of their own.
mkdir "$copy"
(cd "$source_dir" && git ls-files --cached --others --exclude-standard |
  while IFS= read -r file; do [ -f "$file" ] && printf '%s\n' "$file"; done |
  tar -cf - -T -) | (cd "$copy" && tar -xf -)
git -C "$copy" init -q
git -C "$copy" add -A

if ! sh "$check" "$copy" >"$work/out" 2>&1; then
  fail "the tree as it is: the check failed"
fi

# The planted files: where, what is written there, and what the check must report for it
# ("clang-format", an SC code, or "-" for a file it must not look at).
# - A new C++ file git does not track yet, and a tracked one changed in the checkout.
# - A header, and a generated header's template, misformatted.
# - A shellcheck warning in scripts/ and in .ci/run (which has no .sh), a script found only
#   by its "#!/usr/bin/env bash" line, and a sourced .sh without one (shellcheck must be
#   told which shell it is).
# - What the check must leave alone: a misformatted file in an ignored build tree, a Python
#   script whose text a shell would choke on, and a tracked file deleted from the checkout.
cat >"$work/plants" <<'EOF'
calc/planted.cpp|int  twice( int x ){return 2*x;}|clang-format
tools/airflow.cpp|+namespace {  int   unused_planted = 0; }|clang-format
widgets/planted.h|#pragma once\n  struct Planted {int a;};|clang-format
forms/planted_config.h.in|#pragma once\n#define PLANTED   "@PLANTED@"|clang-format
scripts/planted.sh|#!/bin/sh\necho $1|SC2086
.ci/run|+planted_unused=1|SC2034
tests/cli/planted_check|#!/usr/bin/env bash\nfor f in $(ls); do echo "$f"; done|SC2045
packaging/linux/planted_vars.sh|planted=1|SC2148
build/planted/misformatted.cpp|int  f( ){return 1;}|-
tests/data/planted.py|#!/usr/bin/env python3\nif [ $1 ]; then echo; fi|-
EOF
# A tracked script deleted from the checkout is still in git's index.
rm "$copy/$(git -C "$copy" ls-files 'scripts/*.sh' | head -n 1)"

while IFS='|' read -r file text finding; do
  mkdir -p "$copy/$(dirname "$file")"
  case "$text" in
    # "+" appends to a tracked file, which must be there to be changed.
    +*)
      git -C "$copy" ls-files --error-unmatch "$file" >/dev/null 2>&1 ||
        echo "FAIL: $file, planted in, is not tracked: plant in another file" >>"$work/lost"
      printf '%b\n' "${text#+}" >>"$copy/$file"
      ;;
    *) printf '%b\n' "$text" >"$copy/$file" ;;
  esac
done <"$work/plants"

if [ -s "$work/lost" ]; then
  cat "$work/lost"
  failures=$((failures + 1))
fi
if sh "$check" "$copy" >"$work/out" 2>&1; then
  fail "the planted files: the check passed"
else
  # The list after the summary line names the failing files, two spaces in.
  sed -n '/^check-style: [0-9]* of .* fail:$/,$p' "$work/out" | sed -n 's/^  //p' | sort \
    >"$work/listed"
  awk -F'|' '$3 != "-" { print $1 }' "$work/plants" | sort >"$work/expected"
  if ! cmp -s "$work/listed" "$work/expected"; then
    fail "the check lists $(tr '\n' ' ' <"$work/listed")instead of $(tr '\n' ' ' <"$work/expected")"
  fi
  while IFS='|' read -r file text finding; do
    case "$finding" in
      -) ;;
      clang-format)
        grep -qxF "check-style: $file: clang-format would change it (clang-format-14 -i $file):" \
          "$work/out" || fail "$file: no line saying clang-format would change it"
        ;;
      *)
        if ! { grep -qxF "check-style: $file: shellcheck warns:" "$work/out" &&
          grep -q "^  $file:[0-9]*:[0-9]*: .*\[$finding\]\$" "$work/out"; }; then
          fail "$file: no $finding finding under its name"
        fi
        ;;
    esac
  done <"$work/plants"
fi

# Only Debian's clang-format 14 is used: another one of that name stops the check.
mkdir "$work/bin"
printf '#!/bin/sh\necho "Debian clang-format version 15.0.6"\n' >"$work/bin/clang-format-14"
chmod +x "$work/bin/clang-format-14"
status=0
PATH="$work/bin:$PATH" sh "$check" "$copy" >"$work/out" 2>&1 || status=$?
if ! { [ "$status" -eq 2 ] &&
  grep -q "^check-style: clang-format-14 is not version 14: " "$work/out"; }; then
  fail "a clang-format-14 of version 15: exit status $status"
fi

# Without git the check cannot tell the sources from a build tree's files.
rm -rf "$copy/.git"
status=0
sh "$check" "$copy" >"$work/out" 2>&1 || status=$?
if ! { [ "$status" -eq 2 ] && grep -q "^check-style: .* is no git checkout" "$work/out"; }; then
  fail "a folder that is no git checkout: exit status $status"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "check-style.sh passes the tree and fails on each planted file, naming it"
