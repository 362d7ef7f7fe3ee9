// palette_sets.cpp: selecting a palette set, applying its first colours,
// deriving the tinted upper half of the palette, and the colours that depend
// on the set (tinted card colours, the global colours put back, the editor's).
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

void SetPaletteEntryTinted(uint16_t slot, uint8_t* rgb) {
  SetPaletteEntry(slot, rgb);
  const PaletteSet* set = CurrentPaletteSet();
  if (!set || set->tintUpperHalf == 0) return;
  rgb[0] = uint8_t(set->tintRed + (rgb[0] >> 1));
  rgb[1] = uint8_t(set->tintGreen + (rgb[1] >> 1));
  rgb[2] = uint8_t(set->tintBlue + (rgb[2] >> 1));
  SetPaletteEntry(uint16_t(slot + 128), rgb);
}

static void RestoreGlobalRange(int firstSlot, int lastSlot) {
  for (int slot = firstSlot; slot <= lastSlot; ++slot) {
    int i = slot - 64;
    uint8_t rgb[3] = {Screen.GlobalRed[i], Screen.GlobalGreen[i], Screen.GlobalBlue[i]};
    SetPaletteEntry(uint16_t(slot), rgb);
  }
}

void RestoreGlobalColours() {
  const PaletteSet* set = CurrentPaletteSet();
  int n = set ? set->cycleCount : 0;
  RestoreGlobalRange(64, 127);
  if (n > 64) RestoreGlobalRange(192, 255);
  if (n > 128) RestoreGlobalRange(128, 191);
}

void SetEditorColours() {
  static constexpr uint8_t kMarks[4][3] = {{63, 63, 63}, {0, 63, 0}, {0, 0, 63}, {63, 0, 0}};
  for (int i = 0; i < 4; ++i) SetPaletteEntry(uint16_t(64 + i), kMarks[i]);
  uint8_t rgb[3];
  GetPaletteEntry(0, rgb);
  SetPaletteEntry(68, rgb);
  const PaletteSet* set = CurrentPaletteSet();
  uint8_t tint[3] = {0, 0, 0};
  if (set) {
    tint[0] = uint8_t(set->tintRed * 2);
    tint[1] = uint8_t(set->tintGreen * 2);
    tint[2] = uint8_t(set->tintBlue * 2);
  }
  SetPaletteEntry(69, tint);
}

void AnimatePalette() {}
