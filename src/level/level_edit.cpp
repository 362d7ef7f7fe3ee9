// level_edit.cpp: the edits the editor and the modes make to the level; the
// loaders are the only other writers.
#include <algorithm>

#include "level/level.h"

void SetView(int32_t x, int32_t y) {
  Level.viewX = x;
  Level.viewY = y;
}

void SelectPlane(uint8_t index) { Level.currentPlane = index; }

Plane* CurrentPlane() {
  if (Level.currentPlane >= Level.planes.size() || Level.currentPlane >= Level.planeCount) return nullptr;
  return &Level.planes[Level.currentPlane];
}

void InsertPlane(size_t at) {
  Plane fresh;
  InitPlane(fresh, kFlat, 1200, 320);
  fresh.priority = 3;
  Level.planes.insert(Level.planes.begin() + ptrdiff_t(at), std::move(fresh));
  // Each shown flag moves with its plane.
  for (size_t j = std::min(Level.planes.size() - 1, kShownPlanes - 1); j > at; --j)
    Level.planeShown[j] = Level.planeShown[j - 1];
  Level.planeShown[at] = 0;
  Level.planeCount = uint8_t(Level.planes.size());
  Level.currentPlane = uint8_t(at);
}

// The flag past the last plane is cleared, so a later insert never inherits it.
void DeletePlane(size_t at) {
  Level.planes.erase(Level.planes.begin() + ptrdiff_t(at));
  for (size_t j = at; j + 1 < kShownPlanes; ++j) Level.planeShown[j] = Level.planeShown[j + 1];
  if (Level.planes.size() < kShownPlanes) Level.planeShown[Level.planes.size()] = 0;
  Level.planeCount = uint8_t(Level.planes.size());
  if (Level.currentPlane >= Level.planeCount) Level.currentPlane = uint8_t(Level.planeCount - 1);
}

void TogglePlaneShown(size_t index) {
  if (index < kShownPlanes) Level.planeShown[index] ^= 1;
}

void SetCell(Plane& plane, int32_t x, int32_t y, uint16_t tile) {
  if (x >= 0 && y >= 0 && x < plane.width && y < plane.height &&
      size_t(y) * size_t(plane.width) + size_t(x) < plane.tiles.size())
    plane.tiles[size_t(y) * size_t(plane.width) + size_t(x)] = tile;
}
