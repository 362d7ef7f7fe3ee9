// palette_test.cpp: palette slots in every display format, tinting, restoring the global colours,
// clearing and converting the frame.
#include <algorithm>
#include <array>
#include <vector>

#include "gfx/frame_buffer.h"
#include "gfx/palette_sets.h"
#include "level/tile_set.h"
#include "test_support.h"

namespace {

using Rgb = std::array<uint8_t, 3>;

class PaletteTest : public EngineTest {
 protected:
  // One palette set, selected, with the given cycle count and tint.
  static void UseSet(uint8_t cycleCount, uint8_t tinted = 0, Rgb tint = {}) {
    PaletteSet set;
    set.cycleCount = cycleCount;
    set.tintUpperHalf = tinted;
    set.tintRed = tint[0];
    set.tintGreen = tint[1];
    set.tintBlue = tint[2];
    Tiles.paletteSets.assign(1, set);
    Tiles.paletteSetCount = 1;
    Tiles.currentPaletteSet = 0;
  }
  static Rgb Slot(uint16_t slot) {
    Rgb rgb;
    GetPaletteEntry(slot, rgb.data());
    return rgb;
  }
  static std::vector<uint8_t> TableEntry(int slot) {
    return {Screen.PaletteTable.begin() + slot * 4, Screen.PaletteTable.begin() + slot * 4 + 4};
  }
};

}  // namespace

TEST_F(PaletteTest, Slot5InEveryPixelFormat) {
  const uint8_t rgb[3] = {63, 0, 31};
  struct {
    uint8_t code;
    uint32_t lookup;
  } cases[] = {
      {16, 31u << 11 | 0u << 5 | 15u}, {15, 31u << 10 | 0u << 5 | 15u}, {32, 252u << 16 | 124u},
      {24, 252u << 16 | 124u},         {33, 124u << 16 | 252u},         {25, 124u << 16 | 252u},
  };
  for (const auto& c : cases) {
    ResetScreen();
    Screen.PixelFormatCode = c.code;
    SetPaletteEntry(5, rgb);
    EXPECT_EQ(Screen.PixelLookup[5], c.lookup) << "code " << int(c.code);
  }
  // The palette table holds each component x 4.
  EXPECT_EQ(TableEntry(5), (std::vector<uint8_t>{252, 0, 124, 0}));
  EXPECT_EQ(Slot(5), (Rgb{63, 0, 31}));
  // Components above 63 keep the low byte of x4: 70 -> 280 -> 24 (read back as 6);
  // slot numbers wrap to a byte: 300 is slot 44.
  const uint8_t big[3] = {70, 64, 1};
  SetPaletteEntry(300, big);
  EXPECT_EQ(TableEntry(44), (std::vector<uint8_t>{24, 0, 4, 0}));
  EXPECT_EQ(Slot(44), (Rgb{6, 0, 1}));
}

TEST_F(PaletteTest, TintedEntriesWriteTheirTwin128SlotsUp) {
  Screen.PixelFormatCode = 32;
  UseSet(0, 1, {8, 8, 16});
  Rgb rgb = {40, 20, 10};
  SetPaletteEntryTinted(70, rgb.data());
  EXPECT_EQ(Slot(70), (Rgb{40, 20, 10}));
  EXPECT_EQ(Slot(198), (Rgb{28, 18, 21}));
  EXPECT_EQ(rgb, (Rgb{28, 18, 21}));
  EXPECT_EQ(Screen.PixelLookup[198], 112u << 16 | 72u << 8 | 84u);
  // Untinted: the twin slot and the caller's triple stay as they were.
  UseSet(0, 0, {8, 8, 16});
  Rgb plain = {1, 2, 3};
  SetPaletteEntryTinted(71, plain.data());
  EXPECT_EQ(Slot(199), (Rgb{0, 0, 0}));
  EXPECT_EQ(plain, (Rgb{1, 2, 3}));
}

TEST_F(PaletteTest, RestoreGlobalColoursRangesFollowTheCycleCount) {
  // Global copy element i = (50, i / 4, 1); every slot starts as (7, 7, 7).
  for (int i = 0; i < 192; ++i) {
    Screen.GlobalRed[i] = 50;
    Screen.GlobalGreen[i] = uint8_t(i / 4);
    Screen.GlobalBlue[i] = 1;
  }
  struct {
    uint8_t cycles;
    bool low, mid, high;  // 64..127, 128..191, 192..255
  } cases[] = {{0, true, false, false}, {64, true, false, false}, {100, true, false, true}, {150, true, true, true}};
  for (const auto& c : cases) {
    const uint8_t grey[3] = {7, 7, 7};
    for (uint16_t slot = 0; slot < 256; ++slot) SetPaletteEntry(slot, grey);
    UseSet(c.cycles);
    RestoreGlobalColours();
    for (uint16_t slot = 0; slot < 256; ++slot) {
      bool want = slot >= 192 ? c.high : slot >= 128 ? c.mid : slot >= 64 && c.low;
      ASSERT_EQ(Slot(slot)[0] == 50, want) << "cycles " << int(c.cycles) << " slot " << slot;
    }
  }
  EXPECT_EQ(Slot(64), (Rgb{50, 0, 1}));
  EXPECT_EQ(Slot(200), (Rgb{50, 34, 1}));
}

