// plane_render.cpp: the six plane renderers of the 320x200 frame. The four
// tile-aligned ones send edge tiles through the DrawTable's clipped slots and
// write inner tiles straight into the frame; the two Lined ones draw one pixel
// line at a time, each line with its own speed and loop, or several at once
// where neighbouring lines of a map row (all eight of a V Lined column) move as one.
#include "gfx/plane_render.h"

#include <algorithm>
#include <type_traits>
#include <vector>

#include "gfx/draw.h"
#include "gfx/frame_buffer.h"
#include "gfx/scroll.h"
#include "gfx/tile_blit.h"
#include "model/planes.h"
#include "model/tiles.h"

std::array<PlaneDrawFn, kPlaneDrawSlots> PlaneDrawTable{};

namespace {

constexpr int kWidth = 320, kHeight = 200;  // the frame, stride kWidth
constexpr int kColumns = 41, kRows = 26;    // tiles drawn to cover it
constexpr uint32_t kNoCell = 0xFFFFFFFF;    // a cell outside the map
constexpr int64_t kRowRefsMax = 128;        // H Lined loops up to this share per-row look-ups

// A tile as the Lined loops use it: its current block and its opaque flag.
// Tile 0, unknown numbers and tiles without a block point at the blank
// block, which the loops skip.
struct TileRef {
  const uint8_t* px;
  bool opaque;
};
constexpr uint8_t kBlankBlock[64] = {};
constexpr TileRef kBlankRef = {kBlankBlock, false};

// Storage of the tile number -> TileRef lookup, kept between draws so that no
// draw allocates once it has grown to the tile count.
struct RefCache {
  std::vector<TileRef> refs;
  std::vector<uint32_t> seen;  // the draw in which refs[n] was filled
  uint32_t generation = 0;
  bool shared = false;  // a run of plane draws keeps one generation
};
// The renderers' state between draws: the tile look-up, and the lines the
// draw under way may skip.
struct RenderState {
  RefCache refs;
  FrameLines hidden;
};
RenderState Render;

// One plane draw's view of the frame, the map and the tiles. It lives in a
// local so its fields stay in registers: every byte written to the frame may
// alias anything, which would otherwise force reloads in the inner loops.
struct Canvas {
  uint8_t* fb = nullptr;
  const uint16_t* cells = nullptr;
  int64_t cellCount = 0;
  const Tile* tiles = nullptr;
  uint32_t tileCount = 0;
  TileRef* refs = nullptr;
  uint32_t* seen = nullptr;
  uint32_t generation = 0;
  TileDrawFn drawTile = nullptr, drawMasked = nullptr;
  FrameLines hidden;  // lines the draw may skip

  // Whether every line of [from, to) on the frame is one the draw may skip.
  bool Hidden(int from, int to) const {
    for (int y = std::max(from, 0); y < std::min(to, kHeight); ++y)
      if (!hidden[size_t(y)]) return false;
    return true;
  }

  // The tile number in map cell i; kNoCell outside the map.
  uint32_t Cell(int64_t i) const { return i >= 0 && i < cellCount ? cells[i] : kNoCell; }

  // Tile n's current block, tile 0 included; null when n names no tile or the tile has no block.
  const uint8_t* Pixels(uint32_t n) const { return n < tileCount ? TilePixels(tiles[n], 64) : nullptr; }

