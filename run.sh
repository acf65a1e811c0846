#!/usr/bin/env bash
# Installs what is missing, builds Morvel and plays a patch with the
# synthesizer (the bundled demo, MVL/demo.mvl, when none is given).
#   ./run.sh [patch.mvl] [more morvel-synth options]
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" build none >/dev/null
patch=${1:-MVL/demo.mvl}
shift || true
# A patch named from here keeps its meaning; otherwise it is looked up beside
# the program (where MVL/ lives).
if [ -e "$patch" ]; then patch=$(realpath "$patch"); fi
exec "$root/build/bin/morvel-synth" "$@" "$patch"
