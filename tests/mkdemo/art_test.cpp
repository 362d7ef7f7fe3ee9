// The demo's pixel-art helpers and tile cutting, on pictures small enough
// to work out by hand.
#include <gtest/gtest.h>

#include "art.h"
#include "tile_bank.h"

namespace {

int Count(const Canvas& c, uint8_t v) {
  int n = 0;
  for (uint8_t p : c.px) n += p == v;
  return n;
}

TEST(DemoArt, NoiseRepeatsOverItsLattice) {
  // Loops in the levels rely on textures that join up at their edges.
  for (float u : {0.0f, 0.13f, 0.5f, 0.91f})
    for (float v : {0.0f, 0.37f, 0.75f}) {
      EXPECT_NEAR(TileNoise(u, v, 5, 3, 42), TileNoise(u + 1, v, 5, 3, 42), 1e-4f);
      EXPECT_NEAR(TileNoise(u, v, 5, 3, 42), TileNoise(u, v + 1, 5, 3, 42), 1e-4f);
      EXPECT_NEAR(TileFbm(u, v, 2, 2, 3, 7), TileFbm(u - 1, v + 2, 2, 2, 3, 7), 1e-4f);
    }
  EXPECT_NE(TileNoise(0.3f, 0.3f, 5, 3, 42), TileNoise(0.3f, 0.3f, 5, 3, 43));
}

TEST(DemoArt, RampDithersBetweenNeighbours) {
  Ramp r = {10, 20};
  Canvas c(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) c.Set(x, y, RampAt(r, 0.5f, x, y));
  // Half of the sixteen thresholds lie below one half.
  EXPECT_EQ(Count(c, 20), 8);
  EXPECT_EQ(RampAt(r, 0.0f, 3, 3), 10);
  EXPECT_EQ(RampAt(r, 1.0f, 0, 0), 20);
  EXPECT_EQ(RampAt({1, 2, 3}, 0.5f, 1, 1), 2);  // exactly on an entry: no dither
}

TEST(DemoArt, PolygonsFillThePixelsWhoseCentresTheyCover) {
  Canvas c(8, 8);
  FillPolygon(c, {1, 4, 4, 1}, {1, 1, 3, 3}, [](int, int) { return uint8_t(5); });
  EXPECT_EQ(Count(c, 5), 6);
  EXPECT_EQ(c.Get(1, 1), 5);
  EXPECT_EQ(c.Get(3, 2), 5);
  EXPECT_EQ(c.Get(4, 2), 0);
  // A right triangle: rows of 3, 2 and 1 pixels.
  Canvas t(8, 8);
  FillPolygon(t, {0, 4, 0}, {0, 0, 4}, [](int, int) { return uint8_t(1); });
  EXPECT_EQ(Count(t, 1), 6);
  EXPECT_EQ(t.Get(2, 0), 1);
  EXPECT_EQ(t.Get(3, 0), 0);
  EXPECT_EQ(t.Get(1, 1), 1);
  EXPECT_EQ(t.Get(0, 2), 1);
  EXPECT_EQ(t.Get(0, 3), 0);
}

TEST(DemoArt, CanvasWrapsOnlyWhenAsked) {
  Canvas plain(4, 2), loop(4, 2);
  loop.wrapX = true;
  plain.Set(-1, 0, 9), loop.Set(-1, 0, 9);
  loop.Set(5, 1, 8);
  EXPECT_EQ(Count(plain, 9), 0);
  EXPECT_EQ(loop.Get(3, 0), 9);
  EXPECT_EQ(loop.Get(1, 1), 8);
  EXPECT_EQ(loop.Get(-3, 1), 8);
  EXPECT_EQ(loop.Get(0, 2), 0);  // rows do not wrap
}

TEST(DemoTiles, IdenticalBlocksShareATileAndEmptyBlocksAreZero) {
  Canvas c(32, 8);
  c.FillRect(0, 0, 16, 8, 3);  // two identical solid blocks
  c.Set(24, 4, 3);             // a different one
  TileBank bank;
  TileMap m = bank.Cut(c);
  ASSERT_EQ(m.cells.size(), 4u);
  EXPECT_EQ(m.cells[0], 1);
  EXPECT_EQ(m.cells[1], 1);
  EXPECT_EQ(m.cells[2], 0);
  EXPECT_EQ(m.cells[3], 2);
  EXPECT_EQ(bank.Count(), 3u);
  EXPECT_EQ(bank.Tiles()[2].frames[0][4 * 8], 3);
}

TEST(DemoTiles, OnlyCellsThatChangeBetweenFramesAnimate) {
  Canvas a(16, 8), b(16, 8);
  a.FillRect(0, 0, 8, 8, 4), b.FillRect(0, 0, 8, 8, 4);
  a.Set(9, 1, 5), b.Set(10, 1, 5);
  TileBank bank;
  TileMap m = bank.CutAnimated({a, b}, {6, 2});
  const TileArt& still = bank.Tiles()[m.cells[0]];
  const TileArt& moving = bank.Tiles()[m.cells[1]];
  EXPECT_EQ(still.frames.size(), 1u);
  EXPECT_TRUE(still.delays.empty());
  ASSERT_EQ(moving.frames.size(), 2u);
  EXPECT_EQ(moving.delays, (std::vector<uint8_t>{6, 2}));
  EXPECT_EQ(moving.frames[0][1 * 8 + 1], 5);
  EXPECT_EQ(moving.frames[1][1 * 8 + 2], 5);
  // The same animation again is the same tile.
  EXPECT_EQ(bank.CutAnimated({a, b}, {6, 2}).cells[1], m.cells[1]);
  EXPECT_NE(bank.CutAnimated({a, b}, {1, 1}).cells[1], m.cells[1]);
}

TEST(DemoTiles, SolidTilesGetCellsFloorAndSlope) {
  // A ramp rising to the right: column x is solid from row 7 - x down.
  Canvas c(8, 8);
  for (int x = 0; x < 8; ++x)
    for (int y = 7 - x; y < 8; ++y) c.Set(x, y, 1);
  TileBank bank;
  TileMap m = bank.Cut(c);
  bank.MarkSolid(m);
  const TileArt& t = bank.Tiles()[m.cells[0]];
  int cells = 0;
  for (uint8_t v : t.collision) cells += v;
  EXPECT_EQ(cells, 36);  // 1 + 2 + ... + 8
  EXPECT_EQ(t.collision[7 * 8 + 0], 1);
  EXPECT_EQ(t.collision[6 * 8 + 0], 0);
  EXPECT_EQ(t.floor, 0);   // the right edge reaches the top row
  EXPECT_EQ(t.slope, 15);  // 8 + (7 - 0): up seven pixels
}

}  // namespace
