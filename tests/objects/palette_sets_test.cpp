// palette_sets_test.cpp: applying a palette set to the ranges its cycle count
// covers, and selecting a tinted set.
#include <gtest/gtest.h>

#include "gfx/frame_buffer.h"
#include "level/tile_set.h"
#include "objects/palette_sets.h"
#include "test_support.h"

namespace {

using PaletteSetTest = EngineTest;
using Rgb = std::array<uint8_t, 3>;

std::vector<Rgb> Slots(std::initializer_list<uint16_t> slots) {
  std::vector<Rgb> out;
  for (uint16_t s : slots) GetPaletteEntry(s, out.emplace_back().data());
  return out;
}

// Position i first shows (i % 64, i / 64, 7); every cycle is mid-animation.
PaletteSet MakeSet(uint8_t cycleCount, uint8_t mode = 0) {
  PaletteSet set;
  set.cycleCount = cycleCount;
  set.tintUpperHalf = mode;
  for (int i = 0; i < kPalettePositions; ++i)
    set.cycles.push_back(PaletteCycle{2, {0, 0}, 5, 1, {uint8_t(i % 64), uint8_t(i / 64), 7, 1, 1, 1}});
  return set;
}

TEST_F(PaletteSetTest, ApplyWritesOnlyTheRangesTheCycleCountCovers) {
  const Rgb white = {63, 63, 63};
  for (int s = 0; s < 256; ++s) SetPaletteEntry(uint16_t(s), white.data());
  Tiles.paletteSets = {MakeSet(64), MakeSet(100), MakeSet(150)};
  Tiles.paletteSets[0].cycles[4] = PaletteCycle{};  // no steps at all: black
  Tiles.paletteSetCount = 3;

  ApplyPaletteSet();  // slot 70 is a global colour, never a set's
  EXPECT_EQ(Slots({4, 5, 70, 130}), (std::vector<Rgb>{{0, 0, 0}, {5, 0, 7}, white, white}));
  EXPECT_EQ(Tiles.paletteSets[0].cycles[5].step + Tiles.paletteSets[0].cycles[5].timer, 0);
  EXPECT_EQ(Tiles.paletteSets[0].cycles[70].step, 1);  // not applied, not reset

  Tiles.currentPaletteSet = 1;
  ApplyPaletteSet();  // slot 130 shows position 66
  EXPECT_EQ(Slots({130, 200}), (std::vector<Rgb>{{2, 1, 7}, white}));
  Tiles.currentPaletteSet = 2;
  ApplyPaletteSet();
  EXPECT_EQ(Slots({200}), (std::vector<Rgb>{{8, 2, 7}}));  // position 136
}

TEST_F(PaletteSetTest, SelectingATintedSetTintsTheWholeUpperHalf) {
  PaletteSet tinted = MakeSet(64, 1);
  tinted.tintBlue = 12;
  tinted.cycles[5].colours = {20, 40, 60};
  Tiles.paletteSets = {MakeSet(64), tinted};
  Tiles.paletteSetCount = 2;
  const Rgb global = {2, 4, 6};
  SetPaletteEntry(70, global.data());

  SelectPaletteSet(1);
  EXPECT_EQ(Tiles.currentPaletteSet, 1);
  EXPECT_EQ(Slots({133, 198}), (std::vector<Rgb>{{10, 20, 42}, {1, 2, 15}}));

  SelectPaletteSet(2);  // no such set: nothing changes
  EXPECT_EQ(Tiles.currentPaletteSet, 1);
  SelectPaletteSet(0);  // mode 0 applies but does not tint
  EXPECT_EQ(Slots({5, 133}), (std::vector<Rgb>{{5, 0, 7}, {10, 20, 42}}));
}

}  // namespace
