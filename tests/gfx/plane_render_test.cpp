// plane_render_test.cpp: the six plane renderers against a plain reference
// drawn pixel by pixel from the rules of each plane type, over random planes,
// views and canvases; hand-worked pictures that pin the reference itself; and
// the plane run's covered lines.
#include <algorithm>
#include <climits>
#include <cstring>
#include <initializer_list>
#include <random>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "gfx/plane_render.h"
#include "gfx/scroll.h"
#include "gfx/tile_blocks.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "test_support.h"

namespace {

int64_t Mod(int64_t a, int64_t n) { return (a % n + n) % n; }
int Low3(int64_t a) { return int(a & 7); }  // a pixel's place in its tile

// The camera of a speed byte: s/64 of the view, above 128 ("WITH SCROLL")
// (s - 128)/64 of the view plus the drift; 32-bit products, rounded down.
int32_t Camera(uint8_t s, int32_t view, uint32_t drift) {
  const uint32_t v = s <= 128 ? uint32_t(view) * s : (uint32_t(view) + drift) * (s - 128u);
  return int32_t(v) >> 6;
}

// The renderers' block table of a test's own tiles.
TileBlocks BlocksOf(std::span<const Tile> tiles) {
  TileBlocks blocks;
  FillTileBlocks(blocks, tiles);
  return blocks;
}

// The reference renderer: the plane over the 320x200 frame (stride 320),
// pixel by pixel. `filled` gets the lines whose every pixel the plane wrote.
void DrawReference(const Plane& p, std::span<const Tile> tiles, int32_t vx, int32_t vy, uint32_t drift, uint8_t* frame,
                   FrameLines* filled = nullptr) {
  if (filled) filled->reset();
  if (p.width < 1 || p.height < 1 || p.tiles.empty() || p.type > kVLined) return;
  const int64_t w = p.width, h = p.height;
  auto speed = [&](int64_t line) -> uint8_t {
    return line >= 0 && line < int64_t(p.lineSpeeds.size()) ? p.lineSpeeds[size_t(line)] : 8;
  };
  auto loopOf = [&](int64_t line, int64_t size) -> int64_t {
    const int64_t loop = line >= 0 && line < int64_t(p.lineLoops.size()) ? p.lineLoops[size_t(line)] : 0;
    return loop >= 1 ? loop : size;
  };
  const int64_t other = p.otherLoop >= 1 ? p.otherLoop : (p.type == kVTiled || p.type == kVLined ? w : h);
  const int64_t wrap = p.wrapCells >= 1 ? p.wrapCells : w * h;
  const int32_t otherCamX = Camera(p.otherSpeed, vx, drift), otherCamY = Camera(p.otherSpeed, vy, drift);
  for (int64_t y = 0; y < 200; ++y) {  // 64 bits: views reach the ends of 32
    bool whole = true;
    for (int64_t x = 0; x < 320; ++x) {
      int64_t cell = -1;  // the map cell shown here, its block row and column
      int row = 0, col = 0;
      bool zeroShows = false;  // the Lined planes' edge slices show tile 0 too
      if (p.type == kFlat) {
        // The map read as one line of wrapCells cells; each screen tile row
        // starts 41 + rowSkip cells after the one above.
        const int64_t m = (y + (vy & 7)) >> 3, k = (x + (vx & 7)) >> 3;
        cell = Mod(w * (vy >> 3) + (vx >> 3) + m * (41 + int64_t(p.rowSkip)), wrap) + k;
        row = Low3(y + vy), col = Low3(x + vx);
      } else if (p.type == kRelative || p.type == kHTiled) {
        // Rows run down from the camera's row, the top one where it stands,
        // the rest wrapped at wrapCells; a wrap takes otherLoop off the row's line.
        const int64_t m = (y + (otherCamY & 7)) >> 3, r0 = Mod(otherCamY >> 3, h), t = w * r0 + m * w;
        const int64_t rowBase = m == 0 ? t : t % wrap, r = m == 0 ? r0 : r0 + m - t / wrap * other;
        const int64_t line = p.type == kHTiled ? r : 0, loop = loopOf(line, w);
        const int32_t camX = Camera(speed(line), vx, drift);
        cell = rowBase + Mod((camX >> 3) + ((x + (camX & 7)) >> 3), loop);
        row = Low3(y + otherCamY), col = Low3(x + camX);
      } else if (p.type == kVTiled) {
        const int64_t c = Mod((otherCamX >> 3) + ((x + (otherCamX & 7)) >> 3), other);
        const int32_t camY = Camera(speed(c), vy, drift);
        cell = w * Mod((camY >> 3) + ((y + (camY & 7)) >> 3), loopOf(c, h)) + c;
        row = Low3(y + camY), col = Low3(x + otherCamX);
      } else if (p.type == kHLined) {
        // Pixel line q of the vertical loop; the map rows wrap at wrapCells,
        // each wrap taking a loop's lines off q.
        const int64_t span = other * 8, adv = ((otherCamY & 7) + y) >> 3;
        const int64_t t = Mod(otherCamY >> 3, other) * w + adv * w, rowBase = t % wrap;
        const int64_t q = Mod(otherCamY, span) + y - t / wrap * span, loop = loopOf(q, w);
        const int32_t camX = Camera(speed(q), vx, drift);
        const int64_t k = (x + (camX & 7)) >> 3, c = Mod(camX >> 3, loop);
        // The last slice takes the cell after the one before it, not wrapped.
        cell = rowBase + (k < 40 ? Mod(c + k, loop) : Mod(c + 39, loop) + 1);
        zeroShows = k == 0 || k == 40;
        row = Low3(y + otherCamY), col = Low3(x + camX);
      } else {  // V Lined, the same turned on its side
        const int64_t line = Mod(int64_t(otherCamX) + x, other * 8), loop = loopOf(line, h);
        const int32_t camY = Camera(speed(line), vy, drift);
        const int64_t m = (y + (camY & 7)) >> 3, r = Mod(camY >> 3, loop);
        cell = w * (m < 25 ? Mod(r + m, loop) : Mod(r + 24, loop) + 1) + (line >> 3);
        zeroShows = m == 0 || m == 25;
        row = Low3(y + camY), col = Low3(line);
      }
      // Cells beyond the map and numbers beyond the tile set are empty; index 0 is transparent.
      uint8_t v = 0;
      if (cell >= 0 && cell < int64_t(p.tiles.size())) {
        const uint32_t n = p.tiles[size_t(cell)];
        if (n < tiles.size() && (n != 0 || zeroShows)) {
          const Tile& tile = tiles[n];
          if (tile.frame < tile.frames.size() && tile.frames[tile.frame].size() >= 64)
            v = tile.frames[tile.frame][size_t(row * 8 + col)];
        }
      }
      if (v) frame[y * 320 + x] = v;
      whole = whole && v;
    }
    if (filled) (*filled)[size_t(y)] = whole;
  }
}

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
    tiles.assign(47, Tile{});
    for (int n = 1; n <= 40; ++n) SetTile(n, [n](int, int) { return n; });
    for (int n = 41; n <= 43; ++n) SetTile(n, [n](int r, int) { return 100 + 20 * (n - 41) + r; });
    for (int n = 44; n <= 45; ++n) SetTile(n, [n](int, int c) { return 160 + 20 * (n - 44) + c; });
    SetTile(46, [](int r, int c) { return (r + c) % 2 ? 7 : 0; });
  }
  template <class F>
  void SetTile(int n, F colour) {
    Tile& t = tiles[size_t(n)];
    t.frames[0].assign(65, 0);
    t.frameCount = 1;
    for (int i = 0; i < 64; ++i) t.frames[0][size_t(i)] = uint8_t(colour(i / 8, i % 8));
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
      for (int x = 0; x < p.width; ++x) p.tiles[size_t(y * p.width + x)] = uint16_t(cell(x, y));
  }
  void Scrolled(int32_t vx, int32_t vy) {
    drift = Scroll.AutoScrollCounter;
    BuildScrollTables(vx, vy);
  }
  // Draws the plane and checks the frame against the reference's.
  void Draw(const Plane& p, int32_t vx, int32_t vy, uint8_t background = 0) {
    Scrolled(vx, vy);
    std::vector<uint8_t> want(64000, background);
    DrawReference(p, tiles, vx, vy, drift, want.data());
    frame.assign(64000, background);
    DrawPlane(p, BlocksOf(tiles), Scroll, FrameCanvas(frame.data()));
    ASSERT_TRUE(frame == want) << "type " << int(p.type) << " view " << vx << "," << vy;
  }
  FrameLines OpaqueLines(const Plane& p) {
    const TileBlocks blocks = BlocksOf(tiles);
    PlaneRun run(blocks, Scroll, FrameCanvas(frame.data()));
    return run.OpaqueLines(p);
  }
  uint8_t At(int x, int y) const { return frame[size_t(y * 320 + x)]; }
  void Expect(std::initializer_list<Px> px) const {
    for (const Px& p : px) EXPECT_EQ(At(p.x, p.y), p.v) << p.x << "," << p.y;
  }
  bool FrameIs(uint8_t v) const {
    return std::all_of(frame.begin(), frame.end(), [v](uint8_t b) { return b == v; });
  }
  std::vector<Tile> tiles;
  std::vector<uint8_t> frame = std::vector<uint8_t>(64000);
  uint32_t drift = 0;
};