  // Filled on first use within the draw, so each large tile record is read
  // once and the inner loops find block and opacity in one small entry.
  TileRef Ref(uint32_t n) const {
    if (n >= tileCount) return kBlankRef;
    if (seen[n] != generation) {
      seen[n] = generation;
      const uint8_t* px = n ? TilePixels(tiles[n], 64) : nullptr;
      refs[n] = px ? TileRef{px, tiles[n].opaque != 0} : kBlankRef;
    }
    return refs[n];
  }
};

void NewGeneration() {
  if (++Render.refs.generation == 0) {
    std::fill(Render.refs.seen.begin(), Render.refs.seen.end(), 0);
    Render.refs.generation = 1;
  }
}

bool OpenCanvas(Canvas& cv, const Plane& p) {
  if (p.width < 1 || p.height < 1 || p.tiles.empty()) return false;
  cv.fb = Screen.FrameBuffer;
  cv.drawTile = Video.DrawTable.DrawTile;
  cv.drawMasked = Video.DrawTable.DrawTileMasked;
  if (!cv.fb || !cv.drawTile || !cv.drawMasked) return false;
  cv.cells = p.tiles.data();
  cv.cellCount = int64_t(p.tiles.size());
  cv.tiles = Tiles.tileTable.data();
  cv.tileCount = std::min<uint32_t>(Tiles.tileCount, uint32_t(Tiles.tileTable.size()));
  if (Render.refs.refs.size() < cv.tileCount) {
    Render.refs.refs.resize(cv.tileCount);
    Render.refs.seen.resize(cv.tileCount, 0);
  }
  // A new generation forgets the last draw's entries.
  if (!Render.refs.shared) NewGeneration();
  cv.refs = Render.refs.refs.data();
  cv.seen = Render.refs.seen.data();
  cv.generation = Render.refs.generation;
  cv.hidden = Render.hidden;
  return true;
}

// Remainder in [0, n) for n >= 1, also for negative a.
int64_t FloorMod(int64_t a, int64_t n) {
  int64_t r = a % n;
  return r < 0 ? r + n : r;
}

// The first tile column of a line, FloorMod(cam >> 3, loop), remembered:
// neighbouring lines mostly repeat their camera and loop, and a division costs.
class LineStart {
 public:
  int64_t operator()(int32_t cam, int64_t loop) {
    if (loop != loop_ || cam != cam_) cam_ = cam, loop_ = loop, start_ = FloorMod(cam >> 3, loop);
    return start_;
  }

 private:
  int32_t cam_ = 0;
  int64_t loop_ = 0, start_ = 0;  // loop 0 matches no line
};

uint8_t LineSpeed(const Plane& p, int64_t line) {
  return line >= 0 && line < int64_t(p.lineSpeeds.size()) ? p.lineSpeeds[size_t(line)] : 8;
}

// A line's loop in tiles; `size` (the plane's extent along the line) when missing or below 1.
int64_t LineLoop(const Plane& p, int64_t line, int64_t size) {
  int64_t loop = line >= 0 && line < int64_t(p.lineLoops.size()) ? p.lineLoops[size_t(line)] : size;
  return loop >= 1 ? loop : size;
}

// line - n x loop, held far below any real line so broken planes cannot overflow.
int64_t DropLoops(int64_t line, int64_t n, int64_t loop) {
  constexpr int64_t kFarBelow = -(int64_t(1) << 62);
  if (n > (int64_t(1) << 61) / loop) return kFarBelow;
  return std::max(line - n * loop, kFarBelow);
}

int64_t OtherLoop(const Plane& p, int64_t size) { return p.otherLoop >= 1 ? p.otherLoop : size; }

int64_t WrapCells(const Plane& p) {
  return p.wrapCells >= 1 ? p.wrapCells : int64_t(p.width) * p.height;
}

// A cell on the frame's border: through the clipped slots of the DrawTable.
inline void PutEdge(const Canvas& cv, uint32_t n, int sx, int sy) {
  if (n == 0 || n >= cv.tileCount) return;
  const Tile& t = cv.tiles[n];
  (t.opaque ? cv.drawTile : cv.drawMasked)(t, 0, 0, sx, sy);
}

// A cell strictly inside: never crosses the border, so no clipping. Empty
// cells are common, hence the early test on the number itself.
inline void PutInner(const Canvas& cv, uint32_t n, uint8_t* dst) {
  if (n == 0 || n >= cv.tileCount) return;
  const Tile& t = cv.tiles[n];
  const uint8_t* px = TilePixels(t, 64);
  if (!px) return;
  t.opaque ? CopyTile8x8(dst, kWidth, px) : MergeTile8x8(dst, kWidth, px);
}

// Screen tile row m of a tile-aligned plane, columns 0..40 left to right;
// nextCell() yields the map cell of each column in turn.
template <class NextCell>
void DrawTileRow(const Canvas& cv, int m, int fx, int fy, NextCell nextCell) {
  const int sy = 8 * m - fy;
  if (m == 0 || m == kRows - 1) {
    for (int k = 0; k < kColumns; ++k) PutEdge(cv, nextCell(), 8 * k - fx, sy);
    return;
  }
  PutEdge(cv, nextCell(), -fx, sy);
  uint8_t* dst = cv.fb + sy * kWidth + 8 - fx;
  for (int k = 1; k < kColumns - 1; ++k, dst += 8) PutInner(cv, nextCell(), dst);
  PutEdge(cv, nextCell(), 8 * (kColumns - 1) - fx, sy);
}

// The 41 cells of a tile row that passes its loop's end at most once, both
// runs inside the map: columns 0..split - 1 from `at`, the rest from `rest`;
// and which of the inner columns 1..39 hold a tile number other than 0.
struct CellRun {
  const uint16_t* at;
  const uint16_t* rest;
  int split;
  uint64_t shown;  // bit k: column k