TEST_F(PaletteTest, ConvertPutsPixelIAtThreeBytesFromThreeI) {
  using Bytes = std::vector<uint8_t>;
  const uint8_t one[3] = {63, 0, 31}, two[3] = {1, 2, 3};
  Bytes frame(64000, 0), dest;
  frame[1000] = 1;
  frame[63999] = 2;
  Screen.FrameBuffer = frame.data();
  Screen.ConvertCount = 64000;
  for (uint8_t code : {24, 25}) {
    Screen.PixelFormatCode = code;
    SetPaletteEntry(1, one);
    SetPaletteEntry(2, two);
    dest.assign(64000 * 3 + 16, 0xAA);
    Screen.ConvertDest = dest.data();
    ConvertFrameBuffer();
    bool redFirst = code == 24;
    EXPECT_EQ(Bytes(dest.begin() + 2999, dest.begin() + 3004),
              (redFirst ? Bytes{0, 252, 0, 124, 0} : Bytes{0, 124, 0, 252, 0}));
    // Nothing is written past the last pixel.
    EXPECT_EQ(Bytes(dest.begin() + 191997, dest.begin() + 192001),
              (redFirst ? Bytes{4, 8, 12, 0xAA} : Bytes{12, 8, 4, 0xAA}));
  }
}

// The 32-bit path works eight pixels at a time: a count that is not a
// multiple of eight must still end exactly at its last pixel.
TEST_F(PaletteTest, Convert32HandlesEveryPixelUpToAnOddCount) {
  std::vector<uint8_t> frame(21);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = uint8_t(i * 13);
  for (uint16_t slot = 0; slot < 256; ++slot) Screen.PixelLookup[slot] = 0x10000u * slot + 7;
  std::vector<uint32_t> dest(22, 0xAAAAAAAA);
  Screen.PixelFormatCode = 32;
  Screen.FrameBuffer = frame.data();
  Screen.ConvertDest = reinterpret_cast<uint8_t*>(dest.data());
  Screen.ConvertCount = 21;
  ConvertFrameBuffer();
  for (size_t i = 0; i < 21; ++i) EXPECT_EQ(dest[i], 0x10000u * uint8_t(i * 13) + 7) << i;
  EXPECT_EQ(dest[21], 0xAAAAAAAAu);
}

// Every expansion this processor can run, whichever the timing picks: each
// byte of every table entry in place, pixels in order, nothing past what it
// says it did.
TEST_F(PaletteTest, EveryExpansionMatchesThePlainLookUp) {
  std::vector<uint8_t> frame(64000 + 37);
  std::vector<uint32_t> lut(256);
  uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  for (auto& p : frame) p = uint8_t(next() >> 24);
  for (auto& v : lut) v = next();
  // Random entries, then entries that share their top byte as window pixels do.
  for (bool sameTop : {false, true}) {
    if (sameTop)
      for (auto& v : lut) v = (v & 0xFFFFFF) | 0xFF000000u;
    for (Expand32Fn way : Expand32Candidates())
      for (uint32_t n : {0u, 63u, 64u, 200u, uint32_t(frame.size())})
        for (uint32_t offset : {0u, 1u, 7u}) {  // destinations off a 64-byte boundary too
          std::vector<uint32_t> block(n + 64 + offset, 0xAAAAAAAA);
          uint32_t* dest = block.data() + offset;
          const uint32_t done = way(frame.data(), dest, lut.data(), n);
          ASSERT_LE(done, n);
          ASSERT_GT(done + 64, n);
          for (uint32_t i = 0; i < done; ++i) ASSERT_EQ(dest[i], lut[frame[i]]) << "pixel " << i << " of " << n;
          for (uint32_t i = done; i < n + 64; ++i) ASSERT_EQ(dest[i], 0xAAAAAAAAu) << "pixel " << i << " of " << n;
        }
  }
}

TEST_F(PaletteTest, ClearWritesExactlyOneFrameOfMode0) {
  std::vector<uint8_t> block(64000 + 64, 0xAA);
  Screen.FrameBuffer = block.data();
  ClearFrameBuffer(9);
  EXPECT_EQ(std::count(block.begin(), block.begin() + 64000, 9), 64000);
  EXPECT_EQ(std::count(block.begin() + 64000, block.end(), 0xAA), 64);
}
