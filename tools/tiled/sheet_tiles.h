// sheet_tiles.h: the tile table and palette sets made from tilesets and
// their sheets: indexed sheets of our exports taken as they are, any other
// sheet's colours matched to the palette or given free slots.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "png_sheet.h"
#include "tiled_map.h"

namespace tiled {

// Where a tileset's tiles went in the tile table.
struct TilesetPlace {
  uint32_t firstGid = 1;
  uint32_t cells = 0;  // local ids below this are cells of its sheet
  uint32_t base = 0;   // tile of local id 0
};

// Fills the tile table and palette sets (Tiles) from the map's tilesets,
// reading each sheet beside its tileset file. The global colours must be
// loaded. Refuses sheets that do not match their tileset, more than 65,535
// tiles, and more new colours than free slots.
std::vector<TilesetPlace> BuildTileSet(const std::vector<TilesetRef>& tilesets);

// A tile set from a sheet alone: cell k (8x8, row by row) is tile k.
void BuildTileSetFromSheet(const Sheet& sheet, const std::string& file);

}  // namespace tiled