// Hand-worked pictures: each Draw also checks the renderer against the reference.
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
  Expect({{0, 0, 160}, {0, 8, 180}, {5, 4, 165}, {5, 5, 185}, {5, 199, 185}, {37, 4, 165}, {37, 5, 185}, {36, 5, 164}});
  p.lineLoops[12] = 1;  // one pixel column repeats its top cell
  Draw(p, 0, 3);
  Expect({{12, 8, 164}, {13, 8, 185}});
  Draw(p, -3, 3);  // line 5 is now screen column 8
  Expect({{8, 4, 165}, {8, 5, 185}, {7, 5, 164}});
}

TEST_F(PlaneRenderTest, LinedPlanesDrawTileZeroOnlyInTheirEdgeSlices) {
  tiles[0].frames[0].assign(65, 99);
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
    Scrolled(5, 3);
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
  for (auto [vx, covered] : {std::pair{3, false}, {11, true}, {8, true}}) {
    Scrolled(vx, 0);
    EXPECT_EQ(OpaqueLines(p).count(), covered ? 200u : 0u) << vx;
  }
}

// Random tiles: solid ones marked opaque, others with holes, some with a
// later frame shown, some blank, some without a block to draw; tile 0
// sometimes has one.
std::vector<Tile> RandomTiles(std::mt19937& rng) {
  auto pick = [&](int n) { return int(rng() % uint32_t(n)); };
  std::vector<Tile> tiles(size_t(2 + pick(60)));
  for (size_t n = 0; n < tiles.size(); ++n) {
    Tile& t = tiles[n];
    const int kind = pick(8);
    if (kind == 0 || (n == 0 && pick(2))) continue;  // no block
    const bool solid = kind <= 3;
    t.frame = uint8_t(pick(4) == 0);
    for (auto& block : {&t.frames[0], &t.frames[1]}) {
      block->resize(65);
      for (auto& b : *block) b = uint8_t(solid || pick(3) ? 1 + pick(255) : 0);
    }
    if (kind == 4) t.frames[t.frame].resize(63);              // too short to draw
    if (kind == 5 && n % 2) t.frames[t.frame].assign(65, 0);  // blank
    if (kind == 3) t.frame = 2;                               // a frame without a block
    t.opaque = solid;
  }
  return tiles;
}

