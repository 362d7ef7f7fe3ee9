// palette_sets.h: choosing and applying the level's palette set.
#pragma once

#include <cstdint>

struct PaletteSet;

// The set in use, or null when the tile set has none.
PaletteSet* CurrentPaletteSet();

void SelectPaletteSet(uint8_t n);
void ApplyPaletteSet();
void TintUpperPalette();
