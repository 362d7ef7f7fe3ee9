// png_shot.h: tarn-run's PNG shots: the frame as an indexed PNG with its palette.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

// Encodes width x height palette indices with 256 (red, green, blue) 8-bit
// colours as an 8-bit indexed PNG; empty when libpng fails.
std::vector<uint8_t> EncodePng(const uint8_t* pixels, int width, int height, const uint8_t* palette8);

// True for a file name that asks for a PNG (ending in .png, any case).
inline bool IsPngName(const std::string& path) {
  if (path.size() < 4) return false;
  std::string end = path.substr(path.size() - 4);
  std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return end == ".png";
}

// Writes the current 320x200 frame and palette as a PNG at path, whole or
// not at all; false when it cannot (LastWriteError says why).
bool WritePngShot(const std::string& path);
