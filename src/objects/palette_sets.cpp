// palette_sets.cpp: selecting a palette set, applying its first colours and
// deriving the tinted upper half of the palette.
#include "objects/palette_sets.h"

#include "gfx/frame_buffer.h"
#include "level/tile_set.h"

PaletteSet* CurrentPaletteSet() {
  if (Tiles.currentPaletteSet >= Tiles.paletteSets.size()) return nullptr;
  return &Tiles.paletteSets[Tiles.currentPaletteSet];
}

void SelectPaletteSet(uint8_t n) {
  if (n >= Tiles.paletteSetCount || n >= Tiles.paletteSets.size()) return;
  Tiles.currentPaletteSet = n;
  ApplyPaletteSet();
  if (Tiles.paletteSets[n].tintUpperHalf == 1) TintUpperPalette();
}

// Position i of the set drives slot i below 64 and slot i + 64 above.
static void ApplyRange(PaletteSet& set, int first, int last) {
  static constexpr uint8_t kBlack[3] = {0, 0, 0};
  for (int i = first; i <= last && i < int(set.cycles.size()); ++i) {
    PaletteCycle& c = set.cycles[i];
    c.timer = 0;
    c.step = 0;
    const uint8_t* rgb = c.colours.size() >= 3 ? c.colours.data() : kBlack;
    SetPaletteEntry(uint16_t(i < 64 ? i : i + 64), rgb);
  }
}

void ApplyPaletteSet() {
  PaletteSet* set = CurrentPaletteSet();
  if (!set) return;
  ApplyRange(*set, 0, 63);
  if (set->cycleCount > 64) ApplyRange(*set, 64, 127);
  if (set->cycleCount > 128) ApplyRange(*set, 128, 191);
}

void TintUpperPalette() {
  const PaletteSet* set = CurrentPaletteSet();
  if (!set) return;
  for (uint16_t s = 0; s < 128; ++s) {
    uint8_t rgb[3];
    GetPaletteEntry(s, rgb);
    // 8-bit sums: a tint above 31 may wrap, as the components are bytes.
    const uint8_t tinted[3] = {uint8_t(set->tintRed + (rgb[0] >> 1)), uint8_t(set->tintGreen + (rgb[1] >> 1)),
                               uint8_t(set->tintBlue + (rgb[2] >> 1))};
    SetPaletteEntry(uint16_t(s + 128), tinted);
  }
}
