// plane_render_test.cpp: the six plane renderers on small hand-made planes:
// loops, per-line speeds, wrap-around, negative offsets and broken planes.
#include <algorithm>
#include <climits>
#include <cstring>
#include <initializer_list>
#include <random>
#include <vector>
#include <utility>

#include "gfx/draw.h"
#include "gfx/frame_buffer.h"
#include "gfx/plane_render.h"
#include "gfx/scroll.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "test_support.h"

namespace {

struct Px {
  int x, y, v;
};

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
    for (int n = 41; n <= 43; ++n) SetTile(n, [n](int r, int) { return 100 + 20 * (n - 41) + r; });
    for (int n = 44; n <= 45; ++n) SetTile(n, [n](int, int c) { return 160 + 20 * (n - 44) + c; });
    SetTile(46, [](int r, int c) { return (r + c) % 2 ? 7 : 0; });
  }
  template <class F>
  void SetTile(int n, F colour) {
    Tile& t = Tiles.tileTable[n];
    t.frames[0].assign(65, 0);
    t.frameCount = 1;
    for (int i = 0; i < 64; ++i) t.frames[0][i] = uint8_t(colour(i / 8, i % 8));
    t.opaque = std::count(t.frames[0].begin(), t.frames[0].end() - 1, 0) == 0;
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
  static void Draw(const Plane& p, int32_t vx, int32_t vy, uint8_t background = 0) {
    std::memset(Screen.FrameBuffer, background, 64000);
    Level.viewX = vx;
    Level.viewY = vy;
    BuildScrollTables();
    DrawPlane(p);
  }
  static uint8_t At(int x, int y) { return Screen.FrameBuffer[y * 320 + x]; }
  static void Expect(std::initializer_list<Px> px) {
    for (const Px& p : px) EXPECT_EQ(At(p.x, p.y), p.v) << p.x << "," << p.y;
  }
  static bool FrameIs(uint8_t v, size_t bytes = 64000) {
    return std::all_of(Screen.FrameBuffer, Screen.FrameBuffer + bytes, [v](uint8_t b) { return b == v; });
  }
};

int FloorMod(int a, int n) { return (a % n + n) % n; }

TEST_F(PlaneRenderTest, FlatPlaneRunsOnIntoTheNextMapRowAndWrapsLinearly) {
  Plane p = MakePlane(kFlat, 10, 4, 0);
  SetCells(p, [](int x, int y) { return 1 + y * 10 + x; });
  Draw(p, 0, 0);
  // Screen column 12 shows map row 1; row 1 starts at cell 10 and reaches cell
  // 39 at column 29, then the spare row; cell 40 wraps back to 0 at the row start.
  Expect({{99, 5, 13}, {312, 0, 40}, {232, 8, 40}, {240, 8, 0}, {0, 16, 21}, {96, 32, 13}});
  Draw(p, 26, 0);  // cell 3, two pixels in
  Expect({{5, 0, 4}, {6, 0, 5}});
  Draw(p, -8, 0);  // cell -1 is cell 39; 39 + 10 = 49 wraps to 9
  Expect({{0, 0, 40}, {8, 0, 0}, {0, 8, 10}});
  Draw(p, 0, -8);  // cell -10 is cell 30
  Expect({{72, 0, 40}, {0, 8, 1}});
}

TEST_F(PlaneRenderTest, RelativePlaneRepeatsItsLoop) {
  Plane p = MakePlane(kRelative, 50, 30, 64);
  p.lineLoops[0] = 4;
  SetCells(p, [](int x, int y) { return 1 + x % 10 + 10 * (y % 3); });
  Draw(p, 0, 0);
  for (int m = 0; m < 25; ++m)
    for (int k = 0; k < 40; ++k) ASSERT_EQ(At(8 * k + 3, 8 * m + 5), 1 + k % 4 + 10 * (m % 3)) << k << "," << m;
  Draw(p, 51, 0);  // tile column 6 is loop column 2, three pixels in
  Expect({{4, 0, 3}, {5, 0, 4}, {13, 0, 1}});
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
  // Speed 0 stands still, 64 follows the view, 32 moves half as far; then row 0 again.
  Draw(p, 16, 0);
  Expect({{0, 0, 1}, {8, 0, 2}, {0, 8, 3}, {0, 16, 2}, {0, 24, 1}, {0, 32, 3}, {0, 40, 2}});
  Draw(p, 20, 0);
  Expect({{3, 8, 3}, {4, 8, 4}, {6, 16, 3}});
}

