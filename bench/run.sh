#!/usr/bin/env bash
# Sets up, builds the benchmarks (Release, in build-bench/) and runs every one; ends with the table of
# results and the machine they ran on. Never part of the tests. The cached tables stay in
# build-bench/bench/fixtures/ between runs.
#   ./bench/run.sh                 every figure
#   ./bench/run.sh chart start     only the named programs' figures: engine, chart, start
set -euo pipefail
cd "$(dirname "$0")/.."
./setup.sh
build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_engine bench_chart bench_start bench_app bench_bare

export QT_QPA_PLATFORM=offscreen
log=$(mktemp)
trap 'rm -f "$log"' EXIT
wanted=("$@")
((${#wanted[@]})) || wanted=(engine chart start)
for name in "${wanted[@]}"; do
  echo "== bench_$name"
  "$build/bench/bench_$name" 2> >(grep -v XDG_RUNTIME_DIR >&2) | tee -a "$log"
done

echo
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
printf '%-8s %10s %22s %8s\n' Figure Median "Spread (min to max)" Aim
awk '$1 == "RESULT" {
  unit = ($7 == "") ? "" : " " $7
  printf "%-8s %10s %22s %8s\n", $2, $3 unit, $4 " to " $5, "<= " $6 unit
}' "$log"
