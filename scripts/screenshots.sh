#!/usr/bin/env bash
# Takes docs/screenshot-en.png and docs/screenshot-zh.png (the window after Read against the
# virtual radio), the layout pictures and docs/port-test-*.png, under xvfb-run.
# Usage: scripts/screenshots.sh [BUILD_DIR]
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

# The layouts at the usual font, at a 1.5 times larger one and in a dark palette.
for shot in "layout-1.0:" "layout-font-1.5:--font-scale 1.5" "layout-dark:--dark"; do
  # shellcheck disable=SC2086 # the options are words
  xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
    "$build/src/app/zrk6-screenshot" --port "$link" ${shot#*:} --out "$root/docs/${shot%%:*}.png"
done
echo "wrote docs/layout-1.0.png, docs/layout-font-1.5.png and docs/layout-dark.png"

# Setup, Communication Port after Test: a good line in English, a silent one in Chinese.
silent="$(mktemp -u /tmp/zrk6-shot-XXXXXX)"
"$build/tools/radiosim/zrk6-radiosim" --link "$silent" --quiet --fault silent >/dev/null &
sim2=$!
trap 'kill "$sim" "$sim2" 2>/dev/null || true; rm -f "$link" "$silent"' EXIT
for _ in $(seq 50); do [ -e "$silent" ] && break; sleep 0.1; done
for shot in "en:0:$link" "zh:1:$silent"; do
  IFS=: read -r name language port <<<"$shot"
  xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
    "$build/src/app/zrk6-screenshot" --port-test --port "$port" --language "$language" \
    --out "$root/docs/port-test-$name.png"
done
echo "wrote docs/port-test-en.png and docs/port-test-zh.png"
