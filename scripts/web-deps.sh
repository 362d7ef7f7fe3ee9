#!/usr/bin/env bash
# Installs what the browser build needs, when missing: Debian's emscripten and
# chromium, SDL2, Dear ImGui and giflib for the browser from Debian's own source
# packages (kept in BUILD_DIR/deps/ or DEPS_DIR, built once), and
# playwright-core from npm for the page test. Usage: web-deps.sh [BUILD_DIR [DEPS_DIR]]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$root/build-web}")"
deps="$(realpath -m "${2:-$out/deps}")"
. "$root/scripts/debian_sources.sh"

# ---- Debian packages --------------------------------------------------------
# python3 serves the page; the native tools (tarn-mkdemo, tarn-run) come from
# scripts/deps.sh.
pkgs=(emscripten chromium dpkg-dev python3 cmake make)
command -v npm >/dev/null || pkgs+=(npm)
install_missing /tmp/tarn-web-apt.log "${pkgs[@]}"

# ---- Source packages ----------------------------------------------------------
add_deb_src
mkdir -p "$deps"
fetch_source libsdl2 'libsdl2-2*/'
fetch_source imgui 'imgui-*/'
fetch_source giflib 'giflib-*/'

# ---- SDL2 for the browser ---------------------------------------------------
# Debian's emscripten cannot fetch its own SDL2 port; the static library built
# here is reused until build-web/ is removed.
export NODE_PATH=/usr/share/nodejs
prefix="$deps/sdl2"
if [ ! -f "$prefix/lib/libSDL2.a" ]; then
  sdl_src="$(ls -d "$deps"/libsdl2-2*/ | head -1)"
  echo "Building SDL2 for the browser from $sdl_src (a few minutes)"
  rm -rf "$deps/sdl2-build"
  # With the emscripten the answers were taken from, its checks need not run.
  checks=()
  emcc --version 2>/dev/null | head -1 | grep -q ' 3\.1\.6 ' && checks=(-C "$root/web/sdl2-checks.cmake")
  emcmake cmake "${checks[@]}" -S "$sdl_src" -B "$deps/sdl2-build" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" >"$deps/sdl2-configure.log" 2>&1 ||
    { tail -20 "$deps/sdl2-configure.log" >&2; exit 1; }
  nice emmake make -C "$deps/sdl2-build" -j2 install >"$deps/sdl2-build.log" 2>&1 ||
    { tail -20 "$deps/sdl2-build.log" >&2; exit 1; }
fi

# Dear ImGui's core and backends, and giflib's encoder, are compiled by the web build itself.
ln -sfn "$(ls -d "$deps"/imgui-*/ | head -1)" "$deps/imgui"
ln -sfn "$(ls -d "$deps"/giflib-*/ | head -1)" "$deps/giflib"

# ---- playwright-core for the page test ----------------------------------------
# It drives Debian's chromium; it never downloads a browser of its own.
if [ ! -f "$deps/node/node_modules/playwright-core/package.json" ]; then
  echo "Installing playwright-core from npm"
  mkdir -p "$deps/node"
  cp "$root/web/package.json" "$deps/node/package.json"
  (cd "$deps/node" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm install --no-audit --no-fund --silent)
fi
