// tiled_import.h: a Tiled map as the level and tile set in memory.
#pragma once

#include <string>
#include <vector>

#include "sheet_tiles.h"
#include "tiled_map.h"

namespace tiled {

// The tile a cell's GID names: 0 for GID 0; a refusal for flipped or
// rotated cells and GIDs past every tileset (layer and cell named).
uint16_t TileOfGid(uint32_t gid, const std::vector<TilesetPlace>& places, const std::string& file,
                   const std::string& layer, size_t cell, int width);

// Builds the tile set (Tiles) and the level (through ReplaceLevel) from the
// map. Layers with `tarn.` properties become the planes they were; any
// other is Flat at parallax 1 and Relative otherwise.
void ImportMap(const Map& map);

}  // namespace tiled
