#!/bin/sh
# Builds one libFuzzer target with clang in its own build directory and runs it.
# Usage: scripts/fuzz.sh NAME [SECONDS]   NAME: data_file, channel_list, clone_session or text_form (default 60 s)
# Environment: ZRK6_FUZZ_BUILD (build directory, default build-fuzz), ZRK6_FUZZ_JOBS.
set -eu
name=${1:?usage: scripts/fuzz.sh NAME [SECONDS]}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZRK6_FUZZ_BUILD:-$root/build-fuzz}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DZRK6_FUZZ=ON -DZRK6_CORE_ONLY=ON -DZRK6_SANITIZE=ON >/dev/null
cmake --build "$build" --target "fuzz_$name" -j "${ZRK6_FUZZ_JOBS:-2}"

# New inputs go to a corpus in the build directory; the seeds in the tree stay as they are.
corpus="$build/fuzz-corpus/$name"
artifacts="$build/fuzz-artifacts/"
mkdir -p "$corpus" "$artifacts"
seeds="$root/tests/fuzz/corpus/$name"
[ -d "$seeds" ] || seeds=""
# shellcheck disable=SC2086 # no seed directory is no argument
exec "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len=8192 \
  -print_final_stats=1 -artifact_prefix="$artifacts" \
  "$corpus" $seeds