  uint16_t At(int k) const { return k < split ? at[k] : rest[k - split]; }
};

// Bit i set for each of n (<= 41) cells from `at` that is not 0; eight at a
// time while the map goes on far enough.
inline uint64_t CellsShown(const uint16_t* at, int n, const uint16_t* mapEnd) {
  uint64_t shown = 0;
  int i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; i < n && at + i + 8 <= mapEnd; i += 8) {
    const __m128i z = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at + i)), zero);
    shown |= uint64_t(~uint32_t(_mm_movemask_epi8(_mm_packs_epi16(z, z))) & 0xFF) << i;
  }
#endif
  for (; i < n; ++i) shown |= uint64_t(at[i] != 0) << i;
  return shown & ((uint64_t(1) << n) - 1);
}

CellRun ReadCellRun(const uint16_t* at, int split, const uint16_t* rest, const uint16_t* mapEnd) {
  uint64_t shown = CellsShown(at, split, mapEnd);
  if (split < kColumns) shown |= CellsShown(rest, kColumns - split, mapEnd) << split;
  return {at, rest, split, shown & ((uint64_t(1) << (kColumns - 1)) - 1) & ~uint64_t(1)};
}

// The same for a row of at most two runs: sparse rows visit only the cells
// that hold a tile, since empty cells scattered among the rest cost a branch
// each; fuller rows go column by column.
void DrawTileRow(const Canvas& cv, int m, int fx, int fy, const CellRun& run) {
  const int sy = 8 * m - fy;
  if (m == 0 || m == kRows - 1) {
    for (int k = 0; k < kColumns; ++k) PutEdge(cv, run.At(k), 8 * k - fx, sy);
    return;
  }
  PutEdge(cv, run.At(0), -fx, sy);
  uint8_t* dst = cv.fb + sy * kWidth - fx;
  if (__builtin_popcountll(run.shown) > 12) {
    for (int k = 1; k < kColumns - 1; ++k) PutInner(cv, run.At(k), dst + 8 * k);
  } else {
    for (uint64_t shown = run.shown; shown; shown &= shown - 1) {
      const int k = __builtin_ctzll(shown);
      PutInner(cv, run.At(k), dst + 8 * k);
    }
  }
  PutEdge(cv, run.At(kColumns - 1), 8 * (kColumns - 1) - fx, sy);
}

