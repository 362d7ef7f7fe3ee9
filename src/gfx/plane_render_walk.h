// plane_render_walk.h: what the plane renderers share with the covered-lines analysis.
//
// One draw's view, the plane's line and loop rules, the edge and inner tile
// blits and the walks over a plane's rows. Only plane_render.cpp and
// plane_render_run.cpp include it.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "gfx/line_strips.h"
#include "gfx/plane_render.h"
#include "gfx/scroll.h"
#include "gfx/tile_blit.h"
#include "model/planes.h"
#include "model/tiles.h"

namespace plane_render {

constexpr int kWidth = kPlaneFrameWidth, kHeight = kPlaneFrameHeight;  // the frame
constexpr int kColumns = 41, kRows = 26;                               // tiles drawn to cover it
constexpr uint32_t kNoCell = 0xFFFFFFFF;                               // a cell outside the map
constexpr int64_t kRowRefsMax = 128;  // H Lined loops up to this share per-row look-ups

inline constexpr uint8_t kBlankBlock[64] = {};
inline constexpr TileRef kBlankRef = {kBlankBlock, false};

// One plane draw's view of the canvas, the map, the tiles and the scroll
// tables. It lives in a local so its fields stay in registers: every byte
// written to the canvas may alias anything, which would otherwise force
// reloads in the inner loops. FixedStride is the canvas's stride where it is
// known while compiling (the frame buffer's 320), so that the blits address
// rows with constants; 0 for any other.
template <ptrdiff_t FixedStride>
struct DrawView {
  uint8_t* fb = nullptr;
  ptrdiff_t canvasStride = 0;
  const uint16_t* cells = nullptr;
  int64_t cellCount = 0;
  const TileBlock* blocks = nullptr;
  const uint8_t* kinds = nullptr;  // TileBlockKind a tile
  uint32_t tileCount = 0;
  const TileBlocks* table = nullptr;  // the run's
  const int32_t* scrollX = nullptr;
  const int32_t* scrollY = nullptr;
  int32_t viewX = 0, viewY = 0;
  FrameLines hidden;  // lines the draw may skip
  int clear = -1;     // the colour the draw writes where the plane shows nothing; -1: it leaves those pixels

  ptrdiff_t Stride() const { return FixedStride ? FixedStride : canvasStride; }

  // Whether every line of [from, to) on the frame is one the draw may skip.
  bool Hidden(int from, int to) const {
    for (int y = std::max(from, 0); y < std::min(to, kHeight); ++y)
      if (!hidden[size_t(y)]) return false;
    return true;
  }

  // The tile number in map cell i; kNoCell outside the map.
  uint32_t Cell(int64_t i) const { return i >= 0 && i < cellCount ? cells[i] : kNoCell; }

  // Tile n's current block, tile 0 included; null when n names no tile or the tile draws nothing.
  const uint8_t* Pixels(uint32_t n) const {
    return n < tileCount && kinds[n] != kNoBlock ? blocks[n].px.data() : nullptr;
  }

