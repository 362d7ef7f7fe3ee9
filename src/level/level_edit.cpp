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
  InsertPlane(at, std::move(fresh), 0);
}

void InsertPlane(size_t at, Plane plane, uint8_t shown) {
  at = std::min(at, Level.planes.size());
  Level.planes.insert(Level.planes.begin() + ptrdiff_t(at), std::move(plane));
  // Each shown flag moves with its plane.
  for (size_t j = std::min(Level.planes.size() - 1, kShownPlanes - 1); j > at; --j)
    Level.planeShown[j] = Level.planeShown[j - 1];
  if (at < kShownPlanes) Level.planeShown[at] = shown;
  Level.planeCount = uint8_t(Level.planes.size());
  Level.currentPlane = uint8_t(at);
}

// The plane moving into the last flag's slot had none, and the flag past the
// last plane is cleared, so a later insert never inherits it.
Plane DeletePlane(size_t at) {
  Plane removed = std::move(Level.planes[at]);
  Level.planes.erase(Level.planes.begin() + ptrdiff_t(at));
  if (at < kShownPlanes) {
    for (size_t j = at; j + 1 < kShownPlanes; ++j) Level.planeShown[j] = Level.planeShown[j + 1];
    Level.planeShown[kShownPlanes - 1] = 0;
  }
  if (Level.planes.size() < kShownPlanes) Level.planeShown[Level.planes.size()] = 0;
  Level.planeCount = uint8_t(Level.planes.size());
  if (Level.currentPlane >= Level.planeCount) Level.currentPlane = uint8_t(Level.planeCount - 1);
  return removed;
}

void TogglePlaneShown(size_t index) {
  if (index < kShownPlanes) Level.planeShown[index] ^= 1;
}

void SetCell(Plane& plane, int32_t x, int32_t y, uint16_t tile) {
  if (x >= 0 && y >= 0 && x < plane.width && y < plane.height &&
      size_t(y) * size_t(plane.width) + size_t(x) < plane.tiles.size())
    plane.tiles[size_t(y) * size_t(plane.width) + size_t(x)] = tile;
}

namespace {

template <class T>
T* Line(std::vector<T>& table, size_t index) {
  return index < table.size() ? &table[index] : nullptr;
}

}  // namespace

int32_t GetPlaneValue(const Plane& plane, PlaneValue value, size_t index) {
  switch (value) {
    case kLineSpeed: return index < plane.lineSpeeds.size() ? plane.lineSpeeds[index] : 0;
    case kLineLoop: return index < plane.lineLoops.size() ? plane.lineLoops[index] : 0;
    case kOtherSpeed: return plane.otherSpeed;
    case kOtherLoop: return plane.otherLoop;
    case kWrapCells: return plane.wrapCells;
  }
  return 0;
}

void SetPlaneValue(Plane& plane, PlaneValue value, size_t index, int32_t to) {
  const uint8_t speed = uint8_t(std::clamp(to, 0, 255));
  const int32_t loop = std::max(to, 1);
  switch (value) {
    case kLineSpeed:
      if (uint8_t* s = Line(plane.lineSpeeds, index)) *s = speed;
      break;
    case kLineLoop:
      if (int32_t* l = Line(plane.lineLoops, index)) *l = loop;
      break;
    case kOtherSpeed: plane.otherSpeed = speed; break;
    case kOtherLoop: plane.otherLoop = loop; break;
    case kWrapCells: plane.wrapCells = loop; break;
  }
}

void SwapPlaneLines(Plane& plane, Plane& lines) {
  std::swap(plane.type, lines.type);
  std::swap(plane.lineLoops, lines.lineLoops);
  std::swap(plane.lineSpeeds, lines.lineSpeeds);
  std::swap(plane.otherLoop, lines.otherLoop);
  std::swap(plane.otherSpeed, lines.otherSpeed);
  std::swap(plane.wrapCells, lines.wrapCells);
}

void SwapLevelPlanes(LevelPlanes& other) {
  std::swap(Level.planes, other.planes);
  std::swap(Level.planeShown, other.shown);
  std::swap(Level.currentPlane, other.current);
  std::swap(Level.levelParameter, other.parameter);
  Level.planeCount = uint8_t(Level.planes.size());
}
