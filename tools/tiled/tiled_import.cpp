// tiled_import.cpp: tile layers become planes: our exports exactly from
// their `tarn.` properties, any other layer from its size and parallax.
#include "tiled_import.h"

#include <algorithm>
#include <cmath>

#include "common/limits.h"
#include "level/level.h"
#include "tarn_properties.h"
#include "tiled_check.h"

namespace tiled {

namespace {

// A whole number of tiles, or a refusal.
int32_t TileOffset(double pixels, const std::string& file, const std::string& layer, const char* axis) {
  const double tiles = pixels / 8.0;
  if (tiles != std::floor(tiles) || std::fabs(tiles) > kMaxPlaneSide)
    throw Refusal(file, "layer \"" + layer + "\" is offset by " + std::to_string(pixels) + " pixels " + axis +
                            "; only whole tiles (multiples of 8) can move a plane");
  return int32_t(tiles);
}

int64_t LayerInt(const Layer& l, const char* name, int64_t fallback, int64_t lo, int64_t hi, const std::string& file) {
  const std::string* v = FindProperty(l.properties, name);
  return v ? ParseInteger(*v, lo, hi, file, "layer \"" + l.name + "\" property " + name) : fallback;
}

template <class T>
std::vector<T> LayerList(const Layer& l, const char* name, int64_t lo, int64_t hi, const std::string& file) {
  std::vector<T> out;
  if (const std::string* v = FindProperty(l.properties, name))
    for (int64_t x : SplitNumbers(*v, lo, hi, file, "layer \"" + l.name + "\" property " + name)) out.push_back(T(x));
  return out;
}

Plane LayerPlane(const Layer& l, size_t index, const std::vector<TilesetPlace>& places, const std::string& file) {
  const int32_t dx = TileOffset(l.offsetX, file, l.name, "across");
  const int32_t dy = TileOffset(l.offsetY, file, l.name, "down");
  // The extent that holds the painted cells where they land (every GID checked).
  int32_t usedW = 0, usedH = 0;
  for (size_t c = 0; c < l.gids.size(); ++c) {
    if (l.gids[c] == 0) continue;
    TileOfGid(l.gids[c], places, file, l.name, c, l.width);
    const int64_t x = int64_t(c % size_t(l.width)) + dx, y = int64_t(c / size_t(l.width)) + dy;
    if (x < 0 || y < 0 || x >= kMaxPlaneSide || y >= kMaxPlaneSide)
      throw Refusal(file, "layer \"" + l.name + "\": its offset moves painted cells off the level");
    usedW = std::max(usedW, int32_t(x + 1));
    usedH = std::max(usedH, int32_t(y + 1));
  }
  const bool own = FindProperty(l.properties, "tarn.type") != nullptr;
  Plane p;
  if (own) {
    const uint8_t type =
        ParsePlaneType(*FindProperty(l.properties, "tarn.type"), file, "layer \"" + l.name + "\" property tarn.type");
    const int32_t w = int32_t(LayerInt(l, "tarn.width", l.width, 1, kMaxPlaneSide, file));
    const int32_t h = int32_t(LayerInt(l, "tarn.height", l.height, 1, kMaxPlaneSide, file));
    InitPlane(p, type, std::max(w, usedW), std::max(h, usedH));
    p.priority = uint16_t(LayerInt(l, "tarn.priority", 3, 0, 0xFFFF, file));
    if (type >= kRelative && type <= kVLined) {
      p.otherSpeed = uint8_t(LayerInt(l, "tarn.otherSpeed", 8, 0, 255, file));
      p.otherLoop = int32_t(LayerInt(l, "tarn.otherLoop", p.otherLoop, 1, 0xFFFF, file));
      const auto speeds = LayerList<uint8_t>(l, "tarn.lineSpeeds", 0, 255, file);
      const auto loops = LayerList<int32_t>(l, "tarn.lineLoops", 1, 0xFFFF, file);
      // Lines the properties hold replace the defaults; a plane grown in Tiled keeps defaults for the rest.
      std::copy_n(speeds.begin(), std::min(speeds.size(), p.lineSpeeds.size()), p.lineSpeeds.begin());
      std::copy_n(loops.begin(), std::min(loops.size(), p.lineLoops.size()), p.lineLoops.begin());
    }
  } else {
    const bool flat = l.parallaxX == 1 && l.parallaxY == 1;
    InitPlane(p, flat ? kFlat : kRelative, std::max({l.width + dx, usedW, 1}), std::max({l.height + dy, usedH, 1}));
    p.priority = uint16_t(std::max(3 - int(index), 1));
    if (!flat) {
      p.lineSpeeds[0] = SpeedOfParallax(l.parallaxX);
      p.otherSpeed = SpeedOfParallax(l.parallaxY);
    }
  }
  for (size_t c = 0; c < l.gids.size(); ++c) {
    if (l.gids[c] == 0) continue;
    const size_t x = size_t(int64_t(c % size_t(l.width)) + dx), y = size_t(int64_t(c / size_t(l.width)) + dy);
    p.tiles[y * size_t(p.width) + x] = TileOfGid(l.gids[c], places, file, l.name, c, l.width);
  }
  return p;
}

}  // namespace

uint16_t TileOfGid(uint32_t gid, const std::vector<TilesetPlace>& places, const std::string& file,
                   const std::string& layer, size_t cell, int width) {
  if (gid == 0) return 0;
  auto where = [&] {
    return "layer \"" + layer + "\" cell (" + std::to_string(cell % size_t(width)) + ", " +
           std::to_string(cell / size_t(width)) + ")";
  };
  if (gid & kGidFlags) throw Refusal(file, where() + " is flipped or rotated; Tarn draws tiles only as they are");
  const TilesetPlace* owner = nullptr;
  for (const TilesetPlace& p : places)
    if (p.firstGid <= gid && (!owner || p.firstGid > owner->firstGid)) owner = &p;
  if (!owner || gid - owner->firstGid >= owner->cells)
    throw Refusal(file, where() + " names tile " + std::to_string(gid) + ", past every tileset");
  const uint64_t tile = uint64_t(owner->base) + (gid - owner->firstGid);
  if (tile > 0xFFFF) throw Refusal(file, where() + " names tile " + std::to_string(tile) + ", past 65535");
  return uint16_t(tile);
}

void ImportMap(const Map& map) {
  const std::vector<TilesetPlace> places = BuildTileSet(map.tilesets);
  std::vector<Plane> planes;
  for (size_t i = 0; i < map.layers.size(); ++i) planes.push_back(LayerPlane(map.layers[i], i, places, map.file));
  const std::string* parameter = FindProperty(map.properties, "tarn.levelParameter");
  ReplaceLevel(
      std::move(planes),
      parameter ? int32_t(ParseInteger(*parameter, 0, 0xFFFF, map.file, "map property tarn.levelParameter")) : 340);
}

}  // namespace tiled
