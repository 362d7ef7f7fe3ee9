// font_test.cpp: character maps of the seven font types, the font list and
// description files, and text drawn glyph after glyph.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/frame_buffer.h"
#include "gfx/pcx.h"
#include "level/file_fixture.h"
#include "shell/startup.h"

namespace {

// "label: value\r\n" for each value.
Bytes Entries(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& v : values) text += "v: " + v + "\r\n";
  return {text.begin(), text.end()};
}

class FontTest : public FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    AllocateScratchPixels();
    Startup.DataDir = Startup.DefaultDataDir = Path("default");
  }
  // A sheet whose pixel (x, y) is colour (x / 10 + 1) in rows 0..19: glyph
  // rectangles cut from it tell by colour which column they came from.
  void WriteSheet(const std::string& name) {
    std::vector<uint8_t> px(64000, 0), pal(768, 0);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 320; ++x) px[y * 320 + x] = uint8_t(x / 10 + 1);
    Write(name, EncodePcx(px.data(), pal.data()));
  }
  // A description of a type whose glyph g is the 10x(2 + g % 3) cell at x = 10g, y offset g % 2.
  Bytes Description(const std::string& sheet, int type, int glyphs) {
    std::vector<std::string> v = {"heading", sheet, std::to_string(type)};
    for (int g = 0; g < glyphs; ++g)
      for (int n : {10 * (g % 32), 0, 10, 2 + g % 3, g % 2}) v.push_back(std::to_string(n));
    return Entries(v);
  }
  // Two fonts from one sheet in default/<folder>: a of type 3 with 37 glyphs, b of type 4 with 11.
  void LoadTwoFonts(const std::string& folder) {
    WriteSheet("default/" + folder + "sheet.pcx");
    Write("default/" + folder + "a.fdf", Description("sheet.pcx", 3, 37));
    Write("default/" + folder + "b.fdf", Description("sheet.pcx", 4, 11));
    Write("default/fonts.def", Entries({"2", folder + "a.fdf", folder + "b.fdf"}));
    LoadFonts(Startup.DataDir, Startup.DefaultDataDir);
  }
  // The frame of text drawn a glyph at a time through the clipped sprite routine.
  static std::vector<uint8_t> ByGlyphs(const Font& font, const char* text, int x, int y, int left, int right, int top,
                                       int bottom) {
    ClearFrameBuffer(0);
    for (const char* p = text; *p; ++p) {
      const Sprite& g = font.glyphs[size_t(GlyphFor(font.type, uint8_t(*p)))];
      Video.DrawTable.DrawSpriteClip(g, 0, 0, x, y, left, right, top, bottom);
      x += int(g.width);
    }
    return std::vector<uint8_t>(Screen.FrameBuffer, Screen.FrameBuffer + 64000);
  }
  // Columns of every non-zero pixel, in frame order.
  static std::vector<int> Drawn() {
    std::vector<int> out;
    for (int i = 0; i < 64000; ++i)
      if (Screen.FrameBuffer[i]) out.push_back(i % 320);
    return out;
  }
};

TEST(FontMapTest, EachTypeMapsItsCharactersAndSendsTheRestToGlyphZero) {
  struct {
    uint8_t type;
    const char* text;
    std::vector<int> glyphs;
  } cases[] = {
      {3, "Ab9", {11, 12, 10}},
      {4, "A1", {0, 2}},
      {6, "{ ~a`", {65, 0, 0, 33, 64}},
      {2, "0Zaf g", {1, 36, 37, 42, 0, 0}},  // 'g'..'z' map past 43 glyphs
      {5, "0~ /", {1, 79, 0, 0}},
      {7, "9Ffg", {10, 16, 16, 0}},
      {1, "A\x7f", {65, 127}},
      {0, "A", {0}},
      {9, "A", {0}},
  };
  for (const auto& c : cases) {
    std::vector<int> got;
    for (const char* p = c.text; *p; ++p) got.push_back(GlyphFor(c.type, uint8_t(*p)));
    EXPECT_EQ(got, c.glyphs) << "type " << int(c.type) << " " << c.text;
  }
  EXPECT_EQ(GlyphFor(1, 255), 0) << "type 1 has 255 glyphs, 0..254";
  EXPECT_EQ(GlyphCount(6), 68);
}

