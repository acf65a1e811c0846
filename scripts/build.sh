#!/usr/bin/env bash
# build.sh DIR SANITIZER [targets...]: configures and builds one build tree.
set -euo pipefail
dir=$1; san=$2; shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/$dir" -DMORVEL_SANITIZE="$san" >/dev/null
if [ $# -gt 0 ]; then
  for t in "$@"; do cmake --build "$root/$dir" -j"$(nproc)" --target "$t"; done
else
  cmake --build "$root/$dir" -j"$(nproc)"
fi
