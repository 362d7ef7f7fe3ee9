#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the smoke test need, when missing.
# deps.sh --sanitize adds clang and its sanitizer and libFuzzer runtimes (make asan, make fuzz);
# deps.sh --format adds clang-format (make format).
# deps.sh --tiled adds Tiled itself, for checking our maps against it (make tiled-test; it pulls Qt).
set -euo pipefail
pkgs=(cmake g++ make pkg-config libsdl2-dev libimgui-dev libgtest-dev
      libbenchmark-dev libgif-dev xvfb xauth x11-utils xdotool imagemagick python3
      libpng-dev libpugixml-dev nlohmann-json3-dev zlib1g-dev libzstd-dev
      x11-xserver-utils)  # xmodmap, for the keyboard-layout test
[ "${1:-}" = "--sanitize" ] && pkgs+=(clang libclang-rt-14-dev)
[ "${1:-}" = "--format" ] && pkgs+=(clang-format)
[ "${1:-}" = "--tiled" ] && pkgs+=(tiled)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