TEST(FontMapTest, ReplaceFileNameKeepsTheFolder) {
  EXPECT_EQ(ReplaceFileName("/g/default/fonts/small.fdf", "sheet.pcx"), "/g/default/fonts/sheet.pcx");
  EXPECT_EQ(ReplaceFileName("small.fdf", "sheet.pcx"), "sheet.pcx");
#ifdef _WIN32
  // A game folder named the Windows way, and a file on a drive's own folder.
  EXPECT_EQ(ReplaceFileName("C:\\g\\default/fonts\\small.fdf", "sheet.pcx"), "C:\\g\\default/fonts\\sheet.pcx");
  EXPECT_EQ(ReplaceFileName("D:small.fdf", "sheet.pcx"), "D:sheet.pcx");
#endif
}

TEST_F(FontTest, TheListLoadsFontsInOrderWithSheetsBesideTheirDescriptions) {
  LoadTwoFonts("fonts/");
  ASSERT_EQ(Fonts.fonts.size(), 2u);
  EXPECT_EQ(Fonts.fonts[0].type, 3);
  EXPECT_EQ(Fonts.fonts[0].glyphs.size(), 37u);
  EXPECT_EQ(Fonts.fonts[1].type, 4);
  const Sprite& g5 = Fonts.fonts[0].glyphs[5];
  EXPECT_EQ(std::vector<uint32_t>({g5.width, g5.height, uint32_t(g5.originY)}), (std::vector<uint32_t>{10, 4, 1}));
  EXPECT_EQ(g5.frames[0][0], 6) << "cut from column 50";
}

TEST_F(FontTest, TextAdvancesByGlyphWidthsWithEachGlyphsOffset) {
  WriteSheet("default/sheet.pcx");
  Write("default/t.fdf", Description("sheet.pcx", 3, 37));
  Write("default/fonts.def", Entries({"1", "t.fdf"}));
  LoadFonts(Startup.DataDir, Startup.DefaultDataDir);
  ClearFrameBuffer(0);
  DrawText("1A#", 100, 50, 0);  // glyphs 2, 11 and 0
  const auto drawn = Drawn();
  // Glyph 2 (colour 3, 10x4, offset 0) at x 100; glyph 11 (colour 12, 10x4, offset 1) at x 110;
  // glyph 0 (colour 1, 10x2) at x 120.
  auto px = [](int x, int y) { return Screen.FrameBuffer[y * 320 + x]; };
  EXPECT_EQ(
      std::vector<int>({px(100, 50), px(109, 53), px(110, 50), px(110, 51), px(119, 54), px(129, 51), px(120, 52)}),
      (std::vector<int>{3, 3, 0, 12, 12, 1, 0}));
  EXPECT_EQ(drawn.size(), size_t(40 + 40 + 20));

  ClearFrameBuffer(0);
  DrawText("1A", 0, 0, 1);  // no font 1
  DrawTextClip("1A", 100, 50, 0, 105, 115, 0, 200);
  const auto clipped = Drawn();
  ASSERT_FALSE(clipped.empty());
  for (int x : clipped) EXPECT_TRUE(x >= 105 && x < 115) << x;

  // Glyphs wholly outside the window are passed over, yet still advance the
  // text: begun at x -15, the second glyph shows its last five columns and
  // the third lands whole at x 5, in the window's rows 52 and 53.
  ClearFrameBuffer(0);
  DrawTextClip("111", -15, 50, 0, 0, 320, 52, 200);
  std::vector<int> rows;
  for (int r = 0; r < 2; ++r)
    for (int x = 0; x < 15; ++x) rows.push_back(x);
  EXPECT_EQ(Drawn(), rows);
  ClearFrameBuffer(0);
  DrawTextClip("1A1A", 320, 50, 0, 0, 400, 0, 200);  // past the screen, however wide the window
  DrawText("1A1A", INT32_MAX - 15, 50, 0);           // positions wrap past INT32_MAX, far off screen
  DrawText("1A1A", 0, 199 + 4, 0);                   // below the screen
  EXPECT_TRUE(Drawn().empty());
}

