// plane_render_test.cpp: the six plane renderers on small hand-made planes:
// loops, per-line speeds, wrap-around, negative offsets and broken planes.
#include <climits>
#include <cstring>

#include "gfx/draw.h"
#include "gfx/frame_buffer.h"
#include "gfx/plane_render.h"
#include "gfx/scroll.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "test_support.h"

namespace {

class PlaneRenderTest : public EngineTest {
 protected:
  // Tiles 1..40 solid in their own number; 41..43 striped by row (100 + r,
  // 120 + r, 140 + r); 44, 45 striped by column (160 + c, 180 + c); 46 a
  // checker of colour 7 and holes.
  void SetUp() override {
    EngineTest::SetUp();
    Tiles.tileTable.assign(47, Tile{});
    Tiles.tileCount = 47;
    for (int n = 1; n <= 40; ++n) SetTile(n, [n](int, int) { return n; });
    SetTile(41, [](int r, int) { return 100 + r; });
    SetTile(42, [](int r, int) { return 120 + r; });
    SetTile(43, [](int r, int) { return 140 + r; });
    SetTile(44, [](int, int c) { return 160 + c; });
    SetTile(45, [](int, int c) { return 180 + c; });
    SetTile(46, [](int r, int c) { return (r + c) % 2 ? 7 : 0; });
  }
  template <class F>
  void SetTile(int n, F colour) {
    Tile& t = Tiles.tileTable[n];
    t.frames[0].assign(65, 0);
    t.frameCount = 1;
    t.opaque = 1;
    for (int i = 0; i < 64; ++i) {
      t.frames[0][i] = uint8_t(colour(i / 8, i % 8));
      if (t.frames[0][i] == 0) t.opaque = 0;
    }
  }
  // A plane as a new level would make it, every line at `speed`.
  static Plane MakePlane(uint8_t type, int w, int h, uint8_t speed) {
    Plane p;
    p.type = type;
    p.width = w;
    p.height = h;
    p.wrapCells = w * h;
    p.rowSkip = w - 41;
    bool columns = type == kVTiled || type == kVLined;
    size_t lines = type <= kRelative ? 1 : type == kHTiled ? h : type == kVTiled ? w : type == kHLined ? h * 8 : w * 8;
    p.lineLoops.assign(lines, columns ? h : w);
    p.lineSpeeds.assign(lines, speed);
    p.otherLoop = columns ? w : h;
    p.otherSpeed = speed;
    p.tiles.assign(size_t(w) * (h + 1), 0);
    return p;
  }
  template <class F>
  static void SetCells(Plane& p, F cell) {
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x) p.tiles[y * p.width + x] = uint16_t(cell(x, y));
  }
  void Draw(const Plane& p, int32_t vx, int32_t vy, uint8_t background = 0) {
    std::memset(Screen.FrameBuffer, background, 64000);
    Level.viewX = vx;
    Level.viewY = vy;
    BuildScrollTables();
    DrawPlane(p);
  }
  uint8_t At(int x, int y) const { return Screen.FrameBuffer[y * 320 + x]; }
  bool FrameIs(uint8_t v, size_t bytes = 64000) const {
    for (size_t i = 0; i < bytes; ++i)
      if (Screen.FrameBuffer[i] != v) return false;
    return true;
  }
};

int FloorMod(int a, int n) { return (a % n + n) % n; }

TEST_F(PlaneRenderTest, FlatPlaneRunsOnIntoTheNextMapRowAndWrapsLinearly) {
  Plane p = MakePlane(kFlat, 10, 4, 0);
  SetCells(p, [](int x, int y) { return 1 + y * 10 + x; });
  Draw(p, 0, 0);
  EXPECT_EQ(At(96 + 3, 5), 13);  // screen column 12 shows map row 1
  EXPECT_EQ(At(312, 0), 40);
  EXPECT_EQ(At(232, 8), 40);  // row 1 starts at cell 10 and reaches cell 39 at column 29
  EXPECT_EQ(At(240, 8), 0);   // then the spare row
  EXPECT_EQ(At(0, 16), 21);
  EXPECT_EQ(At(96, 32), 13);  // cell 40 wraps back to 0 at the row start

  Draw(p, 26, 0);  // cell 3, two pixels in
  EXPECT_EQ(At(5, 0), 4);
  EXPECT_EQ(At(6, 0), 5);

  Draw(p, -8, 0);  // cell -1 is cell 39
  EXPECT_EQ(At(0, 0), 40);
  EXPECT_EQ(At(8, 0), 0);
  EXPECT_EQ(At(0, 8), 10);  // 39 + 10 = 49 wraps to 9
  Draw(p, 0, -8);  // cell -10 is cell 30
  EXPECT_EQ(At(72, 0), 40);
  EXPECT_EQ(At(0, 8), 1);
}

