#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in a build folder of their own and runs each for
# SECONDS (default 60), starting from the seed corpus in fuzz/corpus/<name>.
# Prints each target's runs; exits non-zero when any target finds a fault.
# A finding is saved as build-fuzz/findings/<target>-crash-...; replay it with
#   build-fuzz/fuzz/<target>_fuzzer build-fuzz/findings/<file>
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -uo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
shift || true
BUILD=${FUZZ_BUILD:-build-fuzz}
ALL=(settings dataview xpath forecast template json cli image html htmldepth)
TARGETS=("$@")
((${#TARGETS[@]})) || TARGETS=("${ALL[@]}")

FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link -fno-omit-frame-pointer"
# Configured every time, so that targets added since the last run are known.
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS="$FLAGS" -DCMAKE_CXX_FLAGS="$FLAGS" \
  -DORBELLINE_TESTS=OFF -DORBELLINE_BENCH=OFF -DORBELLINE_FUZZ=ON >/dev/null || exit 2
names=()
for t in "${TARGETS[@]}"; do names+=("${t}_fuzzer"); done
cmake --build "$BUILD" -j "${JOBS:-2}" --target "${names[@]}" -- --no-print-directory >"$BUILD/build.log" 2>&1 || {
  tail -40 "$BUILD/build.log"; echo "fuzz: build failed"; exit 2; }

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0}
mkdir -p "$BUILD/findings" "$BUILD/logs"
failed=0
for t in "${TARGETS[@]}"; do
  work="$BUILD/corpus/$t"
  mkdir -p "$work"
  log="$BUILD/logs/$t.log"
  "$BUILD/fuzz/${t}_fuzzer" "$work" "fuzz/corpus/$t" -max_total_time="$SECONDS_EACH" -timeout=20 \
    -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 -artifact_prefix="$BUILD/findings/$t-" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ $status -ne 0 ]; then
    failed=1
    echo "$t: FINDING after ${runs:-?} runs (status $status), see $log"
    grep -m1 -E 'ERROR: |runtime error:' "$log" || true
    ls "$BUILD/findings/$t-"* 2>/dev/null | sed 's/^/  input: /'
  else
    echo "$t: ${runs:-0} runs in ${SECONDS_EACH}s, no finding"
  fi
done
exit $failed
