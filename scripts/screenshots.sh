#!/bin/sh
# Takes the README's screenshots: the real program on a virtual X display, one picture per
# tab (switched with Ctrl+Tab, as a user would). Needs the "screenshot" packages of
# install-deps.sh and a build in build/default.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh screenshot
program=build/default/app/freqsmith
out=docs/screenshots
mkdir -p "$out"

display=:97
Xvfb "$display" -screen 0 640x480x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY="$display"
sleep 1
QT_QPA_PLATFORM=xcb "$program" > /dev/null 2>&1 &
app=$!
trap 'kill $app $xvfb 2>/dev/null || true' EXIT

window=""
for _ in $(seq 50); do
  window=$(xdotool search --name '^Freqsmith ' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "screenshots.sh: the window did not appear" >&2; exit 1; }
xdotool windowfocus --sync "$window"
sleep 0.5
for tab in 1 2 3 4; do
  import -window "$window" "$out/tab-$tab.png"
  xdotool key --window "$window" ctrl+Tab
  sleep 0.3
done
echo "Screenshots written to $out"
