#!/bin/bash
# Proves the Windows release under Wine, in a Wine prefix made fresh for the run:
#   1. the unit and window tests, cross-built, run headless (Qt's offscreen platform), and
#      start-up timed against a bare window cross-built alike (reported; no target, since
#      Wine's own process start dominates both);
#   2. the detection probe checks the Windows detection against Wine's management service;
#   3. the release zip, unpacked and started on a virtual X display: the window shows its
#      caption and what the probe read, a typed system clock and multiplier plus Calculate
#      give the worked example's figures (read back through the clipboard), closing the
#      window writes the geometry settings to the registry, and --version shows its message
#      box;
#   4. the installer, silently, per machine and per user: the program starts from the
#      Start-menu shortcut, and the registered uninstaller removes everything again.
# Builds what is missing first (package-windows.sh; the first run builds Qt, 15 to 35
# minutes). Screenshots of each tab and of a dialog are left in build/windows-shots.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$(date +%s)
step() { echo "test-windows: $* ($(($(date +%s) - started)) s)"; }
fail() {
  echo "test-windows: FAILED: $*" >&2
  [ -z "${WINEPREFIX:-}" ] || echo "test-windows: the Wine prefix is kept in $WINEPREFIX" >&2
  exit 1
}
expect() {
  local what=$1 got=$2 want=$3
  [ "$got" = "$want" ] || fail "$what reads '$got', expected '$want'"
  printf '  %-28s %s\n' "$what" "$got"
}

./scripts/install-deps.sh windows wine-desktop
./scripts/package-windows.sh
qt=$(./scripts/build-qt-windows.sh --prefix)
build=build/windows-release
# shellcheck source-path=SCRIPTDIR/../packaging/windows source=release.env.in
. "$build/windows-release.env"

step "building the tests"
cmake --build "$build" -j "$(nproc)"

logs=$PWD/build/windows-test-logs
shots=$PWD/build/windows-shots
rm -rf "$logs" "$shots"
mkdir -p "$logs" "$shots"

# A prefix left by an earlier run may hold state that hides a fault; start from nothing.
export WINEPREFIX=$PWD/build/wine-test WINEARCH=win64 WINEDEBUG=-all
# Without the .NET and HTML engines Wine would offer to download, and without menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
unset DISPLAY WAYLAND_DISPLAY WINEPATH || true
xvfb=""
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

# Ends the prefix's server and whatever runs in it, and starts one that stays until the end,
# with Wine's own services. Those inherit the output of the program that starts them and
# would hold a test's output pipe open for as long as they run.
restart_server() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -p
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

step "creating a fresh Wine prefix"
timeout 300 wineboot -i >"$logs/wineboot.log" 2>&1 || { cat "$logs/wineboot.log" >&2; fail "wineboot"; }
# A crashing program must fail its test, not wait for someone to close Wine's crash dialog.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1

# --- 1. the tests, headless ---------------------------------------------------------------
# Qt's variables reach a Windows program only with Wine's WINE prefix. The offscreen platform
# draws with FreeType from a font folder: the same families Wine offers the real window.
fonts=$PWD/$build/fonts
rm -rf "$fonts"
mkdir -p "$fonts"
ln -s /usr/share/fonts/truetype/liberation2/LiberationSans-*.ttf \
  /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf \
  "$fonts/"
mingw_dirs="Z:$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")"
mingw_dirs="$mingw_dirs;Z:$(dirname "$(readlink -f "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")")"
step "unit and window tests under Wine (offscreen)"
# One server for all of them: a server that ends with each test costs the next one seconds
# of start-up.
restart_server
WINEPATH="Z:$qt/bin;$mingw_dirs" WINEQT_QPA_PLATFORM=offscreen WINEQT_QPA_FONTDIR="Z:$fonts" \
  WINEQT_FORCE_STDERR_LOGGING=1 \
  ctest --test-dir "$build" --output-on-failure --timeout 300 ||
  fail "the tests under Wine"