// A plane of any type with random sizes, loops (1 and past the plane among
// them), line tables of any length, wrap, row skip and cells; `solid` planes
// are sane and every cell holds one of tiles 1 .. tileCount - 1.
Plane RandomPlane(std::mt19937& rng, uint8_t type, bool solid, size_t tileCount) {
  auto pick = [&](int n) { return int(rng() % uint32_t(n)); };
  auto loop = [&](int size) {
    const int loops[] = {size, 1, size + 1 + pick(40), -pick(3), 1 + pick(size)};
    return loops[pick(5)];
  };
  Plane p;
  p.type = type;
  p.width = pick(12) == 0 ? -pick(2) : 1 + pick(70);
  p.height = pick(12) == 0 ? 0 : 1 + pick(40);
  const int w = std::max(p.width, 1), h = std::max(p.height, 1);
  const bool columns = type == kVTiled || type == kVLined;
  const int along = columns ? h : w, across = columns ? w : h;
  const int lines = type <= kRelative ? 1 : type == kHTiled ? h : type == kVTiled ? w : 8 * along;
  p.lineLoops.resize(size_t(solid ? lines : pick(lines + 10)));
  p.lineSpeeds.resize(size_t(solid ? lines : pick(lines + 10)));
  // Lines one by one, or in bands that share speed and loop (as a wall's
  // depths do), so that lines are drawn apart and together.
  const bool bands = pick(3) == 0;
  for (size_t i = 0; i < p.lineLoops.size(); ++i)
    p.lineLoops[i] = solid ? along : bands && i > 0 && pick(6) ? p.lineLoops[i - 1] : loop(along);
  for (size_t i = 0; i < p.lineSpeeds.size(); ++i)
    p.lineSpeeds[i] = bands && i > 0 && pick(6) ? p.lineSpeeds[i - 1] : uint8_t(pick(3) ? pick(256) : 64);
  p.otherLoop = solid ? across : loop(across);
  p.otherSpeed = uint8_t(pick(256));
  const int wraps[] = {w * h, 0, 1 + pick(w * h + 100), w * (1 + pick(h))};
  p.wrapCells = solid ? w * h : wraps[pick(4)];
  p.rowSkip = solid || pick(2) ? w - 41 : pick(200) - 100;
  p.tiles.resize(solid ? size_t(w) * (h + 1) : size_t(pick(2) ? w * (h + 1) : pick(w * h + 50)));
  for (auto& c : p.tiles)
    c = uint16_t(solid ? 1 + pick(int(tileCount) - 1) : pick(5) == 0 ? 0 : pick(int(tileCount) + 5));
  return p;
}

