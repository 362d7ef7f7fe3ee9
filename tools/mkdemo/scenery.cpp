// scenery.cpp: landscape generators shared by the demo levels.
#include "scenery.h"

#include <algorithm>

static constexpr float kTau = 6.2831853f;

void SkyGradient(Canvas& c, int y0, int y1, const Ramp& ramp) {
  for (int y = y0; y < y1; ++y) {
    float t = y1 - y0 > 1 ? float(y - y0) / float(y1 - y0 - 1) : 0.0f;
    for (int x = 0; x < c.w; ++x) c.Set(x, y, RampAt(ramp, t, x, y));
  }
}

void CloudBank(Canvas& c, int y0, int y1, int count, const Ramp& shade, uint8_t rim, uint32_t seed) {
  Rng rng(seed);
  Canvas mask(c.w, c.h);
  mask.wrapX = true;
  int band = y1 - y0;
  for (int k = 0; k < count; ++k) {
    float cx = float(rng.Range(0, c.w - 1));
    float cy = y0 + band * (0.45f + 0.2f * rng.Unit());
    int len = rng.Range(band * 2, band * 5);
    int puffs = std::max(2, len / 10);
    for (int p = 0; p < puffs; ++p) {
      float px = cx + (float(p) / float(puffs - 1) - 0.5f) * len;
      // Puffs in the middle of a cloud stand taller than its tapering ends.
      float mid = 1.0f - std::abs(float(p) / float(puffs - 1) - 0.5f) * 1.6f;
      float ry = std::max(1.5f, band * (0.12f + 0.3f * mid) * (0.7f + 0.5f * rng.Unit()));
      float rx = ry * (1.8f + 1.5f * rng.Unit());
      float py = cy - ry * 0.35f + rng.Unit() * 2.0f;
      FillEllipse(mask, px, py, rx, ry, [&](int x, int y) { return uint8_t(y >= y0 && y < y1 - 1 ? 1 : 0); });
    }
  }
  for (int x = 0; x < c.w; ++x) {
    int top = -1, bottom = -1;
    for (int y = y0; y < y1; ++y) {
      if (!mask.Get(x, y)) continue;
      if (top < 0) top = y;
      bottom = y;
    }
    if (top < 0) continue;
    for (int y = top; y <= bottom; ++y) {
      if (!mask.Get(x, y)) continue;
      float t = bottom > top ? float(y - top) / float(bottom - top) : 1.0f;
      float wobble = (TileNoise(float(x) / c.w, float(y) / c.h, c.w / 8, std::max(1, c.h / 8), seed) - 0.5f) * 0.35f;
      uint8_t v = RampAt(shade, t + wobble, x, y);
      if (!mask.Get(x, y + 1)) v = rim;
      c.Set(x, y, v);
    }
  }
}

float RidgeHeight(int x, int period, int bumps, uint32_t seed) {
  Rng rng(seed);
  float u = float(x) / float(period), sum = 0, total = 0;
  // Whole numbers of waves per period keep the ridge seamless.
  for (int i = 0; i < 4; ++i) {
    float k = float(bumps * (i + 1)) + float(rng.Range(0, bumps));
    float amp = 1.0f / float(i + 1);
    sum += amp * (0.5f + 0.5f * std::sin(kTau * k * u + kTau * rng.Unit()));
    total += amp;
  }
  float n = TileFbm(u, 0.5f, bumps * 8, 1, 3, seed + 7);
  return std::clamp(0.8f * sum / total + 0.35f * (n - 0.5f), 0.0f, 1.0f);
}

void Ridge(Canvas& c, int baseY, int height, int bumps, const Ramp& body, uint8_t light, uint32_t seed,
           bool lightFromRight) {
  std::vector<int> top(size_t(c.w));
  for (int x = 0; x < c.w; ++x) top[size_t(x)] = baseY - int(float(height) * RidgeHeight(x, c.w, bumps, seed));
  auto topAt = [&](int x) { return top[size_t(((x % c.w) + c.w) % c.w)]; };
  for (int x = 0; x < c.w; ++x) {
    int t0 = top[size_t(x)];
    int fall = lightFromRight ? topAt(x + 2) - t0 : topAt(x - 2) - t0;  // > 0: faces the light
    int lit = std::clamp(fall, 0, 5);
    for (int y = t0; y < baseY; ++y) {
      float t = baseY > t0 ? float(y - t0) / float(baseY - t0) : 0.0f;
      uint8_t v = RampAt(body, t, x, y);
      if (y - t0 < lit || (y == t0 && fall >= 0)) v = light;
      c.Set(x, y, v);
    }
  }
}

uint8_t RockAt(const Ramp& ramp, int x, int y, float shade, int period, uint32_t seed) {
  float n = TileFbm(float(x) / period, float(y) / period, 4, 4, 3, seed);
  float t = std::clamp((n - 0.25f) * 1.6f * (1.0f - shade), 0.0f, 1.0f);
  return RampAt(ramp, t, x, y);
}

