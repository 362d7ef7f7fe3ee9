// draw_test.cpp: tile and sprite routines of the three video modes: culling,
// clipping, transparency, flips and the clip window.
#include <algorithm>
#include <climits>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "gfx/draw.h"
#include "gfx/frame_buffer.h"
#include "gfx/pcx.h"
#include "level/tile_set.h"
#include "test_support.h"

namespace {

struct Px {
  int x, y, v;
};

class DrawTest : public EngineTest {
 protected:
  // Tile pixel (r, c) = 1 + 8r + c: every pixel tells where it came from.
  static Tile Numbered() {
    Tile t;
    t.frames[0].resize(65);
    for (int i = 0; i < 64; ++i) t.frames[0][i] = uint8_t(1 + i);
    t.frameCount = t.opaque = 1;
    return t;
  }
  // 16 x 16, pixel (r, c) = c + 1 in the top half and c + 101 in the bottom half.
  static Sprite Sprite16() {
    Sprite s;
    s.width = s.height = 16;
    s.frames[0].resize(16 * 16 + 1);
    for (int i = 0; i < 256; ++i) s.frames[0][i] = uint8_t((i < 128 ? 1 : 101) + i % 16);
    s.frameCount = 1;
    return s;
  }
  static void Clear(uint8_t v = 0) { std::memset(Screen.FrameBuffer, v, 64000); }
  static uint8_t At(int x, int y) { return Screen.FrameBuffer[y * 320 + x]; }
  static void Expect(std::initializer_list<Px> px, int stride = 320) {
    for (const Px& p : px) EXPECT_EQ(Screen.FrameBuffer[p.y * stride + p.x], p.v) << p.x << "," << p.y;
  }
  static int CountNonZero() { return int(64000 - std::count(Screen.FrameBuffer, Screen.FrameBuffer + 64000, 0)); }
  const DrawTableT& dt = Video.DrawTable;
};

TEST_F(DrawTest, TileAtTheLeftAndRightEdges) {
  Tile t = Numbered();
  // World 93 against camera 100 is screen column -7: only tile column 7 shows, at 0.
  dt.DrawTile(t, 100, 50, 93, 50);
  for (int r = 0; r < 8; ++r) EXPECT_EQ(At(0, r), 8 + 8 * r) << r;
  EXPECT_EQ(CountNonZero(), 8);
  Clear();
  dt.DrawTile(t, 0, 0, -8, 0);
  dt.DrawTile(t, 0, 0, 0, 200);
  EXPECT_EQ(CountNonZero(), 0);
  // 312 is past the whole-tile path yet all eight columns still fit.
  dt.DrawTile(t, 0, 0, 312, 0);
  for (int c = 0; c < 8; ++c) EXPECT_EQ(At(312 + c, 7), 57 + c) << c;
  EXPECT_EQ(CountNonZero(), 64);
}

TEST_F(DrawTest, TileColourZeroIsWrittenOnlyByTheOpaqueRoutine) {
  Tile t = Numbered();
  t.frames[0][0] = t.frames[0][13] = 0;  // pixels (0, 0) and (1, 5)
  Clear(99);
  dt.DrawTile(t, 0, 0, 16, 16);
  dt.DrawTileMasked(t, 0, 0, 32, 16);  // whole tile
  dt.DrawTileMasked(t, 0, 0, -2, 40);  // clipped: pixel (1, 5) lands at (3, 41)
  Expect({{16, 16, 0},
          {21, 17, 0},
          {17, 16, 2},
          {32, 16, 99},
          {37, 17, 99},
          {33, 16, 2},
          {39, 23, 64},
          {3, 41, 99},
          {2, 41, 13},
          {0, 40, 3}});
}

TEST_F(DrawTest, MissingPixelBlocksDrawNothing) {
  Tile shortBlock = Numbered(), badFrame = Numbered();
  shortBlock.frames[0].resize(63);
  badFrame.frame = 200;
  dt.DrawTile(shortBlock, 0, 0, 100, 100);
  dt.DrawTileMaskedClip(badFrame, 0, 0, 100, 100, 0, 320, 0, 200);
  Sprite uncut = Sprite16(), badSlot = Sprite16(), shortFrame = Sprite16();
  uncut.currentFrame = 1;
  badSlot.currentFrame = 99;
  shortFrame.frames[0].resize(100);
  EXPECT_EQ(dt.DrawSprite(uncut, 0, 0, 10, 10), 0);
  EXPECT_EQ(dt.DrawSpriteFlipH(badSlot, 0, 0, 10, 10), 0);
  EXPECT_EQ(dt.DrawSpriteClip(shortFrame, 0, 0, 10, 10, 0, 320, 0, 200), 0);
  EXPECT_EQ(CountNonZero(), 0);
}

TEST_F(DrawTest, SpriteCulledOnlyWhenNoColumnShows) {
  Sprite s = Sprite16();
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, -15, 0), 1);
  Expect({{0, 0, 16}, {0, 15, 116}});
  EXPECT_EQ(CountNonZero(), 16);
  Clear();
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, -16, 0), 0);
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, 320, 0), 0);
  EXPECT_EQ(dt.DrawSpriteFlipHV(s, 0, 0, 0, 200), 0);
  EXPECT_EQ(CountNonZero(), 0);
  // The origin shifts the sprite; camera and world cancel.
  s.originX = -3;
  s.originY = 2;
  EXPECT_EQ(dt.DrawSprite(s, 1000, -1000, 1319, -1000), 1);
  Expect({{316, 2, 1}, {319, 17, 104}, {315, 2, 0}});
}

