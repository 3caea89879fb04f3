#!/bin/bash
# Makes the Windows release from a cross build: a folder with freqsmith.exe and exactly the
# DLLs, Qt plugins and licence texts it needs, zipped, and the same files as an installer,
# with their checksums in OUT_DIR/SHA256SUMS.
#   deploy.sh BUILD_DIR QT_PREFIX OUT_DIR
# The DLLs are found by following the executable's imports (and theirs) through the Qt and
# MinGW runtime folders; whatever is not found there is Windows' own. Prints each file it
# takes and why.
# Every time stamp, in the files' headers and in the archives, is SOURCE_DATE_EPOCH (the last
# commit's time when it is not set), so the same commit gives the same bytes.
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: deploy.sh BUILD_DIR QT_PREFIX OUT_DIR" >&2; exit 2; }
build=$1
qt=$2
mkdir -p "$3"
# Absolute, because the zip is written from inside the staging folder.
out=$(cd "$3" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)

say() { echo "package-windows: $*"; }
fail() { echo "package-windows: $*" >&2; exit 1; }

# shellcheck source-path=SCRIPTDIR source=release.env.in
. "$build/windows-release.env"
triple=x86_64-w64-mingw32
name=freqsmith-$version_text-windows-x64
stage=$build/release/$name
# A fresh staging folder each time: files signed by an earlier run must not find their way
# into an unsigned release, nor unsigned ones into a signed release.
rm -rf "$build/release"
mkdir -p "$stage"
zip_file=$out/$name.zip
setup=$out/freqsmith-$version_text-setup.exe
# The release of an earlier run goes first, and this run's appears only once all of it is
# made (and signed, when it is signed): a failed run leaves no release, rather than part of
# one or an older one that could be taken for this run's.
rm -f "$zip_file" "$setup" "$out/SHA256SUMS"
trap 'rm -f "$zip_file.tmp" "$setup.tmp" "$out/SHA256SUMS.tmp"' EXIT

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null || date +%s)
fi
# strip, makensis and sign.sh read it too.
export SOURCE_DATE_EPOCH
stamp=$SOURCE_DATE_EPOCH

# Signed when a certificate is given (sign.sh tells what else it takes); checked before
# anything is made, so that a wrong setting costs no build.
signing=""
if [ -n "${FREQSMITH_SIGN_CERT:-}" ]; then
  "$here/sign.sh" --check | sed 's/^sign: /package-windows: /'
  signing=1
else
  for variable in FREQSMITH_SIGN_PASSWORD FREQSMITH_SIGN_PASSWORD_FILE FREQSMITH_SIGN_TIMESTAMP_URL; do
    [ -z "${!variable:-}" ] || fail "$variable is set but FREQSMITH_SIGN_CERT is not: give the certificate too, or unset $variable"
  done
  say "not signed: FREQSMITH_SIGN_CERT is not set (README.md, Signing the release, tells how)"
fi

# Where the DLLs that are not Windows' own come from.
search_dirs=(
  "$qt/bin"
  "$(dirname "$($triple-g++-posix -print-file-name=libstdc++-6.dll)")"
  "$(dirname "$(readlink -f "$($triple-g++-posix -print-file-name=libwinpthread-1.dll)")")"
)

# Plugins are loaded by name at run time, so no import names them: each is listed with the
# reason the program needs it. The widget style needs none: the program sets Fusion, which
# lives in Qt6Widgets.dll, and its images are PNGs, which Qt6Gui.dll reads itself.
plugins=(
  "platforms/qwindows.dll|the platform plugin: Qt opens no window without it"
)

imports() {
  $triple-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'
}

find_dll() {
  local dir
  for dir in "${search_dirs[@]}"; do
    # Import names are case-insensitive on Windows.
    local found
    found=$(find "$dir" -maxdepth 1 -iname "$1" -print -quit)
    if [ -n "$found" ]; then
      echo "$found"
      return
    fi
  done
}

declare -A taken=()
declare -A system=()
# Copies the DLLs `file` imports that are ours to ship, then theirs.
take_imports() {
  local file=$1 dll
  for dll in $(imports "$file"); do
    local key=${dll,,}
    if [ -n "${taken[$key]:-}" ] || [ -n "${system[$key]:-}" ]; then continue; fi
    local found
    found=$(find_dll "$dll")
    if [ -z "$found" ]; then
      system[$key]=$dll
      continue
    fi
    taken[$key]=1
    cp "$found" "$stage/"
    printf '  %-28s imported by %s\n' "$(basename "$found")" "$(basename "$file")"
    take_imports "$stage/$(basename "$found")"
  done
}

