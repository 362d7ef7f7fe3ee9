// The demo's pixel-art helpers and tile cutting, on pictures small enough
// to work out by hand.
#include <gtest/gtest.h>

#include <algorithm>

#include "art.h"
#include "tile_bank.h"

namespace {

using Ints = std::vector<int>;

int Count(const Canvas& c, uint8_t v) { return int(std::count(c.px.begin(), c.px.end(), v)); }

// Loops in the levels rely on textures that join up at their edges.
TEST(DemoArt, NoiseRepeatsOverItsLattice) {
  for (float u : {0.0f, 0.13f, 0.5f, 0.91f})
    for (float v : {0.0f, 0.37f, 0.75f}) {
      EXPECT_NEAR(TileNoise(u, v, 5, 3, 42), TileNoise(u + 1, v, 5, 3, 42), 1e-4f);
      EXPECT_NEAR(TileNoise(u, v, 5, 3, 42), TileNoise(u, v + 1, 5, 3, 42), 1e-4f);
      EXPECT_NEAR(TileFbm(u, v, 2, 2, 3, 7), TileFbm(u - 1, v + 2, 2, 2, 3, 7), 1e-4f);
    }
  EXPECT_NE(TileNoise(0.3f, 0.3f, 5, 3, 42), TileNoise(0.3f, 0.3f, 5, 3, 43));
}

TEST(DemoArt, PolygonsFillThePixelsWhoseCentresTheyCover) {
  Canvas c(8, 8), t(8, 8);
  FillPolygon(c, {1, 4, 4, 1}, {1, 1, 3, 3}, [](int, int) { return uint8_t(5); });
  EXPECT_EQ(Count(c, 5), 6);
  EXPECT_EQ(Ints({c.Get(1, 1), c.Get(3, 2), c.Get(4, 2)}), Ints({5, 5, 0}));
  // A right triangle: rows of 3, 2 and 1 pixels.
  FillPolygon(t, {0, 4, 0}, {0, 0, 4}, [](int, int) { return uint8_t(1); });
  EXPECT_EQ(Count(t, 1), 6);
  EXPECT_EQ(Ints({t.Get(2, 0), t.Get(3, 0), t.Get(1, 1), t.Get(0, 2), t.Get(0, 3)}), Ints({1, 0, 1, 1, 0}));
}

TEST(DemoTiles, IdenticalBlocksShareATileAndEmptyBlocksAreZero) {
  Canvas c(32, 8);
  c.FillRect(0, 0, 16, 8, 3);  // two identical solid blocks
  c.Set(24, 4, 3);             // a different one
  TileBank bank;
  const TileMap m = bank.Cut(c);
  EXPECT_EQ(m.cells, (std::vector<uint16_t>{1, 1, 0, 2}));
  EXPECT_EQ(bank.Count(), 3u);
  EXPECT_EQ(bank.Tiles()[2].frames[0][4 * 8], 3);
}

TEST(DemoTiles, OnlyCellsThatChangeBetweenFramesAnimate) {
  Canvas a(16, 8), b(16, 8);
  a.FillRect(0, 0, 8, 8, 4), b.FillRect(0, 0, 8, 8, 4);
  a.Set(9, 1, 5), b.Set(10, 1, 5);
  TileBank bank;
  const TileMap m = bank.CutAnimated({a, b}, {6, 2});
  const TileArt &still = bank.Tiles()[m.cells[0]], &moving = bank.Tiles()[m.cells[1]];
  EXPECT_EQ(Ints({int(still.frames.size()), int(still.delays.size())}), Ints({1, 0}));
  ASSERT_EQ(moving.frames.size(), 2u);
  EXPECT_EQ(moving.delays, (std::vector<uint8_t>{6, 2}));
  EXPECT_EQ(Ints({moving.frames[0][1 * 8 + 1], moving.frames[1][1 * 8 + 2]}), Ints({5, 5}));
  // The same animation again is the same tile; other delays are another.
  EXPECT_EQ(bank.CutAnimated({a, b}, {6, 2}).cells[1], m.cells[1]);
  EXPECT_NE(bank.CutAnimated({a, b}, {1, 1}).cells[1], m.cells[1]);
}

TEST(DemoTiles, SolidTilesGetCellsFloorAndSlope) {
  // A ramp rising to the right: column x is solid from row 7 - x down.
  Canvas c(8, 8);
  for (int x = 0; x < 8; ++x)
    for (int y = 7 - x; y < 8; ++y) c.Set(x, y, 1);
  TileBank bank;
  const TileMap m = bank.Cut(c);
  bank.MarkSolid(m);
  const TileArt& t = bank.Tiles()[m.cells[0]];
  EXPECT_EQ(std::count(t.collision.begin(), t.collision.end(), 1), 36);  // 1 + 2 + ... + 8
  EXPECT_EQ(Ints({t.collision[7 * 8 + 0], t.collision[6 * 8 + 0]}), Ints({1, 0}));
  // The right edge reaches the top row; 8 + (7 - 0): up seven pixels.
  EXPECT_EQ(Ints({t.floor, t.slope}), Ints({0, 15}));
}

}  // namespace
