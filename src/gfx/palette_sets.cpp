// palette_sets.cpp: selecting a palette set, applying its first colours,
// deriving the tinted upper half of the palette, and the colours that depend
// on the set (tinted card colours, the global colours put back, the editor's).
#include "gfx/palette_sets.h"

#include <algorithm>

#include "common/module_state.h"
#include "gfx/frame_buffer.h"
#include "model/tiles.h"

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

PaletteAnimState PaletteAnim;

void ResetPaletteAnimation() { PaletteAnim = {}; }
const ModuleReset kPaletteAnimReset(ResetPaletteAnimation);

namespace {

uint16_t SlotOf(int position) { return uint16_t(position < 64 ? position : position + 64); }

// A cycle's colour now, black when a broken cycle has no colour for its step.
const uint8_t* CurrentColour(const PaletteCycle& c) {
  static constexpr uint8_t kBlack[3] = {0, 0, 0};
  return size_t(c.step) * 3 + 3 <= c.colours.size() ? &c.colours[size_t(c.step) * 3] : kBlack;
}

// Writes position i's colour, and in the first range its tinted twin at slot + 128.
void ShowPosition(const PaletteSet& set, int i, bool firstRange) {
  const uint8_t* rgb = CurrentColour(set.cycles[i]);
  SetPaletteEntry(SlotOf(i), rgb);
  if (firstRange && set.tintUpperHalf != 0) {
    const uint8_t tinted[3] = {uint8_t(set.tintRed + (rgb[0] >> 1)), uint8_t(set.tintGreen + (rgb[1] >> 1)),
                               uint8_t(set.tintBlue + (rgb[2] >> 1))};
    SetPaletteEntry(uint16_t(SlotOf(i) + 128), tinted);
  }
}

// Moves the cycle at from to to, shifting the ones between by one place.
void RotateCycles(PaletteSet& set, int from, int to) {
  auto first = set.cycles.begin();
  if (from > to)
    std::rotate(first + to, first + from, first + from + 1);  // forward: e goes to i
  else
    std::rotate(first + from, first + from + 1, first + to + 1);  // backward: i goes to e
}

// Positions first..last of one range; base is the range's first position.
void AnimateRange(PaletteSet& set, int first, int last, int base, bool firstRange) {
  // Only the cycles the file gave animate; a short set never reaches past them.
  const int real = std::min<int>(set.cycleCount, int(set.cycles.size()));
  uint8_t& refreshEnd = PaletteAnim.RefreshEnd;
  for (int i = first; i <= last && i < real; ++i) {
    if (const uint8_t w = set.rotateWith[i]) {
      refreshEnd = uint8_t(base + w);
      if (set.rotateTimer[i] >= set.rotateDelay[i]) {
        set.rotateTimer[i] = 0;
        const bool forward = w < 64;
        if (!forward) refreshEnd = uint8_t(refreshEnd - 64);
        const int e = std::min(base + (forward ? w : w - 64), real - 1);
        if (e > i) forward ? RotateCycles(set, e, i) : RotateCycles(set, i, e);
      } else {
        ++set.rotateTimer[i];
      }
    }
    PaletteCycle& c = set.cycles[i];
    if (c.stepCount > 1) {
      const uint8_t delay = c.step < c.stepDelays.size() ? c.stepDelays[c.step] : 0;
      if (delay <= c.timer) {
        c.timer = 0;
        c.step = c.step + 1 >= c.stepCount ? 0 : uint8_t(c.step + 1);
        ShowPosition(set, i, firstRange);
      } else {
        ++c.timer;
      }
    }
    // Rotated positions show their new cycles at once.
    if (i <= refreshEnd)
      ShowPosition(set, i, firstRange);
    else
      refreshEnd = 0;
  }
}

}  // namespace

void AnimatePalette() {
  PaletteSet* set = CurrentPaletteSet();
  if (!set || set->rotateWith.size() < set->cycles.size() || set->rotateDelay.size() < set->cycles.size() ||
      set->rotateTimer.size() < set->cycles.size())
    return;
  AnimateRange(*set, 1, 63, 0, true);
  if (set->tintUpperHalf != 1) AnimateRange(*set, 64, 127, 64, false);
  if (set->tintUpperHalf == 2) AnimateRange(*set, 128, 191, 128, false);
}