TEST_F(PlaneRenderTest, RelativePlaneRepeatsItsLoop) {
  Plane p = MakePlane(kRelative, 50, 30, 64);
  p.lineLoops[0] = 4;
  SetCells(p, [](int x, int y) { return 1 + x % 10 + 10 * (y % 3); });
  Draw(p, 0, 0);
  for (int m = 0; m < 25; ++m)
    for (int k = 0; k < 40; ++k) ASSERT_EQ(At(8 * k + 3, 8 * m + 5), 1 + k % 4 + 10 * (m % 3)) << k << "," << m;

  Draw(p, 51, 0);  // tile column 6 is loop column 2, three pixels in
  EXPECT_EQ(At(4, 0), 3);
  EXPECT_EQ(At(5, 0), 4);
  EXPECT_EQ(At(13, 0), 1);

  Draw(p, -8, -8);  // loop column 3 of plane row 29, then row 0 below it
  EXPECT_EQ(At(0, 0), 24);
  EXPECT_EQ(At(8, 0), 21);
  EXPECT_EQ(At(0, 8), 4);
}

TEST_F(PlaneRenderTest, HTiledRowsScrollAtTheirOwnSpeeds) {
  Plane p = MakePlane(kHTiled, 60, 10, 128);
  p.lineSpeeds[0] = 0;
  p.lineSpeeds[1] = 64;
  p.lineSpeeds[2] = 32;
  p.otherSpeed = 0;
  p.otherLoop = 3;  // rows 0..2 repeat; the speeds of rows 3.. are never used
  p.wrapCells = 3 * 60;
  SetCells(p, [](int x, int) { return 1 + x % 40; });
  Draw(p, 16, 0);
  EXPECT_EQ(At(0, 0), 1);  // speed 0 stands still
  EXPECT_EQ(At(8, 0), 2);
  EXPECT_EQ(At(0, 8), 3);   // speed 64 follows the view
  EXPECT_EQ(At(0, 16), 2);  // speed 32 moves half as far
  EXPECT_EQ(At(0, 24), 1);  // row 0 again, with row 0's speed
  EXPECT_EQ(At(0, 32), 3);
  EXPECT_EQ(At(0, 40), 2);

  Draw(p, 20, 0);
  EXPECT_EQ(At(3, 8), 3);
  EXPECT_EQ(At(4, 8), 4);
  EXPECT_EQ(At(6, 16), 3);

  Draw(p, -16, 0);  // columns -2 and -1 are 58 and 59
  EXPECT_EQ(At(0, 8), 19);
  EXPECT_EQ(At(16, 8), 1);
  EXPECT_EQ(At(0, 16), 20);
}

TEST_F(PlaneRenderTest, VTiledColumnsScrollAtTheirOwnSpeeds) {
  Plane p = MakePlane(kVTiled, 50, 40, 0);
  p.otherSpeed = 64;
  p.otherLoop = 3;  // columns 0..2 repeat across the screen
  p.lineSpeeds[1] = 64;
  p.lineLoops[1] = 2;
  SetCells(p, [](int, int y) { return 1 + y; });
  Draw(p, 0, 8);
  EXPECT_EQ(At(0, 8), 2);
  EXPECT_EQ(At(8, 0), 2);  // column 1: view row 1 of a two-row loop
  EXPECT_EQ(At(8, 8), 1);
  EXPECT_EQ(At(8, 16), 2);
  EXPECT_EQ(At(24, 0), 1);
  EXPECT_EQ(At(32, 0), 2);  // column 1 again

  Draw(p, 8, 12);  // screen column 0 is plane column 1, four pixels down
  EXPECT_EQ(At(0, 3), 2);
  EXPECT_EQ(At(0, 4), 1);
  EXPECT_EQ(At(8, 0), 1);

  Draw(p, 0, -8);
  EXPECT_EQ(At(8, 0), 2);
  EXPECT_EQ(At(0, 0), 1);
}

