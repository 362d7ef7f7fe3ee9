// tiled_export.h: the loaded level and tile set as a Tiled map, its tileset
// and the indexed tile sheet.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tiled_files.h"

namespace tiled {

struct Export {
  Map map;
  Tileset tileset;
  std::vector<uint8_t> sheet;  // the PNG's bytes
};

// Pixel p (0 to 63, row by row) of a tile frame's stored block.
uint8_t FramePixel(const std::vector<uint8_t>& block, size_t p);

// The 256 colours the engine shows now, 8 bits a component.
std::array<uint8_t, 768> ShownPalette();

// From Level and Tiles as loaded, with the palette as shown. stem names the
// files beside the map: stem + ".tsx" or ".tsj", stem + ".png".
Export BuildExport(const std::string& stem, Format format);

// Writes the map at path, its tileset and sheet beside it. False (with the
// line on stderr) when a file cannot be written.
bool WriteExport(const std::string& mapPath, Format format);

}  // namespace tiled
