// plane_render.cpp: the six plane renderers.
//
// The tile-aligned ones (Flat, Relative, H Tiled by rows, V Tiled by
// columns) send edge tiles through a clipped blit and write inner tiles
// straight into the canvas; the two Lined ones draw one pixel line at a
// time, each line with its own speed and loop, or several at once where
// neighbouring lines of a map row (all eight of a V Lined column) move as one.
#include <cstring>

#include "gfx/plane_render_walk.h"

using namespace plane_render;

namespace {

// Screen tile row m of a tile-aligned plane, columns 0..40 left to right;
// nextCell() yields the map cell of each column in turn.
template <class View, class NextCell>
void DrawTileRow(const View& v, int m, int fx, int fy, NextCell nextCell) {
  const int sy = 8 * m - fy;
  if (m == 0 || m == kRows - 1) {
    for (int k = 0; k < kColumns; ++k) PutEdge(v, nextCell(), 8 * k - fx, sy);
    return;
  }
  PutEdge(v, nextCell(), -fx, sy);
  uint8_t* dst = v.fb + sy * v.Stride() + 8 - fx;
  for (int k = 1; k < kColumns - 1; ++k, dst += 8) PutInner(v, nextCell(), dst);
  PutEdge(v, nextCell(), 8 * (kColumns - 1) - fx, sy);
}

// The same for a row of at most two runs: sparse rows visit only the cells
// that hold a tile, since empty cells scattered among the rest cost a branch
// each; fuller rows go column by column.
template <class View>
void DrawTileRow(const View& v, int m, int fx, int fy, const CellRun& run) {
  const int sy = 8 * m - fy;
  if (m == 0 || m == kRows - 1) {
    for (int k = 0; k < kColumns; ++k) PutEdge(v, run.At(k), 8 * k - fx, sy);
    return;
  }
  PutEdge(v, run.At(0), -fx, sy);
  uint8_t* dst = v.fb + sy * v.Stride() - fx;
  if (CountBits(run.shown) > 12) {
    for (int k = 1; k < kColumns - 1; ++k) PutInner(v, run.At(k), dst + 8 * k);
  } else {
    for (uint64_t shown = run.shown; shown; shown &= shown - 1) {
      const int k = __builtin_ctzll(shown);
      PutInner(v, run.At(k), dst + 8 * k);
    }
  }
  PutEdge(v, run.At(kColumns - 1), 8 * (kColumns - 1) - fx, sy);
}

// A tile row from its kept lines, one run of 320 bytes a line: what
// DrawTileRow writes there (onto pixels of 0 where `copy`).
template <class View>
void DrawKeptRow(const View& v, int sy, int fx, int64_t c, KeptLineRow& kept, bool copy = false) {
  const int t0 = std::max(0, -sy), t1 = std::min(8, kHeight - sy);
  const uint8_t* first = KeptLine(kept, t0, *v.table) + 8 * c + fx;
  for (int t = t0 + 1; t < t1; ++t) KeptLine(kept, t, *v.table);  // made before the copy reads them
  PutKeptLines(kept, v.fb + (sy + t0) * v.Stride(), v.Stride(), first, kWidth, t1 - t0, copy);
}

// Draws the rows a tile-aligned walk gives, but those hidden from view.
template <class View>
auto DrawRows(const View& v) {
  return [&v](int m, int fx, int fy, auto&& cells, KeptLineRow* kept, int64_t c) {
    const int sy = 8 * m - fy;
    if (v.Hidden(sy, sy + 8)) return;
    if (v.clear >= 0) {
      // A kept line holds 0 where the row shows nothing: copied, it is the
      // clear itself. An opaque row's copy leaves nothing to clear.
      if (kept && (v.clear == 0 || kept->opaque)) return DrawKeptRow(v, sy, fx, c, *kept, true);
      for (int y = std::max(sy, 0); y < std::min(sy + 8, kHeight); ++y)
        std::memset(v.fb + y * v.Stride(), v.clear, kWidth);
    }
    if (kept)
      DrawKeptRow(v, sy, fx, c, *kept);
    else
      DrawTileRow(v, m, fx, fy, cells);
  };
}

// Lines (1..8) pixel rows of an H Lined plane that share one camera and loop:
// block rows ty.. of the cells from column c onward, at screen rows starting
// at `row`. refAt(c) gives the middle slices' tiles.
template <int Lines, class View, class RefAt>
void DrawHLinedRows(const View& v, uint8_t* row, int ty, int fx, int64_t rowBase, int64_t c, int64_t loop,
                    RefAt refAt) {
  const ptrdiff_t stride = v.Stride();
  // First slice: whatever tile stands in the cell, 0 too, cut at the left edge.
  if (const uint8_t* px = v.Pixels(v.Cell(rowBase + c)))
    MergeRowsShifted(row, size_t(stride), px + ty * 8, Lines, fx, ~uint64_t(0), false);
  ++c;
  // The middle slices a stretch of the loop at a time: a wrap test on every
  // slice would chain each slice's column to the one before.
  for (int j = 1; j < kColumns - 1;) {
    if (c >= loop) c -= loop;
    for (const int end = int(std::min<int64_t>(kColumns - 1, j + (loop - c))); j < end; ++j, ++c) {
      const TileRef ref = refAt(c);
      if (ref.px == kBlankBlock) continue;
      uint8_t* dst = row + 8 * j - fx;
      const uint8_t* src = ref.px + ty * 8;
      if constexpr (Lines == 8) {
        ref.opaque ? CopyTile8x8(dst, size_t(stride), src) : MergeTile8x8(dst, size_t(stride), src);
      } else if (ref.opaque) {
        for (int t = 0; t < Lines; ++t) CopyRow8(dst + t * stride, src + t * 8);
      } else {
        for (int t = 0; t < Lines; ++t) MergeRow8(dst + t * stride, src + t * 8);
      }
    }
  }
  // Last slice: the next cell, not wrapped, cut at the right edge.
  if (fx > 0)
    if (const uint8_t* px = v.Pixels(v.Cell(rowBase + c)))
      MergeRowsShifted(row + kWidth - 8, size_t(stride), px + ty * 8, Lines, fx - 8, ~uint64_t(0), false);
}

// The same for any count of lines from 1 to 8, each count its own unrolled loop.
template <class View, class RefAt>
void DrawHLinedLines(const View& v, uint8_t* row, int ty, int lines, int fx, int64_t rowBase, int64_t c, int64_t loop,
                     RefAt refAt) {
  switch (lines) {
    case 1: return DrawHLinedRows<1>(v, row, ty, fx, rowBase, c, loop, refAt);
    case 2: return DrawHLinedRows<2>(v, row, ty, fx, rowBase, c, loop, refAt);
    case 3: return DrawHLinedRows<3>(v, row, ty, fx, rowBase, c, loop, refAt);
    case 4: return DrawHLinedRows<4>(v, row, ty, fx, rowBase, c, loop, refAt);
    case 5: return DrawHLinedRows<5>(v, row, ty, fx, rowBase, c, loop, refAt);
    case 6: return DrawHLinedRows<6>(v, row, ty, fx, rowBase, c, loop, refAt);
    case 7: return DrawHLinedRows<7>(v, row, ty, fx, rowBase, c, loop, refAt);
    default: return DrawHLinedRows<8>(v, row, ty, fx, rowBase, c, loop, refAt);
  }
}

// `lines` lines of a kept map row, each written from its kept line as one
// run: what DrawHLinedRows writes but for the last slice, which it draws the
// same way.
template <class View>
void DrawKeptLines(const View& v, uint8_t* row, int ty, int lines, int fx, int64_t rowBase, int64_t c,
                   KeptLineRow& kept) {
  const ptrdiff_t stride = v.Stride();
  const uint8_t* first = KeptLine(kept, ty, *v.table) + 8 * c + fx;
  for (int t = 1; t < lines; ++t) KeptLine(kept, ty + t, *v.table);  // made before the copy reads them
  PutKeptLines(kept, row, stride, first, size_t(kWidth - fx), lines);
  if (fx > 0)
    if (const uint8_t* px = v.Pixels(v.Cell(rowBase + LastSliceCell(c, kept.loop))))
      MergeRowsShifted(row + kWidth - 8, size_t(stride), px + ty * 8, lines, fx - 8, ~uint64_t(0), false);
}

// Screen tile column k of a V Tiled plane, rows 0..25 top to bottom;
// nextCell() yields the map cell of each row in turn. The cells are read
// first and the inner ones holding a tile visited by their bits: embers and
// other sparse columns would otherwise cost a mispredicted branch a cell.
template <class View, class NextCell>
void DrawTileColumn(const View& v, int k, int fx, int fy, NextCell nextCell) {
  const int sx = 8 * k - fx;
  std::array<uint32_t, kRows> cells;
  uint32_t shown = 0;
  for (int m = 0; m < kRows; ++m) {
    cells[size_t(m)] = nextCell();
    shown |= uint32_t(cells[size_t(m)] != 0) << m;
  }
  if (k == 0 || k == kColumns - 1) {
    for (; shown; shown &= shown - 1) {
      const int m = __builtin_ctz(shown);
      PutEdge(v, cells[size_t(m)], sx, 8 * m - fy);
    }
    return;
  }
  PutEdge(v, cells[0], sx, -fy);
  PutEdge(v, cells[kRows - 1], sx, 8 * (kRows - 1) - fy);
  for (shown &= (uint32_t(1) << (kRows - 1)) - 2; shown; shown &= shown - 1) {
    const int m = __builtin_ctz(shown);
    PutInner(v, cells[size_t(m)], v.fb + (8 * m - fy) * v.Stride() + sx);
  }
}

// The pixel columns `columns` (bit t: column t) of screen tile column x0 of
// a V Lined plane, which share camera camY and loop: block columns of the
// cells of map column tc from the camera's row down. Inner tile columns are
// merged eight bytes a row through a mask of those columns; one cut by the
// screen's side (Edge) goes through the frame's first or last eight bytes of
// each row, never outside the frame.
template <bool Edge, class View>
void DrawVLinedTiles(const View& v, int x0, uint8_t columns, int32_t camY, int64_t loop, int64_t width, int64_t tc) {
  const ptrdiff_t stride = v.Stride();
  const int fy = camY & 7;
  const uint64_t mask = ColumnBytes(columns);
  // Rows [0, rows) of block `src` at screen row y; only non-zero pixels are written.
  auto put = [&](int y, const uint8_t* src, int rows) {
    if constexpr (Edge) {
      MergeRowsShifted(v.fb + y * stride + (x0 < 0 ? 0 : kWidth - 8), size_t(stride), src, rows,
                       x0 < 0 ? -x0 : kWidth - 8 - x0, mask, false);
    } else {
      MergeRows8Masked(v.fb + y * stride + x0, size_t(stride), src, rows, mask);
    }
  };
  int64_t r = FloorMod(camY >> 3, loop);
  // Top slice: any tile number, cut at the top edge.
  if (const uint8_t* px = v.Pixels(v.Cell(width * r + tc))) put(0, px + 8 * fy, 8 - fy);
  ++r;
  for (int j = 1; j < kRows - 1; ++j, ++r) {
    if (r >= loop) r -= loop;
    const uint32_t n = v.Cell(width * r + tc);
    if (n == 0) continue;
    const TileRef ref = v.Ref(n);
    if (ref.px == kBlankBlock) continue;
    // An opaque tile has no 0 to leave out: all eight columns are a copy.
    if (!Edge && columns == 0xFF && ref.opaque)
      CopyTile8x8(v.fb + (8 * j - fy) * stride + x0, size_t(stride), ref.px);
    else
      put(8 * j - fy, ref.px, 8);
  }
  // Bottom slice: r not wrapped, cut at the bottom edge.
  if (fy > 0)
    if (const uint8_t* px = v.Pixels(v.Cell(width * r + tc))) put(kHeight - fy, px, fy);
}

// Opens the draw's view, with the frame buffer's stride fixed where the
// canvas has it, and hands it to draw(v).
template <class Draw>
void WithView(const Plane& p, PlaneRun& run, Draw draw) {
  if (run.canvas().stride == kWidth) {
    DrawView<kWidth> v;
    if (OpenView(v, p, run)) draw(v);
  } else {
    DrawView<0> v;
    if (OpenView(v, p, run)) draw(v);
  }
}

template <class View>
void DrawHLined(const View& v, const Plane& p) {
  KeptRowOf keptRow(true);
  WalkHLined(v, p, [&](int sy, int lines, int ty, int fx, int64_t rowBase, int64_t c, int64_t loop, RowRefs& rowRefs) {
    if (v.Hidden(sy, sy + lines)) return;
    uint8_t* row = v.fb + sy * v.Stride();
    if (KeptLineRow* kept = keptRow(v, p.width, rowBase, loop))
      return DrawKeptLines(v, row, ty, lines, fx, rowBase, c, *kept);
    if (const TileRef* refs = rowRefs.Fill(v, rowBase, loop)) {
      DrawHLinedLines(v, row, ty, lines, fx, rowBase, c, loop, [refs](int64_t i) { return refs[i]; });
      return;
    }
    // Loops too long to keep (rare): line by line, one loop's worth of code.
    for (int t = 0; t < lines; ++t)
      DrawHLinedRows<1>(v, row + t * v.Stride(), ty + t, fx, rowBase, c, loop,
                        [&](int64_t i) { return v.Ref(v.Cell(rowBase + i)); });
  });
}

template <class View>
void DrawVTiled(const View& v, const Plane& p) {
  const int64_t hloop = OtherLoop(p, p.width), width = p.width;
  const int32_t camX = v.scrollX[p.otherSpeed];
  int64_t c = FloorMod(camX >> 3, hloop);
  for (int k = 0; k < kColumns; ++k, ++c) {
    if (c >= hloop) c -= hloop;
    const int32_t camY = v.scrollY[LineSpeed(p, c)];
    const int64_t loop = LineLoop(p, c, p.height);
    int64_t r = FloorMod(camY >> 3, loop);
    DrawTileColumn(v, k, camX & 7, camY & 7, [&] {
      if (r >= loop) r -= loop;
      return v.Cell(width * r++ + c);
    });
  }
}

// A V Lined plane a tile column at a time: its pixel columns are grouped by
// camera and loop (all eight where the column's lines move as one), and
// each group is drawn as one column of tiles.
template <class View>
void DrawVLined(const View& v, const Plane& p) {
  const int64_t hloop = OtherLoop(p, p.width), width = p.width;
  const int32_t camX = v.scrollX[p.otherSpeed];
  int64_t tc = FloorMod(camX >> 3, hloop);
  struct Group {
    int32_t camY;
    int64_t loop;
    uint8_t columns;
  };
  for (int k = 0, x0 = -(camX & 7); k < kColumns; ++k, ++tc, x0 += 8) {
    if (tc >= hloop) tc -= hloop;
    std::array<Group, 8> groups;
    int count = 0;
    for (int t = std::max(0, -x0); t < 8 && x0 + t < kWidth; ++t) {
      const int64_t line = tc * 8 + t;  // the pixel column within the horizontal loop
      const int32_t camY = v.scrollY[LineSpeed(p, line)];
      const int64_t loop = LineLoop(p, line, p.height);
      int g = 0;
      while (g < count && (groups[size_t(g)].camY != camY || groups[size_t(g)].loop != loop)) ++g;
      if (g == count) groups[size_t(count++)] = {camY, loop, 0};
      groups[size_t(g)].columns |= uint8_t(1 << t);
    }
    const bool edge = x0 < 0 || x0 + 8 > kWidth;
    for (int g = 0; g < count; ++g) {
      const Group& gr = groups[size_t(g)];
      if (edge)
        DrawVLinedTiles<true>(v, x0, gr.columns, gr.camY, gr.loop, width, tc);
      else
        DrawVLinedTiles<false>(v, x0, gr.columns, gr.camY, gr.loop, width, tc);
    }
  }
}

}  // namespace

void RenderFlatPlane(const Plane& p, PlaneRun& run) {
  WithView(p, run, [&](const auto& v) { WalkFlatRows(v, p, DrawRows(v)); });
}

void RenderRelativePlane(const Plane& p, PlaneRun& run) {
  WithView(p, run, [&](const auto& v) { WalkRows<false>(v, p, DrawRows(v)); });
}

void RenderHTiledPlane(const Plane& p, PlaneRun& run) {
  WithView(p, run, [&](const auto& v) { WalkRows<true>(v, p, DrawRows(v)); });
}

void RenderHLinedPlane(const Plane& p, PlaneRun& run) {
  WithView(p, run, [&](const auto& v) { DrawHLined(v, p); });
}

void RenderVTiledPlane(const Plane& p, PlaneRun& run) {
  WithView(p, run, [&](const auto& v) { DrawVTiled(v, p); });
}

void RenderVLinedPlane(const Plane& p, PlaneRun& run) {
  WithView(p, run, [&](const auto& v) { DrawVLined(v, p); });
}
