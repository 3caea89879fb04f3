#!/bin/sh
# Runs one fuzz target for a bounded time on a fresh copy of its seed corpus, so the run
# never changes the committed corpus. Any crash, sanitizer report, broken rule, slow input
# or memory blow-up fails the run and leaves the input in the crash directory.
#   run_fuzzer.sh TARGET SEEDS WORKDIR SECONDS [libFuzzer options...]
set -eu
target=$1
seeds=$2
workdir=$3
seconds=$4
shift 4

name=$(basename "$target")
corpus="$workdir/corpus"
crashes="$workdir/crashes"
rm -rf "$corpus" "$crashes"
mkdir -p "$corpus" "$crashes"
cp "$seeds"/* "$corpus"/

status=0
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$crashes/" "$@" "$corpus" >"$workdir/log" 2>&1 || status=$?

runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$workdir/log")
speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$workdir/log")
if [ "$status" -ne 0 ]; then
  cat "$workdir/log"
  echo "$name: FAILED (exit code $status); the input is in $crashes:" >&2
  ls -l "$crashes" >&2
  echo "reproduce with: $target $crashes/<file>" >&2
  exit 1
fi
echo "$name: ${runs:-?} inputs in ${seconds}s (${speed:-?} per second), corpus grew from" \
  "$(find "$seeds" -type f | wc -l) to $(find "$corpus" -type f | wc -l) files, no fault"
