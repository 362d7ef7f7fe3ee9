// plane_render_run.cpp: the plane run, its tile look-up and covered lines, and the renderer table.
//
// A run owns the tile look-up its draws share and the lines each draw may
// skip; the covered-lines analysis finds those; the table picks a renderer
// by plane type and video mode.
#include <type_traits>

#include "gfx/plane_render_walk.h"

using namespace plane_render;

std::array<PlaneDrawFn, kPlaneDrawSlots> PlaneDrawTable{};

namespace {

// Slot order, as PlaneDrawTable holds them in mode 0.
constexpr std::array<PlaneDrawFn, kPlaneDrawSlots> kRenderers = {&RenderHTiledPlane, &RenderVTiledPlane,
                                                                 &RenderFlatPlane,   &RenderRelativePlane,
                                                                 &RenderVLinedPlane, &RenderHLinedPlane};

// Plane type -> table slot.
constexpr std::array<uint8_t, 6> kSlotOfType = {kSlotFlat,   kSlotRelative, kSlotHTiled,
                                                kSlotVTiled, kSlotHLined,   kSlotVLined};

void DrawNothing(const Plane&, PlaneRun&) {}

// Marks the lines of each row whose 41 cells all hold opaque tiles: the
// rows with kept lines, and others cell by cell.
template <class View>
auto CoverRows(const View& v, FrameLines& lines) {
  return [&v, &lines](int m, int, int fy, auto&& cells, KeptLineRow* kept, int64_t) {
    // As PutEdge and PutInner see the cells.
    for (int k = 0; !kept && k < kColumns; ++k) {
      uint32_t n;
      if constexpr (std::is_same_v<std::decay_t<decltype(cells)>, CellRun>)
        n = cells.At(k);
      else
        n = cells();
      if (n == 0 || n >= v.tileCount || v.kinds[n] != kOpaqueBlock) return;
    }
    for (int y = std::max(8 * m - fy, 0); y < std::min(8 * m - fy + 8, kHeight); ++y) lines.set(size_t(y));
  };
}

// The lines of an H Lined plane whose every slice shows an opaque tile: the
// rows whose loop the draw keeps as opaque lines.
template <class View>
void CoverHLined(const View& v, const Plane& p, FrameLines& lines) {
  KeptRowOf keptRow(false);
  WalkHLined(v, p, [&](int sy, int n, int, int fx, int64_t rowBase, int64_t c, int64_t loop, RowRefs&) {
    // Most lines fail on their first cell, before the row is looked at.
    if (!v.Ref(v.Cell(rowBase + c)).opaque || !keptRow(v, p.width, rowBase, loop)) return;
    // Every cell a line shows lies in the loop, but for the slice at the
    // right edge, which takes the cell after the loop when the columns end there.
    if (fx > 0 && LastSliceCell(c, loop) == loop && !v.Ref(v.Cell(rowBase + loop)).opaque) return;
    for (int y = sy; y < sy + n; ++y) lines.set(size_t(y));
  });
}

}  // namespace

void FillPlaneDrawTable(uint8_t videoMode) {
  if (videoMode == 0) {
    PlaneDrawTable = kRenderers;
  } else if (videoMode == 2) {
    PlaneDrawTable.fill(&DrawNothing);
  }
}

PlaneRun::PlaneRun(const TileBlocks& tiles, const ScrollState& scroll, const PlaneCanvas& canvas)
    : tiles_(tiles), scroll_(scroll), canvas_(canvas) {}

void PlaneRun::Draw(const Plane& plane, const FrameLines& hidden) {
  if (plane.type >= kSlotOfType.size()) return;
  if (PlaneDrawFn draw = PlaneDrawTable[kSlotOfType[plane.type]]) {
    hidden_ = hidden;
    draw(plane, *this);
    hidden_.reset();
  }
}

void PlaneRun::DrawInOrder(std::span<const Plane* const> planes) {
  PlanInOrder(planes);
  DrawPlanned(planes);
}

// The first plane's own lines are not looked for: no plane lies behind it.
FrameLines PlaneRun::PlanInOrder(std::span<const Plane* const> planes) {
  hiddenBehind_.resize(planes.size());
  FrameLines covered;
  for (size_t i = planes.size(); i-- > 0;) {
    hiddenBehind_[i] = covered;
    if (i > 0 && planes[i] && !covered.all()) covered |= OpaqueLines(*planes[i]);
  }
  return covered;
}

void PlaneRun::DrawPlanned(std::span<const Plane* const> planes, size_t from) {
  for (size_t i = from; i < planes.size() && i < hiddenBehind_.size(); ++i)
    if (planes[i]) Draw(*planes[i], hiddenBehind_[i]);
}

bool PlaneRun::DrawPlannedClearing(std::span<const Plane* const> planes, uint8_t colour) {
  const Plane* first = planes.empty() || hiddenBehind_.empty() ? nullptr : planes[0];
  if (!first || first->type >= kSlotOfType.size()) return false;
  // The renderers that visit every screen tile row, drawn or not.
  const uint8_t slot = kSlotOfType[first->type];
  if (slot != kSlotFlat && slot != kSlotRelative && slot != kSlotHTiled) return false;
  if (PlaneDrawTable[slot] != kRenderers[slot] || !Drawable(*first, canvas_)) return false;
  clear_ = colour;
  Draw(*first, hiddenBehind_[0]);
  clear_.reset();
  DrawPlanned(planes, 1);
  return true;
}

FrameLines PlaneRun::OpaqueLines(const Plane& p) {
  FrameLines lines;
  DrawView<0> v;  // no pixel is written
  if (p.type > kVLined) return lines;
  const uint8_t slot = kSlotOfType[p.type];
  if (PlaneDrawTable[slot] != kRenderers[slot] || !OpenView(v, p, *this)) return lines;
  switch (p.type) {
    case kFlat: WalkFlatRows(v, p, CoverRows(v, lines)); break;
    // Cell by cell: most rows fail on their first cell, so reading a row's
    // runs (which cells show) first would cost more than it saves.
    case kRelative: WalkRows<false, false>(v, p, CoverRows(v, lines)); break;
    case kHTiled: WalkRows<true, false>(v, p, CoverRows(v, lines)); break;
    case kHLined: CoverHLined(v, p, lines); break;
    default: break;  // the V planes cover in columns: not worth proving
  }
  return lines;
}

void DrawPlane(const Plane& plane, const TileBlocks& tiles, const ScrollState& scroll, const PlaneCanvas& canvas) {
  PlaneRun run(tiles, scroll, canvas);
  run.Draw(plane);
}
