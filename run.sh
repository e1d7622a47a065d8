#!/usr/bin/env bash
# Sets up, builds (Release, in build/) and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "sormelin: no display (DISPLAY is not set): start ./run.sh from a desktop session or as 'xvfb-run ./run.sh'" >&2
  exit 1
fi
exec build/sormelin
