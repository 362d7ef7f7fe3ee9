// tile_blocks.cpp: the tile set's block table and its upkeep.
#include "gfx/tile_blocks.h"

#include <algorithm>
#include <atomic>

#include "gfx/tile_blit.h"

namespace {

// A version number no table has had; one count for every table, so only a copy shares a table's number.
uint64_t NewVersion() {
  static std::atomic<uint64_t> last{0};
  return ++last;
}

void FillBlock(TileBlocks& table, const Tile& tile, size_t n) {
  const uint8_t* px = TilePixels(tile, 64);
  if (!px) {
    table.kinds[n] = kNoBlock;
    return;
  }
  std::copy(px, px + 64, table.blocks[n].px.begin());
  // A blank block draws nothing: it is skipped like a missing one.
  const bool blank = std::all_of(px, px + 64, [](uint8_t b) { return b == 0; });
  table.kinds[n] = tile.opaque ? kOpaqueBlock : blank ? kNoBlock : kMergedBlock;
}

}  // namespace

void FillTileBlock(TileBlocks& table, const Tile& tile, size_t n) {
  table.version = NewVersion();
  FillBlock(table, tile, n);
}

void FillTileBlocks(TileBlocks& table, std::span<const Tile> tiles) {
  table.blocks.assign(tiles.size(), TileBlock{});
  table.kinds.assign(tiles.size(), kNoBlock);
  table.animating.clear();
  for (size_t n = 0; n < tiles.size(); ++n) {
    FillBlock(table, tiles[n], n);
    if (tiles[n].stepCount != 0) table.animating.push_back(uint16_t(n));
  }
  table.stale = false;
  table.version = NewVersion();
}

void TileSetChanged() { Tiles.blocks.stale = true; }

TileBlocks& CurrentTileBlocks() {
  // A table of another size surely missed a change.
  if (Tiles.blocks.stale || Tiles.blocks.kinds.size() != Tiles.tileTable.size())
    FillTileBlocks(Tiles.blocks, Tiles.tileTable);
  return Tiles.blocks;
}