TEST_F(FontTest, WithoutTheListTheDefaultFoldersFallbackListLoads) {
  Startup.DataDir = Path("other");
  WriteSheet("default/sheet.pcx");
  Write("default/t.fdf", Description("sheet.pcx", 7, 17));
  Write("default/fonts.def", Entries({"1", "t.fdf", "t.fdf"}));  // only the .fdf name counts here
  Write("default/fonts.fdf", Entries({"1", "t.fdf"}));
  LoadFonts(Startup.DataDir, Startup.DefaultDataDir);
  ASSERT_EQ(Fonts.fonts.size(), 1u);
  EXPECT_EQ(Fonts.fonts[0].type, 7);

  Startup.DefaultDataDir = Path("nowhere");
  LoadFonts(Startup.DataDir, Startup.DefaultDataDir);  // neither list: the fonts stay as they were
  EXPECT_EQ(Fonts.fonts.size(), 1u);
}

TEST_F(FontTest, BrokenFontFilesLoadWhatTheyHoldAndDrawSafely) {
  WriteSheet("default/sheet.pcx");
  // A type outside 1..7, glyphs off the sheet, a description cut off, a missing one.
  Write("default/bad-type.fdf", Entries({"h", "sheet.pcx", "12"}));
  Write("default/off-sheet.fdf", Entries({"h", "sheet.pcx", "4", "315", "0", "10", "5", "0", "-1", "0", "4", "4", "0",
                                          "0", "0", "99999", "99999", "0"}));
  Write("default/short.fdf", Entries({"h", "sheet.pcx", "2", "0", "0"}));
  Write("default/fonts.def", Entries({"99999", "bad-type.fdf", "off-sheet.fdf", "short.fdf", "missing.fdf"}));
  ::testing::internal::CaptureStderr();
  LoadFonts(Startup.DataDir, Startup.DefaultDataDir);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(Fonts.fonts.size(), kMaxFonts) << "a list names at most 255 fonts";
  EXPECT_TRUE(Fonts.fonts[0].glyphs.empty());
  EXPECT_EQ(Fonts.fonts[1].glyphs.size(), 11u);
  EXPECT_TRUE(Fonts.fonts[1].glyphs[0].frames[0].empty()) << "off the sheet: left empty";
  EXPECT_EQ(Fonts.fonts[2].glyphs.size(), 43u);
  EXPECT_NE(err.find("missing.fdf"), std::string::npos) << err;
  for (unsigned f = 0; f < 6; ++f) DrawText("Zz09 \xff", 310, 195, f);  // every font, at the corner
}

// A text is put together once and drawn as one sprite: the picture must be
// the one its glyphs give, wherever it stands and however it is cut, and a
// new text at the same address, or new fonts, must not show the old one.
TEST_F(FontTest, TextImagesDrawWhatTheirGlyphsDraw) {
  WriteSheet("default/sheet.pcx");
  Write("default/t.fdf", Description("sheet.pcx", 3, 37));
  Write("default/fonts.def", Entries({"1", "t.fdf"}));
  LoadFonts(Startup.DataDir, Startup.DefaultDataDir);
  Fonts.fonts[0].glyphs[12].frames[0].clear();  // 'B' has lost its pixels: it draws nothing, yet advances
  const Font& font = Fonts.fonts[0];
  auto byGlyphs = [&](const char* text, int x, int y, int left, int right, int top, int bottom) {
    return ByGlyphs(font, text, x, y, left, right, top, bottom);
  };
  char text[] = "A1B#z9";
  for (auto [x, y] : {std::pair{100, 50}, {-25, 0}, {300, 197}, {-500, 80}}) {
    // Whole, cut, and windows whose edges meet the text's first and last rows and first column.
    for (auto [left, right, top, bottom] :
         {std::array{0, 320, 0, 200}, {105, 130, 51, 53}, {-9, 400, -9, 400}, {0, 320, 0, y}, {0, 320, 0, y + 1},
          {0, 320, y + 4, 200}, {0, 320, y + 5, 200}, {0, x, 0, 200}, {0, x + 1, 0, 200}, {x + 59, 320, 0, 200}}) {
      const auto want = byGlyphs(text, x, y, left, right, top, bottom);
      ClearFrameBuffer(0);
      DrawTextClip(text, x, y, 0, left, right, top, bottom);
      EXPECT_TRUE(std::equal(want.begin(), want.end(), Screen.FrameBuffer)) << x << "," << y << " in " << left;
    }
    const auto whole = byGlyphs(text, x, y, 0, 320, 0, 200);
    ClearFrameBuffer(0);
    DrawText(text, x, y, 0);
    EXPECT_TRUE(std::equal(whole.begin(), whole.end(), Screen.FrameBuffer)) << x << "," << y;
  }
  // Drawn twice, since a text gets its image the second time.
  auto drawnTwice = [&](const std::vector<uint8_t>& want) {
    for (int round = 0; round < 2; ++round) {
      ClearFrameBuffer(0);
      DrawText(text, 10, 10, 0);
      EXPECT_TRUE(std::equal(want.begin(), want.end(), Screen.FrameBuffer)) << "round " << round;
    }
  };
  text[0] = '7';  // the same characters' address, another text
  const auto changed = byGlyphs(text, 10, 10, 0, 320, 0, 200);
  drawnTwice(changed);
  // New fonts: the text is drawn from the new glyphs (type 4 maps letters to glyph 0).
  Write("default/t.fdf", Description("sheet.pcx", 4, 11));
  LoadFonts(Startup.DataDir, Startup.DefaultDataDir);
  const auto reloaded = byGlyphs(text, 10, 10, 0, 320, 0, 200);
  drawnTwice(reloaded);
  EXPECT_FALSE(std::equal(reloaded.begin(), reloaded.end(), changed.begin()));
}

