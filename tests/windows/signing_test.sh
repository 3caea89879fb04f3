#!/bin/bash
# Proves that the Windows release signs itself when it is given a certificate, with a
# code-signing certificate and an RFC 3161 time-stamp authority made for the run (the
# authority is `openssl ts` behind a small HTTP server on 127.0.0.1):
#   - a signed release: every program and DLL in its zip, its installer and the uninstaller
#     that the installer writes (installed silently under Wine, in a prefix of its own) carry
#     a signature that `osslsigncode verify` accepts, by that certificate, with a verified
#     time stamp from that authority and the description Windows shows; the installed files
#     are the zip's, and the signed uninstaller still removes them;
#   - the same release without a certificate: one line says it is not signed, no file in it
#     carries a signature, and it is the unsigned release of dist/ byte for byte (when dist/
#     holds one), so a signed run leaves nothing behind for an unsigned one;
#   - settings that cannot work, and an authority that stops answering halfway (at the
#     uninstaller, at the installer): each fails the build, says why, and leaves no release.
#   tests/windows/signing_test.sh [BUILD_DIR [QT_PREFIX]]
# BUILD_DIR is the cross build of package-windows.sh (build/windows-release), QT_PREFIX the
# Qt it was built against (the one build-qt-windows.sh keeps). Everything it makes goes
# into build/windows-signing; dist/ is only read.
set -euo pipefail
cd "$(dirname "$0")/../.."
top=$PWD
work=$top/build/windows-signing
started=$(date +%s)
indent() { sed 's/^/    /'; }
step() { echo "signing-test: $* ($(($(date +%s) - started)) s)"; }
fail() {
  echo "signing-test: FAILED: $*" >&2
  echo "signing-test: what it made is kept in $work" >&2
  exit 1
}

./scripts/install-deps.sh windows wine-desktop
build=${1:-build/windows-release}
qt=${2:-$(./scripts/build-qt-windows.sh --prefix)}
version_text=""
# shellcheck source=/dev/null
. "$build/windows-release.env"
[ -n "$version_text" ] || fail "$build/windows-release.env names no version"
name=freqsmith-$version_text-windows-x64
zip_name=$name.zip
setup_name=freqsmith-$version_text-setup.exe

# The caller's own signing settings have no place here, nor a proxy between osslsigncode
# and the authority on 127.0.0.1.
unset FREQSMITH_SIGN_CERT FREQSMITH_SIGN_PASSWORD FREQSMITH_SIGN_PASSWORD_FILE \
  FREQSMITH_SIGN_TIMESTAMP_URL http_proxy https_proxy HTTP_PROXY HTTPS_PROXY
export no_proxy=127.0.0.1 NO_PROXY=127.0.0.1

servers=()
wine_prefix=$work/wine
cleanup() {
  local pid
  for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null || true; done
  if [ "${WINEPREFIX:-}" = "$wine_prefix" ]; then wineserver -k 2>/dev/null || true; fi
}
trap cleanup EXIT
rm -rf "$work"
keys=$work/keys
mkdir -p "$keys"

step "a throwaway code-signing certificate and time-stamp authority"
cat >"$keys/openssl.cnf" <<EOF
[req]
distinguished_name = dn
[dn]
[code_signing]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
[time_stamping]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = critical, timeStamping
subjectKeyIdentifier = hash
[tsa]
default_tsa = test_tsa
[test_tsa]
serial = $keys/tsa-serial
signer_cert = $keys/tsa.pem
signer_key = $keys/tsa.key
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256, sha384, sha512
accuracy = secs:1
ess_cert_id_alg = sha256
EOF
echo 01 >"$keys/tsa-serial"
for pair in "signer|code_signing|Freqsmith signing test" "tsa|time_stamping|Freqsmith time-stamp test"; do
  IFS='|' read -r file extensions subject <<<"$pair"
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -config "$keys/openssl.cnf" \
    -extensions "$extensions" -subj "/CN=$subject" -keyout "$keys/$file.key" \
    -out "$keys/$file.pem" >"$keys/$file.log" 2>&1 || { cat "$keys/$file.log"; fail "openssl req"; }
