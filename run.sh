#!/usr/bin/env bash
# Installs what is missing, builds Morvel and plays a patch
# (the bundled demo when none is given).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" build none >/dev/null
patch=${1:-}
if [ -n "$patch" ]; then patch=$(realpath "$patch"); fi
if [ -x "$root/build/bin/morvel-synth" ]; then
  exec "$root/build/bin/morvel-synth" ${patch:+"$patch"}
fi
echo "Morvel is built in build/bin/. The synthesizer front end is not there yet;"
echo "the synthesis engine and its tests are: run ./test.sh to exercise them."
