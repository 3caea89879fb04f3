#!/bin/bash
# Proves under Wine what only the Windows release itself can show, in a Wine prefix made fresh
# for the run. How the windows behave (tab order, keys, the worked example, the figures, the
# converters) is proven by the window tests of tests/ui, which run here too, cross-built:
#   1. the unit and window tests, headless (Qt's offscreen platform), and start-up timed
#      against a bare window cross-built alike (reported; no target, since Wine's own process
#      start dominates both);
#   2. the detection probe checks the Windows detection against Wine's management service,
#      and freqsmith.exe --detect prints what the probe read;
#   3. the release zip, unpacked and started on a virtual X display with no help from here:
#      the window shows its caption and what the probe read, closing it writes its geometry
#      to the registry, and --version shows its message box;
#   4. the installer, silently per machine and per user: the program starts from the
#      Start-menu shortcut, and the registered uninstaller removes everything again. While
#      the program runs, a silent install over it and the silent uninstall end with status 3
#      and change nothing; an interactive install asks to close it, leaves everything as it
#      was on Cancel and installs on Retry once it is closed; and the last page's "Start
#      Freqsmith" starts it through Explorer;
#   5. the release signed with a throwaway certificate and every signature checked
#      (tests/windows/signing_test.sh).
# Builds what is missing first (package-windows.sh; the first run builds Qt, 15 to 35
# minutes). Pictures of the window and of the installer's question are left in
# build/windows-shots.
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

# Whether a process of this run's prefix (not another one's on the same machine) runs a
# program whose command line matches `pattern`.
running_here() {
  local pid
  for pid in $(pgrep -f "$1"); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}
# Waits until none does, for at most a minute.
wait_ended() {
  for _ in $(seq 600); do
    running_here "$1" || return 0
    sleep 0.1
  done
  return 1
}

