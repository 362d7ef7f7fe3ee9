// levels.h: the five demonstration levels, each a tile set and a level built
// from pictures drawn in code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lev_writer.h"
#include "level/level.h"
#include "til_writer.h"

struct DemoLevel {
  TileSetDef tiles;
  int tileVersion = 2;  // 0 writes a headerless .til with its .dat
  // Version 2 levels: the planes, saved through the engine.
  std::vector<PlaneDef> planes;
  // Old layouts: the finished file (then planes is empty).
  std::vector<uint8_t> oldLevel;
  int32_t parameter = 340;
};

// 1: sunset coast: drifting cloud rows, far islands, an H Lined sea, a lighthouse.
DemoLevel BuildCoastLevel();
// 2: green hills: a version-0 level and tile set (with .dat) of classic parallax.
DemoLevel BuildHillsLevel();
// 3: night city: a version-1 level and a version-1 tile set with two palette sets.
DemoLevel BuildCityLevel();
// 4: volcano shaft: V Lined walls, V Tiled embers rising, a drifting backdrop.
DemoLevel BuildVolcanoLevel();
// 5: deep space, the attract level: five planes that loop every 512 pixels.
DemoLevel BuildSpaceLevel();

// Writes n.til (n.dat) and n.lev into dir; false (after a message) on failure.
bool WriteDemoLevel(const std::string& dir, int n, const DemoLevel& level);
