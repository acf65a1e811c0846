#!/usr/bin/env bash
# Takes the screenshots of docs/: the layout editor on the demo layout under
# a private Xvfb, driven with xdotool, plus the splash screen and a contact
# sheet of the whole graphics archive.
#   tools/screenshots.sh [BIN_DIR] [OUT_DIR]     (defaults: build/bin, docs)
#   DISPLAY_NUMBER=92 picks the Xvfb display (default: the first free one).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(realpath "${1:-$root/build/bin}")
out=$(realpath -m "${2:-$root/docs}")
mkdir -p "$out"
[ -x "$bin/morvel" ] || { echo "no $bin/morvel: build the editor first" >&2; exit 1; }

n=${DISPLAY_NUMBER:-}
if [ -z "$n" ]; then
  for n in $(seq 90 140); do
    [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ] && break
  done
fi
Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
editor=""
cleanup() {
  if [ -n "$editor" ]; then kill "$editor" 2>/dev/null || true; fi
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=:$n SDL_AUDIODRIVER=dummy
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# The editor changes nothing on disk unless F2 is pressed; work on a copy
# all the same.
work=$(mktemp -d)
cp "$bin/RC/DEMO.RC" "$work/DEMO.RC"
cd "$bin"
./morvel "$work/DEMO.RC" >"$work/editor.log" 2>&1 &
editor=$!
sleep 4
shot() { import -window root "$out/$1"; echo "$out/$1"; }
click() { xdotool mousemove "$1" "$2"; sleep 0.2; xdotool mousedown 1; sleep 0.2; xdotool mouseup 1; sleep 0.3; }

shot editor_demo.png

# Try the widgets: power off, bypass on, pattern 3, a step lamp's mute,
# hover the LOAD key; then drag the volume knob 24 pixels to the right.
click 30 102      # POWER
click 474 54      # BYPASS
click 68 164      # pattern 3
click 340 212     # mute of step 2
xdotool mousemove 192 60 mousedown 1; sleep 0.2
for x in $(seq 192 4 216); do xdotool mousemove "$x" 60; sleep 0.05; done
xdotool mouseup 1; sleep 0.3
xdotool mousemove 210 164; sleep 0.5   # hover LOAD
shot editor_tried.png

# Move the whole panel with the right button.
xdotool mousemove 500 245 mousedown 3; sleep 0.2
for s in $(seq 1 10); do xdotool mousemove $((500 - s * 26)) $((245 - s * 10)); sleep 0.05; done
xdotool mouseup 3; sleep 0.5
shot editor_moved.png

xdotool key Escape; sleep 1
if kill -0 "$editor" 2>/dev/null; then echo "the editor did not stop on Escape" >&2; fi
editor=""
grep -E "FPS" "$work/editor.log" | tail -1 || true
rm -rf "$work"

convert "$bin/Zod_Engine/SnapShot.bmp" "$out/splash.png" && echo "$out/splash.png"
"$root/tools/contact_sheet.sh" "$bin" "$out/art_sheet.png"
