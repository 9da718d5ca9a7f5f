#!/usr/bin/env bash
# Runs the monkey (random taps, holds, drags, keys, clock jumps and forecast
# file changes on every screen of the started program) under
# AddressSanitizer and UndefinedBehaviorSanitizer, built in a folder of its own.
# Usage: scripts/monkey.sh EVENTS [SEED]    (SEED defaults to 1; the same
# seed repeats the same run, so a fault it prints can be replayed)
set -euo pipefail
cd "$(dirname "$0")/.."
EVENTS=${1:?usage: scripts/monkey.sh EVENTS [SEED]}
SEED=${2:-1}
BUILD=${MONKEY_BUILD:-build-monkey}
FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_FLAGS="$FLAGS" -DCMAKE_CXX_FLAGS="$FLAGS" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" -DORBELLINE_BENCH=OFF >/dev/null
fi
cmake --build "$BUILD" -j "${JOBS:-2}" --target monkey -- --no-print-directory >"$BUILD/build.log" 2>&1 || {
  tail -30 "$BUILD/build.log"; echo "monkey: build failed"; exit 2; }
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$BUILD/tests/monkey"
exec ./monkey "$EVENTS" "$SEED"
