// plane_render.h: the six plane renderers.
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

// Fills the table for a video mode (called by SelectVideoMode).
void FillPlaneDrawTable(uint8_t videoMode);

// Draws a plane with the renderer of its type; a type above 5 draws nothing.
void DrawPlane(const Plane& plane);

void RenderHTiledPlane(const Plane& plane);
void RenderVTiledPlane(const Plane& plane);
void RenderFlatPlane(const Plane& plane);
void RenderRelativePlane(const Plane& plane);
void RenderVLinedPlane(const Plane& plane);
void RenderHLinedPlane(const Plane& plane);