say "staging $name"
cp "$program" "$stage/freqsmith.exe"
printf '  %-28s the program\n' freqsmith.exe
for entry in "${plugins[@]}"; do
  plugin=${entry%%|*}
  mkdir -p "$stage/$(dirname "$plugin")"
  cp "$qt/plugins/$plugin" "$stage/$plugin"
  printf '  %-28s %s\n' "$plugin" "${entry#*|}"
done
take_imports "$stage/freqsmith.exe"
for entry in "${plugins[@]}"; do take_imports "$stage/${entry%%|*}"; done
say "left to Windows: $(printf '%s\n' "${system[@]}" | sort -f | tr '\n' ' ')"

# Symbols are no use to a user and make up much of the size. strip writes a new time stamp
# into each header, SOURCE_DATE_EPOCH's (the time of the strip without it), Qt's and MinGW's
# DLLs included; pe-stamp.pl then gives their export directories the same, in place of the
# times they were linked.
find "$stage" -iname '*.exe' -o -iname '*.dll' | while read -r binary; do
  $triple-strip --strip-unneeded "$binary"
done
find "$stage" -type f \( -iname '*.exe' -o -iname '*.dll' \) -exec perl "$here/pe-stamp.pl" "$stamp" {} +

# Signed after the last change to their bytes, every program and library we ship, Qt's and
# MinGW's included: where a policy lets only signed code run (App Control for Business,
# and Smart App Control, as we understand it), Windows checks each DLL it loads too.
if [ -n "$signing" ]; then
  say "signing the programs and libraries"
  find "$stage" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0 | LC_ALL=C sort -z |
    xargs -0 "$here/sign.sh" --name "Freqsmith $version_text" --url "$home_url" | sed 's/^sign: /  /'
fi

# Licences: the program's, Qt's (LGPL 3, which builds on the GPL 3), Debian's record of
# every licence in the Qt source, and the runtime libraries' own. Text files get Windows
# line ends, so that any editor shows them right.
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
crlf "$source_dir/LICENSE" "$stage/LICENSE.txt"
mkdir -p "$stage/licenses"
for text in LGPL-3.0-only GPL-3.0-only; do
  crlf "$qt/LICENSES/$text.txt" "$stage/licenses/Qt-$text.txt"
done
qt_source=$(sed -n 's/^source: //p' "$qt/.complete")
qt_version=$(echo "$qt_source" | sed -n 's/^qt6-base (\([^)]*\)).*/\1/p')
[ -n "$qt_version" ] || fail "$qt/.complete does not name the Qt source package"
crlf "/usr/share/doc/libqt6core6/copyright" "$stage/licenses/Qt-copyright.txt"
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
  [ -f "$stage/$dll" ] || continue
  package=$(dpkg -S "$(readlink -f "$(find_dll "$dll")")" | cut -d: -f1)
  [ -f "$stage/licenses/$package.txt" ] ||
    crlf "/usr/share/doc/$package/copyright" "$stage/licenses/$package.txt"
done
{
  echo "Freqsmith $version_text for Windows uses Qt $qt_version (the qtbase module), licensed"
  echo "under the GNU Lesser General Public License version 3 (Qt-LGPL-3.0-only.txt, which"
  echo "builds on Qt-GPL-3.0-only.txt). Qt-copyright.txt lists the licences of every part of"
  echo "Qt's source, including the third-party code built into the Qt DLLs."
  echo
  echo "The Qt DLLs in this folder were built, unmodified, from Debian's qt6-base source"
  echo "package, version $qt_version. Get the same source with"
  echo
  echo "    apt-get source qt6-base=$qt_version"
  echo
  echo "on Debian (with a deb-src line in the apt sources), or from"
  echo "https://snapshot.debian.org/package/qt6-base/$qt_version/ ."
  echo "Freqsmith's source contains scripts/build-qt-windows.sh, which fetches that package"
  echo "and builds these DLLs with MinGW-w64; you may replace them with your own build of"
  echo "the same Qt version."
  echo
  echo "libstdc++-6.dll, libgcc_s_seh-1.dll and libwinpthread-1.dll are the MinGW-w64"
  echo "compiler's runtime; their licences are in the other files of this folder."
} | sed 's/$/\r/' >"$stage/licenses/README.txt"

