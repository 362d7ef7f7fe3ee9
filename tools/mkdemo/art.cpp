// art.cpp: canvases, dithering, noise and lines for the tile generators.
#include "art.h"

#include <cstdlib>

static int Wrap(int v, int n) {
  v %= n;
  return v < 0 ? v + n : v;
}

uint8_t Canvas::Get(int x, int y) const {
  if (wrapX) x = Wrap(x, w);
  if (wrapY) y = Wrap(y, h);
  if (x < 0 || y < 0 || x >= w || y >= h) return 0;
  return px[size_t(y) * w + x];
}

void Canvas::Set(int x, int y, uint8_t c) {
  if (wrapX) x = Wrap(x, w);
  if (wrapY) y = Wrap(y, h);
  if (x < 0 || y < 0 || x >= w || y >= h) return;
  px[size_t(y) * w + x] = c;
}

void Canvas::FillRect(int x, int y, int rw, int rh, uint8_t c) {
  for (int j = y; j < y + rh; ++j)
    for (int i = x; i < x + rw; ++i) Set(i, j, c);
}

void Canvas::Blit(const Canvas& src, int x, int y) {
  for (int j = 0; j < src.h; ++j)
    for (int i = 0; i < src.w; ++i)
      if (uint8_t v = src.px[size_t(j) * src.w + i]) Set(x + i, y + j, v);
}

uint32_t Rng::Next() {
  s ^= s << 13;
  s ^= s >> 17;
  s ^= s << 5;
  return s;
}

int Rng::Range(int lo, int hi) { return lo + int(Next() % uint32_t(hi - lo + 1)); }

float Rng::Unit() { return float(Next() >> 8) / float(1u << 24); }

float Hash01(int x, int y, uint32_t seed) {
  uint32_t h = uint32_t(x) * 0x8DA6B343u ^ uint32_t(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return float(h >> 8) / float(1u << 24);
}

float TileNoise(float u, float v, int nx, int ny, uint32_t seed) {
  float fx = u * nx, fy = v * ny;
  int ix = int(std::floor(fx)), iy = int(std::floor(fy));
  float tx = fx - ix, ty = fy - iy;
  // Smoothstep keeps the lattice from showing as creases.
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  int x0 = Wrap(ix, nx), x1 = Wrap(ix + 1, nx), y0 = Wrap(iy, ny), y1 = Wrap(iy + 1, ny);
  float a = Hash01(x0, y0, seed), b = Hash01(x1, y0, seed);
  float c = Hash01(x0, y1, seed), d = Hash01(x1, y1, seed);
  float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
  return top + (bottom - top) * ty;
}

float TileFbm(float u, float v, int nx, int ny, int octaves, uint32_t seed) {
  float sum = 0, weight = 0.5f, total = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += weight * TileNoise(u, v, nx << o, ny << o, seed + uint32_t(o) * 101u);
    total += weight;
    weight *= 0.5f;
  }
  return sum / total;
}

float Bayer(int x, int y) {
  static const uint8_t kMatrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return (kMatrix[y & 3][x & 3] + 0.5f) / 16.0f;
}

uint8_t RampAt(const Ramp& ramp, float t, int x, int y) {
  if (ramp.empty()) return 0;
  if (t <= 0) return ramp.front();
  if (t >= 1) return ramp.back();
  float pos = t * float(ramp.size() - 1);
  int base = int(pos);
  if (base >= int(ramp.size()) - 1) return ramp.back();
  return ramp[size_t(base) + (pos - base > Bayer(x, y) ? 1 : 0)];
}

Ramp MakeRamp(int first, int count) {
  Ramp r;
  for (int i = 0; i < count; ++i) r.push_back(uint8_t(first + i));
  return r;
}

void DrawLine(Canvas& c, int x0, int y0, int x1, int y1, uint8_t colour) {
  int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1, err = dx + dy;
  for (;;) {
    c.Set(x0, y0, colour);
    if (x0 == x1 && y0 == y1) break;
    int e2 = 2 * err;
    if (e2 >= dy) err += dy, x0 += sx;
    if (e2 <= dx) err += dx, y0 += sy;
  }
}
