// scroll.cpp: the per-frame scroll tables, one offset per speed byte and axis.
#include "gfx/scroll.h"

#include "common/module_state.h"

ScrollState Scroll;

void ResetScroll() { Scroll = {}; }
const ModuleReset kScrollReset(ResetScroll);

namespace {

// Products in uint32 so they wrap like the 32-bit original without overflow;
// the shift of the signed result rounds toward minus infinity.
void FillAxis(std::array<int32_t, 256>& table, int32_t view, uint32_t drift) {
  uint32_t v = uint32_t(view);
  for (uint32_t s = 0; s <= 128; ++s) table[s] = int32_t(v * s) >> 6;
  for (uint32_t s = 129; s <= 255; ++s) table[s] = int32_t((v + drift) * (s - 128)) >> 6;
}

}  // namespace

void BuildScrollTables(int32_t viewX, int32_t viewY) {
  FillAxis(Scroll.ScrollX, viewX, Scroll.AutoScrollCounter);
  FillAxis(Scroll.ScrollY, viewY, Scroll.AutoScrollCounter);
  Scroll.viewX = viewX;
  Scroll.viewY = viewY;
  ++Scroll.AutoScrollCounter;
}
