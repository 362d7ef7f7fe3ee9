// level_write.cpp: writes the level as a version-2 file, each plane cut down
// to the rows and columns that hold tiles.
#include <algorithm>
#include <cstdio>

#include "common/binary_reader.h"
#include "level/level.h"

namespace {

// 1 + the last column and 1 + the last row holding a tile; 0 x 0 when empty.
void UsedExtent(const Plane& p, int32_t& usedW, int32_t& usedH) {
  usedW = usedH = 0;
  for (int32_t y = 0; y < p.height; ++y) {
    const size_t row = size_t(y) * size_t(p.width);
    for (int32_t x = 0; x < p.width && row + x < p.tiles.size(); ++x) {
      if (p.tiles[row + x] == 0) continue;
      usedW = std::max(usedW, x + 1);
      usedH = y + 1;
    }
  }
}

// A line's values; lines a damaged plane lacks are written with the defaults.
void PutLine(std::vector<uint8_t>& out, const Plane& p, size_t k) {
  const int32_t defaultLoop = p.type == kVTiled || p.type == kVLined ? p.height : p.width;
  PutU16BE(out, uint32_t(k < p.lineLoops.size() ? p.lineLoops[k] : defaultLoop));
  PutU8(out, k < p.lineSpeeds.size() ? p.lineSpeeds[k] : 8);
}

void PutPlane(std::vector<uint8_t>& out, const Plane& p) {
  PutU8(out, p.type);
  int32_t w, h;
  UsedExtent(p, w, h);
  // Four-byte sizes whose top byte is always 0.
  PutU32BE(out, uint32_t(w) & 0xFFFFFF);
  PutU32BE(out, uint32_t(h) & 0xFFFFFF);
  size_t lines = 0;
  switch (p.type) {
    case kRelative: lines = 1; break;
    case kHTiled: lines = size_t(h); break;
    case kVTiled: lines = size_t(w); break;
    case kHLined: lines = size_t(h) * 8; break;
    case kVLined: lines = size_t(w) * 8; break;
    default: break;  // Flat and unknown types keep no line tables
  }
  if (p.type >= kRelative && p.type <= kVLined) {
    for (size_t k = 0; k < lines; ++k) PutLine(out, p, k);
    PutU16BE(out, uint32_t(p.otherLoop));
    PutU8(out, p.otherSpeed);
  }
  PutU16BE(out, p.priority);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) PutU16BE(out, p.tiles[size_t(y) * size_t(p.width) + x]);
}

}  // namespace

std::vector<uint8_t> LevelFileBytes() {
  std::vector<uint8_t> out = {0x53, 0x4C, 0x45, 0x56, 2};  // "SLEV", version 2
  const size_t count = std::min<size_t>(Level.planeCount, Level.planes.size());
  PutU8(out, uint32_t(count));
  for (size_t i = 0; i < count; ++i) PutPlane(out, Level.planes[i]);
  PutU16BE(out, uint32_t(Level.levelParameter));
  return out;
}

bool SaveLevel(const std::string& name) {
  // Built whole in memory and renamed into place, so a failed save keeps the old file.
  if (!WriteFileAtomic(name, LevelFileBytes())) {
    std::printf("\n\n*** error creating %s ***\n", name.c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "%s: cannot write: %s\n", name.c_str(), LastWriteError().c_str());
    return false;
  }
  return true;
}
