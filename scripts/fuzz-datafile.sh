#!/bin/sh
# Builds the data-file fuzzer with clang in its own build directory and runs it.
# Usage: scripts/fuzz-datafile.sh [SECONDS]   (default 60)
# Environment: ZRK6_FUZZ_BUILD (build directory, default build-fuzz), ZRK6_FUZZ_JOBS.
set -eu
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZRK6_FUZZ_BUILD:-$root/build-fuzz}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DZRK6_FUZZ=ON -DZRK6_CORE_ONLY=ON -DZRK6_SANITIZE=ON >/dev/null
cmake --build "$build" --target fuzz_data_file -j "${ZRK6_FUZZ_JOBS:-2}"

# New inputs go to a corpus in the build directory; the seeds in the tree stay as they are.
corpus="$build/fuzz-corpus/data_file"
artifacts="$build/fuzz-artifacts/"
mkdir -p "$corpus" "$artifacts"
exec "$build/tests/fuzz/fuzz_data_file" -max_total_time="$seconds" -max_len=8192 \
  -print_final_stats=1 -artifact_prefix="$artifacts" \
  "$corpus" "$root/tests/fuzz/corpus/data_file"
