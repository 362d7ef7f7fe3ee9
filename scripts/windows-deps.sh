#!/usr/bin/env bash
# Installs what the Windows build needs, when missing: Debian's MinGW-w64 and
# Wine, then SDL2 (as SDL2.dll), Dear ImGui and GoogleTest for 64-bit Windows
# from Debian's own source packages, kept in BUILD_DIR/deps/ or DEPS_DIR and
# built once. Usage: windows-deps.sh [BUILD_DIR [DEPS_DIR]]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$root/build-windows}")"
deps="$(realpath -m "${2:-$out/deps}")"
sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

# ---- Debian packages --------------------------------------------------------
# The -posix compilers come with mingw-w64; wine64 runs the tests, zip packs.
pkgs=(mingw-w64 g++-mingw-w64-x86-64-posix wine64 wine zip dpkg-dev cmake make googletest
      xvfb xauth x11-utils xdotool imagemagick)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
updated=0
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  updated=1
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/tmp/tarn-windows-apt.log 2>&1 ||
    { tail -20 /tmp/tarn-windows-apt.log >&2; exit 1; }
fi

# ---- Source packages ----------------------------------------------------------
# apt-get source needs a deb-src line; it mirrors the binary sources' first URI.
src_list=/etc/apt/sources.list.d/tarn-web-src.sources
if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  uri="$(grep -h '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '{print $2}' | grep -m1 '/debian/\?$' || true)"
  [ -n "$uri" ] || uri="http://deb.debian.org/debian"
  suite="$(. /etc/os-release && echo "$VERSION_CODENAME")"
  printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$uri" "$suite" | $sudo tee "$src_list" >/dev/null
  updated=0
fi
mkdir -p "$deps"
fetch_source() {  # fetch_source PACKAGE DIR-GLOB: unpacks PACKAGE's source once
  local found
  found="$(ls -d "$deps"/$2 2>/dev/null | head -1 || true)"
  if [ -z "$found" ]; then
    [ "$updated" = 1 ] || { $sudo apt-get update -qq; updated=1; }
    (cd "$deps" && apt-get source -qq "$1" >/dev/null 2>&1) || { echo "windows-deps: apt-get source $1 failed" >&2; exit 1; }
  fi
}
fetch_source libsdl2 'libsdl2-2*/'
fetch_source imgui 'imgui-*/'
fetch_source giflib 'giflib-*/'
# Dear ImGui's core and backends, and giflib's encoder, are compiled by the
# Windows build itself.
ln -sfn "$(ls -d "$deps"/imgui-*/ | head -1)" "$deps/imgui"
ln -sfn "$(ls -d "$deps"/giflib-*/ | head -1)" "$deps/giflib"

toolchain="$root/cmake/mingw-w64.cmake"
build_once() {  # build_once NAME SOURCE-DIR MARKER CMAKE-ARGS...: configures, builds and installs NAME once
  local name=$1 src=$2 marker=$3
  shift 3
  [ -f "$marker" ] && return
  echo "Building $name for Windows from $src (a few minutes)"
  rm -rf "$deps/$name-build"
  cmake -S "$src" -B "$deps/$name-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$deps/$name" "$@" >"$deps/$name-configure.log" 2>&1 ||
    { tail -20 "$deps/$name-configure.log" >&2; exit 1; }
  nice cmake --build "$deps/$name-build" -j2 --target install >"$deps/$name-build.log" 2>&1 ||
    { tail -20 "$deps/$name-build.log" >&2; exit 1; }
}

# ---- SDL2 for Windows ---------------------------------------------------------
# SDL2.dll, which the zip carries beside the programs, and SDL2main.
build_once sdl2 "$(ls -d "$deps"/libsdl2-2*/ | head -1)" "$deps/sdl2/bin/SDL2.dll" \
  -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF

# ---- GoogleTest for Windows -----------------------------------------------------
build_once gtest /usr/src/googletest "$deps/gtest/lib/libgtest.a" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
