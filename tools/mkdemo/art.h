// art.h: small pixel-art generators: canvases of palette indices, ordered
// dithering, tileable noise, a seeded random source and filled shapes.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

// A list of palette indices from dark to light (or along any blend).
using Ramp = std::vector<uint8_t>;

// An image of palette indices; 0 is transparent, as in tiles.
struct Canvas {
  int w = 0, h = 0;
  bool wrapX = false, wrapY = false;  // looping strips: writes wrap around
  std::vector<uint8_t> px;

  Canvas() = default;
  Canvas(int width, int height, uint8_t fill = 0) : w(width), h(height), px(size_t(width) * height, fill) {}

  // 0 outside (after wrapping, when the canvas wraps).
  uint8_t Get(int x, int y) const;
  // Writes outside the canvas are dropped (or wrapped).
  void Set(int x, int y, uint8_t c);
  void FillRect(int x, int y, int rw, int rh, uint8_t c);
  // Copies the non-zero pixels of src with its top-left at (x, y).
  void Blit(const Canvas& src, int x, int y);
};

// Deterministic xorshift generator: the same seed always draws the same art.
struct Rng {
  uint32_t s;
  explicit Rng(uint32_t seed) : s(seed ? seed : 0x9E3779B9u) {}
  uint32_t Next();
  // Uniform integer in [lo, hi].
  int Range(int lo, int hi);
  // Uniform in [0, 1).
  float Unit();
};

// Hash of a lattice point to [0, 1).
float Hash01(int x, int y, uint32_t seed);

// Smooth value noise over [0,1)x[0,1) with an nx x ny lattice that wraps, so
// the result tiles seamlessly; in [0, 1).
float TileNoise(float u, float v, int nx, int ny, uint32_t seed);
// Sum of octaves of TileNoise, each with twice the lattice and half the weight.
float TileFbm(float u, float v, int nx, int ny, int octaves, uint32_t seed);

// 4x4 ordered-dither threshold in (0, 1) for a pixel.
float Bayer(int x, int y);
// Picks from a ramp by t in [0, 1], dithering between neighbouring entries.
uint8_t RampAt(const Ramp& ramp, float t, int x, int y);
// A ramp made of entries first .. first + count - 1.
Ramp MakeRamp(int first, int count);

// Fills every pixel whose centre lies in the disc with colour(x, y); a
// returned 0 leaves the pixel alone.
template <class F>
void FillDisc(Canvas& c, float cx, float cy, float r, F colour) {
  int x0 = int(std::floor(cx - r)), x1 = int(std::ceil(cx + r));
  int y0 = int(std::floor(cy - r)), y1 = int(std::ceil(cy + r));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
      if (dx * dx + dy * dy > r * r) continue;
      uint8_t v = colour(x, y);
      if (v) c.Set(x, y, v);
    }
}

// As FillDisc for an axis-aligned ellipse with radii rx, ry.
template <class F>
void FillEllipse(Canvas& c, float cx, float cy, float rx, float ry, F colour) {
  int x0 = int(std::floor(cx - rx)), x1 = int(std::ceil(cx + rx));
  int y0 = int(std::floor(cy - ry)), y1 = int(std::ceil(cy + ry));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
      if (dx * dx + dy * dy > 1.0f) continue;
      uint8_t v = colour(x, y);
      if (v) c.Set(x, y, v);
    }
}

// Fills a convex or concave polygon (even-odd rule over pixel centres).
template <class F>
void FillPolygon(Canvas& c, const std::vector<float>& xs, const std::vector<float>& ys, F colour) {
  float minY = 1e9f, maxY = -1e9f;
  for (float y : ys) minY = std::fmin(minY, y), maxY = std::fmax(maxY, y);
  size_t n = xs.size();
  for (int y = int(std::floor(minY)); y <= int(std::ceil(maxY)); ++y) {
    float sy = y + 0.5f;
    std::vector<float> cuts;
    for (size_t i = 0; i < n; ++i) {
      size_t j = (i + 1) % n;
      if ((ys[i] <= sy) != (ys[j] <= sy)) cuts.push_back(xs[i] + (sy - ys[i]) / (ys[j] - ys[i]) * (xs[j] - xs[i]));
    }
    for (size_t a = 1; a < cuts.size(); ++a)  // insertion sort: a handful of cuts
      for (size_t b = a; b > 0 && cuts[b] < cuts[b - 1]; --b) std::swap(cuts[b], cuts[b - 1]);
    for (size_t k = 0; k + 1 < cuts.size(); k += 2)
      for (int x = int(std::ceil(cuts[k] - 0.5f)); x + 0.5f < cuts[k + 1]; ++x) {
        uint8_t v = colour(x, y);
        if (v) c.Set(x, y, v);
      }
  }
}

// A one-pixel line from (x0, y0) to (x1, y1).
void DrawLine(Canvas& c, int x0, int y0, int x1, int y1, uint8_t colour);