// The same for screen tile column k, rows 0..25 top to bottom.
template <class NextCell>
void DrawTileColumn(const Canvas& cv, int k, int fx, int fy, NextCell nextCell) {
  const int sx = 8 * k - fx;
  if (k == 0 || k == kColumns - 1) {
    for (int m = 0; m < kRows; ++m) PutEdge(cv, nextCell(), sx, 8 * m - fy);
    return;
  }
  PutEdge(cv, nextCell(), sx, -fy);
  uint8_t* dst = cv.fb + (8 - fy) * kWidth + sx;
  for (int m = 1; m < kRows - 1; ++m, dst += 8 * kWidth) PutInner(cv, nextCell(), dst);
  PutEdge(cv, nextCell(), sx, 8 * (kRows - 1) - fy);
}

// The screen tile rows of a Relative (one speed and loop for all rows) or H
// Tiled (one per tile row) plane: row(m, fx, fy, cells) for each, cells being
// a CellRun where the row's loop is 41 cells or more and its runs lie inside
// the map, else a function that yields each column's cell in turn.
template <bool PerRow, class RowFn>
void WalkRows(const Canvas& cv, const Plane& p, RowFn row) {
  const int64_t wrap = WrapCells(p), vloop = OtherLoop(p, p.height), width = p.width;
  const int32_t camY = Scroll.ScrollY[p.otherSpeed];
  const int fy = camY & 7;
  int64_t r = FloorMod(camY >> 3, p.height);  // the row's line within the plane
  int64_t rowBase = width * r;
  LineStart start;
  for (int m = 0; m < kRows; ++m, rowBase += width, ++r) {
    // The first row stands where the camera put it; later rows wrap at the vertical loop.
    if (m > 0 && rowBase >= wrap) {
      int64_t n = rowBase / wrap;
      rowBase -= n * wrap;
      r = DropLoops(r, n, vloop);
    }
    const int64_t line = PerRow ? r : 0;
    const int32_t camX = Scroll.ScrollX[LineSpeed(p, line)];
    const int64_t loop = LineLoop(p, line, width);
    int64_t c = start(camX, loop);
    // Rows that pass the loop's end at most once, inside the map, are read as runs.
    const int split = int(std::min<int64_t>(kColumns, loop - c));
    if (loop >= kColumns && rowBase >= 0 && rowBase + std::max<int64_t>(c + split, kColumns - split) <= cv.cellCount) {
      const uint16_t* base = cv.cells + rowBase;
      row(m, camX & 7, fy, ReadCellRun(base + c, split, base, cv.cells + cv.cellCount));
      continue;
    }
    row(m, camX & 7, fy, [&] {
      if (c >= loop) c -= loop;
      return cv.Cell(rowBase + c++);
    });
  }
}

// The same for a Flat plane, against the view.
template <class RowFn>
void WalkFlatRows(const Canvas& cv, const Plane& p, RowFn row) {
  const int64_t wrap = WrapCells(p), skip = p.rowSkip;
  const int32_t vx = Level.viewX, vy = Level.viewY;
  int64_t index = int64_t(p.width) * (vy >> 3) + (vx >> 3);
  for (int m = 0; m < kRows; ++m) {
    // Wrapped at row starts only: a narrow map runs on into its next row.
    index = FloorMod(index, wrap);
    int64_t i = index;
    if (i + kColumns <= cv.cellCount)
      row(m, vx & 7, vy & 7, ReadCellRun(cv.cells + i, kColumns, nullptr, cv.cells + cv.cellCount));
    else
      row(m, vx & 7, vy & 7, [&] { return cv.Cell(i++); });
    index += kColumns + skip;
  }
}

// Draws the rows a tile-aligned walk gives, but those hidden from view.
auto DrawRows(const Canvas& cv) {
  return [&cv](int m, int fx, int fy, auto&& cells) {
    if (!cv.Hidden(8 * m - fy, 8 * m - fy + 8)) DrawTileRow(cv, m, fx, fy, cells);
  };
}

