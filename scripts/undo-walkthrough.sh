#!/bin/sh
# A new user's session, driven with xdotool: five cells, a copy, insert and delete, a band
# change, a memory map byte and an option; then undo everything and redo everything. Leaves
# start.dat, undone.dat (must equal start.dat), redone.dat, screenshots and the window titles
# in OUT_DIR. Run it under a display: xvfb-run -a -s "-screen 0 1280x900x24" scripts/undo-walkthrough.sh build /tmp/out
set -eu
B=$(cd "${1:-build}" && pwd)
T=${2:-$(mktemp -d)}
mkdir -p "$T"
$B/src/app/zrk6 --settings $T/zrk6.ini &
APP=$!
sleep 3
WID=$(xdotool search --name "ZR-K6" | head -1)
xdotool windowmove $WID 0 0; xdotool windowfocus --sync $WID; sleep 1
k() { xdotool key --delay 120 "$@"; sleep 0.4; }
t() { xdotool type --delay 80 "$1"; sleep 0.3; }
main() { xdotool windowfocus --sync $WID; sleep 0.3; }
title() { echo "$1: $(xdotool getwindowname $WID)" >> $T/titles; }
shot() { import -window root $T/$1.png; }
title start
# Save the start as a file (Ctrl+S on an untitled document asks for a name).
k ctrl+s; sleep 2; t "$T/start.dat"; k Return; sleep 1; main
title saved
# Five cells of channel 1: RX, TX, Decode, Encode, W/N.
t "145.5"; k Return
t "145.1"; k Return
k Return Down Return
k Return Down Return
k Return Down Return
title cells
# Copy channel 1 onto channel 5, then close the dialog.
k ctrl+e; sleep 1; t "5"; k Return; k Escape; sleep 0.5; main
# Insert and delete channel 2.
k Down; k ctrl+i; k ctrl+d
title moves
# Band change: the save question (No), then the clear question (OK).
xdotool mousemove 295 102 click 1; sleep 1; k Down Return; sleep 1
shot q1111; k alt+n; sleep 1
shot q1329; k shift+Tab space; sleep 1; main
title band
# Memory map: the hidden gesture on the grid's header, one byte, OK.
xdotool mousemove 216 155; xdotool keydown ctrl keydown shift keydown alt click 3 keyup alt keyup shift keyup ctrl; sleep 1.5
MAP=$(xdotool search --name "Memory Map" | head -1); xdotool windowfocus --sync $MAP; sleep 0.5
k Down Down Down Down; t "2"; k Return; shot map; k alt+o; sleep 1; main
title map
# An option: Program, Optional Features, the time-out list one down, OK.
k alt+p; k o; sleep 1; k Down; shot options; k alt+o; sleep 1; main
title option
shot edited
k alt+e; sleep 0.7; shot editmenu-en; k Escape; main
# Undo everything (eleven steps), then save what that gives.
for i in 1 2 3 4 5 6 7 8 9 10 11; do k ctrl+z; done
title undone; shot undone
k alt+f; k a; sleep 2; t "$T/undone.dat"; k Return; sleep 1; main
# Redo everything and save it.
for i in 1 2 3 4 5 6 7 8 9 10 11; do k ctrl+y; done
title redone; shot redone
k alt+f; k a; sleep 2; t "$T/redone.dat"; k Return; sleep 1; main
title end
kill $APP
cmp "$T/start.dat" "$T/undone.dat" && echo "undo everything: the image is the one at the start"
cat "$T/titles"
