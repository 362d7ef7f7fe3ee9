// draw_test.cpp: tile and sprite routines of the three video modes: culling,
// clipping, transparency, flips and the clip window.
#include <climits>
#include <cstring>

#include "gfx/draw.h"
#include "gfx/frame_buffer.h"
#include "gfx/pcx.h"
#include "level/tile_set.h"
#include "test_support.h"

namespace {

class DrawTest : public EngineTest {
 protected:
  // Tile pixel (r, c) = 1 + 8r + c: every pixel tells where it came from.
  Tile Numbered() {
    Tile t;
    t.frames[0].resize(65);
    for (int i = 0; i < 64; ++i) t.frames[0][i] = uint8_t(1 + i);
    t.frameCount = 1;
    t.opaque = 1;
    return t;
  }
  // 16 x 16, pixel (r, c) = c + 1 in the top half and c + 101 in the bottom half.
  Sprite Sprite16() {
    Sprite s;
    s.width = s.height = 16;
    s.frames[0].resize(16 * 16 + 1);
    for (int r = 0; r < 16; ++r)
      for (int c = 0; c < 16; ++c) s.frames[0][r * 16 + c] = uint8_t((r < 8 ? 1 : 101) + c);
    s.frameCount = 1;
    return s;
  }
  uint8_t At(int x, int y) const { return Screen.FrameBuffer[y * 320 + x]; }
  int CountNonZero(size_t bytes = 64000) const {
    int n = 0;
    for (size_t i = 0; i < bytes; ++i) n += Screen.FrameBuffer[i] != 0;
    return n;
  }
  const DrawTableT& dt = Video.DrawTable;
};

TEST_F(DrawTest, TileAtTheLeftAndRightEdges) {
  Tile t = Numbered();
  // World 93 against camera 100 is screen column -7: only tile column 7 shows, at 0.
  dt.DrawTile(t, 100, 50, 93, 50);
  for (int r = 0; r < 8; ++r) EXPECT_EQ(At(0, r), 8 + 8 * r) << r;
  EXPECT_EQ(CountNonZero(), 8);

  std::memset(Screen.FrameBuffer, 0, 64000);
  dt.DrawTile(t, 0, 0, -8, 0);
  dt.DrawTile(t, 0, 0, 0, 200);
  EXPECT_EQ(CountNonZero(), 0);

  // 312 is past the whole-tile path yet all eight columns still fit.
  dt.DrawTile(t, 0, 0, 312, 0);
  for (int c = 0; c < 8; ++c) EXPECT_EQ(At(312 + c, 7), 57 + c) << c;
  EXPECT_EQ(CountNonZero(), 64);

  // Bottom-right corner: 3 x 2 pixels remain.
  std::memset(Screen.FrameBuffer, 0, 64000);
  dt.DrawTileMasked(t, 0, 0, 317, 198);
  EXPECT_EQ(At(317, 198), 1);
  EXPECT_EQ(At(319, 199), 11);
  EXPECT_EQ(CountNonZero(), 6);
}

TEST_F(DrawTest, TileColourZeroIsWrittenOnlyByTheOpaqueRoutine) {
  Tile t = Numbered();
  t.frames[0][0] = 0;   // pixel (0, 0)
  t.frames[0][13] = 0;  // pixel (1, 5)
  std::memset(Screen.FrameBuffer, 99, 64000);
  dt.DrawTile(t, 0, 0, 16, 16);
  dt.DrawTileMasked(t, 0, 0, 32, 16);  // whole tile
  dt.DrawTileMasked(t, 0, 0, -2, 40);  // clipped
  EXPECT_EQ(At(16, 16), 0);
  EXPECT_EQ(At(21, 17), 0);
  EXPECT_EQ(At(17, 16), 2);
  EXPECT_EQ(At(32, 16), 99);
  EXPECT_EQ(At(37, 17), 99);
  EXPECT_EQ(At(33, 16), 2);
  EXPECT_EQ(At(39, 23), 64);
  EXPECT_EQ(At(3, 41), 99);  // tile column 5 of row 1
  EXPECT_EQ(At(2, 41), 13);
  EXPECT_EQ(At(0, 40), 3);
}

TEST_F(DrawTest, MissingPixelBlocksDrawNothing) {
  Tile shortBlock = Numbered(), badFrame = Numbered();
  shortBlock.frames[0].resize(63);
  badFrame.frame = 200;
  for (const Tile* t : {&shortBlock, &badFrame}) {
    dt.DrawTile(*t, 0, 0, 100, 100);
    dt.DrawTileMaskedClip(*t, 0, 0, 100, 100, 0, 320, 0, 200);
  }
  Sprite s = Sprite16();
  s.currentFrame = 1;  // never cut
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, 10, 10), 0);
  s.currentFrame = 99;
  EXPECT_EQ(dt.DrawSpriteFlipH(s, 0, 0, 10, 10), 0);
  s.currentFrame = 0;
  s.frames[0].resize(100);
  EXPECT_EQ(dt.DrawSpriteClip(s, 0, 0, 10, 10, 0, 320, 0, 200), 0);
  EXPECT_EQ(CountNonZero(), 0);
}