TEST_F(PlaneRenderTest, VTiledColumnsScrollAtTheirOwnSpeeds) {
  Plane p = MakePlane(kVTiled, 50, 40, 0);
  p.otherSpeed = 64;
  p.otherLoop = 3;  // columns 0..2 repeat across the screen
  p.lineSpeeds[1] = 64;
  p.lineLoops[1] = 2;
  SetCells(p, [](int, int y) { return 1 + y; });
  Draw(p, 0, 8);  // column 1 shows view row 1 of a two-row loop
  Expect({{0, 8, 2}, {8, 0, 2}, {8, 8, 1}, {8, 16, 2}, {24, 0, 1}, {32, 0, 2}});
  Draw(p, 8, 12);  // screen column 0 is plane column 1, four pixels down
  Expect({{0, 3, 2}, {0, 4, 1}, {8, 0, 1}});
}

TEST_F(PlaneRenderTest, HLinedPlaneRepeatsItsPixelRows) {
  Plane p = MakePlane(kHLined, 50, 4, 0);
  p.otherSpeed = 64;
  p.otherLoop = 2;  // 16 pixel rows, repeated down the screen
  p.wrapCells = 2 * 50;
  SetCells(p, [](int x, int y) { return y == 0 ? (x % 2 ? 43 : 41) : y == 1 ? 42 : 5; });
  Draw(p, 0, 0);
  Expect({{5, 7, 107}, {5, 8, 120}, {5, 16, 100}, {100, 199, 107}, {319, 100, 144}});
  p.lineLoops[4] = 1;  // one pixel row repeats its first cell
  Draw(p, 0, 0);
  Expect({{8, 4, 104}, {8, 5, 145}});
  // One pixel row follows the view, to the last slice (tile column 40) and one loop further down.
  p.lineSpeeds[3] = 64;
  Draw(p, 4, 0);
  Expect({{4, 0, 100}, {8, 0, 140}, {3, 3, 103}, {4, 3, 143}, {319, 3, 103}, {4, 19, 143}});
}

TEST_F(PlaneRenderTest, VLinedPlaneScrollsEachPixelColumn) {
  Plane p = MakePlane(kVLined, 4, 50, 0);
  p.otherSpeed = 64;
  p.otherLoop = 4;  // 32 pixel columns
  p.lineSpeeds[5] = 64;
  SetCells(p, [](int, int y) { return y % 2 ? 45 : 44; });
  // Down to the bottom slice (plane row 25); column 37 is line 5 again.
  Draw(p, 0, 3);
  Expect({{0, 0, 160}, {0, 8, 180}, {5, 4, 165}, {5, 5, 185}, {5, 199, 185}, {37, 4, 165}, {37, 5, 185},
          {36, 5, 164}});
  p.lineLoops[12] = 1;  // one pixel column repeats its top cell
  Draw(p, 0, 3);
  Expect({{12, 8, 164}, {13, 8, 185}});
  Draw(p, -3, 3);  // line 5 is now screen column 8
  Expect({{8, 4, 165}, {8, 5, 185}, {7, 5, 164}});
}

TEST_F(PlaneRenderTest, LinedPlanesDrawTileZeroOnlyInTheirEdgeSlices) {
  Tiles.tileTable[0].frames[0].assign(65, 99);
  Plane h = MakePlane(kHLined, 50, 4, 64);
  Draw(h, 3, 0);  // first slice: screen 0..4, last slice: 317..319
  Expect({{0, 0, 99}, {4, 0, 99}, {5, 0, 0}, {316, 100, 0}, {317, 100, 99}, {319, 199, 99}});
  Draw(h, 0, 0);  // aligned: the first slice fills 0..7, the last shows nothing
  Expect({{7, 0, 99}, {8, 0, 0}, {319, 0, 0}});
  Plane v = MakePlane(kVLined, 4, 50, 64);
  Draw(v, 0, 3);  // top slice: rows 0..4, bottom slice: 197..199
  Expect({{0, 4, 99}, {0, 5, 0}, {100, 196, 0}, {100, 197, 99}});
  for (uint8_t type : {kFlat, kRelative, kHTiled, kVTiled}) {
    Draw(MakePlane(type, 50, 30, 64), 3, 3);
    EXPECT_TRUE(FrameIs(0)) << int(type);
  }
}

