#!/bin/sh
# Passes only when ThreadSanitizer reports a data race on the planted variable: so a build
# where ThreadSanitizer is missing, silent, or muted by too wide a suppression fails, and so
# does one where the program fails for any other reason (a crash is no report, nor is a
# report about something else).
#   expect_race.sh PROGRAM CASE VARIABLE
set -u
program=$1
case=$2
variable=$3

log=$(mktemp)
trap 'rm -f "$log"' EXIT
"$program" "$case" >"$log" 2>&1
status=$?

# Each report runs from its WARNING line to its SUMMARY line and names the global it is
# about as "Location is global 'NAME' of size N at ...".
if [ "$status" -ne 0 ] &&
  sed -n '/^WARNING: ThreadSanitizer: data race/,/^SUMMARY: ThreadSanitizer/p' "$log" |
  grep -q "Location is global '\(.*::\)\{0,1\}$variable'"; then
  echo "planted race ($case): ThreadSanitizer reports the race on $variable, as it must"
  exit 0
fi
cat "$log"
echo "planted race ($case): no ThreadSanitizer report of a data race on $variable" \
  "(exit status $status); is the build made with -fsanitize=thread, and does a" \
  "suppression cover it?" >&2
exit 1
