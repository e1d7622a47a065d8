#!/usr/bin/env bash
# Sets up, builds and runs every test offscreen; the exit code is the tests' result.
# Tests build in build/ with run.sh's Release type, so they check the program that run.sh starts.
# SANITIZE=1 builds with ASan and UBSan in build-sanitize/ instead, and any sanitizer report fails its test.
# FUZZ=1 builds the statement parser's fuzzer with clang in build-fuzz/, replays its corpus, then fuzzes
# for FUZZ_SECONDS (600 by default); new inputs go to build-fuzz/corpus/, crashes to build-fuzz/crashes/.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh
export QT_QPA_PLATFORM=offscreen QT_QPA_PLATFORMTHEME=

if [[ "${FUZZ:-0}" == 1 ]]; then
  dir=build-fuzz
  CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSORMELIN_FUZZ=ON
  cmake --build "$dir" --target statement_fuzzer statement_replay
  ctest --test-dir "$dir" -R '^statement_corpus$' --output-on-failure
  mkdir -p "$dir/corpus" "$dir/crashes"
  exec "$dir/tests/fuzz/statement_fuzzer" -max_total_time="${FUZZ_SECONDS:-600}" -timeout=10 \
    -print_final_stats=1 -dict=tests/fuzz/statement.dict -artifact_prefix="$dir/crashes/" \
    "$dir/corpus" tests/fuzz/corpus
fi

dir=build
args=(-DCMAKE_BUILD_TYPE=Release)
if [[ "${SANITIZE:-0}" == 1 ]]; then
  dir=build-sanitize
  args=(-DCMAKE_BUILD_TYPE=Debug -DSORMELIN_SANITIZE=ON)
  export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
fi
cmake -S . -B "$dir" -G Ninja "${args[@]}"
cmake --build "$dir"
exec ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