void RockFill(Canvas& c, uint8_t mask, const Ramp& ramp, int lightDir, uint32_t seed) {
  for (int y = 0; y < c.h; ++y) {
    int x = 0;
    while (x < c.w) {
      if (c.Get(x, y) != mask) {
        ++x;
        continue;
      }
      int start = x;
      while (x < c.w && c.Get(x, y) == mask) ++x;
      int end = x - 1;
      for (int i = start; i <= end; ++i) {
        int d = lightDir > 0 ? end - i : i - start;
        float n = TileFbm(float(i) / 64.0f, float(y) / 64.0f, 8, 8, 3, seed);
        float t = 0.05f + 0.4f * n;
        if (d < 3)
          t += 0.55f;
        else if (d < 10)
          t += 0.3f * (10 - d) / 7.0f;
        // Crevices: thin dark streaks where the noise folds.
        float crease = TileNoise(float(i) / 64.0f, float(y) / 64.0f, 16, 32, seed + 3);
        if (crease < 0.18f) t -= 0.35f;
        if (c.Get(i, y - 1) != mask && c.Get(i, y - 1) == 0) t += 0.3f;  // top edge catches light
        c.Set(i, y, RampAt(ramp, std::clamp(t, 0.0f, 1.0f), i, y));
      }
    }
  }
}

void Conifer(Canvas& c, int x, int baseY, int height, const Ramp& leaves, uint8_t trunk) {
  int trunkH = std::max(2, height / 6);
  c.FillRect(x - 1, baseY - trunkH, 2, trunkH, trunk);
  int layers = std::max(2, height / 7);
  int crownH = height - trunkH;
  for (int l = 0; l < layers; ++l) {
    // Each layer is a triangle, lower layers wider; they overlap upwards.
    float bottom = baseY - trunkH - float(crownH) * l / layers + 2;
    float topY = bottom - float(crownH) * 1.6f / layers - (l == layers - 1 ? 2 : 0);
    float half = (float(height) * 0.32f) * (1.0f - 0.75f * float(l) / layers);
    std::vector<float> xs = {float(x), x + half, x - half - 0.5f}, ys = {topY, bottom, bottom};
    FillPolygon(c, xs, ys, [&](int px, int py) {
      float side = (px - x) / (half + 0.5f);  // light from the right
      float t = 0.5f + 0.45f * side - 0.25f * (py - topY) / (bottom - topY + 1);
      return RampAt(leaves, std::clamp(t, 0.0f, 1.0f), px, py);
    });
  }
}

void LeafyTree(Canvas& c, int x, int baseY, int height, const Ramp& leaves, uint8_t trunk, uint32_t seed) {
  Rng rng(seed);
  int trunkH = height * 2 / 5;
  c.FillRect(x - 1, baseY - trunkH, 3, trunkH, trunk);
  float r = height * 0.3f;
  float cy = baseY - trunkH - r * 0.6f;
  for (int k = 0; k < 7; ++k) {
    float a = kTau * k / 7 + rng.Unit();
    float px = x + std::cos(a) * r * 0.6f, py = cy + std::sin(a) * r * 0.45f - (k == 0 ? r * 0.5f : 0);
    float pr = r * (0.55f + 0.25f * rng.Unit());
    FillDisc(c, px, py, pr, [&](int ix, int iy) {
      float lx = (ix - px) / pr, ly = (iy - py) / pr;
      float t = 0.55f + 0.35f * lx - 0.45f * ly;
      t += (Hash01(ix, iy, seed) - 0.5f) * 0.3f;
      return RampAt(leaves, std::clamp(t, 0.0f, 1.0f), ix, iy);
    });
  }
}

void StarField(Canvas& c, int count, const Ramp& dimToBright, uint32_t seed) {
  Rng rng(seed);
  for (int k = 0; k < count; ++k) {
    int x = rng.Range(0, c.w - 1), y = rng.Range(0, c.h - 1);
    float b = rng.Unit();
    b = b * b * b;  // mostly faint
    uint8_t v = dimToBright[size_t(std::min<int>(int(dimToBright.size()) - 1, int(b * dimToBright.size())))];
    c.Set(x, y, v);
    if (b > 0.72f) {
      uint8_t arm = dimToBright[dimToBright.size() / 3];
      c.Set(x - 1, y, arm), c.Set(x + 1, y, arm), c.Set(x, y - 1, arm), c.Set(x, y + 1, arm);
    }
  }
}

void Bricks(Canvas& c, int x, int y, int w, int h, int bw, int bh, const Ramp& brick, uint8_t mortar, uint32_t seed) {
  // The pattern is laid on the whole picture's grid and repeats every four
  // bricks each way, so walls anywhere share their tiles.
  for (int py = y; py < y + h; ++py) {
    int row = py / bh, inRow = py % bh;
    int offset = (row % 2) * (bw / 2);
    for (int px = x; px < x + w; ++px) {
      int col = (px + offset) / bw, inCol = (px + offset) % bw;
      if (inRow == bh - 1 || inCol == bw - 1) {
        c.Set(px, py, mortar);
        continue;
      }
      float tone = 0.3f + 0.4f * Hash01(col & 3, row & 3, seed);
      if (inRow == 0) tone += 0.3f;
      if (inCol == 0) tone += 0.1f;
      tone += (Hash01(px & 31, py & 31, seed + 1) - 0.5f) * 0.2f;
      c.Set(px, py, RampAt(brick, std::clamp(tone, 0.0f, 1.0f), px, py));
    }
  }
}
