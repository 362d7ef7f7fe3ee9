// card_def_test.cpp: reading card.tdf and zlabel.pcx: the fixed entry order,
// panel references, the entries that depend on a part's kind or an
// instruction's mode, measuring parts, and broken files.
#include <filesystem>
#include <string>
#include <vector>

#include "gfx/font.h"
#include "gfx/pcx.h"
#include "level/file_fixture.h"
#include "objects/card_def.h"
#include "shell/startup.h"

namespace {

class CardDefTest : public FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    AllocateScratchPixels();
    Startup.DataDir = Path("data");
    Startup.DefaultDataDir = Path("default");
  }
  // zlabel.pcx: colour (x / 20 + 1) everywhere; palette entry i = (i, 2i, 3i) x 4.
  void WriteImage(const std::string& dir) {
    std::vector<uint8_t> px(64000), pal(768);
    for (int i = 0; i < 64000; ++i) px[i] = uint8_t(i % 320 / 20 + 1);
    for (int i = 0; i < 256; ++i)
      for (int k = 0; k < 3; ++k) pal[i * 3 + k] = uint8_t(i * (k + 1) * 4);
    Write(dir + "/stats/zlabel.pcx", EncodePcx(px.data(), pal.data()));
  }
  void WriteCard(const std::string& dir, const std::string& text) {
    Write(dir + "/stats/card.tdf", Bytes(text.begin(), text.end()));
  }
  // A font whose glyph g is 8 wide, except glyph 2 (6 wide).
  void MakeFont() {
    Font f;
    f.type = 3;
    f.glyphs.resize(37);
    for (Sprite& g : f.glyphs) g.width = 8;
    f.glyphs[2].width = 6;
    Fonts.fonts = {f};
  }
};

// Labels are free text; values follow the colon. Kinds decide which part
// entries exist, modes which operands an instruction has.
const char* kCard =
    "Title card: anything at all\r\n"
    "counters:3\r\nreserved:   1\r\nslots: 4\r\nstart panel: 254\r\n"
    "panels: 2\r\n"
    // panel 0: parent screen, x y left top right bottom visible selected r1 r2, one trigger of two combos
    "parent:255\r\nx:10\r\ny:20\r\nl:0\r\nt:0\r\nr:100\r\nb:50\r\nvis:1\r\nsel:1\r\nr1:0\r\nr2:0\r\n"
    "triggers:1\r\ncombos:2\r\nkeys:2\r\nk:29\r\nk:72\r\nkeys:1\r\nk:80\r\nscript:3\r\n"
    // panel 1: parent panel 0
    "parent:0\r\nx:1\r\ny:2\r\nl:3\r\nt:4\r\nr:5\r\nb:6\r\nvis:0\r\nsel:0\r\nr1:9\r\nr2:8\r\ntriggers:0\r\n"
    "texts: 2\r\nt: AB1\r\nt: two words: and a colon\r\n"
    "groups: 1\r\nsprites: 1\r\nx:40\r\ny:0\r\nw:30\r\nh:12\r\n"
    "items: 1\r\nselect:1\r\ndeselect:2\r\nowner:0\r\ntriggers:0\r\n"
    "parts: 3\r\n"
    "kind:0\r\ndef:255\r\nindex:0\r\nvis:1\r\npanel:0\r\nx:5\r\ny:6\r\n"
    "kind:3\r\ndef:0\r\nindex:0\r\nfont:0\r\nvis:1\r\npanel:255\r\nx:7\r\ny:8\r\n"
    "kind:4\r\ndef:0\r\nindex:0\r\nvis:2\r\npanel:254\r\nx:-1\r\ny:-2\r\nextra:99\r\n"
    "scripts: 2\r\nlength:3\r\n"
    "op:2\r\na:0\r\nb:6\r\nc:1\r\nd:2\r\ne:3\r\n"  // mode 6 takes c, d and e
    "op:5\r\na:1\r\nb:1\r\n"                       // count down takes no c
    "op:0\r\n"
    "length:1\r\nop:77\r\n";

