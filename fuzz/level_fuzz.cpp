// level_fuzz.cpp: a level file, loaded over a small tile set of opaque,
// transparent and animated tiles, drawn by every renderer from odd views,
// saved and read back.
#include <algorithm>
#include <climits>

#include "fuzz_support.h"
#include "gfx/plane_render.h"
#include "gfx/scroll.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "objects/object_list.h"

namespace {

// Tiles 1..63: odd ones opaque, even ones with holes, every fourth animated.
void SmallTileSet() {
  ResizeTileSet(64);
  for (uint16_t t = 1; t < 64; ++t) {
    Tile& tile = Tiles.tileTable[t];
    tile.frameCount = t % 4 == 0 ? 2 : 1;
    for (int f = 0; f < tile.frameCount; ++f) {
      tile.frames[f].assign(TileBlockSize() + 1, 0);
      for (size_t i = 0; i < 64; ++i) tile.frames[f][i] = uint8_t(t % 2 || i % 3 ? t + f : 0);
    }
    tile.opaque = t % 2;
    tile.stepCount = t % 4 == 0 ? 2 : 0;
  }
}

void DrawEveryWay() {
  static constexpr int32_t kViews[][2] = {{0, 0}, {-13, 7}, {5003, -9999}, {INT_MAX - 40, INT_MIN + 9}, {311, 191}};
  for (const auto& v : kViews) {
    Level.viewX = v[0];
    Level.viewY = v[1];
    BuildScrollTables();
    for (const Plane& p : Level.planes)
      for (PlaneDrawFn draw : PlaneDrawTable) draw(p);
  }
}

// What SaveLevel wrote must read back to the same planes: types and every
// cell both versions have (reading pads planes; the padding is empty).
void CheckRoundTrip(const std::vector<Plane>& before) {
  if (Level.planes.size() != before.size()) __builtin_trap();
  for (size_t i = 0; i < before.size(); ++i) {
    const Plane &a = before[i], &b = Level.planes[i];
    if (a.type != b.type) __builtin_trap();
    for (int32_t y = 0; y < std::min(a.height, b.height); ++y)
      for (int32_t x = 0; x < std::min(a.width, b.width); ++x)
        if (a.tiles[size_t(y) * a.width + x] != b.tiles[size_t(y) * b.width + x]) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ResetEngine();
  SmallTileSet();
  const std::string path = fuzz::WriteFile("l.lev", std::string_view(reinterpret_cast<const char*>(data), size));
  LoadLevel(path);
  AllocObjectList();
  CreatePlaneObjects("");
  DrawEveryWay();
  RunObjects();
  // What was read must write and read back.
  const std::string saved = fuzz::WorkDir() + "/saved.lev";
  const std::vector<Plane> before = Level.planes;
  SaveLevel(saved);
  LoadLevel(saved);
  CheckRoundTrip(before);
  DrawEveryWay();
  return 0;
}