# The same time stamp and the usual modes on every file, whatever the umask: the zip and the
# installer then depend only on the contents. zip keeps local times, hence UTC; -X leaves
# out the owners and the extra time fields, and the entries go in a fixed order.
find "$stage" -type d -exec chmod 755 {} +
find "$stage" -type f -exec chmod 644 {} +
find "$stage" -type f \( -iname '*.exe' -o -iname '*.dll' \) -exec chmod 755 {} +
find "$stage" -exec touch -h -d "@$stamp" {} +

say "writing $zip_file"
rm -f "$zip_file.tmp"
(cd "$(dirname "$stage")" && find "$name" -print | LC_ALL=C sort |
  TZ=UTC zip -q -X -9 "$zip_file.tmp" -@)

# The installer takes the same files; the uninstaller removes exactly those.
file_list=$build/release/files.nsh
{
  echo "!macro InstallFiles"
  (cd "$stage" && find . -type d | LC_ALL=C sort) | while read -r dir; do
    rel=${dir#./}
    [ "$rel" = "." ] && rel=""
    echo "  SetOutPath \"\$INSTDIR${rel:+\\${rel//\//\\}}\""
    (cd "$stage/$dir" && find . -maxdepth 1 -type f | LC_ALL=C sort) | while read -r f; do
      echo "  File \"$stage/${rel:+$rel/}${f#./}\""
    done
  done
  echo "!macroend"
  echo "!macro RemoveFiles"
  (cd "$stage" && find . -type f | LC_ALL=C sort) | while read -r f; do
    rel=${f#./}
    echo "  Delete \"\$INSTDIR\\${rel//\//\\}\""
  done
  (cd "$stage" && find . -mindepth 1 -type d | LC_ALL=C sort -r) | while read -r dir; do
    rel=${dir#./}
    echo "  RMDir \"\$INSTDIR\\${rel//\//\\}\""
  done
  echo "!macroend"
} >"$file_list"

say "writing $setup"
# makensis signs the uninstaller before it puts it into the installer, and the installer
# once it is written, each through sign.sh; a failed signature fails makensis.
sign_defines=()
[ -z "$signing" ] || sign_defines=("-DSIGN_SCRIPT=$here/sign.sh")
makensis -V2 -NOCD "${sign_defines[@]}" \
  "-DVERSION_TEXT=$version_text" "-DVERSION_NUMERIC=$version_numeric" \
  "-DPUBLISHER=$publisher" "-DHOME_URL=$home_url" "-DSUMMARY=$summary" \
  "-DCOPYRIGHT=$copyright" "-DICON=$source_dir/resources/icons/freqsmith.ico" \
  "-DLICENSE_FILE=$stage/LICENSE.txt" "-DFILE_LIST=$file_list" "-DOUTFILE=$setup.tmp" \
  "$here/installer.nsi" >"$build/release/makensis.log" 2>&1 ||
  { cat "$build/release/makensis.log" >&2; fail "makensis failed"; }
if [ -n "$signing" ]; then
  # Whatever makensis made of its finalize commands, an unsigned installer is not shipped
  # as a signed one.
  if [ "$(grep -c '^sign: signed ' "$build/release/makensis.log")" -ne 2 ] ||
    ! osslsigncode extract-signature -in "$setup.tmp" -out "$build/release/setup.sig" >/dev/null 2>&1; then
    cat "$build/release/makensis.log" >&2
    fail "makensis did not sign both the uninstaller and the installer"
  fi
  say "  signed the uninstaller and the installer"
fi
mv "$zip_file.tmp" "$zip_file"
mv "$setup.tmp" "$setup"
touch -d "@$stamp" "$zip_file" "$setup"

# The checksums, for `sha256sum -c SHA256SUMS` in the folder and for comparing two builds.
(cd "$out" && sha256sum "$(basename "$zip_file")" "$(basename "$setup")" >SHA256SUMS.tmp &&
  mv SHA256SUMS.tmp SHA256SUMS)
touch -d "@$stamp" "$out/SHA256SUMS"

say "$(du -k "$zip_file" | cut -f1) KB  $zip_file"
say "$(du -k "$setup" | cut -f1) KB  $setup"
sed 's/^/package-windows: sha256 /' "$out/SHA256SUMS"