// Marks the lines of each row whose 41 cells all hold opaque tiles.
auto CoverRows(const Canvas& cv, FrameLines& lines) {
  return [&cv, &lines](int m, int, int fy, auto&& cells) {
    // As PutEdge and PutInner see the cells; they do not use the look-up.
    for (int k = 0; k < kColumns; ++k) {
      uint32_t n;
      if constexpr (std::is_same_v<std::decay_t<decltype(cells)>, CellRun>)
        n = cells.At(k);
      else
        n = cells();
      if (n == 0 || n >= cv.tileCount || !cv.tiles[n].opaque || !cv.Pixels(n)) return;
    }
    for (int y = std::max(8 * m - fy, 0); y < std::min(8 * m - fy + 8, kHeight); ++y) lines.set(size_t(y));
  };
}

void DrawNothing(const Plane&) {}

}  // namespace

void RenderFlatPlane(const Plane& p) {
  Canvas cv;
  if (OpenCanvas(cv, p)) WalkFlatRows(cv, p, DrawRows(cv));
}

void RenderRelativePlane(const Plane& p) {
  Canvas cv;
  if (OpenCanvas(cv, p)) WalkRows<false>(cv, p, DrawRows(cv));
}

void RenderHTiledPlane(const Plane& p) {
  Canvas cv;
  if (OpenCanvas(cv, p)) WalkRows<true>(cv, p, DrawRows(cv));
}

void RenderVTiledPlane(const Plane& p) {
  Canvas cv;
  if (!OpenCanvas(cv, p)) return;
  const int64_t hloop = OtherLoop(p, p.width), width = p.width;
  const int32_t camX = Scroll.ScrollX[p.otherSpeed];
  int64_t c = FloorMod(camX >> 3, hloop);
  for (int k = 0; k < kColumns; ++k, ++c) {
    if (c >= hloop) c -= hloop;
    const int32_t camY = Scroll.ScrollY[LineSpeed(p, c)];
    const int64_t loop = LineLoop(p, c, p.height);
    int64_t r = FloorMod(camY >> 3, loop);
    DrawTileColumn(cv, k, camX & 7, camY & 7, [&] {
      if (r >= loop) r -= loop;
      return cv.Cell(width * r++ + c);
    });
  }
}

