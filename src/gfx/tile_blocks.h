// tile_blocks.h: the block table the plane renderers draw from (model/tiles.h),
// made from the tile records and kept in step with them.
#pragma once

#include <cstddef>
#include <span>

#include "model/tiles.h"

// The block table of `tiles`, made afresh (for tile tables other than the set's own).
void FillTileBlocks(TileBlocks& table, std::span<const Tile> tiles);
// Entry n of the table made again from tile n's record, after its frame changed.
void FillTileBlock(TileBlocks& table, const Tile& tile, size_t n);
// Says that the tile set's records changed: the next CurrentTileBlocks makes
// its table again. The tile set's own functions call it; a direct write to a
// tile's frame, blocks, opacity or stepCount must too.
void TileSetChanged();
// The tile set's block table as the records stand, made again where they changed.
TileBlocks& CurrentTileBlocks();