TEST_F(DrawTest, FlipsMirrorTheSourceAndUseTheFlippedOrigin) {
  // 3 x 2 sprite: rows (1 2 0) and (4 5 6); a flip in x draws five pixels further left.
  Sprite s;
  s.width = 3;
  s.height = 2;
  s.frames[0] = {1, 2, 0, 4, 5, 6, 0};
  s.flippedOriginX = -5;
  s.flippedOriginY = 2;
  Clear(9);
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, 10, 10), 1);
  EXPECT_EQ(dt.DrawSpriteFlipV(s, 0, 0, 30, 10), 1);   // at (30, 12)
  EXPECT_EQ(dt.DrawSpriteFlipH(s, 0, 0, 50, 10), 1);   // at (45, 10)
  EXPECT_EQ(dt.DrawSpriteFlipHV(s, 0, 0, 70, 10), 1);  // at (65, 12)
  const uint8_t plain[2][3] = {{1, 2, 9}, {4, 5, 6}}, flipV[2][3] = {{4, 5, 6}, {1, 2, 9}};
  const uint8_t flipH[2][3] = {{9, 2, 1}, {6, 5, 4}}, flipHV[2][3] = {{6, 5, 4}, {9, 2, 1}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c)
      Expect({{10 + c, 10 + r, plain[r][c]},
              {30 + c, 12 + r, flipV[r][c]},
              {45 + c, 10 + r, flipH[r][c]},
              {65 + c, 12 + r, flipHV[r][c]}});
  Expect({{44, 10, 9}, {48, 10, 9}});
  // Clipped flips keep the mirrored columns: only source columns 1 and 0 remain.
  EXPECT_EQ(dt.DrawSpriteFlipH(s, 0, 0, 4, 100), 1);  // at (-1, 100)
  Expect({{0, 100, 2}, {1, 100, 1}, {2, 100, 9}});
  EXPECT_EQ(dt.DrawSpriteFlipHV(s, 0, 0, 324, 197), 1);  // at (319, 199): one pixel
  Expect({{319, 199, 6}});
}

TEST_F(DrawTest, ClipWindowIsNeverWrittenOutside) {
  Sprite s = Sprite16();
  Tile t = Numbered();
  // Window [100, 200) x [50, 150); positions all around and across its border.
  for (int y = 20; y < 180; y += 7)
    for (int x = 70; x < 230; x += 7) {
      dt.DrawSpriteClip(s, 0, 0, x, y, 100, 200, 50, 150);
      dt.DrawSpriteFlipVClip(s, 0, 0, x, y, 100, 200, 50, 150);
      dt.DrawSpriteFlipHClip(s, 0, 0, x, y, 100, 200, 50, 150);
      dt.DrawSpriteFlipHVClip(s, 0, 0, x, y, 100, 200, 50, 150);
      dt.DrawTileClip(t, 0, 0, x, y, 100, 200, 50, 150);
      dt.DrawTileMaskedClip(t, 0, 0, x, y, 100, 200, 50, 150);
    }
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 320; ++x)
      if (x < 100 || x >= 200 || y < 50 || y >= 150) {
        ASSERT_EQ(At(x, y), 0) << x << "," << y;
      }
  EXPECT_NE(At(100, 50), 0);
  EXPECT_NE(At(199, 149), 0);
  // A window reaching past the screen still writes only inside the frame.
  Clear();
  EXPECT_EQ(dt.DrawSpriteClip(s, 0, 0, -10, 195, -100, 1000, -100, 1000), 1);
  EXPECT_EQ(CountNonZero(), 6 * 5);
  dt.DrawTileClip(t, 0, 0, 316, -4, -100, 1000, -100, 1000);
  Expect({{316, 0, 33}});  // tile row 4
}

TEST_F(DrawTest, FarPositionsWrapLikeThirtyTwoBitsWithoutFaults) {
  Sprite s = Sprite16();
  Tile t = Numbered();
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, INT32_MAX, INT32_MAX), 0);
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, INT32_MIN, INT32_MIN), 0);
  dt.DrawTile(t, -5, 0, INT32_MAX, 0);  // INT32_MIN + 4: far off to the left
  EXPECT_EQ(CountNonZero(), 0);
  dt.DrawTile(t, INT32_MIN, 0, INT32_MAX, 0);  // INT32_MAX - INT32_MIN wraps to -1
  dt.DrawTile(t, INT32_MAX, 0, INT32_MIN + 4, 100);
  Expect({{0, 0, 2}, {6, 0, 8}, {7, 0, 0}, {4, 100, 0}, {5, 100, 1}});
}