done
openssl rand -hex 16 >"$keys/password"
password=$(cat "$keys/password")
openssl pkcs12 -export -inkey "$keys/signer.key" -in "$keys/signer.pem" -name "signing test" \
  -passout "file:$keys/password" -out "$keys/signer.p12"
# The signatures must be by this certificate, not merely by one that verifies.
leaf_hash=$(openssl x509 -in "$keys/signer.pem" -outform DER | sha256sum | cut -d' ' -f1)

# Starts an authority that logs to $work/LABEL.log; its address goes into tsa_url.
start_authority() {
  local label=$1
  shift
  python3 tests/windows/timestamp_server.py "$work/$label.port" "$keys/openssl.cnf" "$@" \
    2>"$work/$label.log" &
  servers+=($!)
  for _ in $(seq 100); do
    [ -s "$work/$label.port" ] && break
    sleep 0.1
  done
  [ -s "$work/$label.port" ] || { cat "$work/$label.log"; fail "the time-stamp authority did not start"; }
  tsa_url=http://127.0.0.1:$(cat "$work/$label.port")/
}
# How many time stamps the authority that logs to $work/LABEL.log has given.
stamps_given() { grep -c '"POST / HTTP/1\.[01]" 200 ' "$work/$1.log" || true; }

# Checks that `file` bears a good signature by the test certificate, described as `want`
# (what Windows shows for it), with a good time stamp.
verify() {
  local file=$1 label=$2 want=$3 report
  report=$(osslsigncode verify -in "$file" -CAfile "$keys/signer.pem" -TSA-CAfile "$keys/tsa.pem" \
    -require-leaf-hash "sha256:$leaf_hash" 2>&1) ||
    { indent <<<"$report"; fail "$label: the signature does not verify"; }
  # osslsigncode 2.9 exits 0 when the time stamp's own signature fails; its report says so.
  if ! grep -qx 'Signature verification: ok' <<<"$report" ||
    ! grep -qx 'Timestamp Server Signature verification: ok' <<<"$report"; then
    indent <<<"$report"
    fail "$label: no verified time stamp"
  fi
  local description
  description=$(sed -n 's/^[[:space:]]*Text description: //p' <<<"$report")
  [ "$description" = "$want" ] || fail "$label: described as '$description', expected '$want'"
  printf '  %-36s signed and time-stamped, "%s"\n' "$label" "$description"
}
# The programs and libraries under `dir`, relative to it, in a fixed order.
binaries() { (cd "$1" && find . -type f \( -iname '*.exe' -o -iname '*.dll' \) | LC_ALL=C sort); }

# --- the signed release -----------------------------------------------------------------------
start_authority authority
step "a signed release, time-stamped by $tsa_url"
signed=$work/signed
FREQSMITH_SIGN_CERT=$keys/signer.p12 FREQSMITH_SIGN_PASSWORD_FILE=$keys/password \
  FREQSMITH_SIGN_TIMESTAMP_URL=$tsa_url \
  ./packaging/windows/deploy.sh "$build" "$qt" "$signed" >"$work/signed.log" 2>&1 ||
  { cat "$work/signed.log"; fail "the signed release was not made"; }
grep -q 'package-windows: signing as CN = Freqsmith signing test' "$work/signed.log" ||
  fail "the signed build did not say whose certificate it signs with"
