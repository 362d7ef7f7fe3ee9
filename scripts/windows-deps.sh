#!/usr/bin/env bash
# Installs what the Windows build needs, when missing: Debian's MinGW-w64 and
# Wine, then SDL2 (as SDL2.dll), Dear ImGui and GoogleTest for 64-bit Windows
# from Debian's own source packages, kept in BUILD_DIR/deps/ or DEPS_DIR and
# built once. Usage: windows-deps.sh [BUILD_DIR [DEPS_DIR]]
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
install_missing /tmp/tarn-windows-apt.log "${pkgs[@]}"

# ---- Source packages ----------------------------------------------------------
add_deb_src
mkdir -p "$deps"
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
