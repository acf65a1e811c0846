#!/usr/bin/env bash
# Takes the screenshots of the synthesizer's window for docs/: the demo patch
# playing (fronts, the step editor with the output trace, the backs with
# their cords) and the keyboard patch after a cord was patched and a module
# added, under a private Xvfb, driven with xdotool.
#   tools/window_shots.sh [BIN_DIR] [OUT_DIR]     (defaults: build/bin, docs)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(realpath "${1:-$root/build/bin}")
out=$(realpath -m "${2:-$root/docs}")
mkdir -p "$out"
[ -x "$bin/morvel-synth" ] || { echo "no $bin/morvel-synth: build it first" >&2; exit 1; }

work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
synth=""
feeder=""
cleanup() {
  if [ -n "$synth" ]; then kill "$synth" 2>/dev/null || true; fi
  if [ -n "$feeder" ]; then kill "$feeder" 2>/dev/null || true; fi
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")" SDL_AUDIODRIVER=dummy
export MORVEL_REMOTE_PORT=$((20000 + $$ % 20000))

shot() { sleep 0.6; import -window root "$out/$1"; echo "$out/$1"; }
# Plays `patch` with the console menus answered (1: the system's output, 1:
# its first driver); the console stays open for a save dialog.
play() {
  mkfifo "$work/console.$1"
  sleep 3600 >"$work/console.$1" &
  feeder=$!
  (cd "$bin" && ./morvel-synth "$2" <"$work/console.$1" >"$work/synth.log" 2>&1) &
  synth=$!
  printf '11' >"$work/console.$1"
  xdotool search --sync --name "Morvel - Synthesizer" >/dev/null
  sleep 2
}
stop() {
  xdotool key Escape
  wait "$synth" || true
  synth=""
  kill "$feeder" 2>/dev/null || true
  feeder=""
}

# The demo patch as it starts, the pointer on the lead oscillator.
play demo MVL/demo.mvl
xdotool mousemove 550 210
shot window_front.png
# The step editor of the third sequencer opened over the rack, the output
# trace on (F1) after a few seconds of music.
xdotool mousemove 28 309 click 1
xdotool mousemove 900 700 key F1
sleep 3
shot window_trace.png
xdotool key F1 mousemove 28 309 click 1
# The backs and their cords (F6).
xdotool mousemove 560 500 key F6
shot window_back.png
stop

# The keyboard patch: a second oscillator added from the module dashboard
# (at 10, 114), and in the back view a cord from its OUTPUT to the mixer's
# second input.
play keyboard MVL/keyboard.mvl
xdotool mousemove 344 692 click 1 sleep 0.5 key F6 sleep 0.5
xdotool mousemove 178 146 mousedown 1 sleep 0.2 mousemove 500 300 sleep 0.2 mousemove 808 88 sleep 0.2 mouseup 1
xdotool mousemove 600 400
shot window_patched.png
stop
