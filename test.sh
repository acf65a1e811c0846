#!/usr/bin/env bash
# Installs what is missing, builds Morvel and runs the whole suite twice:
# a plain optimised build and an AddressSanitizer + UndefinedBehaviorSanitizer
# build; the readers' fuzz harnesses run a few seconds each (clang,
# libFuzzer; MORVEL_FUZZ_SECONDS changes it); the threading tests run a
# third time under ThreadSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

scripts/deps.sh

# GUI tests need an X server: use the caller's, or start a private Xvfb.
xvfb_pid=""
cleanup() { if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi; }
trap cleanup EXIT
# An X server here may drop a connection now and then: ask more than once.
display_ok() {
  [ -n "${DISPLAY:-}" ] || return 1
  for _ in 1 2 3 4 5; do
    xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  return 1
}
if ! display_ok; then
  # Xvfb picks a free display and writes its number to fd 3.
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    [ -s "$numfile" ] && break
    sleep 0.2
  done
  export DISPLAY=":$(head -n1 "$numfile")"
  rm -f "$numfile"
fi
# Tests never need a sound card: SDL's disk and dummy drivers stand in.
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

jobs=$(nproc)

echo "== Release build =="
scripts/build.sh build none
(cd build && ctest --output-on-failure -j"$jobs")

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build =="
scripts/build.sh build-asan asan
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j"$jobs")

echo "== Fuzzing: each reader's harness for a few seconds =="
CC=clang CXX=clang++ scripts/build.sh build-fuzz fuzz fuzz_targets
fuzz_seconds=${MORVEL_FUZZ_SECONDS:-5}
for harness in rc patch wav; do
  # New inputs go to a scratch corpus; the seeds in the repository stay as
  # they are.
  scratch=$(mktemp -d)
  log="$scratch.log"
  status=0
  ASAN_OPTIONS=detect_leaks=0 build-fuzz/bin/fuzz_$harness -max_total_time="$fuzz_seconds" \
    -print_final_stats=1 "$scratch" "$root/tests/fuzz/corpus/$harness" >"$log" 2>&1 || status=$?
  echo "fuzz_$harness: $(grep -E '^stat::number_of_executed_units' "$log" || echo "no stats")"
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log"
    echo "fuzz_$harness found a fault (status $status)"
    exit 1
  fi
  rm -rf "$scratch" "$log"
done

echo "== ThreadSanitizer build (threading tests) =="
scripts/build.sh build-tsan tsan thread_tests
(cd build-tsan && TSAN_OPTIONS="halt_on_error=1" ctest --output-on-failure -j"$jobs" -L threads)
