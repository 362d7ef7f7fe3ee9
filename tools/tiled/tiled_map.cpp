// tiled_map.cpp: properties, strict numbers, and the checks every map and
// tileset passes whichever form it was read from.
#include "tiled_map.h"

#include <cerrno>
#include <cstdlib>

#include "common/limits.h"
#include "common/os_files.h"
#include "tiled_check.h"

namespace tiled {

const std::string* FindProperty(const Properties& properties, const std::string& name) {
  for (const Property& p : properties)
    if (p.name == name) return &p.value;
  return nullptr;
}

void SetProperty(Properties& properties, const std::string& name, const std::string& type, const std::string& value) {
  for (Property& p : properties)
    if (p.name == name) {
      p.type = type;
      p.value = value;
      return;
    }
  properties.push_back({name, type, value});
}

int64_t ParseInteger(const std::string& text, int64_t lo, int64_t hi, const std::string& file,
                     const std::string& what) {
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || v < lo || v > hi)
    throw Refusal(file, what + " is \"" + text.substr(0, 40) + "\", not a whole number from " + std::to_string(lo) +
                            " to " + std::to_string(hi));
  return v;
}

double ParseFactor(const std::string& text, const std::string& file, const std::string& what) {
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || errno != 0 || !(v >= -1e6 && v <= 1e6))
    throw Refusal(file, what + " is \"" + text.substr(0, 40) + "\", not a number");
  return v;
}

void CheckTileset(const Tileset& t) {
  if (t.tileWidth != 8 || t.tileHeight != 8)
    throw Refusal(t.file, "tileset \"" + t.name + "\" has " + std::to_string(t.tileWidth) + "x" +
                              std::to_string(t.tileHeight) + " tiles; Tarn's tiles are 8x8");
  if (t.image.empty()) throw Refusal(t.file, "tileset \"" + t.name + "\" has no single image (a collection of images)");
  if (t.margin < 0 || t.spacing < 0 || t.columns < 0 || t.tileCount < 0)
    throw Refusal(t.file, "tileset \"" + t.name + "\" has a negative margin, spacing, column or tile count");
}

void CheckMapHead(const Map& m) {
  if (m.orientation != "orthogonal")
    throw Refusal(m.file, "the map is " + m.orientation + "; only orthogonal maps become levels");
  if (m.infinite) throw Refusal(m.file, "the map is infinite; make it a fixed size in Tiled (Map > Map Properties)");
  if (m.tileWidth != 8 || m.tileHeight != 8)
    throw Refusal(m.file, "the map's grid is " + std::to_string(m.tileWidth) + "x" + std::to_string(m.tileHeight) +
                              "; Tarn's tiles are 8x8");
  if (m.width < 1 || m.height < 1 || uint32_t(m.width) > kMaxPlaneSide || uint32_t(m.height) > kMaxPlaneSide)
    throw Refusal(m.file, "the map's size " + std::to_string(m.width) + "x" + std::to_string(m.height) +
                              " is not from 1x1 to 65535x65535");
}

void CheckLayerSize(const Map& m, const Layer& l, uint64_t& cellsSoFar) {
  if (l.width < 0 || l.height < 0 || uint32_t(l.width) > kMaxPlaneSide || uint32_t(l.height) > kMaxPlaneSide)
    throw Refusal(m.file, "layer \"" + l.name + "\" has the impossible size " + std::to_string(l.width) + "x" +
                              std::to_string(l.height));
  cellsSoFar += uint64_t(l.width) * uint64_t(l.height);
  if (cellsSoFar > kMaxMapCells)
    throw Refusal(
        m.file, "the tile layers hold more than " + std::to_string(kMaxMapCells) + " cells (layer \"" + l.name + "\")");
  if (m.layers.size() >= kShownPlanes)
    throw Refusal(m.file, "more than " + std::to_string(kShownPlanes) + " tile layers; a level has at most " +
                              std::to_string(kShownPlanes) + " planes");
}

void AddGroupOffsets(Layer& l, const GroupFrame& g) {
  l.offsetX += g.offsetX;
  l.offsetY += g.offsetY;
  l.parallaxX *= g.parallaxX;
  l.parallaxY *= g.parallaxY;
}

std::string FolderOf(const std::string& path) {
  const size_t start = OsFileNameStart(path);
  return start == 0 ? "." : path.substr(0, start);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (name.empty() || OsRootedPath(name) || folder.empty() || folder == ".") return name;
  return OsFileNameStart(folder) == folder.size() ? folder + name : folder + "/" + name;
}

}  // namespace tiled
