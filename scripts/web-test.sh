#!/usr/bin/env bash
# web-test.sh [BUILD_DIR [DEPS_DIR]]: serves the browser build on 127.0.0.1 and drives it
# in headless Chromium (web/page_test.js); the reference frames come from the
# native tarn-run on the same demo folder. Screenshots: BUILD_DIR/test-shots.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$root/build-web}")"
deps="$(realpath -m "${2:-$out/deps}")"
shots="$out/test-shots"
card_frame=200  # the card has slid in; page_test.js holds the page there
rm -rf "$shots"
mkdir -p "$shots"

run="$root/build/tarn-run"
"$run" --game "$out/game" --frames $card_frame --shot "$card_frame:$shots/card.pcx" >/dev/null
# Key 6 held for the three frames after the card's, level 1 five frames later.
printf '%d key 6 down\n%d key 6 up\n' $((card_frame + 1)) $((card_frame + 4)) >"$shots/level1.txt"
"$run" --game "$out/game" --frames $((card_frame + 8)) --input "$shots/level1.txt" \
  --shot "$((card_frame + 8)):$shots/level1.pcx" >/dev/null

port="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
python3 -m http.server --bind 127.0.0.1 --directory "$out" "$port" >"$shots/server.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  sleep 0.1
done

echo "page: $(du -cb "$out"/tarn.{html,js,wasm,data} | tail -1 | cut -f1) bytes in tarn.html, .js, .wasm, .data"
NODE_PATH="$deps/node/node_modules${NODE_PATH:+:$NODE_PATH}" \
  node "$root/web/page_test.js" "http://127.0.0.1:$port/tarn.html" "$shots" "$out/game"
