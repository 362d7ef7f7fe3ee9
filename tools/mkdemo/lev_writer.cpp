// lev_writer.cpp: old-layout level files and version-2 files through SaveLevel.
#include "lev_writer.h"

#include <filesystem>

#include "common/binary_reader.h"
#include "level/level.h"

namespace {

// Old files store two-byte values as first x 254 + second.
void PutOld16(std::vector<uint8_t>& out, uint32_t v) {
  PutU8(out, v / 254);
  PutU8(out, v % 254);
}

// Size, then the cells column by column.
void PutOldCells(std::vector<uint8_t>& out, const TileMap& m) {
  PutOld16(out, uint32_t(m.w));
  PutOld16(out, uint32_t(m.h));
  for (int x = 0; x < m.w; ++x)
    for (int y = 0; y < m.h; ++y) PutOld16(out, m.At(x, y));
}

void PutOldRows(std::vector<uint8_t>& out, const OldPlane& p) {
  for (int r = 0; r < p.map.h; ++r) {
    PutU8(out, r < int(p.rowSpeeds.size()) ? p.rowSpeeds[size_t(r)] : 0);
    PutOld16(out, r < int(p.rowLoops.size()) ? p.rowLoops[size_t(r)] : uint32_t(p.map.w));
  }
  PutU8(out, p.otherSpeed);
  PutOld16(out, p.otherLoop);
}

}  // namespace

std::vector<uint8_t> EncodeLevelV0(const OldPlane& hTiled, const OldPlane& flat1, const OldPlane& flat2,
                                   uint16_t parameter, bool header) {
  std::vector<uint8_t> out;
  if (header) out = {'S', 'L', 'E', 'V', 0};
  PutOldCells(out, flat1.map);
  PutOldCells(out, hTiled.map);
  PutOldCells(out, flat2.map);
  PutOld16(out, parameter);
  // The H Tiled plane's rows come last in this layout.
  PutOldRows(out, hTiled);
  return out;
}

std::vector<uint8_t> EncodeLevelV1(const OldPlane& hTiled0, const OldPlane& hTiled1, const OldPlane& flat2,
                                   const OldPlane& flat3, uint16_t parameter) {
  std::vector<uint8_t> out = {'S', 'L', 'E', 'V', 1};
  for (const OldPlane* p : {&hTiled0, &hTiled1}) {
    PutOldCells(out, p->map);
    PutOldRows(out, *p);
  }
  PutOldCells(out, flat2.map);
  PutOldCells(out, flat3.map);
  PutOld16(out, parameter);
  return out;
}

bool SaveLevelV2(const std::string& path, const std::vector<PlaneDef>& planes, int32_t parameter) {
  Level.planes.clear();
  Level.planes.resize(planes.size());
  for (size_t i = 0; i < planes.size(); ++i) {
    const PlaneDef& d = planes[i];
    Plane& p = Level.planes[i];
    InitPlane(p, d.type, d.map.w, d.map.h);
    for (int y = 0; y < d.map.h; ++y)
      for (int x = 0; x < d.map.w; ++x) p.tiles[size_t(y) * d.map.w + x] = d.map.At(x, y);
    for (size_t k = 0; k < d.loops.size() && k < p.lineLoops.size(); ++k) p.lineLoops[k] = d.loops[k];
    for (size_t k = 0; k < d.speeds.size() && k < p.lineSpeeds.size(); ++k) p.lineSpeeds[k] = d.speeds[k];
    if (d.otherLoop > 0) p.otherLoop = d.otherLoop;
    p.otherSpeed = d.otherSpeed;
    p.priority = d.priority;
  }
  Level.planeCount = uint8_t(planes.size());
  Level.levelParameter = parameter;
  std::error_code ec;
  std::filesystem::remove(path, ec);
  SaveLevel(path);
  return std::filesystem::exists(path, ec);
}
