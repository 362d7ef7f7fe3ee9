// plane_render.cpp: the six plane renderers.
#include "gfx/plane_render.h"

#include "level/level.h"

std::array<PlaneDrawFn, kPlaneDrawSlots> PlaneDrawTable{};
void FillPlaneDrawTable(uint8_t) {}
void DrawPlane(const Plane&) {}
