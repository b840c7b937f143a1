#!/usr/bin/env bash
# Starts the programmer from a build directory. Until the window program exists it lists what was built.
set -euo pipefail
build=${1:-build}
echo "Built in $build:"
for p in src/app/zrk6 src/cli/zrk6-cli tools/radiosim/zrk6-radiosim; do
  [ -x "$build/$p" ] && echo "  $build/$p"
done
echo "  libraries: $(cd "$build" && find src -name '*.a' | sort | tr '\n' ' ')"
