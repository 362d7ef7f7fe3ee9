// draw.h: video modes and the twelve drawing entry points for tiles and sprites.
#pragma once

#include <cstdint>
#include <vector>

struct Tile;
struct Sprite;

using TileDrawFn = void (*)(const Tile& tile, int32_t camX, int32_t camY, int32_t x, int32_t y);
using SpriteDrawFn = int (*)(const Sprite& sprite, int32_t camX, int32_t camY, int32_t x, int32_t y);
using TileClipFn = void (*)(const Tile& tile, int32_t camX, int32_t camY, int32_t x, int32_t y, int32_t left,
                            int32_t right, int32_t top, int32_t bottom);
using SpriteClipFn = int (*)(const Sprite& sprite, int32_t camX, int32_t camY, int32_t x, int32_t y, int32_t left,
                             int32_t right, int32_t top, int32_t bottom);

// The twelve slots, in slot order. x, y are world positions, camX, camY the
// world position of the screen's top-left corner; the clipped forms take a
// window [left, right) x [top, bottom) in screen pixels. Sprite routines
// return 1 when drawn, 0 when culled or without a pixel block to draw.
struct DrawTableT {
  TileDrawFn DrawTile;
  TileDrawFn DrawTileMasked;
  SpriteDrawFn DrawSprite;
  SpriteDrawFn DrawSpriteFlipV;
  SpriteDrawFn DrawSpriteFlipH;
  SpriteDrawFn DrawSpriteFlipHV;
  TileClipFn DrawTileClip;
  TileClipFn DrawTileMaskedClip;
  SpriteClipFn DrawSpriteClip;
  SpriteClipFn DrawSpriteFlipVClip;
  SpriteClipFn DrawSpriteFlipHClip;
  SpriteClipFn DrawSpriteFlipHVClip;
};

struct VideoState {
  uint8_t VideoMode = 0;
  uint8_t TileColumns = 41, TileRows = 26;
  uint16_t ScreenWidth = 320, ScreenHeight = 200;
  DrawTableT DrawTable{};
};
extern VideoState Video;

// n bytes a row of `rows` rows (src's rows srcStride apart), each byte
// written only when it is not 0, 64 at a time where the processor can (32
// with AVX2, else 16): a card's panels, kept lines of rows with holes.
void MergeWideRows(uint8_t* dst, int64_t dstStride, const uint8_t* src, int64_t srcStride, int64_t n, int64_t rows);

// The forms of that merge this processor can run, the widest last (the one
// MergeWideRows uses); the tests hold each to the same bytes.
using WideMergeFn = void (*)(uint8_t* dst, int64_t dstStride, const uint8_t* src, int64_t srcStride, int64_t n,
                             int64_t rows);
std::vector<WideMergeFn> WideMergeCandidates();

// Back to mode 0's sizes with an empty table (SelectVideoMode fills it).
void ResetVideo();

// Stores the mode; for 0, 2 and 4 fills the DrawTable with the mode's routine
// set and sets the sizes; fills the PlaneDrawTable for 0 and 2. The display
// for the mode is set up first (StartVideoMode in shell/window.h).
void SelectVideoMode(uint8_t mode);