int32_t RandomView(std::mt19937& rng) {
  switch (rng() % 4) {
    case 0: return int32_t(rng() % 2000) - 1000;
    case 1: return int32_t(rng());  // anywhere, INT32_MIN and INT32_MAX included
    case 2: return int32_t(rng() % 2 ? INT32_MAX - rng() % 4000 : INT32_MIN + rng() % 4000);
    default: return int32_t(rng() % 100000);
  }
}

// Every type over random planes, tiles, views and drifts, drawn into a
// canvas wider than the frame and with rows to spare: the frame is the
// reference's, and nothing outside it is touched.
TEST_F(PlaneRenderTest, EveryTypeDrawsWhatTheReferenceDraws) {
  std::mt19937 rng(17);
  int drawn = 0;
  for (int round = 0; round < 900; ++round) {
    const uint8_t type = uint8_t(round % 6);
    tiles = RandomTiles(rng);
    const Plane p = RandomPlane(rng, type, rng() % 4 == 0, tiles.size());
    const int32_t vx = RandomView(rng), vy = RandomView(rng);
    Scroll.AutoScrollCounter = rng();
    Scrolled(vx, vy);
    const uint8_t background = uint8_t(rng());
    std::vector<uint8_t> want(64000, background);
    DrawReference(p, tiles, vx, vy, drift, want.data());
    drawn += std::count(want.begin(), want.end(), background) < 64000;
    const int stride = 320 + int(rng() % 3) * int(rng() % 40), rows = 200 + int(rng() % 3);
    std::vector<uint8_t> canvas(size_t(stride) * rows, background);
    DrawPlane(p, BlocksOf(tiles), Scroll, {canvas.data(), stride, 320 + int(rng() % uint32_t(stride - 319)), rows});
    SCOPED_TRACE("round " + std::to_string(round) + " type " + std::to_string(type) + " view " + std::to_string(vx) +
                 "," + std::to_string(vy) + " stride " + std::to_string(stride));
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < stride; ++x) {
        const uint8_t expect = x < 320 && y < 200 ? want[size_t(y * 320 + x)] : background;
        ASSERT_EQ(canvas[size_t(y * stride + x)], expect) << "at " << x << "," << y;
      }
  }
  EXPECT_GT(drawn, 600) << "most random planes show something";
}

