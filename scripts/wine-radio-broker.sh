#!/usr/bin/env bash
# Starts virtual radios for a Windows test program under Wine, which cannot start the Linux
# zrk6-radiosim itself. The test asks by files in FOLDER (tests/link/radiosim_process.h):
#   ID.args  the radio's arguments, one per line (Windows paths among them are translated):
#            the radio is started on a pseudo-terminal that a free COM port of the Wine prefix
#            (COM10 and up) is mapped to; the answer
#            ID.port holds that port and the device, or is empty when the radio did not start;
#            the radio's standard error collects in ID.err;
#   ID.stop  the radio is stopped and its port unmapped; ID.done says so.
# Runs until it is sent TERM; then stops every radio it started.
# Usage: wine-radio-broker.sh FOLDER RADIOSIM   (WINEPREFIX set by the caller)
set -u
folder=$1
radiosim=$2
devices=$WINEPREFIX/dosdevices
declare -A pids links claims

stop_radio() {
  local id=$1
  kill "${pids[$id]}" 2>/dev/null
  wait "${pids[$id]}" 2>/dev/null
  rm -f "${links[$id]}"
  rmdir "${claims[$id]}" 2>/dev/null
  unset "pids[$id]" "links[$id]" "claims[$id]"
}
trap 'for id in "${!pids[@]}"; do stop_radio "$id"; done; exit 0' TERM INT

start_radio() {
  local id=$1 n=10 args
  mapfile -t args <"$folder/$id.args"
  rm -f "$folder/$id.args"
  # A Windows path among the arguments (C:\users\..., Z:/tmp/...) reaches the same file through
  # the prefix's drive links.
  for i in "${!args[@]}"; do
    if [[ ${args[$i]} =~ ^([A-Za-z]):[\\/](.*)$ ]]; then
      args[$i]=$devices/${BASH_REMATCH[1],,}:/${BASH_REMATCH[2]//\\//}
    fi
  done
  # Two test programs run at once, each with a broker: a port is claimed by making a folder,
  # which only one of them can do.
  until mkdir "$devices/.zrk6-com$n" 2>/dev/null; do n=$((n + 1)); done
  claims[$id]=$devices/.zrk6-com$n
  links[$id]=$devices/com$n
  "$radiosim" --link "${links[$id]}" "${args[@]}" >"$folder/$id.out" 2>"$folder/$id.err" &
  pids[$id]=$!
  for _ in $(seq 500); do
    [ -s "$folder/$id.out" ] && break
    kill -0 "${pids[$id]}" 2>/dev/null || break
    sleep 0.01
  done
  if [ -s "$folder/$id.out" ] && [ -L "${links[$id]}" ]; then
    printf 'COM%s\n%s\n' "$n" "$(head -n 1 "$folder/$id.out")" >"$folder/$id.port.tmp"
  else
    : >"$folder/$id.port.tmp"
  fi
  mv "$folder/$id.port.tmp" "$folder/$id.port"
}

shopt -s nullglob
while :; do
  for request in "$folder"/*.args; do
    start_radio "$(basename "$request" .args)"
  done
  for request in "$folder"/*.stop; do
    id=$(basename "$request" .stop)
    rm -f "$request"
    [ -n "${pids[$id]:-}" ] && stop_radio "$id"
    : >"$folder/$id.done"
  done
  sleep 0.02 &
  wait $!   # so that TERM is heard at once
done
