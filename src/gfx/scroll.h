// scroll.h: per-frame scroll offsets for each of the 256 speed bytes.
#pragma once

#include <array>
#include <cstdint>

struct ScrollState {
  uint32_t AutoScrollCounter = 0;  // the "WITH SCROLL" drift, never reset
  std::array<int32_t, 256> ScrollX{}, ScrollY{};
};
extern ScrollState Scroll;

void ResetScroll();

// Fills ScrollX/ScrollY from viewX/viewY and the drift, then advances the drift.
void BuildScrollTables();
