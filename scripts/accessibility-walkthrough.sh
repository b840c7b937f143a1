#!/usr/bin/env bash
# A blind user's session, keyboard only, with the desktop's accessibility bus listening as a
# screen reader does: read the virtual radio, set channel 3's TX Power to Mid, save. Writes
# what the reader was told to OUT/events.txt, the tree it sees to OUT/tree.txt, and the saved
# file to OUT/saved.dat. Needs xvfb-run, dbus-run-session, at-spi2-core, python3-pyatspi
# and xdotool. Usage: xvfb-run -a dbus-run-session scripts/accessibility-walkthrough.sh [BUILD] [OUT]
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
out="$(mkdir -p "${2:-/tmp/zrk6-accessibility}" && cd "${2:-/tmp/zrk6-accessibility}" && pwd)"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
rm -f "$out/saved.dat" "$out/events.txt"

/usr/libexec/at-spi-bus-launcher --launch-immediately &
sleep 1
/usr/bin/python3 "$root/scripts/accessibility_listen.py" "$out/events.txt" &
listener=$!
link="$(mktemp -u /tmp/zrk6-a11y-XXXXXX)"
"$build/tools/radiosim/zrk6-radiosim" --link "$link" --quiet >/dev/null &
sim=$!
sleep 0.5
ZRK6_BACKUP_DIR="$out/backups" "$build/src/app/zrk6" --port "$link" --settings "$out/zrk6.ini" &
app=$!
trap 'kill $app $sim $listener 2>/dev/null' EXIT
sleep 3
/usr/bin/python3 "$root/scripts/accessibility_tree.py" zrk6 > "$out/tree.txt" 2>&1

window=$(xdotool search --name "ZR-K6" | head -1)
focus() { xdotool windowactivate --sync "$window" 2>/dev/null; xdotool windowfocus --sync "$window"; }
k() { xdotool key --delay 150 "$@"; sleep 0.6; }
focus
k ctrl+r; sleep 1; k Return   # Read, confirm
sleep 9; k Return             # "Reading completed!"
k ctrl+Home; k Down Down; k Right Right Right Right Right Right   # channel 3, TX Power
k Return; sleep 0.5; k m; k Return; k Escape                      # open, Mid, commit, back to the cell
# Without a window manager the window must be given the keyboard again after a message box.
focus
k ctrl+s; sleep 2
xdotool type --delay 50 "$out/saved.dat"; sleep 0.5; k Return; sleep 1.5
"$build/src/cli/zrk6-cli" show "$out/saved.dat" | sed -n 9p
