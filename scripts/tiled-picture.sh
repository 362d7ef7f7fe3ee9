#!/usr/bin/env bash
# tiled-picture.sh [BUILD]: the README's picture of demo level 1 as Tiled's
# own renderer (tmxrasterizer) draws tarn-tiled's export of it, beside Tarn's
# frame of the same level (tarn-run, doubled). Writes
# docs/tiled-level1.png. Needs Tiled (scripts/deps.sh --tiled).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=docs/tiled-level1.png
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$build/tarn-tiled" export "$build/game/1.lev" "$build/game/1.til" "$tmp/level1.tmx"
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$tmp tmxrasterizer "$tmp/level1.tmx" "$tmp/tiled.png" 2>/dev/null
echo "1 key 6 tap" >"$tmp/input.txt"
"$build/tarn-run" --game "$build/game" --frames 2 --input "$tmp/input.txt" --shot "2:$tmp/tarn.pcx" >/dev/null
# Tiled's picture on grey (its empty cells are clear), a gap, Tarn's frame.
convert \( "$tmp/tiled.png" -background '#303030' -flatten \) -size 16x1 xc:'#303030' \
  \( "$tmp/tarn.pcx" -filter point -resize 200% \) \
  -background '#303030' -gravity north +append -define png:compression-level=9 "PNG8:$out"
echo "$out: $(stat -c %s "$out") bytes"