# --- start-up under Wine ---------------------------------------------------------------------
# The two start-up probes of bench/, cross-built alike, each ending at its window's first paint
# (offscreen, as the tests draw), timed in turn as whole processes. Wine's own process start
# dominates both; the difference between them is the program's share.
step "start-up under Wine: Freqsmith against a bare four-tab window"
probe_runs=15
run_probe() {
  local start end
  start=$(date +%s%N)
  WINEPATH="Z:$qt/bin;$mingw_dirs" WINEQT_QPA_PLATFORM=offscreen WINEQT_QPA_FONTDIR="Z:$fonts" \
    timeout 60 wine "$1" >/dev/null 2>&1 || fail "$(basename "$1") under Wine"
  end=$(date +%s%N)
  echo $(((end - start) / 1000))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
bare_probe=$build/freqsmith_bare_probe.exe
app_probe=$build/freqsmith_startup_probe.exe
run_probe "$bare_probe" >/dev/null
run_probe "$app_probe" >/dev/null
: >"$logs/startup-bare.txt"
: >"$logs/startup-app.txt"
for _ in $(seq "$probe_runs"); do
  run_probe "$bare_probe" >>"$logs/startup-bare.txt"
  run_probe "$app_probe" >>"$logs/startup-app.txt"
done
bare_us=$(median <"$logs/startup-bare.txt")
app_us=$(median <"$logs/startup-app.txt")
printf '  %-28s %s ms\n' "bare four-tab window" "$((bare_us / 1000))"
printf '  %-28s %s ms\n' "Freqsmith, to first paint" "$((app_us / 1000))"
printf '  %-28s %s, %s ms more (medians of %s runs each)\n' "ratio" \
  "$(awk -v a="$app_us" -v b="$bare_us" 'BEGIN { printf "%.2fx", a / b }')" \
  "$(((app_us - bare_us) / 1000))" "$probe_runs"

# --- 2. the detection probe ---------------------------------------------------------------
step "detection against Wine's management service"
# The probe writes Windows line ends.
timeout 120 wine "$probe" 2>&1 | tr -d '\r' >"$logs/wmi_probe.log" || {
  cat "$logs/wmi_probe.log"
  fail "wmi_probe"
}
tail -n 1 "$logs/wmi_probe.log" | sed 's/^/  wmi_probe: /'
# What the probe found each field should show: lines like  ok   Textmaker reads "GenuineIntel"
probed() {
  sed -n "s/^ok   $1 reads \"\(.*\)\"\$/\1/p" "$logs/wmi_probe.log" | head -n 1
}

step "freqsmith.exe --detect against the same service"
# Wine's service answers every class at once, so anything but exit status 0 fails here.
WINEPATH="Z:$qt/bin;$mingw_dirs" timeout 120 wine "$program" --detect 2>&1 |
  tr -d '\r' >"$logs/detect.log" || {
  cat "$logs/detect.log"
  fail "freqsmith.exe --detect"
}
# Each figure as the report shows it: what the probe read, with the tab's unit, from WMI;
# "unknown" where the service gave nothing and the field kept its design text.
for row in "Processor maker|Textmaker|" "Processor type|Textcputype|" \
  "Processor socket|textsocket|" "System Clock|Textarch| Mhz" "CPU Speed|Textcpuspeed| Mhz" \
  "Mainboard vendor|Textweb|" "Mainboard model|Textproduct|" "BIOS version|Textversion|" \
  "L2 Cache Size|Textl2size| KB"; do
  IFS='|' read -r heading name unit <<<"$row"
  if grep -q "so $name keeps " "$logs/wmi_probe.log"; then
    want="unknown"
  else
    want="$(probed "$name")$unit (WMI)"
    # WMI's processor speed is the firmware's rated clock, and the report says so.
    [ "$name" = Textcpuspeed ] && want="$(probed "$name")$unit (WMI, rated)"
  fi
  expect "--detect $heading" "$(sed -n "s/^$heading: //p" "$logs/detect.log")" "$want"
done

# --- 3. the release zip on a virtual display ------------------------------------------------
step "starting a virtual X display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$logs/display" 2>"$logs/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$logs/display" ] && break; sleep 0.1; done
[ -s "$logs/display" ] || fail "Xvfb did not start"
DISPLAY=":$(cat "$logs/display")"
export DISPLAY
# What Wine started without a display must not serve the windows to come.
restart_server

