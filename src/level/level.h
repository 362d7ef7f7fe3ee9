// level.h: planes, the level globals and the level file reader.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

enum PlaneType : uint8_t {
  kFlat = 0, kRelative = 1, kHTiled = 2, kVTiled = 3, kHLined = 4, kVLined = 5,
};

struct Plane {
  uint8_t type = kFlat;
  int32_t width = 0, height = 0;  // tiles
  int32_t wrapCells = 0;          // vertical loop in rows x width
  int32_t rowSkip = 0;            // width - TileColumns
  std::vector<int32_t> lineLoops;  // loop in tiles per line
  int32_t otherLoop = 0;
  std::vector<uint8_t> lineSpeeds;  // speed byte per line
  uint8_t otherSpeed = 0;
  std::vector<uint16_t> tiles;  // (height + 1) x width, row by row; the spare row is 0
  uint16_t priority = 0;
};

struct LevelState {
  std::vector<Plane> planes;
  uint8_t planeCount = 0;
  uint8_t currentPlane = 0;
  int32_t viewX = 0, viewY = 0;
  std::array<uint8_t, 16> planeShown{};
  std::string levelFileName;
  int32_t levelParameter = 340;
};
extern LevelState Level;

void ResetLevel();

void InitPlane(Plane& plane, uint8_t type, int32_t width, int32_t height);
void CopyPlane(const Plane& source, Plane& destination);
void ChangePlaneType(Plane& plane, uint8_t type);
void NewLevel();
void LoadLevel(const std::string& name);

// Writes the level as a version-2 file, each plane trimmed to its used extent.
void SaveLevel(const std::string& name);
