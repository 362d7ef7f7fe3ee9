// til_writer.h: writes tile sets as .til files (versions 0, 1 and 2) and the
// .dat collision companion of a version-0 file.
#pragma once

#include <cstdint>
#include <vector>

#include "palette.h"
#include "tile_bank.h"

struct TileSetDef {
  std::vector<TileArt> tiles;       // tile 0 first
  std::vector<PaletteSetDef> sets;  // versions 0 and 2 keep only the first, with 64 cycles
};

// The bytes of a .til file. Version 0 has no header and version 0 and 2
// bodies always hold 2000 tiles (blank ones pad the set); version 1 stores
// the tile count, the collision cells and every palette set.
std::vector<uint8_t> EncodeTileSet(const TileSetDef& set, int version);
// The .dat file: 2000 records of two unused bytes and 64 collision cells.
std::vector<uint8_t> EncodeCollision(const TileSetDef& set);
