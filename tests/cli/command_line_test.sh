#!/bin/sh
# The program's options as a user meets them on a terminal without a display: the detection
# report of this machine and of a fixture machine, help and version, and each exit status:
# 0 for what was asked and printed; 1 when standard output cannot take the text or the window
# finds no display, each said in one line; 2, with a message naming the argument as typed,
# for arguments that cannot be used.
#   command_line_test.sh PROGRAM MACHINES_DIR
set -u
program=$1
machines=$2
failures=0
scratch=$(mktemp -d)
out=$scratch/out
err=$scratch/err
empty=$scratch/empty
mkdir "$empty"
trap 'rm -rf "$scratch"' EXIT

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

# Standard error holds exactly these lines.
expect_error() {
  printf '%s\n' "$@" | cmp -s - "$err" || fail "standard error is not: $*"
}

expect_status 0 --detect --sysroot "$machines/intel-desktop"
cat >"$scratch/want" <<'REPORT'
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
cmp -s "$out" "$scratch/want" || fail "the report of intel-desktop differs from the expected one"
# The same report, however the options are spelled and wherever the toolkit's own stand.
for spelling in "--sysroot=$machines/intel-desktop --detect" \
  "-platform offscreen --detect --sysroot $machines/intel-desktop" \
  "--detect -style=fusion --sysroot $machines/intel-desktop -reverse"; do
  # shellcheck disable=SC2086
  expect_status 0 $spelling
  cmp -s "$out" "$scratch/want" || fail "the report with $spelling differs from the expected one"
done

# With --sysroot the processor running this is not asked: this fixture has no table, so
# its bus clock stays unknown.
expect_status 0 --detect --sysroot "$machines/intel-no-smbios"
grep -qx 'System Clock: unknown' "$out" || fail "--sysroot asked this processor for the bus clock"

expect_status 0 --detect
[ "$(wc -l <"$out")" -eq 12 ] || fail "the report of this machine is not twelve lines"
grep -q '^CPU Speed: ' "$out" || fail "the report of this machine lacks the CPU speed"

for help in --help -h "-?" -hv "--version --help" "--detect --help"; do
  # shellcheck disable=SC2086
  expect_status 0 $help
  { grep -q -- '--detect' "$out" && grep -q -- '--sysroot <DIR>' "$out"; } || fail "$help lacks an option"
  grep -q -- '-platform' "$out" && fail "$help lists the toolkit's options"
  [ -s "$err" ] && fail "$help wrote on standard error"
done
expect_status 0 --help-all
{ grep -q -- '--sysroot <DIR>' "$out" && grep -qx -- '  -platform <value>' "$out" &&
  grep -qx -- '  -reverse' "$out"; } || fail "--help-all lacks our options or the toolkit's"
for version in --version -v; do
  expect_status 0 $version
  grep -qx 'freqsmith [0-9][0-9a-z.]*' "$out" || fail "$version does not name the program"
done

# Standard output that cannot take the text: the run fails, and says why on standard error.
for printing in --help --help-all --version "--detect --sysroot $machines/intel-desktop"; do
  # shellcheck disable=SC2086
  env -u DISPLAY "$program" $printing >/dev/full 2>"$err"
  status=$?
  [ "$status" -eq 1 ] || fail "$printing into a full disk exited with $status, not 1"
  expect_error "freqsmith: write error: No space left on device"
  # shellcheck disable=SC2086
  env -u DISPLAY "$program" $printing >&- 2>"$err"
  status=$?
  [ "$status" -eq 1 ] || fail "$printing with standard output closed exited with $status, not 1"
  expect_error "freqsmith: write error: Bad file descriptor"
done

# Arguments that cannot be used, with the first line of what is said about them. Each row
# runs for the window and again with --detect, with the same verdict: status 2, nothing on
# standard output. @ stands for the fixtures' folder, % for an empty folder.
while IFS='|' read -r arguments message; do
  arguments=$(echo "$arguments" | sed "s|@|$machines|g; s|%|$empty|g")
  message=$(echo "$message" | sed "s|@|$machines|g; s|%|$empty|g")
  for detect in "" --detect; do
    # shellcheck disable=SC2086
    run $detect $arguments
    [ "$status" -eq 2 ] || fail "$detect $arguments exited with $status, not 2"
    [ -s "$out" ] && fail "$detect $arguments wrote on standard output"
    expect_error "freqsmith: $message" "Try 'freqsmith --help' for the options."
  done
done <<'ROWS'
--no-such-option|unrecognized option '--no-such-option'
--no-such-option=1|unrecognized option '--no-such-option'
-x|unrecognized option '-x'
-vx|unrecognized option '-vx'
-detect|unrecognized option '-detect'
--h|unrecognized option '--h'
--detect=yes|option '--detect' doesn't allow an argument
--version=2|option '--version' doesn't allow an argument
--sysroot|option '--sysroot' requires an argument
stray-argument|unexpected argument 'stray-argument'
-- --help|unexpected argument '--help'
--sysroot @/no-such-machine|option '--sysroot': cannot read the directory '@/no-such-machine': No such file or directory
--sysroot=@/make_smbios.py|option '--sysroot': cannot read the directory '@/make_smbios.py': Not a directory
--sysroot %|option '--sysroot': the directory '%' holds neither proc/cpuinfo nor sys/, so there is nothing to read
ROWS
# Either of the two is something to read.
mkdir "$empty/proc" && : >"$empty/proc/cpuinfo"
expect_status 0 --detect --sysroot "$empty"
rm -r "$empty/proc" && mkdir "$empty/sys"
expect_status 0 --detect --sysroot "$empty"

# The window's path: ours are checked before the toolkit looks for a display, so the
# verdict is the same with no display at all; the toolkit's own options, in each of their
# spellings, are not ours to refuse.
for toolkit in "" "-platform offscreen" "--platform offscreen" "-style=fusion" "-reverse"; do
  # shellcheck disable=SC2086
  run $toolkit --no-such-option
  [ "$status" -eq 2 ] || fail "a bad option with the window ($toolkit) exited with $status, not 2"
  grep -q "'--no-such-option'" "$err" || fail "the bad option with the window ($toolkit) is not named"
  # shellcheck disable=SC2086
  run $toolkit --sysroot "$machines/no-such-machine"
  [ "$status" -eq 2 ] || fail "an unreadable --sysroot with the window ($toolkit) exited with $status, not 2"
done
# A toolkit option's value is the toolkit's: the window starts and runs until stopped.
env -u DISPLAY timeout 3 "$program" -platform offscreen -style fusion --sysroot "$machines/intel-desktop" >"$out" 2>"$err"
status=$?
[ "$status" -eq 124 ] || fail "the window with the toolkit's options and --sysroot ended with $status"

# A window with nothing to open it on: one line that says why, and status 1, not an abort.
while IFS='|' read -r setting reason; do
  # shellcheck disable=SC2086
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM $setting "$program" >"$out" 2>"$err"
  status=$?
  [ "$status" -eq 1 ] || fail "the window with $setting exited with $status, not 1"
  expect_error "freqsmith: cannot open the window: $reason"
done <<'ROWS'
|there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set); --detect, --help and --version need none
DISPLAY=:4711|the display could not be reached (DISPLAY is ':4711')
QT_QPA_PLATFORM=no-such-platform|the platform 'no-such-platform' that QT_QPA_PLATFORM names could not be started
ROWS

[ "$failures" -eq 0 ] && echo "all command-line checks passed"
[ "$failures" -eq 0 ]