namespace {

// Lines (1..8) pixel rows of an H Lined plane that share one camera and loop:
// block rows ty.. of the cells from column c onward, at screen rows starting
// at `row`. refAt(c) gives the middle slices' tiles.
template <int Lines, class RefAt>
void DrawHLinedRows(const Canvas& cv, uint8_t* row, int ty, int fx, int64_t rowBase, int64_t c, int64_t loop,
                    RefAt refAt) {
  // First slice: whatever tile stands in the cell, 0 too, cut at the left edge.
  if (const uint8_t* px = cv.Pixels(cv.Cell(rowBase + c)))
    for (int t = 0; t < Lines; ++t)
      for (int i = fx; i < 8; ++i)
        if (uint8_t v = px[(ty + t) * 8 + i]) row[t * kWidth + i - fx] = v;
  ++c;
  for (int j = 1; j < kColumns - 1; ++j, ++c) {
    if (c >= loop) c -= loop;
    const TileRef ref = refAt(c);
    if (ref.px == kBlankBlock) continue;
    uint8_t* dst = row + 8 * j - fx;
    const uint8_t* src = ref.px + ty * 8;
    if constexpr (Lines == 8) {
      ref.opaque ? CopyTile8x8(dst, kWidth, src) : MergeTile8x8(dst, kWidth, src);
    } else if (ref.opaque) {
      for (int t = 0; t < Lines; ++t) CopyRow8(dst + t * kWidth, src + t * 8);
    } else {
      for (int t = 0; t < Lines; ++t) MergeRow8(dst + t * kWidth, src + t * 8);
    }
  }
  // Last slice: the next cell, not wrapped, cut at the right edge.
  if (const uint8_t* px = cv.Pixels(cv.Cell(rowBase + c)))
    for (int t = 0; t < Lines; ++t)
      for (int i = 0; i < fx; ++i)
        if (uint8_t v = px[(ty + t) * 8 + i]) row[t * kWidth + kWidth - fx + i] = v;
}

// The same for any count of lines from 1 to 8, each count its own unrolled loop.
template <class RefAt>
void DrawHLinedLines(const Canvas& cv, uint8_t* row, int ty, int lines, int fx, int64_t rowBase, int64_t c,
                     int64_t loop, RefAt refAt) {
  switch (lines) {
    case 1: return DrawHLinedRows<1>(cv, row, ty, fx, rowBase, c, loop, refAt);
    case 2: return DrawHLinedRows<2>(cv, row, ty, fx, rowBase, c, loop, refAt);
    case 3: return DrawHLinedRows<3>(cv, row, ty, fx, rowBase, c, loop, refAt);
    case 4: return DrawHLinedRows<4>(cv, row, ty, fx, rowBase, c, loop, refAt);
    case 5: return DrawHLinedRows<5>(cv, row, ty, fx, rowBase, c, loop, refAt);
    case 6: return DrawHLinedRows<6>(cv, row, ty, fx, rowBase, c, loop, refAt);
    case 7: return DrawHLinedRows<7>(cv, row, ty, fx, rowBase, c, loop, refAt);
    default: return DrawHLinedRows<8>(cv, row, ty, fx, rowBase, c, loop, refAt);
  }
}

// `cols` pixel columns (1, or 8 sharing one camera and loop) of a V Lined plane:
// block columns tx.. of the cells from map row r down, at screen column sx.
template <int Cols>
void DrawVLinedColumns(const Canvas& cv, int sx, int tx, int fy, int64_t width, int64_t tc, int64_t r,
                       int64_t loop) {
  uint8_t* col = cv.fb + sx;
  // Top slice: any tile number, cut at the top edge.
  if (const uint8_t* px = cv.Pixels(cv.Cell(width * r + tc)))
    for (int i = fy; i < 8; ++i)
      for (int t = 0; t < Cols; ++t)
        if (uint8_t v = px[i * 8 + tx + t]) col[(i - fy) * kWidth + t] = v;
  ++r;
  for (int j = 1; j < kRows - 1; ++j, ++r) {
    if (r >= loop) r -= loop;
    const uint32_t n = cv.Cell(width * r + tc);
    if (n == 0) continue;
    const uint8_t* px = cv.Ref(n).px;
    if (px == kBlankBlock) continue;
    uint8_t* dst = col + (8 * j - fy) * kWidth;
    // Only non-zero pixels are written here, opaque tile or not.
    if constexpr (Cols == 8) {
      MergeTile8x8(dst, kWidth, px);
    } else {
      for (int i = 0; i < 8; ++i) {
        uint8_t v = px[i * 8 + tx], keep = uint8_t(-(v == 0));
        dst[i * kWidth] = uint8_t((dst[i * kWidth] & keep) | v);
      }
    }
  }
  // Bottom slice: r not wrapped, cut at the bottom edge.
  if (const uint8_t* px = cv.Pixels(cv.Cell(width * r + tc)))
    for (int i = 0; i < fy; ++i)
      for (int t = 0; t < Cols; ++t)
        if (uint8_t v = px[i * 8 + tx + t]) col[(kHeight - fy + i) * kWidth + t] = v;
}

// The tiles of a map row's cells [0, loop), looked up once for all its lines.
struct RowRefs {
  std::array<TileRef, kRowRefsMax> refs;
  int64_t base = -1, filled = 0;  // cells base + [0, filled) are in refs

