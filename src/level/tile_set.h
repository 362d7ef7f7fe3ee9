// tile_set.h: what fills the tile table (model/tiles.h): the default set, the
// .til/.dat files and the tile animation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/tiles.h"

// The file being loaded; only its first problem is reported, one line.
struct TileLoadState {
  std::string noteFile;
  bool noted = false;
};
extern TileLoadState TileLoad;

void ResetTileLoad();

// Bytes of one pixel block in the current video mode: 64, or 128 in mode 2.
size_t TileBlockSize();

// Clears floor, slope, animTimer, frame, step, frameCount and the collision
// cells and frees the pixel blocks; stepCount, stepDelays and opaque are left
// alone.
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
// Makes sets the tile set's palette sets (at least 192 cycles each, as the
// reader leaves them); cycleCount says how many each file form holds.
void SetPaletteSets(std::vector<PaletteSet> sets);
// The tile table and its palette sets as the bytes of a version-1 file (the
// one form that holds every set any version reads).
std::vector<uint8_t> EncodeTileSet();
// Writes EncodeTileSet's bytes to name through a temporary file renamed into
// place: a failed write keeps the old file and says why on stderr.
bool SaveTileSet(const std::string& name);
// One frame of tile animation for every tile with a non-zero stepCount; the
// block table follows the frames it changes.
void AdvanceTileAnimations();
