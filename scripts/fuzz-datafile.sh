#!/bin/sh
# Builds the data-file fuzzer with clang in its own build directory and runs it.
# Usage: scripts/fuzz-datafile.sh [SECONDS]   (default 60)
exec "$(dirname "$0")/fuzz.sh" data_file "$@"