TEST_F(CardDefTest, EntriesAreReadInTheirFixedOrder) {
  MakeFont();
  WriteImage("data");
  WriteCard("data", kCard);
  LoadCardDefs(Startup.DataDir, Startup.DefaultDataDir);
  ASSERT_EQ(CardDefs.CardDefTable.size(), 1u);
  const CardDef& d = CardDefs.CardDefTable[0];
  EXPECT_EQ(std::vector<int>({d.counterCount, d.reservedCount, d.slotCount, d.startPanel}),
            (std::vector<int>{3, 1, 4, 0}));
  ASSERT_EQ(d.panels.size(), 2u);
  EXPECT_EQ(std::vector<int>({d.panels[0].parent, d.panels[0].x, d.panels[0].bottom, d.panels[0].selectedItem}),
            (std::vector<int>{255, 10, 50, 1}));
  ASSERT_EQ(d.panels[0].triggers.size(), 1u);
  EXPECT_EQ(d.panels[0].triggers[0].combos[0].keys, (std::vector<uint16_t>{29, 72}));
  EXPECT_EQ(d.panels[0].triggers[0].combos[1].keys, (std::vector<uint16_t>{80}));
  EXPECT_EQ(d.panels[0].triggers[0].script, 3);
  EXPECT_EQ(std::vector<int>({d.panels[1].parent, d.panels[1].reserved1, d.panels[1].reserved2}),
            (std::vector<int>{0, 9, 8}));
  EXPECT_EQ(d.texts, (std::vector<std::string>{"AB1", "two words: and a colon"}));
  EXPECT_EQ(d.items[0].ownerPanel, 2) << "panel references convert: 0 is the first defined panel";

  ASSERT_EQ(d.parts.size(), 3u);
  EXPECT_EQ(std::vector<int>({d.parts[0].defIndex, d.parts[0].width, d.parts[0].halfWidth, d.parts[0].height}),
            (std::vector<int>{0, 30, 15, 12}));
  EXPECT_EQ(std::vector<int>({d.parts[1].width, d.parts[1].height, d.parts[1].halfWidth, d.parts[1].halfHeight}),
            (std::vector<int>{22, 16, 11, 8}))
      << "A and B 8 wide, 1 6 wide";
  EXPECT_EQ(std::vector<int>({d.parts[2].visible, d.parts[2].panel, d.parts[2].x, int(d.parts[2].extra)}),
            (std::vector<int>{2, 254, -1, 99}));
  const Sprite& s = d.spriteGroups[0][0];
  EXPECT_EQ(s.frames[0][0], 3) << "cut at x 40";

  ASSERT_EQ(d.scripts.size(), 2u);
  EXPECT_EQ(d.scripts[0][0].operandCount, 5);
  EXPECT_EQ(d.scripts[0][0].operands[4], 3);
  EXPECT_EQ(d.scripts[0][1].operandCount, 2);
  EXPECT_EQ(d.scripts[0][2].opcode, 0);
  EXPECT_EQ(d.scripts[1][0].opcode, 77);
  EXPECT_EQ(CardDefs.CardColours[5], (std::array<uint8_t, 3>{5, 10, 15}));
}

TEST_F(CardDefTest, OperandFormsFollowTheOpcodeAndMode) {
  struct {
    int op, mode, count;
  } cases[] = {{0, 0, 0}, {1, 5, 0}, {2, 3, 4}, {3, 4, 5},  {7, 7, 5},  {6, 8, 2},  {6, -1, 2}, {4, 0, 4},  {5, 0, 3},
               {5, 2, 3}, {5, 1, 2}, {9, 0, 2}, {16, 0, 2}, {17, 0, 1}, {19, 0, 1}, {20, 0, 2}, {21, 0, 0}, {-3, 0, 0}};
  for (const auto& c : cases) EXPECT_EQ(OperandCount(c.op, c.mode), c.count) << c.op << "/" << c.mode;
}

TEST_F(CardDefTest, OneOperandInstructionsLeaveTheNextEntryToTheNextInstruction) {
  WriteImage("data");
  WriteCard("data",
            "h:x\r\nc:0\r\nr:0\r\ns:1\r\np:255\r\npanels:0\r\ntexts:0\r\ngroups:0\r\nitems:0\r\nparts:0\r\n"
            "scripts:2\r\nlength:3\r\nop:17\r\na:1\r\nop:18\r\na:0\r\nop:19\r\na:1\r\n"
            "length:1\r\nop:20\r\na:0\r\nb:7\r\n");
  LoadCardDefs(Startup.DataDir, Startup.DefaultDataDir);
  ASSERT_EQ(CardDefs.CardDefTable.size(), 1u);
  const CardDef& d = CardDefs.CardDefTable[0];
  ASSERT_EQ(d.scripts.size(), 2u);
  ASSERT_EQ(d.scripts[0].size(), 3u);
  EXPECT_EQ(std::vector<int>({d.scripts[0][0].opcode, d.scripts[0][1].opcode, d.scripts[0][2].opcode}),
            (std::vector<int>{17, 18, 19}));
  EXPECT_EQ(std::vector<int>({d.scripts[0][0].operands[0], d.scripts[0][1].operands[0], d.scripts[0][2].operandCount}),
            (std::vector<int>{1, 0, 1}));
  ASSERT_EQ(d.scripts[1].size(), 1u);
  EXPECT_EQ(d.scripts[1][0].operands[1], 7);
}

