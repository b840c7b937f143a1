#!/usr/bin/env bash
# scripts/setup.sh run again on a machine it has set up must do nothing and print nothing: every
# name it checks has to be a real package name (a name that another package only provides is
# never found installed, and would be installed again on every run). apt-get and sudo are
# replaced by stand-ins that complain, so a run that would install something shows.
# The first run is make test's own, before it builds.
# Usage: test_setup_rerun.sh SOURCE_DIR
set -u
root=$1
if ! command -v dpkg-query >/dev/null; then
  echo "not a Debian system: skipped"
  exit 77
fi
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
for tool in apt-get sudo; do
  printf '#!/bin/sh\necho "%s was called: $*"\nexit 1\n' "$tool" >"$fake/$tool"
  chmod +x "$fake/$tool"
done
output=$(PATH="$fake:$PATH" bash "$root/scripts/setup.sh" --windows 2>&1)
status=$?
if [ "$status" -ne 0 ] || [ -n "$output" ]; then
  echo "a second run of scripts/setup.sh exited $status and printed:"
  echo "$output"
  echo "(make test runs scripts/setup.sh before the tests; run it once when testing without make)"
  exit 1
fi
echo "a second run of scripts/setup.sh did nothing"
