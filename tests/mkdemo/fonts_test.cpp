// The demo fonts as the engine loads them: the list and description files
// parse to the right types and glyph boxes, the sheet holds nothing outside
// those boxes, and text drawn with them lands on the 8-pixel grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>

#include "common/value_reader.h"
#include "demo_sheet.h"
#include "fonts.h"
#include "gfx/font.h"
#include "gfx/frame_buffer.h"

namespace {

class DemoFonts : public DemoFolderTest {
 protected:
  void SetUp() override {
    DemoFolderTest::SetUp();
    WriteDemo(BuildFonts());
    LoadFonts(Startup.DataDir, Startup.DefaultDataDir);
  }
  uint8_t Pixel(int x, int y) const { return Screen.FrameBuffer[y * 320 + x]; }
};

TEST_F(DemoFonts, LoadWithTheirTypesAndGlyphSizes) {
  ASSERT_EQ(Fonts.fonts.size(), 3u);
  for (unsigned f : {kFontNormal, kFontHighlight}) {
    EXPECT_EQ(Fonts.fonts[f].type, 1);
    ASSERT_EQ(Fonts.fonts[f].glyphs.size(), 255u);
    for (const Sprite& g : Fonts.fonts[f].glyphs) {
      EXPECT_EQ(g.width, 8u);  // the editor's bars count on a monospace grid
      EXPECT_LE(g.height, 9u);
      EXPECT_FALSE(g.frames[0].empty());
    }
  }
  const Font& title = Fonts.fonts[kFontTitle];
  EXPECT_EQ(title.type, 3);
  ASSERT_EQ(title.glyphs.size(), 37u);
  for (const Sprite& g : title.glyphs) EXPECT_EQ(g.height, 16u);
  // 'I' is narrower than 'M': the title font is proportional; glyph 0 is a space.
  EXPECT_LT(title.glyphs[11 + 'I' - 'A'].width, title.glyphs[11 + 'M' - 'A'].width);
  EXPECT_EQ(std::count_if(title.glyphs[0].frames[0].begin(), title.glyphs[0].frames[0].end(),
                          [](uint8_t v) { return v != 0; }),
            0);
}

TEST_F(DemoFonts, EveryPrintableCharacterHasItsOwnDesign) {
  std::set<std::vector<bool>> seen;
  for (char c = '!'; c <= '~'; ++c) {
    std::vector<bool> bits;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 6; ++x) bits.push_back(GlyphInk(c, x, y));
    EXPECT_TRUE(std::count(bits.begin(), bits.end(), true) > 0) << c;
    EXPECT_TRUE(seen.insert(bits).second) << c << " looks like another character";
  }
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_FALSE(GlyphInk(' ', x, y));
}

TEST_F(DemoFonts, SheetHoldsInkOnlyInsideGlyphBoxesAndOutsideTheCardColours) {
  LoadSheet("fonts/fonts.pcx");
  // Each font's glyph boxes; unused codes share the space's box.
  std::vector<SheetRect> boxes;
  for (const char* name : {"normal", "highlight", "title"}) {
    auto in = ValueReader::Open(Path(std::string("default/fonts/") + name + ".fnt"), kMaxFontFileBytes);
    ASSERT_TRUE(in);
    in->ReadValue(), in->ReadValue();
    const int count = GlyphCount(uint8_t(in->ReadNumber()));
    std::set<std::array<int, 4>> fontBoxes;
    for (int g = 0; g < count; ++g) {
      std::array<int, 4> b{};
      for (int& v : b) v = in->ReadNumber();
      // Text stands on its y: every glyph is raised by the font's height.
      EXPECT_EQ(in->ReadNumber(), std::string(name) == "title" ? -kTitleRise : -kSmallRise);
      fontBoxes.insert(b);
    }
    for (const auto& [x, y, w, h] : fontBoxes) boxes.push_back({x, y, w, h});
  }
  ExpectInkOnlyInRects(boxes, true, [](uint8_t v) { return v >= 80 && v < 128; });
}

TEST_F(DemoFonts, TextAdvancesEightPixelsAGlyphWithAnOutline) {
  ClearFrameBuffer(0);
  DrawText("|l", 10, 20 + kSmallRise, kFontNormal);  // glyphs stand on the text's y
  // '|' inks design column 2 on every row, at cell (1, 1): screen column 13.
  EXPECT_EQ(Pixel(13, 21), 95);
  EXPECT_EQ(Pixel(13, 28), 90);
  EXPECT_EQ(Pixel(12, 24), glob::kGrey);
  EXPECT_EQ(Pixel(14, 24), glob::kGrey);
  EXPECT_EQ(Pixel(13, 20), glob::kGrey);
  // 'l' starts at x 18: its stem in design column 2 too, its foot from column 1.
  EXPECT_EQ(Pixel(21, 23), 94);
  EXPECT_EQ(Pixel(20, 27), 91);
  EXPECT_EQ(Pixel(18, 24), 0);  // the cell's first column stays clear beside a stem
  DrawText("|", 10, 40 + kSmallRise, kFontHighlight);
  EXPECT_GE(Pixel(13, 41), glob::kWarm);
}

}  // namespace
