#!/usr/bin/env bash
# Runs one test program of the Windows build under Wine for CTest.
#   wine-test.sh WINE [--radio] --qtest PROGRAM.exe [ARGUMENTS...]   a Qt Test program
#   wine-test.sh WINE [--radio] PROGRAM.exe [ARGUMENTS...]           a GoogleTest program
# --radio: the program starts virtual radios. With ZRK6_WINE_RADIOSIM (a Linux zrk6-radiosim)
# and ZRK6_WINE_SERIAL (the folder with ptyserial.so) set by scripts/windows.sh, a broker starts
# them (scripts/wine-radio-broker.sh) and Wine hears their pseudo-terminals through ptyserial.so.
# Without a console Qt Test on Windows writes to the debugger, not to standard output, so its
# log goes to a file that is shown as it grows. The exit status is the program's.
#
# A program that never ran is told apart from a failing test: no Qt Test log, or no line of
# GoogleTest's, means Wine did not start it (its server or prefix was busy or not ready). That
# is said in the output, and the program is started once more: none of its tests ran, so the
# second start hides no failure of ours.
wine=$1
shift
radio=false
if [ "${1:-}" = --radio ]; then
  radio=true
  shift
fi
qtest=false
if [ "${1:-}" = --qtest ]; then
  qtest=true
  shift
fi
program=$1
shift
log=$(mktemp --suffix=.txt)
out=$(mktemp)
trap 'rm -f "$log" "$out"' EXIT

preload=()
if $radio && [ -n "${ZRK6_WINE_RADIOSIM:-}" ]; then
  broker=$(mktemp -d)
  "$(dirname "$0")/wine-radio-broker.sh" "$broker" "$ZRK6_WINE_RADIOSIM" &
  broker_pid=$!
  trap 'kill "$broker_pid"; wait "$broker_pid"; rm -rf "$log" "$out" "$broker"' EXIT
  export ZRK6_WINE_RADIO_BROKER="Z:${broker//\//\\}"
  preload=(env "LD_PRELOAD=$ZRK6_WINE_SERIAL/ptyserial.so")
fi

# Runs the program once: false when it never started. A program that started but did not
# finish its log (a crash) fails, whatever status Wine gives it.
# Wine's own output goes to a file, never to CTest's pipe: a process Wine starts on the way
# (its desktop, its services) and keeps would hold that pipe open, and CTest would wait for it
# until the time-out. The files are shown as they grow.
run_once() {
  : >"$log"
  : >"$out"
  local extra=() shown=("$out") evidence=$out started finished pid tail_pid
  if $qtest; then
    extra=(-o "Z:${log//\//\\},txt")
    shown=("$log" "$out")
    evidence=$log
    started='.'
    finished='^\*\*\*\*\*\*\*\*\* Finished testing'
  else
    started='^\[==========\]'
    finished='^\[==========\] .* ran\.'
  fi
  "${preload[@]}" "$wine" "$program" "$@" "${extra[@]}" </dev/null >"$out" 2>&1 &
  pid=$!
  tail -q -n +1 -s 0.2 -f --pid="$pid" "${shown[@]}" &
  tail_pid=$!
  wait "$pid"
  status=$?
  wait "$tail_pid"
  grep -q "$started" "$evidence" || return 1
  grep -q "$finished" "$evidence" && return 0
  echo "wine-test: $(basename "$program") ended before its tests finished (exit status $status): a crash" >&2
  [ "$status" -eq 0 ] && status=1
  return 0
}

for attempt in 1 2; do
  if run_once "$@"; then
    exit "$status"
  fi
  echo "wine-test: $(basename "$program") did not start under Wine (exit status $status, no test output): not a test failure" >&2
  [ "$attempt" = 1 ] && echo "wine-test: starting it once more" >&2
done
echo "wine-test: $(basename "$program") did not start twice: the run fails" >&2
[ "$status" -eq 0 ] && status=1
exit "$status"
