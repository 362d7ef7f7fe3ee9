// tile_set.h: the table of 8x8 tiles, the palette sets that come with it, and
// the .til/.dat files.
#pragma once

#include <array>
#include <cstddef>
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
  std::vector<PaletteCycle> cycles;  // cycle at position i drives colour i
  uint8_t cycleCount = 0;            // cycles that came from the file
  uint8_t tintUpperHalf = 0;  // 1 tinted copies; 0 two ranges; 2 three ranges
  std::vector<uint8_t> rotateWith, rotateDelay, rotateTimer;  // per position
  uint8_t tintRed = 0, tintGreen = 0, tintBlue = 0;
};

struct TileSetState {
  std::vector<Tile> tileTable;
  uint16_t tileCount = 0;  // always tileTable.size()
  std::vector<PaletteSet> paletteSets;
  uint8_t paletteSetCount = 0;  // always paletteSets.size()
  uint8_t currentPaletteSet = 0;
  std::string tileFileName;
};
extern TileSetState Tiles;

void ResetTileSet();

// Bytes of one pixel block in the current video mode: 64, or 128 in mode 2.
size_t TileBlockSize();

// Clears floor, slope, animTimer, frame, step, frameCount and the collision
// cells and drops the frame pointers without freeing; stepCount, stepDelays and
// opaque are left alone.
void InitTile(Tile& tile);
// Frees every pixel block of the tile.
void ReleaseTileFrames(Tile& tile);
// Grows or shrinks the table to count tiles; new tiles are blank with one
// frame. Sets tileCount.
void ResizeTileSet(uint16_t count);
// 2000 blank tiles (frameCount 0, one blank block each) and one black palette
// set of 64 cycles tinted (0, 0, 12); palette slots 0..63 become black.
void BuildDefaultTileSet();
// Reads a .til file (and the .dat beside a version-0 one), then applies the
// current palette set. tileFileName becomes name whatever happens. A missing
// file gives the default set; an unknown version changes nothing else. A
// truncated file keeps what was read and fills the rest with blank tiles and
// black cycles.
void LoadTileSet(const std::string& name);
// The companion .dat name: ".dat" written over the four characters from the
// first '.' of the file-name part ("lv/1.til" -> "lv/1.dat").
std::string CollisionFileName(const std::string& tileFileName);
// Reads a .dat file into the collision cells of tiles 0..1999; a missing file
// clears them all.
void ReadCollisionFile(const std::string& name);
// Sets every collision cell of every tile to 0.
void ClearTileCollision();
// One frame of tile animation for every tile with a non-zero stepCount.
void AdvanceTileAnimations();