TEST_F(PlaneRenderTest, HLinedPlaneRepeatsItsPixelRows) {
  Plane p = MakePlane(kHLined, 50, 4, 0);
  p.otherSpeed = 64;
  p.otherLoop = 2;  // 16 pixel rows, repeated down the screen
  p.wrapCells = 2 * 50;
  SetCells(p, [](int x, int y) { return y == 0 ? (x % 2 ? 43 : 41) : y == 1 ? 42 : 5; });
  Draw(p, 0, 0);
  EXPECT_EQ(At(5, 7), 107);
  EXPECT_EQ(At(5, 8), 120);
  EXPECT_EQ(At(5, 16), 100);
  EXPECT_EQ(At(100, 199), 107);
  EXPECT_EQ(At(319, 100), 144);
  p.lineLoops[4] = 1;  // one pixel row repeats its first cell
  Draw(p, 0, 0);
  EXPECT_EQ(At(8, 4), 104);
  EXPECT_EQ(At(8, 5), 145);

  p.lineSpeeds[3] = 64;  // one pixel row follows the view
  Draw(p, 4, 0);
  EXPECT_EQ(At(4, 0), 100);
  EXPECT_EQ(At(8, 0), 140);
  EXPECT_EQ(At(3, 3), 103);
  EXPECT_EQ(At(4, 3), 143);
  EXPECT_EQ(At(319, 3), 103);  // the last slice, tile column 40
  EXPECT_EQ(At(4, 19), 143);   // the same line one loop further down

  Draw(p, 0, -3);  // pixel row 13 of the loop on top
  EXPECT_EQ(At(8, 2), 127);
  EXPECT_EQ(At(8, 3), 140);
}

TEST_F(PlaneRenderTest, VLinedPlaneScrollsEachPixelColumn) {
  Plane p = MakePlane(kVLined, 4, 50, 0);
  p.otherSpeed = 64;
  p.otherLoop = 4;  // 32 pixel columns
  p.lineSpeeds[5] = 64;
  SetCells(p, [](int, int y) { return y % 2 ? 45 : 44; });
  Draw(p, 0, 3);
  EXPECT_EQ(At(0, 0), 160);
  EXPECT_EQ(At(0, 8), 180);
  EXPECT_EQ(At(5, 4), 165);
  EXPECT_EQ(At(5, 5), 185);
  EXPECT_EQ(At(5, 199), 185);  // the bottom slice, plane row 25
  EXPECT_EQ(At(37, 4), 165);   // column 37 is line 5 again
  EXPECT_EQ(At(37, 5), 185);
  EXPECT_EQ(At(36, 5), 164);
  p.lineLoops[12] = 1;  // one pixel column repeats its top cell
  Draw(p, 0, 3);
  EXPECT_EQ(At(12, 8), 164);
  EXPECT_EQ(At(13, 8), 185);

  Draw(p, 0, -3);  // row -1 is row 49
  EXPECT_EQ(At(5, 2), 185);
  EXPECT_EQ(At(5, 3), 165);

  Draw(p, -3, 3);  // line 5 is now screen column 8
  EXPECT_EQ(At(8, 4), 165);
  EXPECT_EQ(At(8, 5), 185);
  EXPECT_EQ(At(7, 5), 164);
}

TEST_F(PlaneRenderTest, LinedPlanesDrawTileZeroOnlyInTheirEdgeSlices) {
  Tiles.tileTable[0].frames[0].assign(65, 99);
  Plane h = MakePlane(kHLined, 50, 4, 64);
  Draw(h, 3, 0);  // first slice: screen 0..4, last slice: 317..319
  EXPECT_EQ(At(0, 0), 99);
  EXPECT_EQ(At(4, 0), 99);
  EXPECT_EQ(At(5, 0), 0);
  EXPECT_EQ(At(316, 100), 0);
  EXPECT_EQ(At(317, 100), 99);
  EXPECT_EQ(At(319, 199), 99);
  Draw(h, 0, 0);  // aligned: the first slice fills 0..7, the last shows nothing
  EXPECT_EQ(At(7, 0), 99);
  EXPECT_EQ(At(8, 0), 0);
  EXPECT_EQ(At(319, 0), 0);

  Plane v = MakePlane(kVLined, 4, 50, 64);
  Draw(v, 0, 3);  // top slice: rows 0..4, bottom slice: 197..199
  EXPECT_EQ(At(0, 4), 99);
  EXPECT_EQ(At(0, 5), 0);
  EXPECT_EQ(At(100, 196), 0);
  EXPECT_EQ(At(100, 197), 99);

  for (uint8_t type : {kFlat, kRelative, kHTiled, kVTiled}) {
    Plane p = MakePlane(type, 50, 30, 64);
    Draw(p, 3, 3);
    EXPECT_TRUE(FrameIs(0)) << int(type);
  }
}