# Waits until a visible window whose caption matches `pattern` exists, other than the
# windows `except` lists; prints its id.
wait_window() {
  local pattern=$1 except=${2:-} id=""
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | grep -vxF -e "${except:-none}" |
      head -n 1 || true)
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}
# Waits until `window` has changed from the picture whose checksum is `before` (when given)
# and is drawn: more than a blank of one or two colours, and two looks a tenth of a second
# apart show the same picture. At most 10 s.
wait_drawn() {
  local window=$1 before=${2:-} last="" now
  for _ in $(seq 100); do
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
# Keys for `window`. Wine takes them as typed on the keyboard, for whatever has the focus in
# its program, and no click is needed to give it that.
keys() {
  local window=$1
  shift
  xdotool key --window "$window" --delay 50 "$@"
}
# The text of the focused field of `window`, selected and copied as a user copies it; empty
# when nothing landed on the clipboard within `wait` tenths of a second (a button copies
# nothing).
copy_field() {
  local window=$1 wait=${2:-20} text=""
  # xclip stays in the background serving the empty text until a copy takes the clipboard
  # over, and must not hold this function's output open meanwhile.
  printf '' | xclip -selection clipboard >/dev/null 2>&1
  keys "$window" ctrl+a ctrl+c
  for _ in $(seq "$wait"); do
    text=$(xclip -o -selection clipboard 2>/dev/null || true)
    [ -n "$text" ] && break
    sleep 0.1
  done
  printf '%s' "$text"
}
# Closes `window` as its user does: a click on it, at its corner on the artwork, brings it to
# the front (keys go to the window in front, which may be another program's, such as the
# installer asking to close this one), then Alt+F4. Waits until no program of the prefix
# matching `pattern` runs.
close_window() {
  xdotool mousemove --window "$1" 5 5 click 1
  keys "$1" alt+F4
  wait_ended "$2" || fail "$3 did not end when its window was closed"
}

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
import -window "$window" "$shots/window.png"

step "the detected hardware, as the probe read it"
# The third tab holds what was detected, its fields first in Tab order, then the buttons,
# which copy nothing: Ctrl+Tab twice from where the window opens, then each field in turn
# until one copies nothing. The figures come once the management service has answered.
keys "$window" ctrl+Tab ctrl+Tab
first=$(probed Textmaker)
for _ in $(seq 50); do
  [ "$(copy_field "$window" 5)" = "$first" ] && break
  sleep 0.1
done
shown=()
for _ in $(seq 20); do
  text=$(copy_field "$window")
  [ -n "$text" ] || break
  shown+=("$text")
  keys "$window" Tab
done
# The level-2 cache speed is shown equal to the processor's clock.
want=("$first" "$(probed Textcputype)" "$(probed textsocket)" "$(probed Textweb)"
  "$(probed Textproduct)" "$(probed Textversion)" "$(probed Textl2size)" "$(probed Textcpuspeed)")
expect "the third tab's fields" "${#shown[@]}" "${#want[@]}"
for i in "${!want[@]}"; do expect "  field $((i + 1))" "${shown[$i]}" "${want[$i]}"; done

step "closing the window saves its geometry"
wine reg delete 'HKCU\Software\Freqsmith' /f >/dev/null 2>&1 || true
read -r x y < <(xdotool getwindowgeometry --shell "$window" | sed -n 's/^[XY]=//p' | paste -sd ' ')
close_window "$window" 'unpacked.*freqsmith\.exe' "the program from the zip"
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
wait_drawn "$box" || fail "the --version box was not drawn"
keys "$box" Return
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
wait "$app" || fail "--version ended with exit code $?"

# --- 4. the installer -----------------------------------------------------------------------
setup=$PWD/dist/freqsmith-$version_text-setup.exe
user=$(wine cmd /c 'echo %USERNAME%' 2>/dev/null | tr -d '\r')
# The program's caption, not the installer's ("Freqsmith <version> Setup"); xdotool's patterns
# are extended regular expressions.
program_caption="^Freqsmith $version_text \\("
# The status the installer and the uninstaller end with when a running Freqsmith stopped them.
exit_running=3

# Everything an install consists of in `folder`, its shortcut in `menu` and its key: names,
# sizes and times, to show that a refused run changed nothing.
install_state() {
  local folder=$1 menu=$2 key=$3
  find "$folder" "$menu/Freqsmith.lnk" -printf '%p %s %T@\n' | LC_ALL=C sort
  wine reg query "$key" 2>/dev/null | tr -d '\r'
}
# The silent uninstall command Windows keeps for the install under `key`, run as Windows
# runs it: the quoted program, then its options. Gives its exit status.
quiet_uninstall() {
  local key=$1 quiet program
  quiet=$(wine reg query "$key" /v QuietUninstallString 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *QuietUninstallString *REG_SZ *//p')
  [ -n "$quiet" ] || fail "no silent uninstall is registered under $key"
  program=${quiet#\"}
  program=${program%%\"*}
  # shellcheck disable=SC2086
  wine "$program" ${quiet##*\" }
}
# Waits for the uninstaller's copy to be done, and checks that nothing is left.
check_removed() {
  local folder=$1 menu=$2 key=$3
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
# Starts the installed program from its Start-menu shortcut; prints its window.
start_from_shortcut() {
  local menu=$1 installed
  wine start "$(winepath -w "$menu/Freqsmith.lnk")" >/dev/null 2>&1
  installed=$(wait_window "$program_caption")
  [ -n "$installed" ] || fail "the installed program showed no window"
  wait_drawn "$installed" || fail "the installed program's window was not drawn"
  echo "$installed"
}

# Installs silently in `mode`; with the program started from its shortcut, a silent install
# over it and the silent uninstall must refuse and change nothing; once it is closed, both
# are done, and nothing is left.
check_silent() {
  local mode=$1 folder=$2 hive=$3 menu=$4 status
  local key="$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Freqsmith"
  step "the installer, $mode: installing silently"
  timeout 120 wine "$setup" /S "/$mode" || fail "the installer ended with exit code $?"
  for file in freqsmith.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll \
    LICENSE.txt uninstall.exe; do
    [ -f "$folder/$file" ] || fail "the $mode install lacks $file in $folder"
  done
  [ -f "$menu/Freqsmith.lnk" ] || fail "no Start-menu shortcut in $menu"

  step "the installer, $mode: with the program running from its shortcut"
  local installed before
  installed=$(start_from_shortcut "$menu")
  before=$(install_state "$folder" "$menu" "$key")
  status=0
  timeout 120 wine "$setup" /S "/$mode" || status=$?
  expect "silent install, status" "$status" "$exit_running"
  [ "$(install_state "$folder" "$menu" "$key")" = "$before" ] ||
    fail "the refused install changed the installed files"
  status=0
  quiet_uninstall "$key" || status=$?
  expect "silent uninstall, status" "$status" "$exit_running"
  wait_ended 'Au_\.exe' || fail "the uninstaller did not finish"
  [ "$(install_state "$folder" "$menu" "$key")" = "$before" ] ||
    fail "the refused uninstall changed the installed files"
  echo "  every file, the shortcut and the uninstall key as they were"
  close_window "$installed" 'Freqsmith.freqsmith\.exe' "the installed program"

  step "the installer, $mode: over the closed program, then uninstalling silently"
  timeout 120 wine "$setup" /S "/$mode" || fail "the installer ended with exit code $?"
  quiet_uninstall "$key" || fail "the uninstaller ended with exit code $?"
  check_removed "$folder" "$menu" "$key"
}
check_silent AllUsers "$WINEPREFIX/drive_c/Program Files/Freqsmith" HKLM \
  "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"

# The interactive installer, per user, with keys: Enter takes each page's default button
# (Next, I Agree, Next, Install, and on the last page Finish with "Start Freqsmith" ticked).
# Wine's process trace records who starts whom. Leaves the installer running in the
# background as $setup_run, its window in $setup_window.
start_setup() {
  local trace=$1 before
  WINEDEBUG=+pid,+process wine "$setup" /CurrentUser 2>"$trace" &
  setup_run=$!
  setup_window=$(wait_window "^Freqsmith $version_text Setup")
  [ -n "$setup_window" ] || fail "the installer showed no window"
  wait_drawn "$setup_window" || fail "the installer's window was not drawn"
  for _ in 1 2 3 4; do
    before=$(picture_of "$setup_window")
    keys "$setup_window" Return
    wait_drawn "$setup_window" "$before" || fail "the installer did not go on to its next page"
  done
}
# Waits for the installer's question whether to go on while Freqsmith runs; prints it.
wait_question() {
  local question
  question=$(wait_window "^Freqsmith $version_text Setup" "$1")
  [ -n "$question" ] || fail "the installer did not ask to close the running program"
  wait_drawn "$question" || fail "the installer's question was not drawn"
  echo "$question"
}
# Finishes the installer on its last page, which starts the program; its window in $installed.
finish_and_start() {
  # The last page comes by itself once the files are in.
  for _ in $(seq 300); do
    running_here 'Freqsmith.freqsmith\.exe' && break
    keys "$setup_window" Return 2>/dev/null || true
    sleep 0.5
    kill -0 "$setup_run" 2>/dev/null || break
  done
  wait "$setup_run" || fail "the installer ended with exit code $?"
  installed=$(wait_window "$program_caption")
  [ -n "$installed" ] || fail "Start Freqsmith showed no program window"
  wait_drawn "$installed" || fail "the started program's window was not drawn"
}
# From a process trace: "<image> <pid> <parent pid>" for each process started, the pids as
# Wine writes them (hexadecimal). Each creation is two lines of the creating process: the
# command line (backslashes and quotes escaped), then the new process's id.
started_processes() {
  awk '
    /:trace:process:CreateProcessInternalW app / {
      split($0, field, ":")
      line = $0
      sub(/.* cmdline L"/, "", line)
      gsub(/\\"/, "", line)
      if (!match(tolower(line), /\.exe/)) next
      n = split(substr(line, 1, RSTART + 3), part, /\\\\/)
      image[field[1]] = tolower(part[n])
    }
    /:trace:process:CreateProcessInternalW started process pid / {
      split($0, field, ":")
      match($0, /pid [0-9a-f]+/)
      print image[field[1]], substr($0, RSTART + 4, RLENGTH - 4), field[1]
    }' "$1"
}
# The program's window must belong to a freqsmith.exe that Explorer started, not the installer.
check_started_by_explorer() {
  local trace=$1 pid parent
  read -r _ pid parent < <(started_processes "$trace" | grep '^freqsmith\.exe ' | tail -n 1) ||
    fail "the trace $trace shows no freqsmith.exe started"
  local image grandparent
  read -r image grandparent < <(started_processes "$trace" | awk -v p="$parent" '$2 == p { print $1, $3 }') ||
    true
  [ "${image:-}" = explorer.exe ] ||
    fail "freqsmith.exe (pid $pid) was started by process $parent (${image:-the installer itself}), not by Explorer"
  echo "  freqsmith.exe (pid $pid) was started by explorer.exe (pid $parent), which the installer (pid $grandparent) started"
}

folder="$WINEPREFIX/drive_c/users/$user/AppData/Local/Programs/Freqsmith"
menu="$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Freqsmith'

step "the installer, interactive, per user: installing and Start Freqsmith"
start_setup "$logs/setup-trace-1.log"
finish_and_start
[ -f "$folder/freqsmith.exe" ] || fail "the interactive install lacks freqsmith.exe in $folder"
check_started_by_explorer "$logs/setup-trace-1.log"

step "the installer, interactive: over the running program, Cancel"
before=$(install_state "$folder" "$menu" "$key")
start_setup "$logs/setup-trace-2.log"
question=$(wait_question "$setup_window")
import -window "$question" "$shots/installer-question.png"
keys "$question" Escape
status=0
wait "$setup_run" || status=$?
expect "after Cancel, status" "$status" "$exit_running"
[ "$(install_state "$folder" "$menu" "$key")" = "$before" ] ||
  fail "the cancelled install changed the installed files"
echo "  every file, the shortcut and the uninstall key as they were"

step "the installer, interactive: Retry once the program is closed"
start_setup "$logs/setup-trace-3.log"
question=$(wait_question "$setup_window")
close_window "$installed" 'Freqsmith.freqsmith\.exe' "the installed program"
keys "$question" Return
finish_and_start
check_started_by_explorer "$logs/setup-trace-3.log"
close_window "$installed" 'Freqsmith.freqsmith\.exe' "the installed program"

step "the installer, per user: uninstalling silently"
quiet_uninstall "$key" || fail "the uninstaller ended with exit code $?"
check_removed "$folder" "$menu" "$key"

# --- 5. signing ------------------------------------------------------------------------------
step "the signed release (tests/windows/signing_test.sh)"
./tests/windows/signing_test.sh "$build" "$qt" || fail "the signing test"

trap - EXIT
cleanup
rm -rf "$WINEPREFIX"
step "passed; pictures in $shots"
