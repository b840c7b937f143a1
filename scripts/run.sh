#!/usr/bin/env bash
# Starts the programmer on the virtual radio: zrk6-radiosim with its sample memory in the
# background, then zrk6 --port on its device. Press Read (Ctrl+R) in the window to read the
# virtual radio's channels. The virtual radio stops when the window closes.
# Usage: scripts/run.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "zrk6 is a desktop program and needs a display, but neither DISPLAY nor WAYLAND_DISPLAY is set." >&2
  echo "Run it on a desktop session, or under a virtual X server: xvfb-run -a make run" >&2
  exit 1
fi

radiosim="$build/tools/radiosim/zrk6-radiosim"
zrk6="$build/src/app/zrk6"
for program in "$radiosim" "$zrk6"; do
  if [ ! -x "$program" ]; then
    echo "$program is missing; build first (make build)." >&2
    exit 1
  fi
done

device="$(mktemp -u "${TMPDIR:-/tmp}/zrk6-radio-XXXXXX")"
"$radiosim" --link "$device" --quiet >/dev/null &
sim=$!
stop_radio() {
  kill "$sim" 2>/dev/null || true
  wait "$sim" 2>/dev/null || true
  rm -f "$device"
}
trap stop_radio EXIT
trap 'exit 130' INT TERM

for _ in $(seq 100); do
  [ -e "$device" ] && break
  if ! kill -0 "$sim" 2>/dev/null; then
    echo "The virtual radio did not start." >&2
    exit 1
  fi
  sleep 0.05
done

echo "Virtual radio on $device. Press Read (Ctrl+R) in the window to read its channels."
"$zrk6" --port "$device"
