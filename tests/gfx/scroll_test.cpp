// scroll_test.cpp: the scroll tables against offsets worked out by hand.
#include <climits>

#include "gfx/scroll.h"
#include "level/level.h"
#include "test_support.h"

namespace {

using ScrollTest = EngineTest;

TEST_F(ScrollTest, SpeedsFollowTheView) {
  Level.viewX = 100;
  Level.viewY = 8;
  BuildScrollTables();
  EXPECT_EQ(Scroll.ScrollX[0], 0);
  EXPECT_EQ(Scroll.ScrollX[32], 50);
  EXPECT_EQ(Scroll.ScrollX[64], 100);
  EXPECT_EQ(Scroll.ScrollX[128], 200);
  EXPECT_EQ(Scroll.ScrollX[192], 100);  // drift 0: as speed 64
  EXPECT_EQ(Scroll.ScrollX[1], 1);      // 100 / 64 rounded down
  EXPECT_EQ(Scroll.ScrollY[32], 4);
  EXPECT_EQ(Scroll.ScrollY[255], 15);   // 8 x 127 / 64
  EXPECT_EQ(Scroll.AutoScrollCounter, 1u);
}

TEST_F(ScrollTest, WithScrollSpeedsAddTheDrift) {
  Scroll.AutoScrollCounter = 640;
  BuildScrollTables();
  EXPECT_EQ(Scroll.ScrollX[129], 10);
  EXPECT_EQ(Scroll.ScrollX[192], 640);
  EXPECT_EQ(Scroll.ScrollX[255], 1270);
  EXPECT_EQ(Scroll.ScrollY[192], 640);
  for (int s = 0; s <= 128; ++s) EXPECT_EQ(Scroll.ScrollX[s], 0) << s;
  // Built twice in one frame the drift moves on twice.
  BuildScrollTables();
  EXPECT_EQ(Scroll.ScrollX[192], 641);
  EXPECT_EQ(Scroll.AutoScrollCounter, 642u);
}

TEST_F(ScrollTest, NegativeViewRoundsTowardMinusInfinity) {
  Level.viewX = -1;
  Level.viewY = -65;
  BuildScrollTables();
  EXPECT_EQ(Scroll.ScrollX[0], 0);
  EXPECT_EQ(Scroll.ScrollX[1], -1);
  EXPECT_EQ(Scroll.ScrollX[64], -1);
  EXPECT_EQ(Scroll.ScrollX[128], -2);
  EXPECT_EQ(Scroll.ScrollX[192], -1);  // (-1 + 0) x 64 / 64
  EXPECT_EQ(Scroll.ScrollY[64], -65);
  EXPECT_EQ(Scroll.ScrollY[32], -33);
}

TEST_F(ScrollTest, ProductsWrapAtThirtyTwoBits) {
  Level.viewX = INT32_MAX;
  Scroll.AutoScrollCounter = 1;
  BuildScrollTables();
  // 0x7FFFFFFF x 128 keeps 0xFFFFFF80 = -128.
  EXPECT_EQ(Scroll.ScrollX[128], -2);
  // INT32_MAX + 1 is INT32_MIN; x 1 / 64 = -2^25.
  EXPECT_EQ(Scroll.ScrollX[129], -(1 << 25));
  // And the drift counter itself wraps.
  Scroll.AutoScrollCounter = UINT32_MAX;
  BuildScrollTables();
  EXPECT_EQ(Scroll.AutoScrollCounter, 0u);
}

}  // namespace