TEST_F(DrawTest, SpriteCulledOnlyWhenNoColumnShows) {
  Sprite s = Sprite16();
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, -15, 0), 1);
  EXPECT_EQ(At(0, 0), 16);
  EXPECT_EQ(At(0, 15), 116);
  EXPECT_EQ(CountNonZero(), 16);

  std::memset(Screen.FrameBuffer, 0, 64000);
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, -16, 0), 0);
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, 320, 0), 0);
  EXPECT_EQ(dt.DrawSpriteFlipHV(s, 0, 0, 0, 200), 0);
  EXPECT_EQ(CountNonZero(), 0);

  // The origin shifts the sprite; camera and world cancel.
  s.originX = -3;
  s.originY = 2;
  EXPECT_EQ(dt.DrawSprite(s, 1000, -1000, 1319, -1000), 1);
  EXPECT_EQ(At(316, 2), 1);
  EXPECT_EQ(At(319, 17), 104);
  EXPECT_EQ(At(315, 2), 0);
}

TEST_F(DrawTest, FlipsMirrorTheSourceAndUseTheFlippedOrigin) {
  // 3 x 2 sprite: rows (1 2 0) and (4 5 6).
  Sprite s;
  s.width = 3;
  s.height = 2;
  s.frames[0] = {1, 2, 0, 4, 5, 6, 0};
  s.flippedOriginX = -1;
  s.flippedOriginY = 2;
  std::memset(Screen.FrameBuffer, 9, 64000);
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, 10, 10), 1);
  EXPECT_EQ(dt.DrawSpriteFlipV(s, 0, 0, 30, 10), 1);   // at (30, 12)
  EXPECT_EQ(dt.DrawSpriteFlipH(s, 0, 0, 50, 10), 1);   // at (49, 10)
  EXPECT_EQ(dt.DrawSpriteFlipHV(s, 0, 0, 70, 10), 1);  // at (69, 12)
  const uint8_t plain[2][3] = {{1, 2, 9}, {4, 5, 6}};
  const uint8_t flipV[2][3] = {{4, 5, 6}, {1, 2, 9}};
  const uint8_t flipH[2][3] = {{9, 2, 1}, {6, 5, 4}};
  const uint8_t flipHV[2][3] = {{6, 5, 4}, {9, 2, 1}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) {
      EXPECT_EQ(At(10 + c, 10 + r), plain[r][c]);
      EXPECT_EQ(At(30 + c, 12 + r), flipV[r][c]);
      EXPECT_EQ(At(49 + c, 10 + r), flipH[r][c]);
      EXPECT_EQ(At(69 + c, 12 + r), flipHV[r][c]);
    }

  // Clipped flips keep the mirrored columns: only source columns 1 and 0 remain.
  EXPECT_EQ(dt.DrawSpriteFlipH(s, 0, 0, 0, 100), 1);  // at (-1, 100)
  EXPECT_EQ(At(0, 100), 2);
  EXPECT_EQ(At(1, 100), 1);
  EXPECT_EQ(At(2, 100), 9);
  EXPECT_EQ(dt.DrawSpriteFlipHV(s, 0, 0, 320, 197), 1);  // at (319, 199): one pixel
  EXPECT_EQ(At(319, 199), 6);
}

TEST_F(DrawTest, FlipHWithFlippedOriginDrawsFivePixelsFurtherLeft) {
  Sprite s = Sprite16();
  s.flippedOriginX = -5;
  dt.DrawSprite(s, 0, 0, 100, 20);
  dt.DrawSpriteFlipH(s, 0, 0, 100, 60);
  for (int c = 0; c < 16; ++c) {
    EXPECT_EQ(At(100 + c, 20), 1 + c);
    EXPECT_EQ(At(95 + c, 60), 16 - c);
  }
  EXPECT_EQ(At(94, 60), 0);
  EXPECT_EQ(At(111, 60), 0);
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

  std::memset(Screen.FrameBuffer, 0, 64000);
  EXPECT_EQ(dt.DrawSpriteClip(s, 0, 0, 84, 60, 100, 200, 50, 150), 0);
  EXPECT_EQ(dt.DrawSpriteClip(s, 0, 0, 200, 60, 100, 200, 50, 150), 0);
  EXPECT_EQ(dt.DrawSpriteClip(s, 0, 0, 85, 60, 100, 200, 50, 150), 1);
  EXPECT_EQ(At(100, 60), 16);
  EXPECT_EQ(CountNonZero(), 16);

  // A window reaching past the screen still writes only inside the frame.
  std::memset(Screen.FrameBuffer, 0, 64000);
  EXPECT_EQ(dt.DrawSpriteClip(s, 0, 0, -10, 195, -100, 1000, -100, 1000), 1);
  EXPECT_EQ(CountNonZero(), 6 * 5);
  dt.DrawTileClip(t, 0, 0, 316, -4, -100, 1000, -100, 1000);
  EXPECT_EQ(At(316, 0), 33);  // tile row 4
}

