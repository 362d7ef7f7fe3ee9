#!/usr/bin/env bash
# windows-zip.sh BUILD_DIR DEPS_DIR: packs BUILD_DIR/tarn-windows.zip from the
# cross-built programs (every .exe at BUILD_DIR's top), SDL2.dll, the demo game folder and windows/README.txt.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath "$1")"
deps="$(realpath "$2")"
stage="$out/tarn-windows"
rm -rf "$stage" "$out/tarn-windows.zip"
mkdir -p "$stage"
# Every program the build put at its top; they find SDL2.dll beside them.
cp "$out"/*.exe "$stage/"
cp "$deps/sdl2/bin/SDL2.dll" "$stage/"
cp -r "$out/game" "$stage/game"
# A double-click on play.bat starts tarn in the game folder.
printf '@echo off\r\ncd /d "%%~dp0game"\r\n"%%~dp0tarn.exe"\r\n' >"$stage/play.bat"
# Windows' own programs read the README with CR LF line ends. Its [tiled]
# part tells of tarn-tiled.exe, left out when that was not built.
tiled_part='/^\[\/\?tiled\]$/d'
[ -f "$stage/tarn-tiled.exe" ] || tiled_part='/^\[tiled\]$/,/^\[\/tiled\]$/d; /^tarn-tiled\.exe /d'
sed "$tiled_part; s/\$/\r/" "$root/windows/README.txt" >"$stage/README.txt"
(cd "$out" && zip -q -r -X tarn-windows.zip tarn-windows)
[ -f "$deps/sdl2/unoptimised" ] &&
  echo "windows: its SDL2.dll is unoptimised (WINDOWS_QUICK_SDL=1), for tests: not one to hand out"
echo "windows: $out/tarn-windows.zip ($(du -k "$out/tarn-windows.zip" | cut -f1) KB)"
