// The demo's editor art as the editor cuts it: each sprite inside its own
// rectangle of the sheet, drawn in the colours the editor sets for it, and
// the icons inside their grid cells in the colours the icon banks shift.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "editor_art.h"
#include "gfx/pcx.h"
#include "level/file_fixture.h"

namespace {

struct Rect {
  int x, y, w, h;
  bool Holds(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

class DemoEditorArt : public FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    AllocateScratchPixels();
    for (const DemoFile& f : BuildEditorArt()) Write(f.path, f.bytes);
  }
  void Load(const char* name) { ASSERT_EQ(LoadPcx(Path(name), ScratchImage, 0), 1); }
  uint8_t At(int x, int y) const { return ScratchImage.pixels[size_t(y) * 320 + x]; }
};

TEST_F(DemoEditorArt, CursorSpritesSitInTheirRectanglesInMarkerColoursOverADarkRim) {
  Load("editor/cursor.pcx");
  const Rect pointer{1, 1, 8, 8}, box{12, 1, 10, 10}, hGuide{20, 22, 21, 1}, vGuide{29, 12, 1, 21},
      target{1, 12, 18, 18};
  std::set<int> colours;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 320; ++x) {
      const uint8_t v = At(x, y);
      if (!v) continue;
      bool inside = false;
      for (const Rect& r : {pointer, box, hGuide, vGuide, target}) inside |= r.Holds(x, y);
      EXPECT_TRUE(inside) << "stray pixel at " << x << "," << y;
      EXPECT_TRUE((v >= 64 && v <= 69) || (v >= 80 && v <= 95)) << int(v) << " at " << x << "," << y;
      colours.insert(v);
    }
  // Light and dark both present: one of them shows over any level.
  EXPECT_TRUE(colours.count(64) && colours.count(80));
  // The pointer's hot spot is its top-left pixel.
  EXPECT_NE(At(1, 1), 0);
  // The box rings the cell and leaves the cell itself clear for the tile preview.
  for (int k = 0; k < 10; ++k) {
    EXPECT_NE(At(12 + k, 1), 0);
    EXPECT_NE(At(12 + k, 10), 0);
    EXPECT_NE(At(12, 1 + k), 0);
    EXPECT_NE(At(21, 1 + k), 0);
  }
  for (int y = 2; y < 10; ++y)
    for (int x = 13; x < 21; ++x) EXPECT_EQ(At(x, y), 0) << x << "," << y;
  // Guides are unbroken lines, light and dark in turn.
  std::set<uint8_t> h, v;
  for (int k = 0; k < 21; ++k) {
    EXPECT_NE(At(20 + k, 22), 0);
    EXPECT_NE(At(29, 12 + k), 0);
    h.insert(At(20 + k, 22)), v.insert(At(29, 12 + k));
  }
  EXPECT_EQ(h.size(), 2u);
  EXPECT_EQ(h, v);
}

TEST_F(DemoEditorArt, IconsFillTheirGridCellsAndNothingBetween) {
  Load("editor/tedit.pcx");
  std::vector<Rect> cells;
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 16; ++i) cells.push_back({174 + 9 * i, 1 + 9 * j, 8, 8});
  cells.push_back({166, 37, 8, 8});
  for (int k = 0; k < 4; ++k) cells.push_back({174 + 9 * k, 37, 8, 8});
  std::set<std::vector<uint8_t>> distinct;
  for (const Rect& r : cells) {
    std::vector<uint8_t> icon;
    for (int y = r.y; y < r.y + 8; ++y)
      for (int x = r.x; x < r.x + 8; ++x) {
        const uint8_t v = At(x, y);
        // 64..127, so the banks that add 64 or 128 or take 64 stay inside the palette.
        EXPECT_TRUE(v == 0 || (v >= 64 && v < 128)) << int(v) << " at " << x << "," << y;
        icon.push_back(v);
      }
    EXPECT_TRUE(std::any_of(icon.begin(), icon.end(), [](uint8_t v) { return v; })) << r.x << "," << r.y;
    distinct.insert(icon);
  }
  EXPECT_EQ(distinct.size(), cells.size());
  // The strip the icons occupy holds nothing outside the cells.
  for (int y = 0; y < 46; ++y)
    for (int x = 165; x < 320; ++x) {
      bool inside = false;
      for (const Rect& r : cells) inside |= r.Holds(x, y);
      EXPECT_TRUE(inside || At(x, y) == 0) << x << "," << y;
    }
}

}  // namespace
