#!/usr/bin/env bash
# Screenshots of the panels of bundled patches, for docs/: the front, the
# back, and the sequencer's and the sampler's main views, drawn by
# morvel-panelshots in its window on a private Xvfb.
#   tools/panel_shots.sh [BIN_DIR] [OUT_DIR] [PATCH...]
#   (defaults: build/bin, docs, MVL/demo.mvl MVL/sampler_loop.mvl)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(realpath "${1:-$root/build/bin}")
out=$(realpath -m "${2:-$root/docs}")
shift 2 2>/dev/null || shift $#
patches=("$@")
[ ${#patches[@]} -gt 0 ] || patches=(MVL/demo.mvl MVL/sampler_loop.mvl)
[ -x "$bin/morvel-panelshots" ] || { echo "no $bin/morvel-panelshots: build it first" >&2; exit 1; }

numfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -f "$numfile"' EXIT
for _ in $(seq 50); do [ -s "$numfile" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$numfile")" SDL_AUDIODRIVER=dummy
for p in "${patches[@]}"; do
  "$bin/morvel-panelshots" "$p" "$out" | grep -E "^(wrote|could not)"
done