// The tile set's own table, kept from frame to frame, shows each frame of an
// animating tile and the tiles of a set made afresh.
TEST_F(PlaneRenderTest, TheTileSetsTableDrawsTheFramesTheRecordsShow) {
  Tiles.tileTable = tiles;
  Tile& t = Tiles.tileTable[41];
  t.frames[1].assign(65, 0);  // frames: stripes, blank, solid 3
  t.frames[2].assign(65, 3);
  t.frameCount = t.stepCount = 3;
  t.opaque = 0;
  TileSetChanged();
  for (uint8_t type : {kRelative, kHLined, kVLined}) {
    Plane p = MakePlane(type, 50, 30, 64);
    SetCells(p, [](int x, int y) { return (x + y) % 3 ? 41 : 46; });
    Scrolled(5, 3);
    for (int step = 0; step < 4; ++step) {
      std::vector<uint8_t> want(64000, 1);
      DrawReference(p, Tiles.tileTable, 5, 3, drift, want.data());
      frame.assign(64000, 1);
      DrawPlane(p, CurrentTileBlocks(), Scroll, FrameCanvas(frame.data()));
      ASSERT_TRUE(frame == want) << "type " << int(type) << " frame " << int(t.frame);
      AdvanceTileAnimations();
    }
  }
  BuildDefaultTileSet();
  Plane flat = MakePlane(kFlat, 50, 30, 64);
  SetCells(flat, [](int, int) { return 41; });
  frame.assign(64000, 1);
  DrawPlane(flat, CurrentTileBlocks(), Scroll, FrameCanvas(frame.data()));
  EXPECT_TRUE(FrameIs(1)) << "the default set is blank";
}

// Rows whose loop fits the kept lines (H Lined lines, tile rows), are
// copied from lines kept between frames where all opaque, merged where they
// have holes (row 1 here): they follow an animating tile, an edited cell, a
// tile set made afresh and another table, and two planes keep their own.
// Loops shorter and longer than the screen.
TEST_F(PlaneRenderTest, KeptLinesFollowTheirTilesAndMap) {
  for (auto [type, loop] : {std::pair<uint8_t, int>{kHLined, 6}, {kRelative, 6}, {kHTiled, 6}, {kHTiled, 50}}) {
    SCOPED_TRACE("type " + std::to_string(type) + " loop " + std::to_string(loop));
    Tiles.tileTable = tiles;
    Tile& t = Tiles.tileTable[41];
    t.frames[1].assign(65, 6);  // stripes, then solid 6, then solid 9: opaque throughout
    t.frames[2].assign(65, 9);
    t.frameCount = t.stepCount = 3;
    TileSetChanged();
    Plane p = MakePlane(type, 50, 4, 64);
    p.otherLoop = 4;
    p.lineLoops.assign(p.lineLoops.size(), loop);
    if (type == kHLined)
      for (size_t i = 16; i < 24; ++i) p.lineSpeeds[i] = 32;  // map row 2 in two groups
    SetCells(p, [](int x, int y) { return y == 1 && x == 3 ? 46 : x == 2 ? 41 : 1 + (x + 7 * y) % 40; });
    Plane other = p;
    SetCells(other, [](int x, int y) { return 1 + (x * 3 + y) % 40; });
    // Against the reference drawn from the tiles the table was made of.
    auto expect = [&](const Plane& plane, const TileBlocks& blocks, const std::string& what,
                      std::span<const Tile> from = Tiles.tileTable) {
      std::vector<uint8_t> want(64000, 1);
      DrawReference(plane, from, 5, 3, drift, want.data());
      frame.assign(64000, 1);
      DrawPlane(plane, blocks, Scroll, FrameCanvas(frame.data()));
      EXPECT_TRUE(frame == want) << what;
    };
    Scrolled(5, 3);
    for (int step = 0; step < 4; ++step) {
      expect(p, CurrentTileBlocks(), "step " + std::to_string(step));
      expect(p, CurrentTileBlocks(), "step " + std::to_string(step) + " again");
      expect(other, CurrentTileBlocks(), "the other plane, step " + std::to_string(step));
      AdvanceTileAnimations();
    }
    expect(p, CurrentTileBlocks(), "before the edit");
    p.tiles[2 * 50 + 4] = 33;
    expect(p, CurrentTileBlocks(), "an edited cell");
    for (Tile& tile : Tiles.tileTable)
      if (!tile.frames[0].empty()) tile.frames[0][9] = 250;
    TileSetChanged();
    expect(p, CurrentTileBlocks(), "the set made afresh");
    expect(p, BlocksOf(tiles), "another table", tiles);
  }
}

