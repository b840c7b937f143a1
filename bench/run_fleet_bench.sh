#!/usr/bin/env bash
# The fleet benchmark: one radio, then four at once, each a virtual radio on its own
# pseudo-terminal paced at 9600 baud, programmed by 'zrk6-cli fleet' (read, write, read-back).
# Prints both wall times and their ratio; four radios should take about as long as one.
# Usage: bench/run_fleet_bench.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target zrk6-cli zrk6-radiosim >/dev/null
sim="$build/tools/radiosim/zrk6-radiosim"
cli="$build/src/cli/zrk6-cli"
# Real time always: a time scale for tests left in the environment would shorten the pace.
unset ZRK6_TIME_SCALE
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

for n in 1 2 3 4; do
  "$sim" --quiet --pace 9600 --link "$work/radio$n" >/dev/null &
  pids+=($!)
done
for n in 1 2 3 4; do
  for _ in $(seq 50); do [ -e "$work/radio$n" ] && break; sleep 0.1; done
done
# The plan: the virtual radio's own memory, so its identification matches.
"$cli" read --no-backup --port "$work/radio1" "$work/plan.dat" >/dev/null 2>&1

run() { # ports...
  local args=() start end
  for p in "$@"; do args+=(--port "$work/$p"); done
  start=$(date +%s.%N)
  "$cli" fleet "$work/plan.dat" "${args[@]}" --no-backup --log "$work/log.csv" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

one=$(run radio1)
four=$(run radio1 radio2 radio3 radio4)
printf 'one radio:   %.2f s\nfour radios: %.2f s\nratio 4:1:   %.3f (goal: at most 1.10)\n' \
  "$one" "$four" "$(echo "$four / $one" | bc -l)"
