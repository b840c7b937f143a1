#!/usr/bin/env bash
# Builds and runs the transfer benchmark: a full read and a full write against the virtual radio
# paced at 9600 baud, reported as elapsed time / wire time (1.00 is the line's own limit).
# Usage: bench/run_link_bench.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rounds=${2:-2}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target link_bench zrk6-radiosim
run=("$build/bench/link_bench" "$build/tools/radiosim/zrk6-radiosim" "$rounds")
# Real-time scheduling, where allowed, keeps other work on the machine out of the figures.
if chrt -f 10 true 2>/dev/null; then
  echo "(running with real-time priority)"
  exec chrt -f 10 "${run[@]}"
fi
exec "${run[@]}"
