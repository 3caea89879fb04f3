#!/bin/sh
# The program's options as a user meets them on a terminal without a display: the detection
# report of this machine and of a fixture machine, help and version, and exit status 2 with
# a message for arguments that cannot be used.
#   command_line_test.sh PROGRAM MACHINES_DIR
set -u
program=$1
machines=$2
failures=0
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

# Runs the program with no display at all; the status lands in $status.
run() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@" >"$out" 2>"$err"
  status=$?
}

fail() {
  echo "FAIL: $*"
  echo "--- stdout"; cat "$out"; echo "--- stderr"; cat "$err"
  failures=$((failures + 1))
}

expect_status() {
  want=$1
  shift
  run "$@"
  [ "$status" -eq "$want" ] || fail "$* exited with $status, not $want"
}

expect_status 0 --detect --sysroot "$machines/intel-desktop"
cat >"$err.want" <<'REPORT'
Processor maker: GenuineIntel (cpuinfo)
Processor type: Desktop Processor Q4-4200 @ 4.20GHz (cpuinfo)
Processor socket: LGA1151 (SMBIOS)
System Clock: 100 Mhz (SMBIOS)
Frontside Bus: 200 Mhz (derived)
CPU Multiplier: 36 (derived)
CPU Speed: 3600 Mhz (sysfs)
Mainboard vendor: Board Maker Inc. (sysfs)
Mainboard model: BM-Z270 DESKTOP (sysfs)
BIOS version: 1203 (sysfs)
L2 Cache Size: 1024 KB (sysfs)
L2 Cache Speed: 3600 Mhz (derived)
REPORT
cmp -s "$out" "$err.want" || fail "the report of intel-desktop differs from the expected one"
rm -f "$err.want"

# With --sysroot the processor running this is not asked: this fixture has no table, so
# its bus clock stays unknown.
expect_status 0 --detect --sysroot "$machines/intel-no-smbios"
grep -qx 'System Clock: unknown' "$out" || fail "--sysroot asked this processor for the bus clock"

expect_status 0 --detect
[ "$(wc -l <"$out")" -eq 12 ] || fail "the report of this machine is not twelve lines"
grep -q '^CPU Speed: ' "$out" || fail "the report of this machine lacks the CPU speed"

expect_status 0 --help
grep -q -- '--detect' "$out" && grep -q -- '--sysroot <DIR>' "$out" || fail "--help lacks an option"
expect_status 0 --version
grep -q '^freqsmith ' "$out" || fail "--version does not name the program"

expect_status 2 --detect --no-such-option
grep -q 'no-such-option' "$err" || fail "the bad option is not named"
expect_status 2 --detect --sysroot "$machines/no-such-machine"
grep -q 'no-such-machine' "$err" || fail "the unreadable directory is not named"
expect_status 2 --detect --sysroot "$machines/make_smbios.py"
expect_status 2 --detect --sysroot
expect_status 2 --detect stray-argument

# The window's path: ours are checked before the toolkit looks for a display, so the
# verdict is the same with no display at all; the toolkit's own options, in each of their
# spellings, are not ours to refuse.
for toolkit in "" "-platform offscreen" "--platform offscreen" "-style=fusion" "-reverse"; do
  # shellcheck disable=SC2086
  run $toolkit --no-such-option
  [ "$status" -eq 2 ] || fail "a bad option with the window ($toolkit) exited with $status, not 2"
  grep -q 'no-such-option' "$err" || fail "the bad option with the window ($toolkit) is not named"
  # shellcheck disable=SC2086
  run $toolkit --sysroot "$machines/no-such-machine"
  [ "$status" -eq 2 ] || fail "an unreadable --sysroot with the window ($toolkit) exited with $status, not 2"
done
run stray-argument
[ "$status" -eq 2 ] || fail "a stray argument with the window exited with $status, not 2"
# A toolkit option's value is the toolkit's: the window starts and runs until stopped.
env -u DISPLAY timeout 3 "$program" -platform offscreen -style fusion --sysroot "$machines/intel-desktop" >"$out" 2>"$err"
status=$?
[ "$status" -eq 124 ] || fail "the window with the toolkit's options and --sysroot ended with $status"

[ "$failures" -eq 0 ] && echo "all command-line checks passed"
[ "$failures" -eq 0 ]