// Every type over the same checkerboard of a holed tile and empty cells: the
// holes and the empty cells keep the background, at the edges as inside and
// at negative views, and the tile shows its current frame.
TEST_F(PlaneRenderTest, EmptyCellsAndHolesKeepTheBackgroundInEveryType) {
  Tile& t = Tiles.tileTable[46];
  t.frames[1] = t.frames[0];
  t.frames[0].assign(65, 5);
  t.frameCount = 2;
  t.frame = 1;
  for (uint8_t type = kFlat; type <= kVLined; ++type) {
    Plane p = MakePlane(type, 50, 30, 64);
    SetCells(p, [](int x, int y) { return (x + y) % 2 ? 0 : 46; });
    for (auto [vx, vy] : {std::pair{0, 0}, {5, 3}, {-13, -21}, {333, 179}}) {
      if (type == kFlat && (vx < 0 || vx > 64)) continue;  // Flat wraps linearly, tested above
      Draw(p, vx, vy, 77);
      for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) {
          int wx = x + vx, wy = y + vy;
          int cx = FloorMod(wx >> 3, 50), cy = FloorMod(wy >> 3, 30);
          bool dot = (cx + cy) % 2 == 0 && ((wx & 7) + (wy & 7)) % 2 == 1;
          ASSERT_EQ(At(x, y), dot ? 7 : 77) << "type " << int(type) << " view " << vx << "," << vy << " at " << x
                                            << "," << y;
        }
    }
  }
}

TEST_F(PlaneRenderTest, BrokenPlanesDrawSafely) {
  for (uint8_t type = kFlat; type <= kVLined; ++type) {
    SCOPED_TRACE(int(type));
    Plane p = MakePlane(type, 50, 30, 64);
    SetCells(p, [](int, int) { return 5000; });  // tile numbers past the table
    Draw(p, 0, 0, 77);
    EXPECT_TRUE(FrameIs(77));
    SetCells(p, [](int x, int) { return 1 + x % 40; });
    p.lineLoops.assign(2, 0);  // loops below 1 or missing count as the plane's size
    p.lineSpeeds.clear();
    p.otherLoop = -3;
    p.wrapCells = 0;
    Draw(p, 0, 0);
    EXPECT_EQ(At(8, 0), 2);
    Draw(p, INT32_MIN, INT32_MAX);
    p.tiles.resize(7);  // short map, nonsense sizes: no fault
    p.rowSkip = INT32_MIN;
    p.wrapCells = 7;
    p.otherLoop = INT32_MAX;
    Draw(p, INT32_MAX, INT32_MIN);
    p.height = 0;
    Draw(p, 0, 0);
    EXPECT_TRUE(FrameIs(0));
  }
}

TEST_F(PlaneRenderTest, OnlySixTypesAreDrawn) {
  Plane p = MakePlane(kFlat, 50, 30, 64);
  SetCells(p, [](int, int) { return 1; });
  for (int type : {6, 255}) {
    p.type = uint8_t(type);
    Draw(p, 0, 0);
    EXPECT_TRUE(FrameIs(0)) << type;
  }
}