  // Null when the loop is too long to keep.
  const TileRef* Fill(const Canvas& cv, int64_t rowBase, int64_t loop) {
    if (loop > kRowRefsMax) return nullptr;
    if (rowBase != base) base = rowBase, filled = 0;
    for (; filled < loop; ++filled) refs[size_t(filled)] = cv.Ref(cv.Cell(rowBase + filled));
    return refs.data();
  }
};

// The line groups of an H Lined plane, top to bottom: line(sy, lines, ty, fx,
// rowBase, c, loop, rowRefs) for `lines` screen rows from sy, all of one map
// row and moving as one, showing block row ty.. of the cells from column c of
// the map row at rowBase.
template <class LineFn>
void WalkHLined(const Canvas& cv, const Plane& p, LineFn line) {
  const int64_t wrap = WrapCells(p), vloop = OtherLoop(p, p.height), span = vloop * 8, width = p.width;
  const int32_t camY = Scroll.ScrollY[p.otherSpeed];
  int64_t q = FloorMod(camY, span);  // pixel row within the vertical loop: the line
  int64_t rowBase = FloorMod(camY >> 3, vloop) * width;
  uint32_t y = uint32_t(camY);
  RowRefs rowRefs;
  LineStart start;
  for (int sy = 0; sy < kHeight;) {
    if (rowBase >= wrap) {
      int64_t n = rowBase / wrap;
      rowBase -= n * wrap;
      q = DropLoops(q, n, span);
    }
    const int32_t camX = Scroll.ScrollX[LineSpeed(p, q)];
    const int64_t loop = LineLoop(p, q, width);
    const int ty = int(y & 7);
    // The lines after it in the map row that agree with it are drawn with it.
    const int most = std::min(8 - ty, kHeight - sy);
    int lines = 1;
    while (lines < most && Scroll.ScrollX[LineSpeed(p, q + lines)] == camX && LineLoop(p, q + lines, width) == loop)
      ++lines;
    line(sy, lines, ty, camX & 7, rowBase, start(camX, loop), loop, rowRefs);
    if (ty + lines == 8) rowBase += width;
    sy += lines;
    y += uint32_t(lines);
    q += lines;
  }
}

}  // namespace

void RenderHLinedPlane(const Plane& p) {
  Canvas cv;
  if (!OpenCanvas(cv, p)) return;
  WalkHLined(cv, p, [&](int sy, int lines, int ty, int fx, int64_t rowBase, int64_t c, int64_t loop,
                        RowRefs& rowRefs) {
    if (cv.Hidden(sy, sy + lines)) return;
    uint8_t* row = cv.fb + sy * kWidth;
    if (const TileRef* refs = rowRefs.Fill(cv, rowBase, loop)) {
      DrawHLinedLines(cv, row, ty, lines, fx, rowBase, c, loop, [refs](int64_t i) { return refs[i]; });
      return;
    }
    // Loops too long to keep (rare): line by line, one loop's worth of code.
    for (int t = 0; t < lines; ++t)
      DrawHLinedRows<1>(cv, row + t * kWidth, ty + t, fx, rowBase, c, loop,
                        [&](int64_t i) { return cv.Ref(cv.Cell(rowBase + i)); });
  });
}