# Waits until no process of the prefix runs a program whose path matches `pattern`.
wait_ended() {
  local pattern=$1
  for _ in $(seq 600); do
    pgrep -f "$pattern" >/dev/null || return 0
    sleep 0.1
  done
  return 1
}

# Waits until a visible window whose caption matches `pattern` exists; prints its id.
wait_window() {
  local pattern=$1 id=""
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}
# Waits until `window` has changed from the picture whose checksum is `before` (when given)
# and is drawn: more than a blank of one or two colours, and two looks a tenth of a second
# apart show the same picture. At most 5 s.
wait_drawn() {
  local window=$1 before=${2:-} last="" now
  for _ in $(seq 50); do
    import -window "$window" "$logs/look.png" 2>/dev/null || true
    now=$(md5sum <"$logs/look.png" 2>/dev/null || true)
    if [ "$now" = "$last" ] && [ "$now" != "$before" ] &&
      [ "$(convert "$logs/look.png" -format %k info: 2>/dev/null || echo 0)" -gt 2 ]; then
      return 0
    fi
    last=$now
    sleep 0.1
  done
  return 1
}
# The checksum of what `window` shows now.
picture_of() { import -window "$1" "$logs/look.png" 2>/dev/null && md5sum <"$logs/look.png"; }
# The text of the focused field, through the clipboard, once the copy has landed there.
copy_field() {
  local text=""
  printf '' | xclip -selection clipboard
  xdotool key ctrl+a ctrl+c
  for _ in $(seq 30); do
    text=$(xclip -o -selection clipboard 2>/dev/null || true)
    [ -n "$text" ] && break
    sleep 0.1
  done
  printf '%s' "$text"
}
# Like expect, for a field whose text may still be on its way (the detected figures are put
# in once the management service has answered): copies it until it reads `want`, for 5 s.
expect_field() {
  local name=$1 want=$2 got=""
  for _ in $(seq 25); do
    got=$(copy_field)
    [ "$got" = "$want" ] && break
    sleep 0.1
  done
  expect "$name" "$got" "$want"
}
# Places on the main window itself (not on a tab), in pixels from the table's twips.
calculate_x=193 calculate_y=309   # the middle of Command2 "Calculate"
caption_free_x=300 caption_free_y=350   # the explanation line, which takes no focus

unpacked=$WINEPREFIX/drive_c/unpacked
mkdir -p "$unpacked"
unzip -q "dist/freqsmith-$version_text-windows-x64.zip" -d "$unpacked"
program_dir=$unpacked/freqsmith-$version_text-windows-x64

step "the release zip: starting freqsmith.exe"
window_started=$(date +%s%N)
# No WINEPATH: everything the program needs must come from its own folder.
wine "$program_dir/freqsmith.exe" >"$logs/zip-run.log" 2>&1 &
app=$!
window=$(wait_window "^Freqsmith $version_text ")
[ -n "$window" ] || fail "the main window did not appear within 30 s"
echo "  window after $((($(date +%s%N) - window_started) / 1000000)) ms"
expect "caption" "$(xdotool getwindowname "$window")" "Freqsmith $version_text ($publisher_url)"
wait_drawn "$window" || fail "the main window was not drawn"