TEST_F(PlaneRenderTest, OpaqueLinesAreTheLinesFilledEdgeToEdge) {
  for (uint8_t type = kFlat; type <= kVLined; ++type) {
    Plane p = MakePlane(type, 50, 30, 64);
    SetCells(p, [](int x, int y) { return 1 + (x + y) % 40; });
    Level.viewX = 5, Level.viewY = 3;
    BuildScrollTables();
    const bool rows = type != kVTiled && type != kVLined;  // columns are not looked at
    EXPECT_EQ(OpaqueLines(p).count(), rows ? 200u : 0u) << int(type);
    if (type == kVTiled || type == kVLined) continue;
    // A holed tile in map row 4 (screen lines 29..36) leaves that row's lines out;
    // an H Lined row's lines all repeat the same cells.
    p.tiles[4 * 50 + 10] = 46;
    const FrameLines lines = OpaqueLines(p);
    for (int y = 0; y < 200; ++y) EXPECT_EQ(lines[size_t(y)], y < 29 || y > 36) << int(type) << " line " << y;
  }
  // Outside video mode 0 the renderers are not these: nothing is promised.
  Plane p = MakePlane(kRelative, 50, 30, 64);
  SetCells(p, [](int, int) { return 1; });
  StartVideoMode(2);
  EXPECT_TRUE(OpaqueLines(p).none());
}

// An H Lined line whose columns end on its loop shows the cell after the loop
// in its last slice.
TEST_F(PlaneRenderTest, OpaqueHLinedLinesCountTheCellAfterTheLoop) {
  Plane p = MakePlane(kHLined, 50, 4, 64);
  p.lineLoops.assign(p.lineLoops.size(), 4);
  SetCells(p, [](int x, int) { return x < 4 ? 1 : 46; });
  Level.viewY = 0;
  for (auto [vx, covered] : {std::pair{3, false}, {11, true}, {8, true}}) {
    Level.viewX = vx;
    BuildScrollTables();
    EXPECT_EQ(OpaqueLines(p).count(), covered ? 200u : 0u) << vx;
  }
}

// On random planes: every line reported opaque is filled, and a draw behind
// hidden lines gives each line either as the full draw has it or, where
// hidden, untouched.
TEST_F(PlaneRenderTest, DrawsBehindHiddenLinesMatchFullDraws) {
  std::mt19937 rng(11);
  auto pick = [&](int n) { return int(rng() % uint32_t(n)); };
  const int mixed[] = {1, 2, 41, 44, 46, 0, 5000};  // solid, striped, holed, empty, past the table
  std::vector<uint8_t> full(64000);
  int skipped = 0, opaque = 0;
  for (int round = 0; round < 240; ++round) {
    const uint8_t type = uint8_t(round % 6);
    Plane p = MakePlane(type, 50, 30, 64);
    const bool solid = pick(3) > 0;
    SetCells(p, [&](int x, int y) { return solid && pick(30) ? 1 + (x * 7 + y) % 40 : mixed[pick(7)]; });
    for (auto& speed : p.lineSpeeds)
      if (pick(4) == 0) speed = uint8_t(pick(256));
    for (auto& loop : p.lineLoops)
      if (pick(4) == 0) loop = pick(60);
    Draw(p, pick(4000) - 2000, pick(4000) - 2000, 77);
    std::copy(Screen.FrameBuffer, Screen.FrameBuffer + 64000, full.begin());
    const FrameLines lines = OpaqueLines(p);
    FrameLines hidden;
    for (int y = 0; y < 200; ++y) hidden[size_t(y)] = pick(2) ? lines[size_t(y)] : pick(4) == 0;
    std::memset(Screen.FrameBuffer, 77, 64000);
    DrawPlaneBehind(p, hidden);
    for (int y = 0; y < 200; ++y) {
      SCOPED_TRACE("round " + std::to_string(round) + " line " + std::to_string(y));
      const uint8_t* want = full.data() + 320 * y;
      const uint8_t* got = Screen.FrameBuffer + 320 * y;
      if (lines[size_t(y)]) {
        ASSERT_EQ(std::count(want, want + 320, 77), 0);
      }
      const bool same = std::equal(want, want + 320, got), untouched = std::count(got, got + 320, 77) == 320;
      ASSERT_TRUE(same || (hidden[size_t(y)] && untouched));
      skipped += !same;
    }
    opaque += int(lines.count());
  }
  EXPECT_GT(skipped, 1000);
  EXPECT_GT(opaque, 10000);
}

}  // namespace