TEST_F(CardDefTest, TheDefaultFolderIsTriedAndWithoutAFileThereIsNoCard) {
  LoadCardDefs(Startup.DataDir, Startup.DefaultDataDir);
  EXPECT_TRUE(CardDefs.CardDefTable.empty());
  WriteImage("default");
  WriteCard("default", kCard);
  LoadCardDefs(Startup.DataDir, Startup.DefaultDataDir);
  EXPECT_EQ(CardDefs.CardDefTable.size(), 1u);
}

// The image the card was cut from last time, or any other, must not show
// through when the card's own image is gone.
TEST_F(CardDefTest, WithoutItsImageTheCardKeepsItsLayoutButNoPixels) {
  MakeFont();
  WriteImage("data");
  ASSERT_EQ(LoadPcx(Path("data/stats/zlabel.pcx"), ScratchImage, 0), 1);
  std::filesystem::remove(Path("data/stats/zlabel.pcx"));
  WriteCard("data", kCard);
  ::testing::internal::CaptureStderr();
  LoadCardDefs(Startup.DataDir, Startup.DefaultDataDir);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, Path("data/stats/zlabel.pcx") + ": cannot read the card image\n");
  ASSERT_EQ(CardDefs.CardDefTable.size(), 1u);
  const CardDef& d = CardDefs.CardDefTable[0];
  ASSERT_FALSE(d.spriteGroups.empty());
  for (const auto& group : d.spriteGroups)
    for (const Sprite& s : group) EXPECT_TRUE(s.frames[0].empty()) << "a sprite cut from another image";
  EXPECT_EQ(d.parts[0].width, 30) << "sizes still come from the file";
  EXPECT_EQ(CardDefs.CardColours[5], (std::array<uint8_t, 3>{0, 0, 0}));
}

TEST_F(CardDefTest, BrokenCardFilesLoadSafelyWithOneLine) {
  WriteImage("data");
  const std::string cuts[] = {
      std::string(kCard).substr(0, 300),
      "h:x\r\nc:255\r\nr:255\r\ns:255\r\np:7\r\npanels:255\r\n" + std::string(3000, 'x'),  // no colons after
      "h:x\r\nc:1\r\nr:1\r\ns:1\r\np:0\r\npanels:0\r\ntexts:0\r\ngroups:2\r\nsprites:255\r\nx:300\r\ny:190\r\n"
      "w:65535\r\nh:65535\r\n",  // a sprite off the image
      "h:x\r\nc:1\r\nr:1\r\ns:1\r\np:0\r\npanels:0\r\ntexts:0\r\ngroups:0\r\nitems:1\r\ns:0\r\nd:0\r\no:9\r\n"
      "t:1\r\nc:1\r\nk:1\r\nk:999\r\n",  // a key that is no key, a missing panel
      "no carriage returns: 1\n2: 3\n",
  };
  for (const std::string& text : cuts) {
    WriteCard("data", text);
    ::testing::internal::CaptureStderr();
    LoadCardDefs(Startup.DataDir, Startup.DefaultDataDir);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_LE(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("card.tdf"), std::string::npos) << text.substr(0, 40);
  }
}

TEST_F(CardDefTest, TextWidthUsesDigitAndLetterGlyphsOnly) {
  MakeFont();
  EXPECT_EQ(TextWidth("AB1", &Fonts.fonts[0]), 22u);
  EXPECT_EQ(TextWidth("ab ", &Fonts.fonts[0]), 24u) << "lower case measures as capitals, others as glyph 0";
  EXPECT_EQ(TextWidth("AB", nullptr), 0u);
  Fonts.fonts[0].glyphs.resize(5);  // letters past the glyphs measure as glyph 0
  EXPECT_EQ(TextWidth("Z1", &Fonts.fonts[0]), 14u);
}

}  // namespace
