// planes.h: planes and the level that holds them, as every layer reads them;
// the level module (level/level.h) loads, saves and edits them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/limits.h"

enum PlaneType : uint8_t {
  kFlat = 0,
  kRelative = 1,
  kHTiled = 2,
  kVTiled = 3,
  kHLined = 4,
  kVLined = 5,
};

// Every plane a loader leaves has width, height, every loop and wrapCells of
// at least 1, line tables of the size its type needs (LineCount) and
// (height + 1) x width cells, so renderers may divide by loops and read the
// spare row.
struct Plane {
  uint8_t type = kFlat;
  int32_t width = 0, height = 0;   // tiles
  int32_t wrapCells = 0;           // vertical loop in rows x width
  int32_t rowSkip = 0;             // width - TileColumns
  std::vector<int32_t> lineLoops;  // loop in tiles per line
  int32_t otherLoop = 0;
  std::vector<uint8_t> lineSpeeds;  // speed byte per line
  uint8_t otherSpeed = 0;
  std::vector<uint16_t> tiles;  // (height + 1) x width, row by row; the spare row is 0
  uint16_t priority = 0;
};

struct LevelState {
  std::vector<Plane> planes;
  uint8_t planeCount = 0;  // planes.size() as its writers leave it, in 8 bits
  uint8_t currentPlane = 0;
  int32_t viewX = 0, viewY = 0;
  std::array<uint8_t, kShownPlanes> planeShown{};
  // The file the level belongs to and SAVE writes: the one the last LoadLevel
  // asked for, even when it gave the new level. Empty before any load.
  std::string levelFileName;
  // Why SAVE must not write levelFileName: something is there that did not
  // load ("is a folder", "cannot be read", "is damaged"), and it is kept.
  // Empty when SAVE may write.
  std::string levelFileProblem;
  int32_t levelParameter = 340;
};
extern LevelState Level;

void ResetLevel();

// Entries of lineLoops/lineSpeeds a plane of this type and size has: 1 for
// Flat, Relative and unknown types, a row or column per tile for the Tiled
// types, per pixel for the Lined ones.
size_t LineCount(uint8_t type, int32_t width, int32_t height);
