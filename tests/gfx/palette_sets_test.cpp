// palette_sets_test.cpp: applying a palette set to the ranges its cycle count
// covers, and selecting a tinted set.
#include <gtest/gtest.h>

#include "gfx/frame_buffer.h"
#include "gfx/palette_sets.h"
#include "level/tile_set.h"
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

// A set of 192 still cycles: position i shows (i % 64, i / 64, 0).
PaletteSet StillSet(uint8_t cycleCount, uint8_t mode) {
  PaletteSet set;
  set.cycleCount = cycleCount;
  set.tintUpperHalf = mode;
  for (int i = 0; i < kPalettePositions; ++i)
    set.cycles.push_back(PaletteCycle{1, {0}, 0, 0, {uint8_t(i % 64), uint8_t(i / 64), 0}});
  set.rotateWith.assign(kPalettePositions, 0);
  set.rotateDelay.assign(kPalettePositions, 0);
  set.rotateTimer.assign(kPalettePositions, 0);
  return set;
}

class PaletteAnimationTest : public EngineTest {
 protected:
  void Use(PaletteSet set) {
    Tiles.paletteSets = {std::move(set)};
    Tiles.paletteSetCount = 1;
    Tiles.currentPaletteSet = 0;
    ApplyPaletteSet();
  }
  PaletteSet& Set() { return Tiles.paletteSets[0]; }
  // The first (red) component of each slot.
  static std::vector<int> Reds(std::initializer_list<uint16_t> slots) {
    std::vector<int> out;
    for (uint16_t s : slots) {
      uint8_t rgb[3];
      GetPaletteEntry(s, rgb);
      out.push_back(rgb[0]);
    }
    return out;
  }
};

TEST_F(PaletteAnimationTest, AStepShowsItsColourForItsDelayPlusOneFrames) {
  PaletteSet set = StillSet(64, 0);
  set.cycles[3] = PaletteCycle{2, {2, 0}, 0, 0, {10, 0, 0, 20, 0, 0}};
  Use(std::move(set));
  std::vector<int> shown;
  for (int call = 1; call <= 7; ++call) {
    AnimatePalette();
    shown.push_back(Reds({3})[0]);
  }
  EXPECT_EQ(shown, (std::vector<int>{10, 10, 20, 10, 10, 10, 20}));
  EXPECT_EQ(Reds({4, 0}), (std::vector<int>{4, 0})) << "one-step cycles and position 0 never change";
}

TEST_F(PaletteAnimationTest, RotationMovesCyclesForwardOrBackAndShowsThemAtOnce) {
  PaletteSet set = StillSet(64, 0);
  set.rotateWith[5] = 8;
  Use(std::move(set));
  AnimatePalette();
  EXPECT_EQ(Reds({5, 6, 7, 8, 9}), (std::vector<int>{8, 5, 6, 7, 9}));
  AnimatePalette();
  EXPECT_EQ(Reds({5, 6, 7, 8}), (std::vector<int>{7, 8, 5, 6}));

  PaletteSet back = StillSet(64, 0);
  back.rotateWith[5] = 72;  // backward over the same range
  back.rotateDelay[5] = 1;  // the timer counts one frame, then it rotates
  Use(std::move(back));
  std::vector<std::vector<int>> frames;
  for (int f = 0; f < 4; ++f) {
    AnimatePalette();
    frames.push_back(Reds({5, 6, 7, 8}));
  }
  EXPECT_EQ(frames, (std::vector<std::vector<int>>{{5, 6, 7, 8}, {6, 7, 8, 5}, {6, 7, 8, 5}, {7, 8, 5, 6}}));
}

TEST_F(PaletteAnimationTest, TheModeDecidesWhatTheUpperSlotsShow) {
  const PaletteCycle blink{2, {0, 0}, 0, 0, {10, 0, 0, 30, 0, 0}};
  PaletteSet tinted = StillSet(64, 1);
  tinted.tintRed = 4;
  tinted.cycles[10] = blink;
  Use(std::move(tinted));
  AnimatePalette();
  EXPECT_EQ(Reds({10, 138}), (std::vector<int>{30, 4 + 15})) << "mode 1: the tinted twin follows";

  PaletteSet twoRanges = StillSet(128, 0);
  twoRanges.cycles[10] = blink;
  twoRanges.cycles[74] = blink;
  Use(std::move(twoRanges));
  const uint8_t mark[3] = {50, 0, 0};
  SetPaletteEntry(200, mark);
  AnimatePalette();
  EXPECT_EQ(Reds({10, 138, 200}), (std::vector<int>{30, 30, 50})) << "mode 0: slot 138 is position 74's";
}

TEST_F(PaletteAnimationTest, ASetAnimatesOnlyTheCyclesItHas) {
  PaletteSet set = StillSet(20, 2);  // mode 2 visits 192 positions; the file gave 20
  set.cycles[30] = PaletteCycle{2, {0, 0}, 0, 0, {10, 0, 0, 30, 0, 0}};
  set.rotateWith[15] = 40;  // reaches past the set: rotates what it has
  set.cycles.resize(20);
  set.rotateWith.resize(20);
  set.rotateDelay.resize(20);
  set.rotateTimer.resize(20);
  Tiles.paletteSets = {std::move(set)};
  Tiles.paletteSetCount = 1;
  const uint8_t mark[3] = {50, 0, 0};
  SetPaletteEntry(30, mark);
  for (int i = 0; i < 3; ++i) AnimatePalette();
  EXPECT_EQ(Reds({30, 15, 19}), (std::vector<int>{50, 17, 16}));
}

}  // namespace