void RenderVLinedPlane(const Plane& p) {
  Canvas cv;
  if (!OpenCanvas(cv, p)) return;
  const int64_t hloop = OtherLoop(p, p.width), span = hloop * 8, width = p.width;
  const int32_t camX = Scroll.ScrollX[p.otherSpeed];
  int64_t line = FloorMod(camX, span);  // pixel column within the horizontal loop
  int64_t tc = FloorMod(camX >> 3, hloop);
  uint32_t x = uint32_t(camX);
  for (int sx = 0; sx < kWidth;) {
    if (line >= span) {
      int64_t n = line / span;
      tc -= n * hloop;
      line -= n * span;
    }
    const int32_t camY = Scroll.ScrollY[LineSpeed(p, line)];
    const int64_t loop = LineLoop(p, line, p.height);
    const int tx = int(x & 7);
    // A whole map column whose eight lines agree is drawn as one column of tiles.
    bool block = tx == 0 && sx + 8 <= kWidth;
    for (int t = 1; block && t < 8; ++t)
      block = Scroll.ScrollY[LineSpeed(p, line + t)] == camY && LineLoop(p, line + t, p.height) == loop;
    const int64_t r = FloorMod(camY >> 3, loop);
    if (block)
      DrawVLinedColumns<8>(cv, sx, tx, camY & 7, width, tc, r, loop);
    else
      DrawVLinedColumns<1>(cv, sx, tx, camY & 7, width, tc, r, loop);
    const int cols = block ? 8 : 1;
    if (tx + cols == 8) ++tc;
    sx += cols;
    x += uint32_t(cols);
    line += cols;
  }
}

void FillPlaneDrawTable(uint8_t videoMode) {
  if (videoMode == 0) {
    PlaneDrawTable = {&RenderHTiledPlane, &RenderVTiledPlane, &RenderFlatPlane,
                      &RenderRelativePlane, &RenderVLinedPlane, &RenderHLinedPlane};
  } else if (videoMode == 2) {
    PlaneDrawTable.fill(&DrawNothing);
  }
}

void DrawPlane(const Plane& plane) {
  // Plane type -> table slot.
  static constexpr std::array<uint8_t, 6> kSlotOfType = {kSlotFlat,    kSlotRelative, kSlotHTiled,
                                                         kSlotVTiled,  kSlotHLined,   kSlotVLined};
  if (plane.type >= kSlotOfType.size()) return;
  if (PlaneDrawFn draw = PlaneDrawTable[kSlotOfType[plane.type]]) draw(plane);
}

FrameLines OpaqueLines(const Plane& p) {
  FrameLines lines;
  Canvas cv;
  if (Video.VideoMode != 0 || p.type > kVLined || !OpenCanvas(cv, p)) return lines;
  switch (p.type) {
    case kFlat: WalkFlatRows(cv, p, CoverRows(cv, lines)); break;
    case kRelative: WalkRows<false>(cv, p, CoverRows(cv, lines)); break;
    case kHTiled: WalkRows<true>(cv, p, CoverRows(cv, lines)); break;
    case kHLined: {
      int64_t checkedBase = -1, checkedLoop = 0;
      bool loopOpaque = false;
      WalkHLined(cv, p, [&](int sy, int n, int, int fx, int64_t rowBase, int64_t c, int64_t loop,
                            RowRefs& rowRefs) {
        // Most lines fail on their first cell, before the row's tiles are looked up.
        if (!cv.Ref(cv.Cell(rowBase + c)).opaque) return;
        if (rowBase != checkedBase || loop != checkedLoop) {
          const TileRef* refs = rowRefs.Fill(cv, rowBase, loop);
          if (!refs) return;
          checkedBase = rowBase, checkedLoop = loop;
          loopOpaque = std::all_of(refs, refs + loop, [](const TileRef& r) { return r.opaque; });
        }
        // Every cell a line shows lies in the loop, but for the slice at the
        // right edge, which takes the cell after the loop when the columns end there.
        const int64_t last = (c + kColumns - 2) % loop + 1;
        if (!loopOpaque || (fx > 0 && last == loop && !cv.Ref(cv.Cell(rowBase + last)).opaque)) return;
        for (int y = sy; y < sy + n; ++y) lines.set(size_t(y));
      });
      break;
    }
    default: break;  // the V planes cover in columns: not worth proving
  }
  return lines;
}

void DrawPlaneBehind(const Plane& plane, const FrameLines& hidden) {
  Render.hidden = hidden;
  DrawPlane(plane);
  Render.hidden.reset();
}

void BeginPlaneRun() {
  NewGeneration();
  Render.refs.shared = true;
}

void EndPlaneRun() { Render.refs.shared = false; }
