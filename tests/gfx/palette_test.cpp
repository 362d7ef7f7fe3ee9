// palette_test.cpp: palette slots in every display format, tinting, restoring the global colours,
// clearing and converting the frame.
#include <algorithm>
#include <vector>

#include "gfx/frame_buffer.h"
#include "level/tile_set.h"
#include "test_support.h"

namespace {

class PaletteTest : public EngineTest {
 protected:
  // One palette set, selected, with the given cycle count and tint.
  PaletteSet& UseSet(uint8_t cycleCount, uint8_t tinted = 0, uint8_t r = 0, uint8_t g = 0, uint8_t b = 0) {
    Tiles.paletteSets.assign(1, PaletteSet{});
    Tiles.paletteSetCount = 1;
    Tiles.currentPaletteSet = 0;
    PaletteSet& set = Tiles.paletteSets[0];
    set.cycleCount = cycleCount;
    set.tintUpperHalf = tinted;
    set.tintRed = r;
    set.tintGreen = g;
    set.tintBlue = b;
    return set;
  }
  static std::array<uint8_t, 3> Slot(uint16_t slot) {
    std::array<uint8_t, 3> rgb;
    GetPaletteEntry(slot, rgb.data());
    return rgb;
  }
};

}  // namespace

TEST_F(PaletteTest, Slot5InEveryPixelFormat) {
  const uint8_t rgb[3] = {63, 0, 31};
  struct Case {
    uint8_t code;
    uint32_t lookup;
  } cases[] = {
      {16, 31u << 11 | 0u << 5 | 15u},  // 5-6-5
      {15, 31u << 10 | 0u << 5 | 15u},  // 5-5-5
      {32, 252u << 16 | 124u},
      {24, 252u << 16 | 124u},
      {33, 124u << 16 | 252u},
      {25, 124u << 16 | 252u},
  };
  for (const Case& c : cases) {
    ResetScreen();
    Screen.PixelFormatCode = c.code;
    SetPaletteEntry(5, rgb);
    EXPECT_EQ(Screen.PixelLookup[5], c.lookup) << "code " << int(c.code);
    EXPECT_EQ(Screen.PixelLookup[4], 0u);
  }

  ResetScreen();
  Screen.PixelLookup[5] = 0xDEADBEEF;
  SetPaletteEntry(5, rgb);
  EXPECT_EQ(Screen.PixelLookup[5], 0xDEADBEEFu) << "a palettised display has no pixel values";
  EXPECT_EQ(Screen.PaletteTable[20], 252);
  EXPECT_EQ(Screen.PaletteTable[21], 0);
  EXPECT_EQ(Screen.PaletteTable[22], 124);
  EXPECT_EQ(Screen.PaletteTable[23], 0);
  EXPECT_EQ(Slot(5), (std::array<uint8_t, 3>{63, 0, 31}));

  // Components above 63 keep the low byte of x4: 70 -> 280 -> 24 (read back as 6).
  const uint8_t big[3] = {70, 64, 1};
  SetPaletteEntry(300, big);  // slot numbers wrap to a byte: 300 is slot 44
  EXPECT_EQ(Screen.PaletteTable[44 * 4], 24);
  EXPECT_EQ(Screen.PaletteTable[44 * 4 + 1], 0);
  EXPECT_EQ(Slot(44), (std::array<uint8_t, 3>{6, 0, 1}));
}

