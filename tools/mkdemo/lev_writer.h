// lev_writer.h: level files. The old layouts (versions 0 and 1) are written
// here; version 2 goes through the engine's own SaveLevel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tile_bank.h"

// A plane of an old level file. Speeds are in the old units: a row speed s
// of 1..24 reads as 64 x s / 24, 25 and above as 128 + 64 x (s - 24) / 24
// (drifting); the other speed s reads as 64 / s. Loops are in tiles.
struct OldPlane {
  TileMap map;                     // stored size and cells
  std::vector<uint8_t> rowSpeeds;  // H Tiled: one per stored row
  std::vector<uint16_t> rowLoops;
  uint8_t otherSpeed = 0;
  uint16_t otherLoop = 0;  // 0 reads as the plane height (less 2 in version 1)
};

// Version 0, with or without the header: an H Tiled plane between two Flat
// planes (level order: H Tiled, Flat, Flat).
std::vector<uint8_t> EncodeLevelV0(const OldPlane& hTiled, const OldPlane& flat1, const OldPlane& flat2,
                                   uint16_t parameter, bool header);
// Version 1: two H Tiled planes, then two Flat planes of the same size.
std::vector<uint8_t> EncodeLevelV1(const OldPlane& hTiled0, const OldPlane& hTiled1, const OldPlane& flat2,
                                   const OldPlane& flat3, uint16_t parameter);

// A plane of a version-2 level, in the engine's units.
struct PlaneDef {
  uint8_t type = 0;
  TileMap map;
  std::vector<int32_t> loops;  // per line; missing lines keep the defaults
  std::vector<uint8_t> speeds;
  int32_t otherLoop = 0;  // 0: the map height (width for V planes)
  uint8_t otherSpeed = 0;
  uint16_t priority = 3;
};

// A plane of the given type over a map, every line at the defaults.
inline PlaneDef MakePlane(uint8_t type, TileMap map) {
  PlaneDef p;
  p.type = type;
  p.map = std::move(map);
  return p;
}

// Builds the planes in the engine's level and saves them with SaveLevel;
// false when the file did not appear.
bool SaveLevelV2(const std::string& path, const std::vector<PlaneDef>& planes, int32_t parameter);
