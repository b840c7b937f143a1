#!/usr/bin/env bash
# Unpacks the portable Windows ZIP and tries it under Wine as a user would: the command line
# makes, shows, exports and imports a data file, and the window opens that file (on a virtual
# X display, seen by its title).
# Usage: test_windows_package.sh ZIP WINE WINESERVER   (WINEPREFIX set by the caller)
set -euo pipefail
zip=$(realpath "$1")
wine=$2
wineserver=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "test_windows_package: $*" >&2; exit 1; }

cd "$work"
cmake -E tar xf "$zip"
dir=$(basename "$zip" .zip)
for file in zrk6.exe zrk6-cli.exe README.md LICENSE.txt; do
  [ -f "$dir/$file" ] || fail "the package lacks $file"
done
cd "$dir"
cli() { "$wine" zrk6-cli.exe "$@"; }

version=$(cli --version)
[[ $version == "zrk6-cli "[0-9]* ]] || fail "--version printed: $version"
cli new --band 6 pmr.dat
shown=$(cli show pmr.dat)
[[ $shown == *"446 - 447 MHz"* ]] || fail "show printed: $shown"
cli export pmr.dat pmr.csv
[ "$(head -c 9 pmr.csv)" = "Location," ] || fail "the exported list starts: $(head -c 40 pmr.csv)"
cli import pmr.csv again.dat --band 6 >/dev/null
cli diff pmr.dat again.dat >/dev/null || fail "the imported list differs from the exported file"

if command -v xvfb-run >/dev/null && command -v xwininfo >/dev/null; then
  # Wine's desktop process keeps the display it started with: start afresh on the virtual
  # display, and end it afterwards so that later runs do not find a display that is gone.
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w
  trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT
  # shellcheck disable=SC2016
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$1" zrk6.exe pmr.dat 2>/dev/null &  # Wine complains on stderr when the display goes away
    for _ in $(seq 90); do
      if xwininfo -root -tree | grep -q "File Name: pmr.dat"; then
        echo "test_windows_package: the window opened pmr.dat"
        kill %1; exit 0
      fi
      sleep 1
    done
    xwininfo -root -tree | grep "\"" >&2 || true
    kill %1; exit 1' _ "$wine" || fail "zrk6.exe did not show pmr.dat in its title"
else
  echo "test_windows_package: no xvfb-run or xwininfo: the window is not tried"
fi
echo "test_windows_package: passed"
