#!/usr/bin/env bash
# Runs a Qt Test program of the Windows build under Wine and shows its log. Without a console
# Qt Test on Windows writes to the debugger, not to standard output, so the log goes to a
# file that is printed afterwards; the exit status is the program's.
# Usage: wine-qtest.sh WINE PROGRAM.exe [ARGUMENTS...]
wine=$1
program=$2
shift 2
log=$(mktemp --suffix=.txt)
trap 'rm -f "$log"' EXIT
"$wine" "$program" "$@" -o "Z:${log//\//\\},txt"
status=$?
cat "$log"
exit $status