TEST_F(PaletteTest, TintedEntriesWriteTheirTwin128SlotsUp) {
  Screen.PixelFormatCode = 32;
  UseSet(0, 1, 8, 8, 16);
  uint8_t rgb[3] = {40, 20, 10};
  SetPaletteEntryTinted(70, rgb);
  EXPECT_EQ(Slot(70), (std::array<uint8_t, 3>{40, 20, 10}));
  EXPECT_EQ(Slot(198), (std::array<uint8_t, 3>{28, 18, 21}));
  EXPECT_EQ(rgb[0], 28);
  EXPECT_EQ(rgb[1], 18);
  EXPECT_EQ(rgb[2], 21);
  EXPECT_EQ(Screen.PixelLookup[198], 112u << 16 | 72u << 8 | 84u);

  // Untinted: only the slot itself, and the caller's triple stays as it was.
  UseSet(0, 0, 8, 8, 16);
  uint8_t plain[3] = {1, 2, 3};
  SetPaletteEntryTinted(71, plain);
  EXPECT_EQ(Slot(71), (std::array<uint8_t, 3>{1, 2, 3}));
  EXPECT_EQ(Slot(199), (std::array<uint8_t, 3>{0, 0, 0}));
  EXPECT_EQ(plain[0], 1);
}

TEST_F(PaletteTest, RestoreGlobalColoursRangesFollowTheCycleCount) {
  // Global copy element i = (50, i / 4, 1); every slot starts as (7, 7, 7).
  for (int i = 0; i < 192; ++i) {
    Screen.GlobalRed[i] = 50;
    Screen.GlobalGreen[i] = uint8_t(i / 4);
    Screen.GlobalBlue[i] = 1;
  }
  auto restored = [](uint16_t slot) { return Slot(slot)[0] == 50; };
  struct Case {
    uint8_t cycles;
    bool low, mid, high;  // 64..127, 128..191, 192..255
  } cases[] = {{0, true, false, false}, {64, true, false, false}, {100, true, false, true}, {150, true, true, true}};
  for (const Case& c : cases) {
    const uint8_t grey[3] = {7, 7, 7};
    for (uint16_t slot = 0; slot < 256; ++slot) SetPaletteEntry(slot, grey);
    UseSet(c.cycles);
    RestoreGlobalColours();
    for (uint16_t slot = 0; slot < 256; ++slot) {
      bool want = slot >= 192 ? c.high : slot >= 128 ? c.mid : slot >= 64 ? c.low : false;
      ASSERT_EQ(restored(slot), want) << "cycles " << int(c.cycles) << " slot " << slot;
    }
  }
  EXPECT_EQ(Slot(64), (std::array<uint8_t, 3>{50, 0, 1}));
  EXPECT_EQ(Slot(200), (std::array<uint8_t, 3>{50, 34, 1}));
}

TEST_F(PaletteTest, ConvertPutsPixelIAtThreeBytesFromThreeI) {
  const uint8_t one[3] = {63, 0, 31}, two[3] = {1, 2, 3};
  std::vector<uint8_t> dest(64000 * 3 + 16, 0xAA);
  for (uint8_t code : {24, 25}) {
    ResetScreen();
    Screen.PixelFormatCode = code;
    SetPaletteEntry(1, one);
    SetPaletteEntry(2, two);
    std::vector<uint8_t> frame(64000, 0);
    frame[1000] = 1;
    frame[63999] = 2;
    Screen.FrameBuffer = frame.data();
    Screen.ConvertDest = dest.data();
    Screen.ConvertCount = 64000;
    ConvertFrameBuffer();
    bool redFirst = code == 24;
    EXPECT_EQ(dest[3000], redFirst ? 252 : 124);
    EXPECT_EQ(dest[3001], 0);
    EXPECT_EQ(dest[3002], redFirst ? 124 : 252);
    EXPECT_EQ(dest[2999], 0);
    EXPECT_EQ(dest[3003], 0);
    EXPECT_EQ(dest[191997], redFirst ? 4 : 12);
    EXPECT_EQ(dest[191999], redFirst ? 12 : 4);
    EXPECT_EQ(dest[192000], 0xAA) << "nothing past the last pixel";
  }
}

TEST_F(PaletteTest, ClearWritesExactlyOneFrameOfMode0) {
  std::vector<uint8_t> block(64000 + 64, 0xAA);
  Screen.FrameBuffer = block.data();
  ClearFrameBuffer(9);
  EXPECT_EQ(std::count(block.begin(), block.begin() + 64000, 9), 64000);
  EXPECT_EQ(std::count(block.begin() + 64000, block.end(), 0xAA), 64);
}
