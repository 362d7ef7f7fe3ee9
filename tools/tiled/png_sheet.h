// png_sheet.h: tile sheets as PNG files, through libpng: any PNG read as
// RGBA (and its indices when it is indexed), indexed sheets written.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tiled {

struct Sheet {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> rgba;     // width x height x 4, every colour type expanded
  bool indexed = false;          // colour type 3: indices hold the pixels as stored
  std::vector<uint8_t> indices;  // width x height when indexed
};

// Decodes a PNG; refuses (tiled::Refusal naming file) a broken or truncated
// file, or one larger than the sheet bounds in common/limits.h.
Sheet DecodeSheet(const std::vector<uint8_t>& bytes, const std::string& file);
Sheet ReadSheet(const std::string& path);

// An 8-bit indexed PNG: index 0 fully transparent, the palette 256 x (r, g, b).
std::vector<uint8_t> EncodeIndexedSheet(uint32_t width, uint32_t height, const std::vector<uint8_t>& indices,
                                        const std::array<uint8_t, 768>& palette);
// An RGB (alpha false) or RGBA PNG of rgba pixels: what a paint program saves.
std::vector<uint8_t> EncodeRgbSheet(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba, bool alpha);

}  // namespace tiled