TEST_F(PlaneRenderTest, CanvasesSmallerThanTheFrameAreLeftAlone) {
  Plane p = MakePlane(kRelative, 50, 30, 64);
  SetCells(p, [](int, int) { return 1; });
  Scrolled(0, 0);
  for (PlaneCanvas c : {PlaneCanvas{frame.data(), 320, 319, 200}, PlaneCanvas{frame.data(), 320, 320, 199},
                        PlaneCanvas{frame.data(), 300, 320, 200}, PlaneCanvas{nullptr, 320, 320, 200}}) {
    DrawPlane(p, BlocksOf(tiles), Scroll, c);
    EXPECT_TRUE(FrameIs(0));
  }
}

// A run of random planes drawn in order, each leaving out the lines the
// later ones cover, gives the frame of full draws; every line reported
// covered is one the plane fills.
TEST_F(PlaneRenderTest, ARunDrawsTheFrameOfFullDrawsAndCoversOnlyFilledLines) {
  std::mt19937 rng(5);
  int covered = 0;
  for (int round = 0; round < 300; ++round) {
    tiles = RandomTiles(rng);
    tiles[1].frames[0].assign(65, 9);  // at least one solid tile
    tiles[1].frame = 0;
    tiles[1].opaque = 1;
    std::vector<Plane> planes;
    for (int i = 0, n = 2 + int(rng() % 3); i < n; ++i)
      planes.push_back(RandomPlane(rng, uint8_t(rng() % 6), rng() % 2 == 0, rng() % 2 ? 2 : tiles.size()));
    std::vector<const Plane*> order;
    for (const Plane& p : planes) order.push_back(rng() % 8 ? &p : nullptr);
    const int32_t vx = RandomView(rng), vy = RandomView(rng);
    Scrolled(vx, vy);
    std::vector<uint8_t> want(64000, 77);
    const TileBlocks blocks = BlocksOf(tiles);
    PlaneRun probe(blocks, Scroll, FrameCanvas(frame.data()));
    for (const Plane* p : order) {
      if (!p) continue;
      FrameLines filled;
      DrawReference(*p, tiles, vx, vy, drift, want.data(), &filled);
      const FrameLines opaque = probe.OpaqueLines(*p);
      ASSERT_TRUE((opaque & ~filled).none()) << "round " << round << " type " << int(p->type);
      covered += int(opaque.count());
    }
    frame.assign(64000, 77);
    PlaneRun run(blocks, Scroll, FrameCanvas(frame.data()));
    run.DrawInOrder(order);
    ASSERT_TRUE(frame == want) << "round " << round;
  }
  EXPECT_GT(covered, 20000);
}

}  // namespace
