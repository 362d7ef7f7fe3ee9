// tiles.h: the tile table and the palette sets that come with it, as every
// layer reads them; the .til loader (level/tile_set.h) fills them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/limits.h"

// What a renderer reads of a tile (its frame, opacity and first blocks) comes
// first, in one cache line: a level's tile table outgrows the cache.
struct Tile {
  uint8_t frame = 0;   // the frame renderers draw
  uint8_t opaque = 0;  // 1: no pixel of any frame is 0
  uint8_t floor = 0;
  uint8_t slope = 0;
  uint8_t animTimer = 0;
  uint8_t step = 0;
  uint8_t frameCount = 0;
  uint8_t stepCount = 0;  // 0: does not animate
  // Pixel blocks: 64 bytes (128 in video mode 2, each pixel twice); empty = absent.
  std::array<std::vector<uint8_t>, kMaxTileFrames> frames;
  std::array<uint8_t, kMaxTileFrames> stepDelays{};
  std::array<uint8_t, 64> collision{};
};

struct PaletteCycle {
  uint8_t stepCount = 0;
  // Both hold at least one step, so colours[0] is (0,0,0) even for stepCount 0.
  std::vector<uint8_t> stepDelays;  // max(stepCount, 1) entries
  uint8_t timer = 0;
  uint8_t step = 0;
  std::vector<uint8_t> colours;  // max(stepCount, 1) x (r, g, b), 6-bit
};

struct PaletteSet {
  std::vector<PaletteCycle> cycles;                           // cycle at position i drives colour i
  uint8_t cycleCount = 0;                                     // cycles that came from the file
  uint8_t tintUpperHalf = 0;                                  // 1 tinted copies; 0 two ranges; 2 three ranges
  std::vector<uint8_t> rotateWith, rotateDelay, rotateTimer;  // per position
  uint8_t tintRed = 0, tintGreen = 0, tintBlue = 0;
};

// Tile n's current block copied out of its record, 64 bytes on a cache line
// of its own: a frame then reads one dense table that stays in the cache
// from frame to frame, not the large records and the blocks they point to.
struct alignas(64) TileBlock {
  std::array<uint8_t, 64> px{};
};

// How a block is drawn: not at all (no block, or a block of 0s), merged, or copied.
enum TileBlockKind : uint8_t { kNoBlock, kMergedBlock, kOpaqueBlock };

// The blocks of a tile table, in tile order, and the tiles that animate.
struct TileBlocks {
  std::vector<TileBlock> blocks;
  std::vector<uint8_t> kinds;       // TileBlockKind a tile
  std::vector<uint16_t> animating;  // the tiles with a non-zero stepCount
  bool stale = true;                // the table no longer matches the tiles
  // Names the table's contents: every fill or mend takes a number no table
  // had before, so what was made from the blocks can tell it is out of date.
  uint64_t version = 0;
};

struct TileSetState {
  std::vector<Tile> tileTable;
  TileBlocks blocks;       // see CurrentTileBlocks
  uint16_t tileCount = 0;  // tileTable.size() as ResizeTileSet leaves it
  std::vector<PaletteSet> paletteSets;
  uint8_t paletteSetCount = 0;  // paletteSets.size() as its writers leave it, in 8 bits
  uint8_t currentPaletteSet = 0;
  std::string tileFileName;
};
extern TileSetState Tiles;

void ResetTileSet();
