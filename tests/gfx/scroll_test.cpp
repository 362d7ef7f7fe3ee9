// scroll_test.cpp: the scroll tables against offsets worked out by hand.
#include <climits>

#include "gfx/scroll.h"
#include "test_support.h"

namespace {

using ScrollTest = EngineTest;

TEST_F(ScrollTest, OffsetsFollowTheViewAndTheDrift) {
  struct {
    int32_t viewX, viewY;
    uint32_t drift;
    int speed;
    int32_t x, y;
  } cases[] = {
      {100, 8, 0, 0, 0, 0},
      {100, 8, 0, 32, 50, 4},
      {100, 8, 0, 64, 100, 8},
      {100, 8, 0, 128, 200, 16},
      {100, 8, 0, 1, 1, 0},      // rounded down
      {100, 8, 0, 192, 100, 8},  // drift 0: as speed 64
      {100, 8, 0, 255, 198, 15},
      // The drift is added above speed 128 only.
      {0, 0, 640, 64, 0, 0},
      {0, 0, 640, 128, 0, 0},
      {0, 0, 640, 129, 10, 10},
      {0, 0, 640, 255, 1270, 1270},
      // A negative view rounds toward minus infinity.
      {-1, -65, 0, 1, -1, -2},
      {-1, -65, 0, 32, -1, -33},
      {-1, -65, 0, 128, -2, -130},
      {-1, -65, 0, 192, -1, -65},
      // Products wrap at 32 bits: 0x7FFFFFFF x 128 keeps -128; INT32_MAX + 1 is INT32_MIN.
      {INT32_MAX, 0, 1, 128, -2, 0},
      {INT32_MAX, 0, 1, 129, -(1 << 25), 0},
  };
  for (const auto& c : cases) {
    Scroll.AutoScrollCounter = c.drift;
    BuildScrollTables(c.viewX, c.viewY);
    EXPECT_EQ(Scroll.ScrollX[c.speed], c.x) << c.viewX << " drift " << c.drift << " speed " << c.speed;
    EXPECT_EQ(Scroll.ScrollY[c.speed], c.y) << c.viewY << " drift " << c.drift << " speed " << c.speed;
    EXPECT_TRUE(Scroll.viewX == c.viewX && Scroll.viewY == c.viewY) << "the tables keep their view";
  }
}

// The drift used is the count before this build, so building twice moves it twice.
TEST_F(ScrollTest, TheDriftMovesOnWithEveryBuild) {
  Scroll.AutoScrollCounter = 640;
  BuildScrollTables(0, 0);
  BuildScrollTables(0, 0);
  EXPECT_EQ(Scroll.ScrollX[192], 641);
  EXPECT_EQ(Scroll.AutoScrollCounter, 642u);
}

}  // namespace
