#!/usr/bin/env bash
# Installs what the Windows build needs, when missing: Debian's MinGW-w64 and
# Wine, then SDL2 (as SDL2.dll), Dear ImGui and GoogleTest for 64-bit Windows
# from Debian's own source packages, kept in BUILD_DIR/deps/ or DEPS_DIR and
# built once; with WINDOWS_TILED=1 (the default) also tarn-tiled's libpng,
# pugixml, zstd and nlohmann-json, static.
# Usage: windows-deps.sh [BUILD_DIR [DEPS_DIR]]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$root/build-windows}")"
deps="$(realpath -m "${2:-$out/deps}")"
. "$root/scripts/debian_sources.sh"

# ---- Debian packages --------------------------------------------------------
# MinGW-w64's 64-bit -posix compilers alone (mingw-w64 would bring the 32-bit
# and win32-thread ones too, some 80 MB more to fetch); wine64 runs the
# tests, zip packs.
pkgs=(g++-mingw-w64-x86-64-posix wine64 wine zip dpkg-dev cmake make googletest
      xvfb xauth x11-utils xdotool imagemagick)
# tarn-tiled's zlib is Debian's own MinGW build; windows-test.sh makes a
# zstd-compressed map layer with the zstd program.
tiled="${WINDOWS_TILED:-1}"
[ "$tiled" = 1 ] && pkgs+=(libz-mingw-w64-dev zstd)
install_missing /tmp/tarn-windows-apt.log "${pkgs[@]}"

# ---- Source packages ----------------------------------------------------------
add_deb_src
mkdir -p "$deps"
fetch_source libsdl2 'libsdl2-2*/'
fetch_source imgui 'imgui-*/'
fetch_source giflib 'giflib-*/'
if [ "$tiled" = 1 ]; then
  fetch_source libpng1.6 'libpng1.6-*/'
  fetch_source pugixml 'pugixml-*/'
  fetch_source libzstd 'libzstd-*/'
  fetch_source nlohmann-json3 'nlohmann-json3-*/'
  # Header-only: the Windows build reads it from its source.
  ln -sfn "$(ls -d "$deps"/nlohmann-json3-*/ | head -1)" "$deps/nlohmann-json"
fi
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
# With the compiler and SDL its configure checks were answered for, they need
# not run.
sdl_src="$(ls -d "$deps"/libsdl2-2*/ | head -1)"
checks=()
[ "$(x86_64-w64-mingw32-gcc-posix -dumpfullversion 2>/dev/null)" = 12-posix ] &&
  [[ "$sdl_src" == */libsdl2-2.26.5+dfsg/ ]] && checks=(-C "$root/cmake/sdl2-mingw-checks.cmake")
# WINDOWS_QUICK_SDL=1 (CI): SDL2 unoptimised, in a fraction of the compile
# time, for the tests alone; windows-zip.sh says so. A later build without it
# builds SDL2 afresh.
dll="$deps/sdl2/bin/SDL2.dll" quick_mark="$deps/sdl2/unoptimised"
opts=()
if [ "${WINDOWS_QUICK_SDL:-0}" = 1 ]; then
  [ -f "$dll" ] || opts=(-DCMAKE_C_FLAGS_RELEASE="-O0 -DNDEBUG")
elif [ -f "$quick_mark" ]; then
  rm -f "$dll" "$quick_mark"
fi
build_once sdl2 "$sdl_src" "$dll" "${checks[@]}" "${opts[@]}" -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF
[ ${#opts[@]} = 0 ] || touch "$quick_mark"

# ---- GoogleTest for Windows -----------------------------------------------------
build_once gtest /usr/src/googletest "$deps/gtest/lib/libgtest.a" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON

# ---- tarn-tiled's libraries for Windows ----------------------------------------
# Static, linked into tarn-tiled.exe and the tests; zlib is libz-mingw-w64-dev's.
[ "$tiled" = 1 ] || exit 0
build_once png "$(ls -d "$deps"/libpng1.6-*/ | head -1)" "$deps/png/lib/libpng16.a" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF -Dld-version-script=OFF
build_once pugixml "$(ls -d "$deps"/pugixml-*/ | head -1)" "$deps/pugixml/lib/libpugixml.a" \
  -DBUILD_SHARED_LIBS=OFF -DPUGIXML_BUILD_TESTS=OFF
# The library alone; maps' layers are in the current frame format, so the
# legacy decoders are left out, and so are threads (one layer at a time).
build_once zstd "$(ls -d "$deps"/libzstd-*/ | head -1)build/cmake" "$deps/zstd/lib/libzstd.a" \
  -DZSTD_BUILD_SHARED=OFF -DZSTD_BUILD_STATIC=ON -DZSTD_BUILD_PROGRAMS=OFF -DZSTD_BUILD_TESTS=OFF \
  -DZSTD_LEGACY_SUPPORT=OFF -DZSTD_MULTITHREAD_SUPPORT=OFF
