// plane_render.h: the six plane renderers and the table that picks one by plane type.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>

struct Plane;

using PlaneDrawFn = void (*)(const Plane& plane);

// Slot order: H Tiled, V Tiled, Flat, Relative, V Lined, H Lined.
enum PlaneDrawSlot : uint8_t {
  kSlotHTiled, kSlotVTiled, kSlotFlat, kSlotRelative, kSlotVLined, kSlotHLined, kPlaneDrawSlots
};
extern std::array<PlaneDrawFn, kPlaneDrawSlots> PlaneDrawTable;

// Mode 0: the six renderers; mode 2: six routines that draw nothing; any other
// mode leaves the table as it was. Called by SelectVideoMode.
void FillPlaneDrawTable(uint8_t videoMode);

// Draws a plane through the table slot of its type; a type above 5 or an empty
// slot draws nothing.
void DrawPlane(const Plane& plane);

// One bit per line of the 320x200 frame.
using FrameLines = std::bitset<200>;

// The lines the plane would fill from edge to edge with opaque tiles if drawn
// now. Only lines it surely fills are set: none for V Tiled and V Lined
// planes, for H Lined loops past 128 tiles, or in any video mode but 0.
FrameLines OpaqueLines(const Plane& plane);
// DrawPlane, except that lines in `hidden` (lines a plane drawn after it will
// cover) may be left as they are.
void DrawPlaneBehind(const Plane& plane, const FrameLines& hidden);

// Between these, OpaqueLines and the draws share their tile look-ups, so
// nothing may change the tile table or its tiles' frames in between.
void BeginPlaneRun();
void EndPlaneRun();

// Each renderer covers the 320x200 frame with the plane as it stands against
// this frame's scroll tables (Flat: against viewX/viewY). Planes with a width
// or height below 1 draw nothing; loops below 1 count as the plane's size,
// missing line entries as speed 8 and that size, cells beyond the map and tile
// numbers beyond tileCount as empty; negative offsets wrap like positive ones.
void RenderHTiledPlane(const Plane& plane);
void RenderVTiledPlane(const Plane& plane);
void RenderFlatPlane(const Plane& plane);
void RenderRelativePlane(const Plane& plane);
void RenderVLinedPlane(const Plane& plane);
void RenderHLinedPlane(const Plane& plane);
