#!/usr/bin/env bash
# Sets up, builds and runs every test offscreen; the exit code is the tests' result.
# Tests build in build/ with run.sh's Release type, so they check the program that run.sh starts.
# SANITIZE=1 builds with ASan and UBSan in build-sanitize/ instead.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh
dir=build
args=(-DCMAKE_BUILD_TYPE=Release)
if [[ "${SANITIZE:-0}" == 1 ]]; then
  dir=build-sanitize
  args=(-DCMAKE_BUILD_TYPE=Debug -DSORMELIN_SANITIZE=ON)
fi
cmake -S . -B "$dir" -G Ninja "${args[@]}"
cmake --build "$dir"
export QT_QPA_PLATFORM=offscreen QT_QPA_PLATFORMTHEME=
exec ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
