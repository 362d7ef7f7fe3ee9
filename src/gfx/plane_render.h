// plane_render.h: the six plane renderers and the table that picks one by plane type.
#pragma once

#include <array>
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
