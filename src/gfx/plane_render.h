// plane_render.h: the six plane renderers, their table, and the plane run that hands them their inputs.
//
// A plane is drawn with a tile set, one frame's scroll tables and a canvas,
// all passed in by the caller through a PlaneRun.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "model/tiles.h"

struct Plane;
struct ScrollState;

// The frame every renderer covers: 320x200 pixels.
constexpr int kPlaneFrameWidth = 320, kPlaneFrameHeight = 200;

// Where planes are drawn: one byte a pixel, rows `stride` bytes apart. The
// renderers cover its top-left 320x200 pixels; a canvas without pixels,
// smaller than that or with a stride below its width is left alone.
struct PlaneCanvas {
  uint8_t* pixels = nullptr;
  int stride = 0, width = 0, height = 0;
};

// A frame buffer of 320x200 pixels whose rows lie next to each other.
inline PlaneCanvas FrameCanvas(uint8_t* pixels) {
  return {pixels, kPlaneFrameWidth, kPlaneFrameWidth, kPlaneFrameHeight};
}

// One bit per line of the 320x200 frame.
using FrameLines = std::bitset<kPlaneFrameHeight>;

// A tile as the inner loops use it: its current block and its opaque flag.
// Tile 0, unknown numbers and tiles with no block or a blank one point at a
// blank block, which the loops skip.
struct TileRef {
  const uint8_t* px;
  bool opaque;
};

class PlaneRun;
using PlaneDrawFn = void (*)(const Plane& plane, PlaneRun& run);

// Slot order: H Tiled, V Tiled, Flat, Relative, V Lined, H Lined.
enum PlaneDrawSlot : uint8_t {
  kSlotHTiled,
  kSlotVTiled,
  kSlotFlat,
  kSlotRelative,
  kSlotVLined,
  kSlotHLined,
  kPlaneDrawSlots
};
extern std::array<PlaneDrawFn, kPlaneDrawSlots> PlaneDrawTable;

// Mode 0: the six renderers; mode 2: six routines that draw nothing; any other
// mode leaves the table as it was. Called by SelectVideoMode.
void FillPlaneDrawTable(uint8_t videoMode);

// Plane draws onto one canvas with one tile set and one frame's scroll
// tables, with nothing else drawn between them: a plane may leave alone the
// lines that planes drawn after it cover. Nothing may change the block table
// while a run lives.
class PlaneRun {
 public:
  // Tile n is block n of `tiles` (CurrentTileBlocks for the tile set's own,
  // FillTileBlocks for others); numbers past the end are empty cells.
  PlaneRun(const TileBlocks& tiles, const ScrollState& scroll, const PlaneCanvas& canvas);
  PlaneRun(const PlaneRun&) = delete;
  PlaneRun& operator=(const PlaneRun&) = delete;

  // Draws the plane through the table slot of its type; a type above 5 or an
  // empty slot draws nothing. Lines in `hidden` may be left as they are.
  void Draw(const Plane& plane, const FrameLines& hidden = {});
  // Draws the planes in order, null ones not at all, each leaving alone the
  // lines that the planes after it fill.
  void DrawInOrder(std::span<const Plane* const> planes);
  // DrawInOrder in two steps, for a caller that clears the frame around the
  // planes: finds the lines each plane may leave alone and returns those
  // that the planes after the first fill (the first plane's own are not
  // looked for), then draws them (the same planes, the same frame's tables:
  // nothing may change them in between).
  FrameLines PlanInOrder(std::span<const Plane* const> planes);
  void DrawPlanned(std::span<const Plane* const> planes) { DrawPlanned(planes, 0); }
  // DrawPlanned onto a frame not cleared: the first plane writes `colour`
  // wherever it shows nothing on the lines it does not leave alone, so the
  // caller's clear need not touch them. Only the tile-row renderers (Flat,
  // Relative, H Tiled) can; false, with nothing drawn, for other planes.
  bool DrawPlannedClearing(std::span<const Plane* const> planes, uint8_t colour);
  // The lines the plane would fill from edge to edge with opaque tiles if
  // drawn now. Only lines it surely fills are set: none for V Tiled and V
  // Lined planes, for H Lined loops past 128 tiles, or when the plane's table
  // slot holds another routine than its renderer (video modes but 0).
  FrameLines OpaqueLines(const Plane& plane);

  // What the renderers read.
  const TileBlocks& tiles() const { return tiles_; }
  const ScrollState& scroll() const { return scroll_; }
  const PlaneCanvas& canvas() const { return canvas_; }
  const FrameLines& hidden() const { return hidden_; }  // lines the draw under way may skip
  std::optional<uint8_t> clear() const { return clear_; }  // the colour the draw under way clears with

 private:
  void DrawPlanned(std::span<const Plane* const> planes, size_t from);

  const TileBlocks& tiles_;
  const ScrollState& scroll_;
  PlaneCanvas canvas_;
  FrameLines hidden_;
  std::optional<uint8_t> clear_;
  std::vector<FrameLines> hiddenBehind_;  // the planned lines per plane
};

// One plane drawn in a run of its own.
void DrawPlane(const Plane& plane, const TileBlocks& tiles, const ScrollState& scroll, const PlaneCanvas& canvas);

// Each renderer covers the 320x200 frame of the run's canvas with the plane
// as it stands against the run's scroll tables (Flat: against their view),
// and writes nothing but the canvas. Planes with a width or height below 1
// draw nothing; loops below 1 count as the plane's size, missing line
// entries as speed 8 and that size, cells beyond the map and tile numbers
// beyond the tile set as empty; negative offsets wrap like positive ones.
void RenderHTiledPlane(const Plane& plane, PlaneRun& run);
void RenderVTiledPlane(const Plane& plane, PlaneRun& run);
void RenderFlatPlane(const Plane& plane, PlaneRun& run);
void RenderRelativePlane(const Plane& plane, PlaneRun& run);
void RenderVLinedPlane(const Plane& plane, PlaneRun& run);
void RenderHLinedPlane(const Plane& plane, PlaneRun& run);
