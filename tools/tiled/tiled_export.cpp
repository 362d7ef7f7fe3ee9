// tiled_export.cpp: planes become tile layers of one map, tiles the cells of
// one sheet 40 to a row, and everything Tiled has no word for `tarn.`
// properties.
#include "tiled_export.h"

#include <algorithm>
#include <cstdio>

#include "common/binary_reader.h"
#include "common/os_files.h"
#include "gfx/frame_buffer.h"
#include "model/planes.h"
#include "model/tiles.h"
#include "png_sheet.h"
#include "tarn_properties.h"
#include "tiled_check.h"

namespace tiled {

namespace {

constexpr int kColumns = 40;  // as the tile viewer shows them

// The parallax Tiled previews: the plane's speeds along x and y.
void SetParallax(Layer& l, const Plane& p) {
  if (p.type == kFlat || p.type > kVLined || p.lineSpeeds.empty()) return;
  const bool vertical = p.type == kVTiled || p.type == kVLined;
  l.parallaxX = ParallaxOfSpeed(vertical ? p.otherSpeed : p.lineSpeeds[0]);
  l.parallaxY = ParallaxOfSpeed(vertical ? p.lineSpeeds[0] : p.otherSpeed);
}

Layer PlaneLayer(const Plane& p, size_t index, int width, int height) {
  Layer l;
  l.name = "plane " + std::to_string(index) + " (" + PlaneTypeName(p.type) + ")";
  l.width = width;
  l.height = height;
  l.gids.assign(size_t(width) * size_t(height), 0);
  for (int32_t y = 0; y < p.height; ++y)
    for (int32_t x = 0; x < p.width; ++x) {
      const size_t at = size_t(y) * size_t(p.width) + size_t(x);
      const uint16_t t = at < p.tiles.size() ? p.tiles[at] : 0;
      l.gids[size_t(y) * size_t(width) + size_t(x)] = t == 0 ? 0 : uint32_t(t) + 1;  // firstgid 1
    }
  SetParallax(l, p);
  Properties& props = l.properties;
  SetProperty(props, "tarn.type", "string", PlaneTypeName(p.type));
  SetProperty(props, "tarn.width", "int", std::to_string(p.width));
  SetProperty(props, "tarn.height", "int", std::to_string(p.height));
  SetProperty(props, "tarn.priority", "int", std::to_string(p.priority));
  if (p.type >= kRelative && p.type <= kVLined) {
    SetProperty(props, "tarn.otherSpeed", "int", std::to_string(p.otherSpeed));
    SetProperty(props, "tarn.otherLoop", "int", std::to_string(p.otherLoop));
    SetProperty(props, "tarn.lineSpeeds", "string",
                JoinNumbers(std::vector<int64_t>(p.lineSpeeds.begin(), p.lineSpeeds.end())));
    SetProperty(props, "tarn.lineLoops", "string",
                JoinNumbers(std::vector<int64_t>(p.lineLoops.begin(), p.lineLoops.end())));
  }
  return l;
}

void PutCell(std::vector<uint8_t>& pixels, size_t cell, const std::vector<uint8_t>& block) {
  const size_t x0 = (cell % kColumns) * 8, y0 = (cell / kColumns) * 8;
  for (size_t p = 0; p < 64; ++p) pixels[(y0 + p / 8) * kColumns * 8 + x0 + p % 8] = FramePixel(block, p);
}

TileInfo TileEntry(const Tile& t, uint32_t id, const std::vector<uint32_t>& frameCells) {
  TileInfo info;
  info.id = id;
  if (t.floor) SetProperty(info.properties, "tarn.floor", "int", std::to_string(t.floor));
  if (t.slope) SetProperty(info.properties, "tarn.slope", "int", std::to_string(t.slope));
  if (std::any_of(t.collision.begin(), t.collision.end(), [](uint8_t c) { return c != 0; }))
    SetProperty(info.properties, "tarn.collision", "string",
                JoinNumbers(std::vector<int64_t>(t.collision.begin(), t.collision.end())));
  if (frameCells.size() != 1)
    SetProperty(info.properties, "tarn.frames", "string",
                JoinNumbers(std::vector<int64_t>(frameCells.begin(), frameCells.end())));
  const size_t steps = std::min<size_t>(t.stepCount, kMaxTileFrames);
  if (steps > 0) {
    const std::vector<uint8_t> delays(t.stepDelays.begin(), t.stepDelays.begin() + ptrdiff_t(steps));
    SetProperty(info.properties, "tarn.delays", "string",
                JoinNumbers(std::vector<int64_t>(delays.begin(), delays.end())));
    info.animation = UnrollAnimation(frameCells.empty() ? std::vector<uint32_t>{id} : frameCells, delays);
  }
  return info;
}

}  // namespace

uint8_t FramePixel(const std::vector<uint8_t>& block, size_t p) {
  // Every other byte of a doubled block.
  const size_t at = p * (block.size() >= 128 ? 2 : 1);
  return at < block.size() ? block[at] : 0;
}

std::array<uint8_t, 768> ShownPalette() {
  std::array<uint8_t, 768> out{};
  for (size_t s = 0; s < 256; ++s)
    for (size_t k = 0; k < 3; ++k) {
      const uint8_t v = Screen.PaletteTable[s * 4 + k];  // the 6-bit value x 4
      out[s * 3 + k] = uint8_t(v | v >> 6);
    }
  return out;
}

Export BuildExport(const std::string& stem, Format format) {
  Export e;
  Map& m = e.map;
  const size_t planes = std::min<size_t>(Level.planeCount, Level.planes.size());
  m.width = m.height = 1;
  uint32_t usedTiles = 0;
  for (size_t i = 0; i < planes; ++i) {
    const Plane& p = Level.planes[i];
    m.width = std::max(m.width, int(p.width));
    m.height = std::max(m.height, int(p.height));
    for (size_t c = 0; c < size_t(p.width) * size_t(p.height) && c < p.tiles.size(); ++c)
      usedTiles = std::max<uint32_t>(usedTiles, uint32_t(p.tiles[c]) + 1);
  }
  SetProperty(m.properties, "tarn.levelParameter", "int", std::to_string(Level.levelParameter));
  for (size_t i = 0; i < planes; ++i) m.layers.push_back(PlaneLayer(Level.planes[i], i, m.width, m.height));

  // Tile k is cell k; the further frames of animated tiles follow the last tile.
  const size_t count = std::min<size_t>(Tiles.tileCount, Tiles.tileTable.size());
  Tileset& t = e.tileset;
  t.name = stem.substr(OsFileNameStart(stem));
  std::vector<std::vector<uint32_t>> frameCells(count);
  uint32_t next = uint32_t(count);
  for (size_t k = 0; k < count; ++k) {
    const int frames = std::min<int>(Tiles.tileTable[k].frameCount, kMaxTileFrames);
    for (int f = 0; f < frames; ++f) frameCells[k].push_back(f == 0 ? uint32_t(k) : next++);
  }
  const size_t cells = std::max<size_t>({next, usedTiles, 1});
  const size_t rows = (cells + kColumns - 1) / kColumns;
  std::vector<uint8_t> pixels(rows * 8 * kColumns * 8, 0);
  for (size_t k = 0; k < count; ++k) {
    const Tile& tile = Tiles.tileTable[k];
    PutCell(pixels, k, tile.frames[0]);
    for (size_t f = 1; f < frameCells[k].size(); ++f) PutCell(pixels, frameCells[k][f], tile.frames[f]);
    TileInfo info = TileEntry(tile, uint32_t(k), frameCells[k]);
    if (!info.properties.empty()) t.tiles.push_back(std::move(info));
  }
  t.columns = kColumns;
  t.tileCount = int(rows * kColumns);
  t.image = t.name + ".png";
  t.imageWidth = kColumns * 8;
  t.imageHeight = int(rows * 8);
  SetProperty(t.properties, "tarn.tileCount", "int", std::to_string(count));
  const size_t sets = std::min<size_t>(Tiles.paletteSetCount, Tiles.paletteSets.size());
  SetProperty(t.properties, "tarn.paletteSets", "int", std::to_string(sets));
  for (size_t n = 0; n < sets; ++n)
    SetProperty(t.properties, "tarn.paletteSet." + std::to_string(n), "string", PaletteSetText(Tiles.paletteSets[n]));
  e.sheet = EncodeIndexedSheet(uint32_t(kColumns * 8), uint32_t(rows * 8), pixels, ShownPalette());

  TilesetRef ref;
  ref.firstGid = 1;
  ref.source = t.name + (format == Format::kJson ? ".tsj" : ".tsx");
  ref.tileset = t;
  m.tilesets.push_back(std::move(ref));
  return e;
}

bool WriteExport(const std::string& mapPath, Format format) {
  const size_t dot = mapPath.rfind('.');
  const std::string stem =
      dot == std::string::npos || dot < OsFileNameStart(mapPath) ? mapPath : mapPath.substr(0, dot);
  const Export e = BuildExport(stem, format);
  const std::string folder = FolderOf(mapPath);
  if (!WriteFileAtomic(JoinPath(folder, e.tileset.image), e.sheet)) {
    std::fprintf(stderr, "%s: cannot write: %s\n", JoinPath(folder, e.tileset.image).c_str(), LastWriteError().c_str());
    return false;
  }
  return WriteTileset(JoinPath(folder, e.map.tilesets[0].source), e.tileset, format) &&
         WriteMap(mapPath, e.map, format);
}

}  // namespace tiled
