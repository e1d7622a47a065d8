#!/usr/bin/env bash
# Sets up, builds and runs every test offscreen. SANITIZE=1 builds with ASan and UBSan in build-sanitize/.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh
dir=build
args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [[ "${SANITIZE:-0}" == 1 ]]; then
  dir=build-sanitize
  args=(-DCMAKE_BUILD_TYPE=Debug -DSORMELIN_SANITIZE=ON)
fi
cmake -S . -B "$dir" -G Ninja "${args[@]}"
cmake --build "$dir"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