// Every type over the same checkerboard of a holed tile and empty cells: the
// holes and the empty cells keep the background, at the edges as inside.
TEST_F(PlaneRenderTest, EmptyCellsAndHolesKeepTheBackgroundInEveryType) {
  struct View {
    int x, y;
  };
  for (uint8_t type = kFlat; type <= kVLined; ++type) {
    Plane p = MakePlane(type, 50, 30, 64);
    SetCells(p, [](int x, int y) { return (x + y) % 2 ? 0 : 46; });
    for (View v : {View{0, 0}, View{5, 3}, View{-13, -21}, View{333, 179}}) {
      if (type == kFlat && (v.x < 0 || v.x > 64)) continue;  // Flat wraps linearly, tested above
      Draw(p, v.x, v.y, 77);
      for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) {
          int wx = x + v.x, wy = y + v.y;
          int cx = FloorMod(wx >> 3, 50), cy = FloorMod(wy >> 3, 30);
          bool dot = (cx + cy) % 2 == 0 && ((wx & 7) + (wy & 7)) % 2 == 1;
          ASSERT_EQ(At(x, y), dot ? 7 : 77)
              << "type " << int(type) << " view " << v.x << "," << v.y << " at " << x << "," << y;
        }
    }
  }
}

TEST_F(PlaneRenderTest, RenderersDrawTheCurrentFrame) {
  Tile& t = Tiles.tileTable[3];
  t.frames[1].assign(65, 33);
  t.frameCount = 2;
  t.frame = 1;
  for (uint8_t type = kFlat; type <= kVLined; ++type) {
    Plane p = MakePlane(type, 50, 30, 64);
    SetCells(p, [](int, int) { return 3; });
    Draw(p, 3, 3);
    EXPECT_TRUE(FrameIs(33)) << int(type);
  }
}

TEST_F(PlaneRenderTest, BrokenPlanesDrawSafely) {
  for (uint8_t type = kFlat; type <= kVLined; ++type) {
    SCOPED_TRACE(int(type));
    Plane good = MakePlane(type, 50, 30, 64);
    SetCells(good, [](int x, int) { return 1 + x % 40; });

    Plane beyond = good;  // tile numbers past the table
    SetCells(beyond, [](int, int) { return 5000; });
    Draw(beyond, 0, 0, 77);
    EXPECT_TRUE(FrameIs(77));

    Plane noLines = good;  // loops below 1 or missing count as the plane's size
    noLines.lineLoops.assign(2, 0);
    noLines.lineSpeeds.clear();
    noLines.otherLoop = -3;
    noLines.wrapCells = 0;
    Draw(noLines, 0, 0);
    EXPECT_EQ(At(8, 0), 2);

    Plane odd = good;  // short map, nonsense sizes: no fault
    odd.tiles.resize(7);
    odd.rowSkip = INT32_MIN;
    odd.wrapCells = 7;
    odd.otherLoop = INT32_MAX;
    Draw(odd, INT32_MAX, INT32_MIN);
    Draw(good, INT32_MIN, INT32_MAX);
    good.height = 0;
    Draw(good, 0, 0);
    EXPECT_TRUE(FrameIs(0));
  }
}

TEST_F(PlaneRenderTest, OnlySixTypesAreDrawnAndModeTwoDrawsNone) {
  Plane p = MakePlane(kFlat, 50, 30, 64);
  SetCells(p, [](int, int) { return 1; });
  p.type = 6;
  Draw(p, 0, 0);
  EXPECT_TRUE(FrameIs(0));
  p.type = 255;
  Draw(p, 0, 0);
  EXPECT_TRUE(FrameIs(0));

  SelectVideoMode(2);
  for (uint8_t type = kFlat; type <= kVLined; ++type) {
    p.type = type;
    DrawPlane(p);
  }
  EXPECT_TRUE(FrameIs(0, 640 * 480));
  SelectVideoMode(0);
  p.type = kFlat;
  Draw(p, 0, 0);
  EXPECT_TRUE(FrameIs(1));
}

}  // namespace
