// palette.h: the global art palette (globpal.pcx) and the builder for each
// tile set's animated palette sets.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "art.h"

// A colour with 6-bit components (0..63).
struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};

// Straight blend of two colours, t in [0, 1].
Rgb Mix(Rgb a, Rgb b, float t);
// Blend through b: a at 0, b at 0.5, c at 1.
Rgb Mix3(Rgb a, Rgb b, Rgb c, float t);

// Global colours every level may use: slots 64..127 stay in the palette
// whatever the tile set; 64..79 are also the card and editor colours.
namespace glob {
constexpr uint8_t kWhite = 64, kBlack = 68;
constexpr uint8_t kGrey = 80;    // 16 greys, black to white
constexpr uint8_t kSkin = 96;    // 8 browns to peach
constexpr uint8_t kGreen = 104;  // 8 greens, dark to light
constexpr uint8_t kBlue = 112;   // 8 blues
constexpr uint8_t kWarm = 120;   // 8: deep red, orange, yellow, pale yellow
}  // namespace glob

// All 256 colours of globpal.pcx.
std::array<Rgb, 256> GlobalPalette();
// The globpal.pcx file: the palette and a sheet of its colours as swatches.
std::vector<uint8_t> GlobalPaletteImage();

// One colour of a palette set: a list of colours shown for delay + 1 frames
// each, and the rotation the position starts.
struct CycleDef {
  std::vector<Rgb> colours;
  std::vector<uint8_t> delays;
  uint8_t rotateWith = 0, rotateDelay = 0;
};

struct PaletteSetDef {
  uint8_t tintUpperHalf = 1;  // 1: slots 128..255 are tinted copies of 0..127
  std::vector<CycleDef> cycles;
  Rgb tint;
};

// Hands out palette positions of a set in order. Positions 0..63 are slots
// 0..63; positions 64..127 are slots 128..191 (sets of 128 cycles, mode 0).
class PaletteBuilder {
 public:
  // size: 64 or 128 positions; position 0 is the backdrop every empty pixel shows.
  PaletteBuilder(int size, Rgb backdrop);

  // A single still colour; returns its palette slot.
  uint8_t Add(Rgb c);
  // n colours blended from a to b (then to c when given).
  Ramp AddRamp(Rgb a, Rgb b, int n);
  Ramp AddRamp(Rgb a, Rgb b, Rgb c, int n);
  // n colours spread evenly along a list of colour stops.
  Ramp AddStops(const std::vector<Rgb>& stops, int n);
  // A colour that steps through colours, each shown for its delay + 1 frames.
  uint8_t AddCycle(const std::vector<Rgb>& colours, const std::vector<uint8_t>& delays);
  // Rotates the positions of slots first..last (adjacent, first < last)
  // every delay + 1 frames; backward when reverse.
  void Rotate(uint8_t firstSlot, uint8_t lastSlot, uint8_t delay, bool reverse = false);
  // Changes the colours of an already handed-out slot (variant sets).
  void Recolour(uint8_t slot, const std::vector<Rgb>& colours, const std::vector<uint8_t>& delays);

  int Used() const { return next_; }
  // The finished set; unused positions are black.
  PaletteSetDef Build(uint8_t mode, Rgb tint) const;

 private:
  int Position(uint8_t slot) const;
  std::vector<CycleDef> cycles_;
  int next_ = 1;
};
