#!/bin/sh
# The Windows program's printed text under Wine, as each kind of target takes it: UTF-8 bytes
# with Windows line ends into a pipe and a file, and characters into a console, which is a
# Command Prompt run in a terminal. Wine's console decodes bytes in the OEM code page, 437,
# as a real Windows console does, so bytes written to it would show "Grüße" as "Gr├╝├ƒe".
# The code page must be the same after the program as before. Run by ctest in the cross
# build, where make test-windows sets up Wine (WINEPREFIX, WINEPATH).
#   windows_console_test.sh FREQSMITH_EXE VERSION_TEXT
set -u
program=$1
version=$2
failures=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# Wine hands the arguments and the console's characters over in the locale's encoding.
export LC_ALL=C.UTF-8

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Bytes as od shows them, for messages.
bytes() { od -An -c "$1" | tr -s ' \n' ' '; }

# A pipe and a file: exactly the UTF-8 bytes, with Windows line ends.
timeout 60 wine "$program" --version 2>/dev/null | cat >"$scratch/pipe"
printf 'freqsmith %s\r\n' "$version" | cmp -s - "$scratch/pipe" ||
  fail "--version into a pipe gave: $(bytes "$scratch/pipe")"
timeout 60 wine "$program" --version >"$scratch/file" 2>/dev/null
printf 'freqsmith %s\r\n' "$version" | cmp -s - "$scratch/file" ||
  fail "--version into a file gave: $(bytes "$scratch/file")"

timeout 60 wine "$program" --detect Grüße >"$scratch/out" 2>"$scratch/err"
status=$?
[ "$status" -eq 2 ] || fail "a stray argument exited with $status, not 2"
[ -s "$scratch/out" ] && fail "a stray argument wrote on standard output: $(bytes "$scratch/out")"
printf "freqsmith: unexpected argument 'Grüße'\r\nTry 'freqsmith --help' for the options.\r\n" |
  cmp -s - "$scratch/err" || fail "the message into a file gave: $(bytes "$scratch/err")"

# A full disk: the text did not arrive, and the program says so.
timeout 60 wine "$program" --help >/dev/full 2>"$scratch/err"
status=$?
[ "$status" -eq 1 ] || fail "--help into a full disk exited with $status, not 1"
grep -q '^freqsmith: write error: .*(error 112)' "$scratch/err" ||
  fail "--help into a full disk said: $(bytes "$scratch/err")"

# The console: a Command Prompt in a terminal, which starts the program, waits for it (start
# /wait: cmd waits for no windowed program by itself), and then tells its exit status and
# its code page.
cat >"$scratch/session.cmd" <<'SESSION'
@echo off
chcp
start /wait "" "%FREQSMITH%" --detect %FREQSMITH_ARGUMENT%
echo status %ERRORLEVEL%
chcp
SESSION
# The argument comes through the environment, which Wine converts from the locale: cmd would
# read it from the batch file in the console's code page.
FREQSMITH=$(winepath -w "$program" 2>/dev/null)
FREQSMITH_SESSION=$(winepath -w "$scratch/session.cmd" 2>/dev/null)
FREQSMITH_ARGUMENT=Grüße
export FREQSMITH FREQSMITH_SESSION FREQSMITH_ARGUMENT
# shellcheck disable=SC2016
script -qec 'timeout 60 wine cmd /c "$FREQSMITH_SESSION"' /dev/null </dev/null >"$scratch/console" 2>&1
# The terminal's own control sequences and line ends aside.
sed 's/\x1b\[[0-9;?]*[a-zA-Z]//g; s/\r//g' "$scratch/console" | grep -v '^$' >"$scratch/seen"
grep -qF "freqsmith: unexpected argument 'Grüße'" "$scratch/seen" ||
  fail "the console did not show the message as written: $(cat "$scratch/seen")"
grep -qx 'status 2' "$scratch/seen" || fail "start /wait did not give the exit status: $(cat "$scratch/seen")"
{ [ "$(grep -c 'code page' "$scratch/seen")" -eq 2 ] &&
  [ "$(grep 'code page' "$scratch/seen" | sort -u | wc -l)" -eq 1 ]; } ||
  fail "the console's code page changed: $(cat "$scratch/seen")"

[ "$failures" -eq 0 ] && echo "all Windows console checks passed"
[ "$failures" -eq 0 ]
