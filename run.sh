#!/usr/bin/env bash
# Sets up, builds (Release, in build/) and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build

no_display() {
  echo "sormelin: no display ($1): start ./run.sh from a desktop session or as 'xvfb-run ./run.sh'" >&2
  exit 1
}
if [[ -z "${QT_QPA_PLATFORM:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  [[ -n "${DISPLAY:-}" ]] || no_display "DISPLAY is not set"
  # A local display whose X server is gone would make the toolkit abort.
  if [[ "$DISPLAY" =~ ^:([0-9]+) && ! -S "/tmp/.X11-unix/X${BASH_REMATCH[1]}" ]]; then
    no_display "no X server on $DISPLAY"
  fi
fi
exec build/sormelin