// Clipped texts are left out early when their picture misses the window:
// one-row windows over and around every glyph of the font, each row as the
// glyphs draw it, for the text's first sight (glyph by glyph) and its picture.
TEST_F(FontTest, ClippedTextsShowEveryRowTheirGlyphsReach) {
  LoadTwoFonts("");
  const Font& font = Fonts.fonts[0];
  std::string all;
  for (int c = 32; c < 127; ++c) all += char(c);
  for (int y : {0, 60, 196}) {
    for (int top = y - 3; top < y + 8; ++top)
      for (int round = 0; round < 2; ++round) {
        const auto want = ByGlyphs(font, all.c_str(), -10, y, 0, 320, top, top + 1);
        ClearFrameBuffer(0);
        DrawTextClip(all.c_str(), -10, y, 0, 0, 320, top, top + 1);
        EXPECT_TRUE(std::equal(want.begin(), want.end(), Screen.FrameBuffer)) << y << " row " << top << " " << round;
      }
  }
}

// A card may draw one text in two fonts each frame (a heading in its own
// panel and in a highlighted one): each keeps its picture, and each shows
// its own font's glyphs.
TEST_F(FontTest, ATextInTwoFontsKeepsAPictureForEach) {
  LoadTwoFonts("");
  const char* text = "AB12";
  std::vector<uint8_t> shown[2];
  for (int frame = 0; frame < 3; ++frame)
    for (unsigned font : {0u, 1u}) {
      ClearFrameBuffer(0);
      DrawTextClip(text, 20, 30, font, 0, 320, 0, 200);
      const std::vector<uint8_t> now(Screen.FrameBuffer, Screen.FrameBuffer + 64000);
      if (frame == 0) shown[font] = now;
      EXPECT_TRUE(now == shown[font]) << "frame " << frame << " font " << font;
    }
  EXPECT_FALSE(shown[0] == shown[1]);
  EXPECT_EQ(Fonts.textImages.size(), 2u);
  for (const auto& [key, image] : Fonts.textImages) EXPECT_EQ(image.image.frameCount, 1);
}

// More texts than are kept, drawn in turns from many addresses of one
// buffer: each turn empties the kept pictures, and whichever entries a
// look-up remembered, every draw shows its own text's glyphs.
TEST_F(FontTest, TextsPastTheKeptNumberDrawTheirOwnGlyphs) {
  LoadTwoFonts("");
  const Font& font = Fonts.fonts[0];
  std::string buffer(700, 'A');
  for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = char('A' + i % 26);
  for (int turn = 0; turn < 3; ++turn)
    for (size_t at = 0; at < 300; at += turn == 2 ? 37 : 1) {
      char* text = buffer.data() + at * 2;
      const char kept = text[3];
      text[3] = 0;  // a three-letter text; its neighbours' letters stay
      if (turn == 1 && at % 50 == 0) text[1] = '9';  // a changed text where a picture was kept
      const auto want = ByGlyphs(font, text, 40, 60, 0, 320, 0, 200);
      ClearFrameBuffer(0);
      DrawText(text, 40, 60, 0);
      EXPECT_TRUE(std::equal(want.begin(), want.end(), Screen.FrameBuffer)) << "turn " << turn << " at " << at;
      text[3] = kept;
    }
  EXPECT_LE(Fonts.textImages.size(), 256u);
}

}  // namespace
