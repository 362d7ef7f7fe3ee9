// palette_sets.h: choosing and applying the level's palette set.
#pragma once

#include <cstdint>

struct PaletteSet;

struct PaletteAnimState {
  // The highest position whose slot the animation re-writes after a rotation;
  // it carries over from one position and one frame to the next.
  uint8_t RefreshEnd = 0;
};
extern PaletteAnimState PaletteAnim;

void ResetPaletteAnimation();

// The set in use, or null when the tile set has none (or the index is stale).
PaletteSet* CurrentPaletteSet();

// Makes set n current, applies it, and tints the upper palette half when the
// set is in mode 1. An n at or above paletteSetCount changes nothing.
void SelectPaletteSet(uint8_t n);
// Resets every applied cycle of the current set (timer and step 0) and writes
// its first colour into its slot: positions 0..63 always, 64..127 into slots
// 128..191 when cycleCount > 64, 128..191 into 192..255 when cycleCount > 128.
void ApplyPaletteSet();
// Slots 128..255 := the current set's tint + half of slots 0..127.
void TintUpperPalette();

// SetPaletteEntry, then, when the current palette set is tinted, writes the tinted
// triple back into rgb and into slot + 128.
void SetPaletteEntryTinted(uint16_t slot, uint8_t* rgb);
// Puts the global art colours back over what a palette set wrote: slots
// 64..127 always, 192..255 when cycleCount > 64, 128..191 when it is > 128.
void RestoreGlobalColours();
// The editor's marker colours in slots 64..69.
void SetEditorColours();

// One frame of palette animation of the current set: colour steps of every
// animated position, rotations, and the refresh of rotated slots.
void AnimatePalette();
