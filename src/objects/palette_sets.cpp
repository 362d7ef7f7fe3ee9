// palette_sets.cpp: palette set selection.
#include "objects/palette_sets.h"

#include "level/tile_set.h"

PaletteSet* CurrentPaletteSet() {
  if (Tiles.currentPaletteSet >= Tiles.paletteSets.size()) return nullptr;
  return &Tiles.paletteSets[Tiles.currentPaletteSet];
}
void SelectPaletteSet(uint8_t) {}
void ApplyPaletteSet() {}
void TintUpperPalette() {}