(cd "$signed" && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS does not match the signed release"
grep -rqF "$password" "$work"/*.log "$build/release" && fail "the password shows in the build's output"

step "every program and library in the zip"
unzip -q "$signed/$zip_name" -d "$work/signed-zip"
mapfile -t shipped < <(binaries "$work/signed-zip/$name")
# The program and the plugins too, which no import names.
for file in ./freqsmith.exe ./platforms/qwindows.dll; do
  printf '%s\n' "${shipped[@]}" | grep -qx "$file" || fail "the zip holds no $file"
done
for file in "${shipped[@]}"; do
  verify "$work/signed-zip/$name/$file" "${file#./}" "Freqsmith $version_text"
done
verify "$signed/$setup_name" "$setup_name" "Freqsmith $version_text Setup"

step "the uninstaller, as the signed installer writes it under Wine"
# Wine checks no Authenticode signature (it runs unsigned and badly signed programs alike,
# and has no SmartScreen), so this shows that the signed installer and uninstaller still
# run, their own integrity checks included, and what they write; what Windows makes of the
# signatures rests on osslsigncode's verification, which checks the same structures.
export WINEPREFIX=$wine_prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY WINEPATH
timeout 300 wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; fail "wineboot"; }
timeout 120 wine "$signed/$setup_name" /S /CurrentUser >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "the signed installer ended with exit code $?"; }
user=$(wine cmd /c 'echo %USERNAME%' 2>/dev/null | tr -d '\r')
folder=$WINEPREFIX/drive_c/users/$user/AppData/Local/Programs/Freqsmith
[ -f "$folder/uninstall.exe" ] || fail "the installer wrote no $folder/uninstall.exe"
verify "$folder/uninstall.exe" "uninstall.exe" "Freqsmith $version_text Uninstaller"
for file in "${shipped[@]}"; do
  cmp -s "$work/signed-zip/$name/$file" "$folder/$file" ||
    fail "the installer installed another ${file#./} than the zip holds"
done
echo "  the installer installed the zip's signed files"
# The uninstaller checks its own integrity before it runs; the signature must not break it.
# It starts a copy of itself and returns at once; the copy is done when the prefix's server
# ends, as it does once the prefix runs nothing.
timeout 60 wine "$folder/uninstall.exe" /CurrentUser /S >"$work/uninstall.log" 2>&1 ||
  { cat "$work/uninstall.log"; fail "the signed uninstaller ended with exit code $?"; }
timeout 120 wineserver -w || fail "the uninstaller did not finish within 2 minutes"
[ ! -e "$folder" ] || fail "the signed uninstaller left $folder: $(find "$folder" | head -5)"
echo "  the signed uninstaller removed them"
wineserver -k 2>/dev/null || true
unset WINEPREFIX
rm -rf "$wine_prefix"

given=$(stamps_given authority)
[ "$given" -eq $((${#shipped[@]} + 2)) ] ||
  fail "the authority gave $given time stamps for ${#shipped[@]} files, the uninstaller and the installer"
echo "  $given time stamps from $tsa_url, one for each file signed"

# --- settings that cannot work, a failing authority -----------------------------------------
# The signed release takes the place of an earlier run's in each output folder, which a
# failed run must remove rather than leave to be taken for its own.
expect_failure() {
  local label=$1 pattern=$2 out=$work/failed-$3
  shift 3
  mkdir -p "$out"
  cp "$signed/$zip_name" "$signed/$setup_name" "$signed/SHA256SUMS" "$out/"
  if env "$@" ./packaging/windows/deploy.sh "$build" "$qt" "$out" >"$out.log" 2>&1; then
    cat "$out.log"
    fail "$label: the build succeeded"
  fi
  grep -qE "$pattern" "$out.log" || { cat "$out.log"; fail "$label: the build did not say '$pattern'"; }
  local left
  left=$(find "$out" -mindepth 1 -printf "%f ")
  [ -z "$left" ] || fail "$label: the build left $left"
  printf '  %-44s fails: %s\n' "$label" "$(grep -E "$pattern" "$out.log" | head -n 1 | sed 's/^[a-z-]*: //')"
}
step "signing settings that cannot work"
p12=$keys/signer.p12
expect_failure "a certificate without a password" "no password" no-password \
  "FREQSMITH_SIGN_CERT=$p12"
echo "not-$password" >"$keys/wrong-password"
expect_failure "the wrong password, in a file" "cannot open .* with the password" wrong-password-file \
  "FREQSMITH_SIGN_CERT=$p12" "FREQSMITH_SIGN_PASSWORD_FILE=$keys/wrong-password"
expect_failure "the wrong password, in the environment" "cannot open .* with the password" wrong-password \
  "FREQSMITH_SIGN_CERT=$p12" "FREQSMITH_SIGN_PASSWORD=not-$password"
expect_failure "a certificate file that is not there" "cannot read" no-such-file \
  "FREQSMITH_SIGN_CERT=$keys/no-such.p12" "FREQSMITH_SIGN_PASSWORD=$password"
expect_failure "a certificate that is no PKCS#12 file" "cannot open .* with the password" not-pkcs12 \
  "FREQSMITH_SIGN_CERT=$keys/signer.pem" "FREQSMITH_SIGN_PASSWORD=$password"
expect_failure "a password without a certificate" "FREQSMITH_SIGN_CERT is not" no-certificate \
  "FREQSMITH_SIGN_PASSWORD=$password"
expect_failure "a time-stamp address that is no URL" "must be an http" bad-url \
  "FREQSMITH_SIGN_CERT=$p12" "FREQSMITH_SIGN_PASSWORD=$password" "FREQSMITH_SIGN_TIMESTAMP_URL=127.0.0.1"

step "osslsigncode refusing the password"
# Past the check: the signature itself fails, and leaves the file as it was.
cp "$work/signed-zip/$name/freqsmith.exe" "$work/refused.exe"
cp "$work/refused.exe" "$work/refused-before.exe"
if FREQSMITH_SIGN_CERT=$p12 FREQSMITH_SIGN_PASSWORD=not-$password \
  ./packaging/windows/sign.sh "$work/refused.exe" >"$work/refused.log" 2>&1; then
  fail "sign.sh signed with the wrong password"
fi
grep -q 'signing .*refused.exe failed' "$work/refused.log" || { cat "$work/refused.log"; fail "sign.sh did not say what failed"; }
cmp -s "$work/refused.exe" "$work/refused-before.exe" || fail "a failed signing changed the file"
[ -z "$(find "$work" -maxdepth 1 -name 'refused.exe.*')" ] || fail "a failed signing left files behind"
echo "  fails, and leaves freqsmith.exe as it was"

step "a time-stamp authority that stops answering"
# The files of the zip take the first time stamps; the uninstaller, then the installer, are
# signed inside makensis.
for pair in "$((${#shipped[@]} + 1))|the uninstaller" "$((${#shipped[@]} + 2))|the installer"; do
  IFS='|' read -r from what <<<"$pair"
  start_authority "failing-from-$from" --fail-from "$from"
  expect_failure "no time stamp for $what" "signing .* failed" "authority-$from" \
    "FREQSMITH_SIGN_CERT=$p12" "FREQSMITH_SIGN_PASSWORD=$password" "FREQSMITH_SIGN_TIMESTAMP_URL=$tsa_url"
  [ "$(stamps_given "failing-from-$from")" -eq $((from - 1)) ] ||
    fail "no time stamp for $what: the authority was asked $(stamps_given "failing-from-$from") times before it failed"
done

# --- the same release without a certificate -------------------------------------------------
# Last, so that the staging folder in the build is the unsigned release's again, as
# package-windows.sh left it.
step "the same release without a certificate"
unsigned=$work/unsigned
./packaging/windows/deploy.sh "$build" "$qt" "$unsigned" >"$work/unsigned.log" 2>&1 ||
  { cat "$work/unsigned.log"; fail "the unsigned release was not made"; }
# Any line about signing (not the folder names, which hold the word too).
said=$(grep -iE '(^|[[:space:]])(un)?sign' "$work/unsigned.log" || true)
if [ "$(grep -c . <<<"$said")" -ne 1 ] || ! grep -q 'not signed' <<<"$said"; then
  fail "expected one line saying the release is not signed, got: $said"
fi
echo "  $said"
unzip -q "$unsigned/$zip_name" -d "$work/unsigned-zip"
[ "$(binaries "$work/unsigned-zip/$name")" = "$(printf '%s\n' "${shipped[@]}")" ] ||
  fail "the unsigned zip ships other programs and libraries than the signed one"
for file in "${shipped[@]/#/$work/unsigned-zip/$name/}" "$unsigned/$setup_name"; do
  if osslsigncode extract-signature -in "$file" -out "$work/found.sig" >/dev/null 2>&1; then
    fail "${file#"$work"/} of the unsigned release carries a signature"
  fi
done
echo "  no file of it carries a signature"
if [ -f "dist/$zip_name" ] && [ -f "dist/$setup_name" ]; then
  if ! cmp "dist/$zip_name" "$unsigned/$zip_name" || ! cmp "dist/$setup_name" "$unsigned/$setup_name"; then
    fail "made again after the signed release, the unsigned release differs from dist/"
  fi
  echo "  the same bytes as dist/$zip_name and dist/$setup_name"
fi

step "passed"
