#!/bin/bash
# Signs Windows programs and libraries with Authenticode, in place, with osslsigncode: the
# Windows release's exe and DLLs (called by deploy.sh) and its uninstaller and installer
# (called by makensis, through !uninstfinalize and !finalize in installer.nsi).
#   sign.sh --check                        checks what signing needs, signs nothing
#   sign.sh [--name TEXT] [--url URL] FILE...
# --name is the description Windows shows for the signed file (User Account Control's
# prompt shows it as the program's name), --url the address given with it.
#
# What to sign with comes from the environment:
#   FREQSMITH_SIGN_CERT           a PKCS#12 file (.p12, .pfx): the code-signing certificate,
#                                 the certificates that lead to its issuer, the private key
#   FREQSMITH_SIGN_PASSWORD_FILE  a file whose first line is the password of that file, or
#   FREQSMITH_SIGN_PASSWORD       the password itself (one of the two, not both)
#   FREQSMITH_SIGN_TIMESTAMP_URL  optional: an RFC 3161 time-stamp authority's address
# The password never goes on a command line, where any user of the machine could read it
# from the process list; osslsigncode and openssl read it from a file or a pipe.
#
# With a time stamp, the signatures stay valid after the certificate expires, and each
# signing gives other bytes (the authority's time and serial number). Without one, the
# signing time written is SOURCE_DATE_EPOCH's when that is set, so the same files, the same
# certificate and the same osslsigncode give the same bytes.
#
# Exits non-zero, saying why, when anything is missing or a signature fails; a file whose
# signing failed is left as it was.
set -euo pipefail

say() { echo "sign: $*"; }
fail() { echo "sign: $*" >&2; exit 1; }

cert=${FREQSMITH_SIGN_CERT:-}
password_file=${FREQSMITH_SIGN_PASSWORD_FILE:-}
timestamp_url=${FREQSMITH_SIGN_TIMESTAMP_URL:-}

[ -n "$cert" ] || fail "FREQSMITH_SIGN_CERT is not set: nothing to sign with"
if [ ! -f "$cert" ] || [ ! -r "$cert" ]; then fail "FREQSMITH_SIGN_CERT: cannot read '$cert'"; fi
if [ -n "$password_file" ] && [ -n "${FREQSMITH_SIGN_PASSWORD:-}" ]; then
  fail "both FREQSMITH_SIGN_PASSWORD and FREQSMITH_SIGN_PASSWORD_FILE are set: give one"
fi
if [ -n "$password_file" ]; then
  if [ ! -f "$password_file" ] || [ ! -r "$password_file" ]; then
    fail "FREQSMITH_SIGN_PASSWORD_FILE: cannot read '$password_file'"
  fi
elif [ -z "${FREQSMITH_SIGN_PASSWORD:-}" ]; then
  fail "FREQSMITH_SIGN_CERT is set but no password: set FREQSMITH_SIGN_PASSWORD_FILE (a file holding it) or FREQSMITH_SIGN_PASSWORD"
fi
case "$timestamp_url" in
  "" | http://* | https://*) ;;
  *) fail "FREQSMITH_SIGN_TIMESTAMP_URL must be an http:// or https:// address, not '$timestamp_url'" ;;
esac
command -v osslsigncode >/dev/null ||
  fail "osslsigncode is not installed (scripts/install-deps.sh windows installs it)"

# The password, on standard output, for a pipe or a process substitution: printf is a
# shell builtin, so it shows in no process list.
password() {
  if [ -n "$password_file" ]; then
    head -n 1 "$password_file"
  else
    printf '%s\n' "$FREQSMITH_SIGN_PASSWORD"
  fi
}

if [ "${1:-}" = "--check" ]; then
  [ $# -eq 1 ] || fail "--check takes nothing else"
  # The certificate must open with the password, and be valid now: an expired one gives
  # signatures Windows rejects. OpenSSL 3 reads the RC2-encrypted files that older tools
  # export only with its legacy algorithms.
  leaf=""
  for legacy in "" -legacy; do
    # shellcheck disable=SC2086
    if leaf=$(openssl pkcs12 $legacy -in "$cert" -passin fd:3 -nokeys -clcerts 3< <(password) \
      2>/dev/null); then
      break
    fi
    leaf=""
  done
  [ -n "$leaf" ] ||
    fail "cannot open $cert with the password given (wrong password, or not a PKCS#12 file)"
  subject=$(openssl x509 -noout -subject -nameopt oneline <<<"$leaf" | sed 's/^subject= *//')
  until=$(openssl x509 -noout -enddate <<<"$leaf" | sed 's/^notAfter=//')
  openssl x509 -noout -checkend 0 <<<"$leaf" >/dev/null ||
    fail "the certificate in $cert ($subject) expired on $until"
  if [ -n "$timestamp_url" ]; then
    say "signing as $subject (valid until $until), time stamps from $timestamp_url"
  else
    say "signing as $subject (valid until $until), without a time stamp: the signatures are trusted only until then (set FREQSMITH_SIGN_TIMESTAMP_URL)"
  fi
  exit 0
fi

name=""
url=""
while [ $# -gt 0 ]; do
  case "$1" in
    --name) name=$2; shift 2 ;;
    --url) url=$2; shift 2 ;;
    --) shift; break ;;
    -*) fail "unknown option '$1'" ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || fail "no file to sign"

options=(-h sha256)
[ -z "$name" ] || options+=(-n "$name")
[ -z "$url" ] || options+=(-i "$url")
if [ -n "$timestamp_url" ]; then
  options+=(-ts "$timestamp_url")
elif [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  options+=(-time "$SOURCE_DATE_EPOCH")
fi

for file in "$@"; do
  [ -f "$file" ] || fail "no file '$file' to sign"
  # Into a new file that replaces the old one only once it is whole: a failed signing
  # leaves the file unsigned, never half written (osslsigncode may leave a part of its
  # output behind when the time-stamp authority fails).
  signed=$file.signed
  log=$file.sign.log
  rm -f "$signed"
  if ! osslsigncode sign -pkcs12 "$cert" -readpass <(password) "${options[@]}" \
    -in "$file" -out "$signed" >"$log" 2>&1; then
    rm -f "$signed"
    sed 's/^/  /' "$log" >&2
    rm -f "$log"
    fail "signing $file failed"
  fi
  rm -f "$log"
  chmod --reference="$file" "$signed"
  mv "$signed" "$file"
  say "signed $(basename "$file")${timestamp_url:+, time-stamped}"
done