  // Tile n as the inner loops draw it; tile 0 is blank.
  TileRef Ref(uint32_t n) const {
    if (n == 0 || n >= tileCount || kinds[n] == kNoBlock) return kBlankRef;
    return {blocks[n].px.data(), kinds[n] == kOpaqueBlock};
  }
};

// Whether a renderer draws the plane onto the canvas at all.
inline bool Drawable(const Plane& p, const PlaneCanvas& canvas) {
  return p.width >= 1 && p.height >= 1 && !p.tiles.empty() && canvas.pixels && canvas.width >= kWidth &&
         canvas.height >= kHeight && canvas.stride >= canvas.width;
}

// The view of a plane draw in the run; false when there is nothing to draw.
template <class View>
bool OpenView(View& v, const Plane& p, PlaneRun& run) {
  const PlaneCanvas& canvas = run.canvas();
  if (!Drawable(p, canvas)) return false;
  v.fb = canvas.pixels;
  v.canvasStride = canvas.stride;
  v.cells = p.tiles.data();
  v.cellCount = int64_t(p.tiles.size());
  const TileBlocks& tiles = run.tiles();
  v.blocks = tiles.blocks.data();
  v.kinds = tiles.kinds.data();
  v.tileCount = uint32_t(std::min({tiles.blocks.size(), tiles.kinds.size(), size_t(UINT32_MAX)}));
  v.table = &tiles;
  v.scrollX = run.scroll().ScrollX.data();
  v.scrollY = run.scroll().ScrollY.data();
  v.viewX = run.scroll().viewX;
  v.viewY = run.scroll().viewY;
  v.hidden = run.hidden();
  v.clear = run.clear() ? *run.clear() : -1;
  return true;
}

// Remainder in [0, n) for n >= 1, also for negative a.
inline int64_t FloorMod(int64_t a, int64_t n) {
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

inline uint8_t LineSpeed(const Plane& p, int64_t line) {
  return line >= 0 && line < int64_t(p.lineSpeeds.size()) ? p.lineSpeeds[size_t(line)] : 8;
}

// A line's loop in tiles; `size` (the plane's extent along the line) when missing or below 1.
inline int64_t LineLoop(const Plane& p, int64_t line, int64_t size) {
  int64_t loop = line >= 0 && line < int64_t(p.lineLoops.size()) ? p.lineLoops[size_t(line)] : size;
  return loop >= 1 ? loop : size;
}

// line - n x loop, held far below any real line so broken planes cannot overflow.
inline int64_t DropLoops(int64_t line, int64_t n, int64_t loop) {
  constexpr int64_t kFarBelow = -(int64_t(1) << 62);
  if (n > (int64_t(1) << 61) / loop) return kFarBelow;
  return std::max(line - n * loop, kFarBelow);
}

inline int64_t OtherLoop(const Plane& p, int64_t size) { return p.otherLoop >= 1 ? p.otherLoop : size; }

inline int64_t WrapCells(const Plane& p) { return p.wrapCells >= 1 ? p.wrapCells : int64_t(p.width) * p.height; }

// The column of the cell an H Lined line's last slice shows (when the line
// starts fx > 0 pixels into column c): the one after its 39th middle slice,
// (c + 39) mod loop, plus one and not wrapped.
inline int64_t LastSliceCell(int64_t c, int64_t loop) {
  int64_t last = c + kColumns - 2;
  if (loop < 8) return last % loop + 1;
  while (last >= loop) last -= loop;  // at most five steps: cheaper than a division
  return last + 1;
}

// A cell on the frame's border at screen (sx, sy), cut to the frame: whole
// tiles as inner ones, tiles cut only at the top or bottom by whole rows.
template <class View>
inline void PutEdge(const View& v, uint32_t n, int sx, int sy) {
  const TileRef t = v.Ref(n);
  if (t.px == kBlankBlock || sx <= -8 || sx >= kWidth || sy <= -8 || sy >= kHeight) return;
  const uint8_t* px = t.px;
  uint8_t* dst = v.fb + sy * v.Stride() + sx;
  if (sx >= 0 && sx <= kWidth - 8 && sy >= 0 && sy <= kHeight - 8) {
    t.opaque ? CopyTile8x8(dst, size_t(v.Stride()), px) : MergeTile8x8(dst, size_t(v.Stride()), px);
    return;
  }
  const int r0 = std::max(0, -sy), r1 = std::min(8, kHeight - sy);
  if (sx >= 0 && sx <= kWidth - 8) {
    for (int r = r0; r < r1; ++r) {
      const uint8_t* src = px + r * 8;
      uint8_t* row = dst + r * v.Stride();
      t.opaque ? CopyRow8(row, src) : MergeRow8(row, src);
    }
    return;
  }
  // Cut at a side: through the frame's first or last eight bytes of each row.
  uint8_t* window = v.fb + (sy + r0) * v.Stride() + (sx < 0 ? 0 : kWidth - 8);
  MergeRowsShifted(window, size_t(v.Stride()), px + r0 * 8, r1 - r0, sx < 0 ? -sx : kWidth - 8 - sx, ~uint64_t(0),
                   t.opaque);
}

// A cell strictly inside: never crosses the border, so no clipping. Empty
// cells are common, hence the early test on the number itself.
template <class View>
inline void PutInner(const View& v, uint32_t n, uint8_t* dst) {
  if (n == 0 || n >= v.tileCount) return;
  const uint8_t kind = v.kinds[n];
  if (kind == kNoBlock) return;
  const uint8_t* px = v.blocks[n].px.data();
  kind == kOpaqueBlock ? CopyTile8x8(dst, size_t(v.Stride()), px) : MergeTile8x8(dst, size_t(v.Stride()), px);
}

// The bits set in v. The compiler's own count is a library call where the
// build may not assume the processor's POPCNT instruction (any x86-64).
inline int CountBits(uint64_t v) {
  v -= (v >> 1) & 0x5555555555555555ULL;
  v = (v & 0x3333333333333333ULL) + ((v >> 2) & 0x3333333333333333ULL);
  v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
  return int((v * 0x0101010101010101ULL) >> 56);
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

inline CellRun ReadCellRun(const uint16_t* at, int split, const uint16_t* rest, const uint16_t* mapEnd) {
  uint64_t shown = CellsShown(at, split, mapEnd);
  if (split < kColumns) shown |= CellsShown(rest, kColumns - split, mapEnd) << split;
  return {at, rest, split, shown & ((uint64_t(1) << (kColumns - 1)) - 1) & ~uint64_t(1)};
}

// The kept lines of a map row (line_strips.h), looked up once for all the
// row's line groups; null where the row is not kept. A draw takes merged
// rows too; the covered-lines analysis only opaque ones.
class KeptRowOf {
 public:
  explicit KeptRowOf(bool merges) : merges_(merges) {}

  template <class View>
  KeptLineRow* operator()(const View& v, int64_t width, int64_t rowBase, int64_t loop) {
    if (rowBase == base_ && loop == loop_) return row_;
    base_ = rowBase, loop_ = loop, row_ = nullptr;
    // Most rows that are not all opaque (a nebula's) show it in their first
    // cells, without the look-up and the comparison of the row's numbers.
    if (!merges_)
      for (int64_t i = 0; i < std::min<int64_t>(loop, 4); ++i)
        if (!v.Ref(v.Cell(rowBase + i)).opaque) return nullptr;
    row_ = KeptRow(v.cells, v.cellCount, width, rowBase, loop, *v.table, merges_);
    return row_;
  }

 private:
  bool merges_;
  int64_t base_ = -1, loop_ = 0;
  KeptLineRow* row_ = nullptr;
};

// The screen tile rows of a Relative (one speed and loop for all rows) or H
// Tiled (one per tile row) plane: row(m, fx, fy, cells, kept, c) for each.
// A kept row (line_strips.h) comes with its kept lines, whose byte 8c + fx
// starts the screen row: for a walk that Draws, any row kept, merged ones
// too; for the covered-lines analysis, only opaque rows whose loop is
// shorter than the screen. kept is null for the others. cells is a CellRun
// where the row is not kept, its loop is 41 cells or more, its runs lie
// inside the map and the walk Draws; else a function that yields each
// column's cell in turn.
template <bool PerRow, bool Draws = true, class View, class RowFn>
void WalkRows(const View& v, const Plane& p, RowFn row) {
  const int64_t wrap = WrapCells(p), vloop = OtherLoop(p, p.height), width = p.width;
  const int32_t camY = v.scrollY[p.otherSpeed];
  const int fy = camY & 7;
  int64_t r = FloorMod(camY >> 3, p.height);  // the row's line within the plane
  int64_t rowBase = width * r;
  LineStart start;
  KeptRowOf keptRow(Draws);
  for (int m = 0; m < kRows; ++m, rowBase += width, ++r) {
    // The first row stands where the camera put it; later rows wrap at the vertical loop.
    if (m > 0 && rowBase >= wrap) {
      int64_t n = rowBase / wrap;
      rowBase -= n * wrap;
      r = DropLoops(r, n, vloop);
    }
    const int64_t line = PerRow ? r : 0;
    const int32_t camX = v.scrollX[LineSpeed(p, line)];
    const int64_t loop = LineLoop(p, line, width);
    int64_t c = start(camX, loop);
    KeptLineRow* kept = nullptr;
    if (Draws || (loop < kColumns && v.Ref(v.Cell(rowBase + c)).opaque)) kept = keptRow(v, width, rowBase, loop);
    // Other rows that pass the loop's end at most once, inside the map, are read as runs.
    const int split = int(std::min<int64_t>(kColumns, loop - c));
    if (!kept && Draws && loop >= kColumns && rowBase >= 0 &&
        rowBase + std::max<int64_t>(c + split, kColumns - split) <= v.cellCount) {
      const uint16_t* base = v.cells + rowBase;
      row(m, camX & 7, fy, ReadCellRun(base + c, split, base, v.cells + v.cellCount), nullptr, c);
      continue;
    }
    row(
        m, camX & 7, fy,
        [&] {
          if (c >= loop) c -= loop;
          return v.Cell(rowBase + c++);
        },
        kept, c);
  }
}

// The same for a Flat plane, against the view.
template <class View, class RowFn>
void WalkFlatRows(const View& v, const Plane& p, RowFn row) {
  const int64_t wrap = WrapCells(p), skip = p.rowSkip;
  const int32_t vx = v.viewX, vy = v.viewY;
  int64_t index = int64_t(p.width) * (vy >> 3) + (vx >> 3);
  for (int m = 0; m < kRows; ++m) {
    // Wrapped at row starts only: a narrow map runs on into its next row.
    index = FloorMod(index, wrap);
    int64_t i = index;
    if (i + kColumns <= v.cellCount)
      row(m, vx & 7, vy & 7, ReadCellRun(v.cells + i, kColumns, nullptr, v.cells + v.cellCount), nullptr, 0);
    else
      row(m, vx & 7, vy & 7, [&] { return v.Cell(i++); }, nullptr, 0);
    index += kColumns + skip;
  }
}

// The tiles of a map row's cells [0, loop), looked up once for all its lines.
struct RowRefs {
  std::array<TileRef, kRowRefsMax> refs;
  int64_t base = -1, filled = 0;  // cells base + [0, filled) are in refs

  // Null when the loop is too long to keep.
  template <class View>
  const TileRef* Fill(const View& v, int64_t rowBase, int64_t loop) {
    if (loop > kRowRefsMax) return nullptr;
    if (rowBase != base) base = rowBase, filled = 0;
    for (; filled < loop; ++filled) refs[size_t(filled)] = v.Ref(v.Cell(rowBase + filled));
    return refs.data();
  }
};

// The line groups of an H Lined plane, top to bottom: line(sy, lines, ty, fx,
// rowBase, c, loop, rowRefs) for `lines` screen rows from sy, all of one map
// row and moving as one, showing block row ty.. of the cells from column c of
// the map row at rowBase.
template <class View, class LineFn>
void WalkHLined(const View& v, const Plane& p, LineFn line) {
  const int64_t wrap = WrapCells(p), vloop = OtherLoop(p, p.height), span = vloop * 8, width = p.width;
  const int32_t camY = v.scrollY[p.otherSpeed];
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
    const int32_t camX = v.scrollX[LineSpeed(p, q)];
    const int64_t loop = LineLoop(p, q, width);
    const int ty = int(y & 7);
    // The lines after it in the map row that agree with it are drawn with it.
    const int most = std::min(8 - ty, kHeight - sy);
    int lines = 1;
    while (lines < most && v.scrollX[LineSpeed(p, q + lines)] == camX && LineLoop(p, q + lines, width) == loop) ++lines;
    line(sy, lines, ty, camX & 7, rowBase, start(camX, loop), loop, rowRefs);
    if (ty + lines == 8) rowBase += width;
    sy += lines;
    y += uint32_t(lines);
    q += lines;
  }
}

}  // namespace plane_render