# Calculate takes the focus; Tab goes on to Reset, the tab strip, then into the first tab:
# Sys Clk, Multiplier and the results in reading order. Typing into a field that Tab entered
# replaces its text.
xdotool mousemove --window "$window" "$calculate_x" "$calculate_y" click 1
xdotool key Tab Tab Tab
xdotool type --delay 50 200
xdotool key Tab
xdotool type --delay 50 10
before=$(picture_of "$window")
xdotool mousemove --window "$window" "$calculate_x" "$calculate_y" click 1
wait_drawn "$window" "$before" || fail "Calculate changed nothing on the window"
import -window "$window" "$shots/tab-1.png"
xdotool key Tab Tab Tab Tab Tab
step "the worked example: 200 MHz x 10"
# Results after Text1 and Text2, in tab order; the inputs between them refuse the copy key.
for pair in Text3=2000 Text4=400 Text5=800 Text6=800 Text8=18000 Text9=24000 Text56=12000 \
  Text13= Text12= Text14=200 Text15=400; do
  name=${pair%%=*}
  want=${pair#*=}
  [ -n "$want" ] && expect "$name" "$(copy_field)" "$want"
  xdotool key Tab
done

step "the detected hardware, as the probe read it"
# From the first tab, Ctrl+Tab twice shows "CPU and Mainboard" with its first field focused.
xdotool mousemove --window "$window" "$calculate_x" "$calculate_y" click 1
before=$(picture_of "$window")
xdotool key Tab Tab Tab ctrl+Tab
wait_drawn "$window" "$before" || fail "ctrl+Tab did not bring up the second tab"
import -window "$window" "$shots/tab-2.png"
before=$(picture_of "$window")
xdotool key ctrl+Tab
wait_drawn "$window" "$before" || fail "ctrl+Tab did not bring up the third tab"
import -window "$window" "$shots/tab-3.png"
for name in Textmaker Textcputype textsocket Textweb Textproduct Textversion Textl2size; do
  expect_field "$name" "$(probed "$name")"
  xdotool key Tab
done
# The level-2 cache speed is shown equal to the processor's current clock.
expect_field "Textl2speed" "$(probed Textcpuspeed)"

step "a converter dialog"
before=$(picture_of "$window")
xdotool key ctrl+Tab
wait_drawn "$window" "$before" || fail "ctrl+Tab did not bring up the last tab"
import -window "$window" "$shots/tab-4.png"
# The tab's first control is the first converter button.
xdotool key space
dialog=$(wait_window "Converter$")
[ -n "$dialog" ] || fail "no converter dialog opened"
wait_drawn "$dialog" || fail "the converter dialog was not drawn"
import -window root "$shots/dialog.png"
# Escape would go to the dialog's focused field, whose filter refuses control keys.
xdotool mousemove --window "$dialog" 20 40 click 1
xdotool key alt+F4
for _ in $(seq 50); do
  xdotool search --onlyvisible --name "Converter$" >/dev/null 2>&1 || break
  sleep 0.1
done
xdotool search --onlyvisible --name "Converter$" >/dev/null 2>&1 && fail "the dialog did not close"

step "closing the window saves its geometry"
wine reg delete 'HKCU\Software\Freqsmith' /f >/dev/null 2>&1 || true
read -r x y < <(xdotool getwindowgeometry --shell "$window" | sed -n 's/^[XY]=//p' | paste -sd ' ')
xdotool mousemove --window "$window" "$caption_free_x" "$caption_free_y" click 1
xdotool key alt+F4
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program did not end when its window was closed"
wait "$app" || fail "the program ended with exit code $?"
settings=$(wine reg query 'HKCU\Software\Freqsmith\Freqsmith\Settings' 2>/dev/null | tr -d '\r') ||
  fail "no settings under HKCU\\Software\\Freqsmith\\Freqsmith\\Settings"
value() { echo "$settings" | sed -n "s/^ *$1 *REG_SZ *\([0-9-]*\)\$/\1/p"; }
for key in MainLeft MainTop MainWidth MainHeight; do
  [ -n "$(value "$key")" ] || fail "the setting $key is missing or not a number"
  [ $(($(value "$key") % 15)) -eq 0 ] || fail "$key is not in twips (15 to a pixel): $(value "$key")"
  printf '  %-28s %s\n' "$key" "$(value "$key")"
done
# The outer frame holds the client area that X shows (469 x 358 pixels at x, y).
{ [ "$(value MainLeft)" -le $((x * 15)) ] && [ "$(value MainTop)" -le $((y * 15)) ] &&
  [ "$(value MainWidth)" -ge 7035 ] && [ "$(value MainHeight)" -ge 5370 ]; } ||
  fail "the saved geometry does not enclose the window at $x,$y"

step "--version on a GUI program: a message box, closed with Enter"
# Started as Explorer starts it, with no standard handles; a run whose output is redirected
# writes into the redirection instead.
wine start /wait /unix "$program_dir/freqsmith.exe" --version >"$logs/version.log" 2>&1 &
app=$!
box=$(wait_window "^freqsmith$")
[ -n "$box" ] || fail "--version showed no message box"
xdotool mousemove --window "$box" 20 20 click 1
xdotool key Return
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
wait "$app" || fail "--version ended with exit code $?"

# --- 4. the installer -----------------------------------------------------------------------
setup=$PWD/dist/freqsmith-$version_text-setup.exe
# Installs silently in `mode`, starts the program from the Start-menu shortcut and closes it,
# then runs the uninstaller registered with Windows and checks that nothing is left.
check_installer() {
  local mode=$1 folder=$2 hive=$3 menu=$4
  local key="$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Freqsmith"
  step "the installer, $mode: installing silently"
  timeout 120 wine "$setup" /S "/$mode" || fail "the installer ended with exit code $?"
  for file in freqsmith.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll \
    LICENSE.txt uninstall.exe; do
    [ -f "$folder/$file" ] || fail "the $mode install lacks $file in $folder"
  done
  [ -f "$menu/Freqsmith.lnk" ] || fail "no Start-menu shortcut in $menu"
  local quiet
  quiet=$(wine reg query "$key" /v QuietUninstallString 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *QuietUninstallString *REG_SZ *//p')
  [ -n "$quiet" ] || fail "the uninstaller is not registered under $key"
  echo "  registered: $quiet"

  step "the installer, $mode: starting the program from its shortcut"
  local shortcut
  shortcut=$(winepath -w "$menu/Freqsmith.lnk")
  wine start "$shortcut"
  local installed
  installed=$(wait_window "^Freqsmith $version_text ")
  [ -n "$installed" ] || fail "the installed program showed no window"
  wait_drawn "$installed" || fail "the installed program's window was not drawn"
  xdotool mousemove --window "$installed" "$caption_free_x" "$caption_free_y" click 1
  xdotool key alt+F4
  wait_ended 'Freqsmith.freqsmith\.exe' || fail "the installed program did not end"

  step "the installer, $mode: uninstalling silently"
  # The uninstaller copies itself to a temporary folder, starts the copy and returns at once;
  # the copy is done when the prefix has no program left running.
  # The command as Windows keeps it: the quoted program, then its options.
  local program=${quiet#\"}
  program=${program%%\"*}
  # shellcheck disable=SC2086
  wine "$program" ${quiet##*\" } || fail "the uninstaller ended with exit code $?"
  for _ in $(seq 300); do
    [ -e "$folder" ] || break
    sleep 0.1
  done
  wait_ended 'Au_\.exe' || fail "the uninstaller did not finish"
  [ ! -e "$folder" ] || fail "the uninstaller left $folder: $(find "$folder" | head -5)"
  [ ! -e "$menu/Freqsmith.lnk" ] || fail "the uninstaller left the Start-menu shortcut"
  wine reg query "$key" >/dev/null 2>&1 && fail "the uninstaller left $key"
  echo "  removed"
}
user=$(wine cmd /c 'echo %USERNAME%' 2>/dev/null | tr -d '\r')
check_installer AllUsers "$WINEPREFIX/drive_c/Program Files/Freqsmith" HKLM \
  "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
check_installer CurrentUser "$WINEPREFIX/drive_c/users/$user/AppData/Local/Programs/Freqsmith" \
  HKCU "$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"

trap - EXIT
cleanup
rm -rf "$WINEPREFIX"
step "passed; screenshots in $shots"
