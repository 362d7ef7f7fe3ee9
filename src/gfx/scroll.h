// scroll.h: per-frame scroll offsets for each of the 256 speed bytes.
#pragma once

#include <array>
#include <cstdint>

struct ScrollState {
  uint32_t AutoScrollCounter = 0;  // the "WITH SCROLL" drift, never reset
  // Offset per speed byte s: s/64 of the view for s <= 128, (s - 128)/64 of
  // the view plus the drift above; valid for the frame they were built in.
  std::array<int32_t, 256> ScrollX{}, ScrollY{};
  // The view the tables were built from: Flat planes stand against it.
  int32_t viewX = 0, viewY = 0;
};
extern ScrollState Scroll;

// Empty tables and the drift at 0.
void ResetScroll();

// Fills ScrollX/ScrollY from the view and the drift, keeps the view, then
// advances the drift. Run once per drawn frame after the view has moved and
// before any plane is drawn.
void BuildScrollTables(int32_t viewX, int32_t viewY);