TEST_F(DrawTest, FarPositionsWrapLikeThirtyTwoBitsWithoutFaults) {
  Sprite s = Sprite16();
  Tile t = Numbered();
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, INT32_MAX, INT32_MAX), 0);
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, INT32_MIN, INT32_MIN), 0);
  dt.DrawTile(t, -5, 0, INT32_MAX, 0);  // INT32_MIN + 4: far off to the left
  EXPECT_EQ(CountNonZero(), 0);
  // INT32_MAX - INT32_MIN wraps to -1.
  dt.DrawTile(t, INT32_MIN, 0, INT32_MAX, 0);
  EXPECT_EQ(At(0, 0), 2);
  EXPECT_EQ(At(6, 0), 8);
  EXPECT_EQ(At(7, 0), 0);
  dt.DrawTile(t, INT32_MAX, 0, INT32_MIN + 4, 100);
  EXPECT_EQ(At(4, 100), 0);
  EXPECT_EQ(At(5, 100), 1);
}

TEST_F(DrawTest, ModeTwoDoublesEveryPixel) {
  SelectVideoMode(2);
  ASSERT_EQ(Video.VideoMode, 2);
  uint8_t* fb = Screen.FrameBuffer;
  // Tile block of mode 2: 16 bytes a row, each pixel (1 + 8r + c) twice.
  Tile t;
  t.frames[0].resize(129);
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c) t.frames[0][r * 16 + 2 * c] = t.frames[0][r * 16 + 2 * c + 1] = uint8_t(1 + 8 * r + c);
  t.opaque = 1;
  dt.DrawTile(t, 0, 0, 10, 5);
  EXPECT_EQ(fb[5 * 640 + 19], 0);
  EXPECT_EQ(fb[5 * 640 + 20], 1);
  EXPECT_EQ(fb[5 * 640 + 21], 1);
  EXPECT_EQ(fb[5 * 640 + 22], 2);
  EXPECT_EQ(fb[12 * 640 + 35], 64);
  EXPECT_EQ(fb[12 * 640 + 36], 0);
  // Screen column -7 is byte column -14: the last pixel pair lands at bytes 0 and 1.
  dt.DrawTile(t, 0, 0, -7, 100);
  EXPECT_EQ(fb[100 * 640 + 0], 8);
  EXPECT_EQ(fb[100 * 640 + 1], 8);
  EXPECT_EQ(fb[100 * 640 + 2], 0);
  // Screen column 316: pixels 0..3 fill bytes 632..639 and nothing wraps to the next row.
  dt.DrawTile(t, 0, 0, 316, 60);
  EXPECT_EQ(fb[60 * 640 + 639], 4);
  EXPECT_EQ(fb[61 * 640 + 0], 0);
  // Rows are 640 bytes apart and only 200 of them are drawn.
  dt.DrawTile(t, 0, 0, 0, 196);
  EXPECT_EQ(fb[199 * 640 + 0], 25);
  EXPECT_EQ(fb[200 * 640 + 0], 0);

  // A sprite's width is stored doubled; transparency looks at a pair's first byte.
  Sprite s;
  s.width = 4;  // two pixels
  s.height = 1;
  s.frames[0] = {0, 9, 7, 7, 0};
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, 50, 150), 1);
  EXPECT_EQ(fb[150 * 640 + 100], 0);
  EXPECT_EQ(fb[150 * 640 + 101], 0);
  EXPECT_EQ(fb[150 * 640 + 102], 7);
  EXPECT_EQ(fb[150 * 640 + 103], 7);
  EXPECT_EQ(dt.DrawSpriteFlipH(s, 0, 0, 60, 150), 1);
  EXPECT_EQ(fb[150 * 640 + 120], 7);
  EXPECT_EQ(fb[150 * 640 + 122], 0);
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, -2, 150), 0);
}

TEST_F(DrawTest, ModeFourIsAWiderAndTallerModeZero) {
  SelectVideoMode(4);
  EXPECT_EQ(Video.TileColumns, 81);
  EXPECT_EQ(Video.ScreenHeight, 480);
  uint8_t* fb = Screen.FrameBuffer;
  Tile t = Numbered();
  // The corner tile misses the whole-tile path and still draws complete.
  dt.DrawTile(t, 0, 0, 632, 472);
  EXPECT_EQ(fb[472 * 640 + 632], 1);
  EXPECT_EQ(fb[479 * 640 + 639], 64);
  Sprite s = Sprite16();
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, 639, 470), 1);
  EXPECT_EQ(fb[479 * 640 + 639], 101);
  EXPECT_EQ(dt.DrawSprite(s, 0, 0, 640, 0), 0);
}

}  // namespace
