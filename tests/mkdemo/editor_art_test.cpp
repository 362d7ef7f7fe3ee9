// The demo's editor art as the editor cuts it: each sprite inside its own
// rectangle of the sheet, drawn in the colours the editor sets for it, and
// the icons inside their grid cells in the colours the icon banks shift.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "demo_sheet.h"
#include "editor_art.h"

namespace {

class DemoEditorArt : public DemoFolderTest {
 protected:
  void SetUp() override {
    DemoFolderTest::SetUp();
    WriteDemo(BuildEditorArt());
  }
};

TEST_F(DemoEditorArt, CursorSpritesSitInTheirRectanglesInMarkerColoursOverADarkRim) {
  LoadSheet("editor/cursor.pcx");
  const SheetRect pointer{1, 1, 8, 8}, box{12, 1, 10, 10}, hGuide{20, 22, 21, 1}, vGuide{29, 12, 1, 21},
      target{1, 12, 18, 18};
  // The guides cross, so a pixel may lie in two of them.
  ExpectInkOnlyInRects({pointer, box, hGuide, vGuide, target}, false,
                       [](uint8_t v) { return (v >= 64 && v <= 69) || (v >= 80 && v <= 95); });
  // Light and dark both present: one of them shows over any level.
  const uint8_t* px = ScratchImage.pixels.data();
  EXPECT_TRUE(std::count(px, px + 64000, 64) && std::count(px, px + 64000, 80));
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
  LoadSheet("editor/tedit.pcx");
  std::vector<SheetRect> cells;
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 16; ++i) cells.push_back({174 + 9 * i, 1 + 9 * j, 8, 8});
  cells.push_back({166, 37, 8, 8});
  for (int k = 0; k < 4; ++k) cells.push_back({174 + 9 * k, 37, 8, 8});
  // The strip the icons occupy holds ink only in the cells, in 64..127, so
  // the banks that add 64 or 128 or take 64 stay inside the palette.
  ExpectInkOnlyInRects(cells, true, [](uint8_t v) { return v >= 64 && v < 128; }, {165, 0, 155, 46});
  std::set<std::vector<uint8_t>> distinct;
  for (const SheetRect& r : cells) {
    std::vector<uint8_t> icon;
    for (int y = r.y; y < r.y + 8; ++y)
      for (int x = r.x; x < r.x + 8; ++x) icon.push_back(At(x, y));
    EXPECT_TRUE(std::any_of(icon.begin(), icon.end(), [](uint8_t v) { return v; })) << r.x << "," << r.y;
    distinct.insert(icon);
  }
  EXPECT_EQ(distinct.size(), cells.size());
}

}  // namespace
