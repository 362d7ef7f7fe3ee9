// real_tiled_test.cpp: the real Tiled reads what tarn-tiled writes. Its JSON
// of each exported demo map imports to the same level and tile set, and
// tmxrasterizer draws each layer with the colours our tiles have at the same
// cells. `make tiled-test` runs these (TARN_REAL_TILED=1, Tiled installed);
// other runs skip them.
#include <cstdlib>
#include <sstream>
#include <string>

#include "level/level.h"
#include "level/tile_set.h"
#include "model/planes.h"
#include "model/tiles.h"
#include "png_sheet.h"
#include "run_tiled.h"
#include "tarn_properties.h"
#include "tiled_commands.h"
#include "tiled_export.h"

namespace {

class RealTiled : public RunTiledTest {
 protected:
  void SetUp() override {
    RunTiledTest::SetUp();
    if (std::getenv("TARN_REAL_TILED") == nullptr) GTEST_SKIP() << "make tiled-test runs these with Tiled";
  }
  // One of Tiled's programs, headless; its exit code, and its output on failure.
  int Qt(const std::string& command) const {
    const std::string cmd =
        "QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR='" + dir_.string() + "' " + command + " >'" + Path("qt") + "' 2>&1";
    const int code = ExitCodeOfCommand(cmd);
    if (code != 0) {
      const Bytes out = Read("qt");
      ADD_FAILURE() << command << ": " << std::string(out.begin(), out.end());
    }
    return code;
  }
  static std::string Demo(int n, const char* ext) { return std::string(TARN_GAME_DIR) + "/" + std::to_string(n) + ext; }
};

TEST_F(RealTiled, ItsJsonOfOurMapsImportsToTheSameLevel) {
  for (int n = 1; n <= 5; ++n) {
    SCOPED_TRACE("level " + std::to_string(n));
    LoadLevel(Demo(n, ".lev"));
    ASSERT_TRUE(SaveLevel(Path("saved.lev")));
    ASSERT_EQ(
        Tiled("export " + Quote(Demo(n, ".lev")) + " " + Quote(Demo(n, ".til")) + " " + Quote(Path("m.tmx"))).code, 0);
    ASSERT_EQ(Qt("tiled --export-map json " + Quote(Path("m.tmx")) + " " + Quote(Path("theirs.tmj"))), 0);
    RunResult r =
        Tiled("import " + Quote(Path("theirs.tmj")) + " " + Quote(Path("t.lev")) + " " + Quote(Path("t.til")));
    ASSERT_EQ(r.code, 0) << r.err;
    r = Tiled("import " + Quote(Path("m.tmx")) + " " + Quote(Path("o.lev")) + " " + Quote(Path("o.til")));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Read("t.lev") == Read("saved.lev"));
    EXPECT_TRUE(Read("t.til") == Read("o.til"));
  }
}

TEST_F(RealTiled, TmxrasterizerDrawsEachLayerAsOurTilesDo) {
  tiled::StartEngine(TARN_GAME_DIR);
  for (int n = 1; n <= 5; ++n) {
    ASSERT_EQ(
        Tiled("export " + Quote(Demo(n, ".lev")) + " " + Quote(Demo(n, ".til")) + " " + Quote(Path("m.tmx"))).code, 0);
    ASSERT_TRUE(tiled::LoadAsShown(Demo(n, ".lev"), Demo(n, ".til")));
    const std::array<uint8_t, 768> palette = tiled::ShownPalette();
    uint32_t width = 1, height = 1;
    for (const Plane& p : Level.planes) {
      width = std::max(width, uint32_t(p.width) * 8);
      height = std::max(height, uint32_t(p.height) * 8);
    }
    for (size_t i = 0; i < Level.planeCount; ++i) {
      const Plane& p = Level.planes[i];
      const std::string layer =
          (std::ostringstream() << "plane " << i << " (" << tiled::PlaneTypeName(p.type) << ")").str();
      SCOPED_TRACE("level " + std::to_string(n) + ", " + layer);
      ASSERT_EQ(Qt("tmxrasterizer --show-layer " + Quote(layer) + " " + Quote(Path("m.tmx")) + " " +
                   Quote(Path("layer.png"))),
                0);
      const tiled::Sheet got = tiled::ReadSheet(Path("layer.png"));
      ASSERT_EQ(got.width, width);
      ASSERT_EQ(got.height, height);
      size_t wrong = 0;
      std::string first;
      for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
          // Our pixel: the tile's first frame through the shown colours, index 0 clear.
          const uint32_t cx = x / 8, cy = y / 8;
          uint16_t t = 0;
          if (cx < uint32_t(p.width) && cy < uint32_t(p.height)) t = p.tiles[size_t(cy) * size_t(p.width) + cx];
          const uint8_t index = t == 0 || t >= Tiles.tileTable.size()
                                    ? 0
                                    : tiled::FramePixel(Tiles.tileTable[t].frames[0], (y % 8) * 8 + x % 8);
          const uint8_t* px = &got.rgba[(size_t(y) * width + x) * 4];
          const bool same = index == 0 ? px[3] == 0
                                       : px[3] == 255 && px[0] == palette[index * 3] &&
                                             px[1] == palette[index * 3 + 1] && px[2] == palette[index * 3 + 2];
          if (!same && wrong++ == 0)
            first = (std::ostringstream() << "(" << x << ", " << y << ") tile " << t << " index " << int(index)).str();
        }
      EXPECT_EQ(wrong, 0u) << "first at " << first;
    }
  }
}

}  // namespace
