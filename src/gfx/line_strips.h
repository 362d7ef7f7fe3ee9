// line_strips.h: whole pixel lines of map rows, kept from frame to frame: H
// Lined lines, and the tile rows of Relative and H Tiled planes, for loops
// of up to 128 tiles.
//
// Such a line repeats its loop across the screen, so it can be written as
// one run of bytes instead of a tile at a time: copied where the loop holds
// only opaque tiles, merged (its 0 bytes left out) where it holds enough
// tiles with holes to be worth it. A kept row names the map row, its tile
// numbers and the block table's version it was made from, and is made again
// when any of them changed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/plane_render.h"

// Map row rowBase of a map, its loop being cells rowBase .. rowBase + loop:
// line ty is the loop's row ty of pixels (0 where a cell draws nothing)
// followed by its first 320 bytes again, so that any 320 bytes from a place
// in the loop lie next to each other.
struct KeptLineRow {
  int64_t rowBase = -1, loop = 0;
  uint64_t tilesVersion = 0;
  std::vector<uint16_t> numbers;  // the loop's tile numbers
  bool opaque = false;            // every cell an opaque tile: the lines are copied
  bool merged = false;            // else the lines are merged; neither: drawn tile by tile, nothing is kept
  uint8_t made = 0;               // bit ty: line ty is in px
  std::vector<uint8_t> px;        // 8 lines of KeptLineBytes(loop)
};

// The bytes of a kept line: the loop, then as much again as a screen row reaches past its end.
inline size_t KeptLineBytes(int64_t loop) { return size_t(8 * loop + kPlaneFrameWidth); }

// Each map (a plane's cells) draws into a region of slots of its own, its
// rows in turn: a screen's rows of several planes never share a slot. The
// slots serve speed only; a row is found by what it holds.
constexpr size_t kKeptMaps = 8, kKeptRowsAMap = 64;
constexpr int64_t kKeptLoopMax = 128;  // tiles; longer loops are drawn tile by tile

struct LineStripState {
  std::array<KeptLineRow, kKeptMaps * kKeptRowsAMap> rows;
  std::array<const uint16_t*, kKeptMaps> maps{};  // the map each region serves
  std::array<uint64_t, kKeptMaps> lastUse{};      // the map that went longest unused gives up its region
  uint64_t uses = 0;
};
extern LineStripState LineStrips;

// The kept row for map row rowBase (a multiple of `width`) of `cells` drawn
// with `tiles`, made again where it is out of date; null when the loop does
// not lie inside the map or is too long, or holds a tile that is not opaque
// and the row is not merged (`merges` false, too few tiles to be worth it,
// or a tile that a merge would draw otherwise than a tile blit does).
KeptLineRow* KeptRow(const uint16_t* cells, int64_t cellCount, int64_t width, int64_t rowBase, int64_t loop,
                     const TileBlocks& tiles, bool merges);

// Makes line ty of the row from the tiles it was checked against.
void MakeKeptLine(KeptLineRow& row, int ty, const TileBlocks& tiles);

// Line ty (0..7) of the row: 8 x loop + 320 bytes, made on first use.
inline const uint8_t* KeptLine(KeptLineRow& row, int ty, const TileBlocks& tiles) {
  if (!(row.made >> ty & 1)) MakeKeptLine(row, ty, tiles);
  return row.px.data() + size_t(ty) * KeptLineBytes(row.loop);
}

// `rows` runs of n >= 64 bytes (kept lines, srcStride apart) onto rows
// dstStride apart, as wide as the processor stores: 64 or 32 bytes at a time
// where it can, else 16.
void CopyKeptLines(uint8_t* dst, ptrdiff_t dstStride, const uint8_t* src, size_t srcStride, size_t n, int rows);

// `rows` lines of the row from `src` (in its px) onto dst, n >= 64 bytes
// each: copied or merged, as the row is; copied in any case where `copy`.
void PutKeptLines(const KeptLineRow& row, uint8_t* dst, ptrdiff_t dstStride, const uint8_t* src, size_t n, int rows,
                  bool copy = false);