TEST_F(DrawTest, ModeTwoDoublesEveryPixel) {
  StartVideoMode(2);
  ASSERT_EQ(Video.VideoMode, 2);
  // Tile block of mode 2: 16 bytes a row, each pixel (1 + 8r + c) twice.
  Tile t;
  t.frames[0].resize(129);
  for (int i = 0; i < 128; ++i) t.frames[0][i] = uint8_t(1 + i / 2);
  t.opaque = 1;
  dt.DrawTile(t, 0, 0, 10, 5);
  dt.DrawTile(t, 0, 0, -7, 100);  // byte column -14: the last pair lands at bytes 0 and 1
  dt.DrawTile(t, 0, 0, 316, 60);  // pixels 0..3 fill bytes 632..639, nothing wraps
  dt.DrawTile(t, 0, 0, 0, 196);   // only 200 rows are drawn
  Expect({{19, 5, 0},
          {20, 5, 1},
          {21, 5, 1},
          {22, 5, 2},
          {35, 12, 64},
          {36, 12, 0},
          {0, 100, 8},
          {1, 100, 8},
          {2, 100, 0},
          {639, 60, 4},
          {0, 61, 0},
          {0, 199, 25},
          {0, 200, 0}},
         640);
  // A sprite's width is stored doubled; transparency looks at a pair's first byte.
  Sprite s;
  s.width = 4;  // two pixels
  s.height = 1;
  s.frames[0] = {0, 9, 7, 7, 0};
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, 50, 150), 1);
  EXPECT_EQ(dt.DrawSpriteFlipH(s, 0, 0, 60, 150), 1);
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, -2, 150), 0);
  Expect({{100, 150, 0}, {101, 150, 0}, {102, 150, 7}, {103, 150, 7}, {120, 150, 7}, {122, 150, 0}}, 640);
}

TEST_F(DrawTest, ModeFourIsAWiderAndTallerModeZero) {
  StartVideoMode(4);
  Tile t = Numbered();
  Sprite s = Sprite16();
  dt.DrawTile(t, 0, 0, 632, 472);  // misses the whole-tile path yet draws complete
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, 639, 470), 1);
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, 640, 0), 0);
  Expect({{632, 472, 1}, {638, 479, 63}, {639, 479, 101}}, 640);
}

// Rows of every width, cut by windows at every offset, against the pixel
// rule itself: wide rows take a faster path on some processors.
TEST_F(DrawTest, SpriteRowsOfAnyWidthMergeByThePixelRule) {
  for (uint32_t width : {1u, 8u, 15u, 63u, 64u, 65u, 127u, 200u, 320u}) {
    Sprite s;
    s.width = width;
    s.height = 3;
    s.frames[0].resize(width * 3 + 1);
    for (uint32_t i = 0; i < width * 3; ++i) s.frames[0][i] = uint8_t(i % 7 == 3 ? 0 : 1 + i % 200);
    s.frameCount = 1;
    for (int left : {0, 1, 63, 100}) {
      for (bool flip : {false, true}) {
        Clear(250);
        (flip ? dt.DrawSpriteFlipVClip : dt.DrawSpriteClip)(s, 0, 0, 0, 10, left, 320, 0, 200);
        for (int y = 9; y < 14; ++y)
          for (int x = 0; x < 320; ++x) {
            const int r = flip ? 12 - y : y - 10;
            const bool inside = y >= 10 && y < 13 && x >= left && x < int(width);
            const uint8_t v = inside ? s.frames[0][size_t(r) * width + size_t(x)] : 0;
            ASSERT_EQ(At(x, y), v ? v : 250) << width << " " << left << " " << flip << " at " << x << "," << y;
          }
      }
    }
  }
}

// Every form of the wide merge this processor runs writes the pixel rule's
// bytes for lengths about each form's step, and nothing past a row.
TEST(WideMerge, EveryFormMergesByThePixelRuleAndStaysInItsRows) {
  const std::vector<WideMergeFn> ways = WideMergeCandidates();
  std::vector<uint8_t> src(3 * 400);
  for (size_t i = 0; i < src.size(); ++i) src[i] = uint8_t(i % 5 == 2 || i % 37 < 3 ? 0 : 1 + i % 251);
  for (size_t way = 0; way < ways.size(); ++way)
    for (int64_t n : {1, 15, 16, 17, 31, 32, 33, 63, 64, 65, 100, 313, 320}) {
      std::vector<uint8_t> dst(3 * 360, 0xEE);
      ways[way](dst.data(), 360, src.data() + 5, 400, n, 3);
      for (size_t r = 0; r < 3; ++r)
        for (size_t x = 0; x < 360; ++x) {
          const uint8_t s = src[r * 400 + 5 + x];
          ASSERT_EQ(dst[r * 360 + x], int64_t(x) < n && s ? s : 0xEE) << "form " << way << " n " << n << " at " << x;
        }
    }
}

}  // namespace
