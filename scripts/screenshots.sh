#!/usr/bin/env bash
# Takes docs/screenshot-en.png and docs/screenshot-zh.png: the window after Read against
# the virtual radio, under xvfb-run. Usage: scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
cmake --build "$build" --target zrk6-screenshot zrk6-radiosim >/dev/null

link="$(mktemp -u /tmp/zrk6-shot-XXXXXX)"
"$build/tools/radiosim/zrk6-radiosim" --link "$link" --quiet >/dev/null &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; rm -f "$link"' EXIT
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done

for lang in en:0 zh:1; do
  xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
    "$build/src/app/zrk6-screenshot" --port "$link" --language "${lang#*:}" \
    --out "$root/docs/screenshot-${lang%%:*}.png"
done
echo "wrote docs/screenshot-en.png and docs/screenshot-zh.png"
