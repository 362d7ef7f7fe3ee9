// palette.cpp: the global palette image and palette-set building.
#include "palette.h"

#include <algorithm>

#include "gfx/pcx.h"

Rgb Mix(Rgb a, Rgb b, float t) {
  auto m = [t](uint8_t x, uint8_t y) { return uint8_t(float(x) + (float(y) - float(x)) * t + 0.5f); };
  return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

Rgb Mix3(Rgb a, Rgb b, Rgb c, float t) { return t < 0.5f ? Mix(a, b, t * 2) : Mix(b, c, t * 2 - 1); }

namespace {

// Writes n colours from a through b (and on to c when given) at slot.
void Fill(std::array<Rgb, 256>& p, int slot, int n, Rgb a, Rgb b) {
  for (int i = 0; i < n; ++i) p[size_t(slot + i)] = Mix(a, b, n > 1 ? float(i) / float(n - 1) : 0.0f);
}
void Fill(std::array<Rgb, 256>& p, int slot, int n, Rgb a, Rgb b, Rgb c) {
  for (int i = 0; i < n; ++i) p[size_t(slot + i)] = Mix3(a, b, c, float(i) / float(n - 1));
}

}  // namespace

std::array<Rgb, 256> GlobalPalette() {
  std::array<Rgb, 256> p{};
  // 0..63 belong to each level's palette set; these only fill the swatch
  // sheet until a level loads: four ramps of sixteen.
  Fill(p, 0, 16, {0, 0, 0}, {20, 24, 40}, {56, 60, 63});
  Fill(p, 16, 16, {6, 2, 10}, {40, 10, 30}, {63, 50, 40});
  Fill(p, 32, 16, {2, 8, 4}, {20, 40, 12}, {56, 63, 30});
  Fill(p, 48, 16, {10, 4, 2}, {40, 20, 8}, {63, 56, 36});
  // 64..79: the sixteen basic colours (the editor's markers take 64..69).
  const Rgb basic[16] = {{63, 63, 63}, {0, 63, 0},  {0, 0, 63},  {63, 0, 0},   {0, 0, 0},    {32, 32, 32},
                         {63, 58, 8},  {63, 32, 0}, {8, 56, 63}, {56, 12, 56}, {16, 16, 16}, {48, 48, 48},
                         {34, 20, 8},  {4, 6, 28},  {4, 28, 8},  {36, 4, 4}};
  for (int i = 0; i < 16; ++i) p[size_t(64 + i)] = basic[i];
  Fill(p, glob::kGrey, 16, {1, 1, 2}, {63, 63, 63});
  Fill(p, glob::kSkin, 8, {12, 6, 4}, {40, 24, 16}, {63, 52, 42});
  Fill(p, glob::kGreen, 8, {2, 10, 3}, {12, 34, 8}, {42, 60, 22});
  Fill(p, glob::kBlue, 8, {2, 4, 16}, {10, 24, 48}, {40, 54, 63});
  Fill(p, glob::kWarm, 8, {26, 2, 2}, {63, 30, 0}, {63, 63, 40});
  // 128..255: further ramps for sets that leave the upper half global.
  Fill(p, 128, 16, {6, 2, 12}, {30, 12, 44}, {58, 46, 63});   // violets
  Fill(p, 144, 16, {0, 8, 10}, {6, 36, 38}, {44, 63, 60});    // teals
  Fill(p, 160, 16, {8, 5, 3}, {34, 22, 12}, {58, 50, 38});    // earth
  Fill(p, 176, 16, {14, 2, 8}, {56, 20, 28}, {63, 50, 44});   // sunset pinks
  Fill(p, 192, 16, {16, 10, 2}, {48, 36, 10}, {63, 60, 36});  // sand and gold
  Fill(p, 208, 16, {4, 6, 10}, {24, 30, 38}, {54, 58, 63});   // steel
  Fill(p, 224, 16, {6, 8, 2}, {26, 32, 8}, {50, 56, 28});     // olive
  Fill(p, 240, 16, {4, 0, 0}, {56, 16, 0}, {63, 63, 48});     // fire
  return p;
}

std::vector<uint8_t> GlobalPaletteImage() {
  std::array<Rgb, 256> pal = GlobalPalette();
  // Sixteen rows of sixteen 20x12 swatches, slot order left to right.
  std::vector<uint8_t> pixels(320 * 200, 0);
  for (int slot = 0; slot < 256; ++slot) {
    int sx = (slot % 16) * 20, sy = (slot / 16) * 12;
    for (int y = sy + 1; y < sy + 12; ++y)
      for (int x = sx + 1; x < sx + 20; ++x) pixels[size_t(y) * 320 + x] = uint8_t(slot);
  }
  // The last eight rows: the grey ramp as one smooth bar.
  for (int y = 193; y < 200; ++y)
    for (int x = 0; x < 320; ++x) pixels[size_t(y) * 320 + x] = uint8_t(glob::kGrey + x * 16 / 320);
  std::vector<uint8_t> palette8(768);
  for (int i = 0; i < 256; ++i) {
    palette8[size_t(i) * 3] = uint8_t(pal[size_t(i)].r * 4);
    palette8[size_t(i) * 3 + 1] = uint8_t(pal[size_t(i)].g * 4);
    palette8[size_t(i) * 3 + 2] = uint8_t(pal[size_t(i)].b * 4);
  }
  return EncodePcx(pixels.data(), palette8.data());
}

PaletteBuilder::PaletteBuilder(int size, Rgb backdrop) : cycles_(size_t(size)) {
  cycles_[0].colours = {backdrop};
  cycles_[0].delays = {0};
}

int PaletteBuilder::Position(uint8_t slot) const { return slot < 64 ? slot : slot - 64; }

uint8_t PaletteBuilder::AddCycle(const std::vector<Rgb>& colours, const std::vector<uint8_t>& delays) {
  if (next_ >= int(cycles_.size())) return 0;  // full: callers size their sets; 0 keeps the art valid
  cycles_[size_t(next_)].colours = colours;
  cycles_[size_t(next_)].delays = delays;
  int pos = next_++;
  return uint8_t(pos < 64 ? pos : pos + 64);
}

uint8_t PaletteBuilder::Add(Rgb c) { return AddCycle({c}, {0}); }

Ramp PaletteBuilder::AddRamp(Rgb a, Rgb b, int n) {
  Ramp r;
  for (int i = 0; i < n; ++i) r.push_back(Add(Mix(a, b, n > 1 ? float(i) / float(n - 1) : 0.0f)));
  return r;
}

Ramp PaletteBuilder::AddRamp(Rgb a, Rgb b, Rgb c, int n) {
  Ramp r;
  for (int i = 0; i < n; ++i) r.push_back(Add(Mix3(a, b, c, n > 1 ? float(i) / float(n - 1) : 0.0f)));
  return r;
}

Ramp PaletteBuilder::AddStops(const std::vector<Rgb>& stops, int n) {
  Ramp r;
  int segments = int(stops.size()) - 1;
  for (int i = 0; i < n; ++i) {
    float t = n > 1 ? float(i) / float(n - 1) * float(segments) : 0.0f;
    int k = std::min(int(t), segments - 1);
    r.push_back(Add(segments > 0 ? Mix(stops[size_t(k)], stops[size_t(k) + 1], t - float(k)) : stops[0]));
  }
  return r;
}

void PaletteBuilder::Rotate(uint8_t firstSlot, uint8_t lastSlot, uint8_t delay, bool reverse) {
  int first = Position(firstSlot), last = Position(lastSlot);
  int base = first < 64 ? 0 : 64;
  CycleDef& c = cycles_[size_t(first)];
  c.rotateWith = uint8_t(last - base + (reverse ? 64 : 0));
  c.rotateDelay = delay;
}

void PaletteBuilder::Recolour(uint8_t slot, const std::vector<Rgb>& colours, const std::vector<uint8_t>& delays) {
  CycleDef& c = cycles_[size_t(Position(slot))];
  c.colours = colours;
  c.delays = delays;
}

PaletteSetDef PaletteBuilder::Build(uint8_t mode, Rgb tint) const {
  PaletteSetDef s{mode, cycles_, tint};
  for (CycleDef& c : s.cycles)
    if (c.colours.empty()) c.colours = {{0, 0, 0}}, c.delays = {0};
  return s;
}
