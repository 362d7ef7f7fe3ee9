// coast_level.cpp: level 1, a sunset coast. Sky rows drift at their own
// speeds, far islands drift slowly, the sea scrolls faster line by line
// towards the viewer, and a lighthouse headland and a beach stand in front.
#include <algorithm>
#include <cmath>

#include "levels.h"
#include "scenery.h"

namespace {

constexpr int kW = 512, kH = 200;  // every picture: 64 x 25 tiles
constexpr int kHorizon = 128;
constexpr int kSunX = 176, kSunY = 124;

struct CoastColours {
  Ramp sky, cloud, sun, isles, sea, rock, palm, trunk, sand, foam, glints;
  uint8_t cloudRim, isleRim, crest, white, whiteShade, red, redShade, lamp;
};

CoastColours MakePalette(PaletteBuilder& pal) {
  CoastColours c;
  c.sky = pal.AddStops({{7, 3, 18}, {20, 6, 31}, {40, 12, 38}, {58, 26, 30}, {63, 44, 24}, {63, 58, 38}}, 11);
  c.cloud = pal.AddStops({{17, 6, 27}, {33, 11, 37}, {52, 21, 39}, {62, 38, 34}}, 4);
  c.cloudRim = pal.Add({63, 55, 40});
  c.sun = {pal.Add({63, 63, 52}), pal.Add({63, 55, 28}), pal.Add({63, 40, 14})};
  c.isles = pal.AddStops({{33, 13, 40}, {22, 8, 32}, {13, 5, 25}}, 3);
  c.isleRim = pal.Add({58, 30, 38});
  c.sea = pal.AddStops({{52, 32, 42}, {32, 20, 42}, {13, 10, 33}, {3, 5, 18}}, 7);
  // Glints on the waves shimmer as their colours step (seen in the editor).
  c.glints = {pal.AddCycle({{63, 50, 30}, {63, 61, 46}, {54, 34, 30}}, {5, 3, 8}),
              pal.AddCycle({{54, 34, 30}, {63, 50, 30}, {63, 61, 46}}, {4, 7, 3})};
  c.crest = pal.AddCycle({{37, 27, 50}, {45, 33, 54}}, {9, 12});
  c.rock = pal.AddStops({{3, 1, 7}, {9, 4, 13}, {19, 9, 17}, {34, 17, 21}, {54, 32, 26}}, 6);
  c.white = pal.Add({54, 50, 50});
  c.whiteShade = pal.Add({31, 25, 36});
  c.red = pal.Add({46, 9, 12});
  c.redShade = pal.Add({23, 4, 11});
  // The lamp: long glow, a bright flash, then dark.
  c.lamp = pal.AddCycle({{63, 58, 32}, {63, 63, 63}, {28, 18, 8}}, {59, 5, 34});
  c.trunk = pal.AddStops({{10, 5, 8}, {22, 12, 11}, {36, 22, 16}}, 3);
  c.palm = pal.AddStops({{3, 8, 8}, {8, 16, 10}, {16, 24, 12}, {36, 30, 16}}, 4);
  c.sand = pal.AddStops({{30, 17, 20}, {46, 29, 25}, {58, 41, 30}, {62, 50, 36}}, 4);
  c.foam = pal.AddStops({{46, 40, 54}, {57, 53, 60}, {63, 63, 63}}, 3);
  return c;
}

// The sun's reflection runs down the sea in colours that rotate.
Ramp AddReflection(PaletteBuilder& pal) {
  Ramp r = {pal.Add({63, 60, 40}), pal.Add({63, 46, 24}), pal.Add({52, 30, 32})};
  pal.Rotate(r.front(), r.back(), 7);
  return r;
}

Canvas SkyPicture(const CoastColours& c) {
  Canvas sky(kW, kH);
  SkyGradient(sky, 0, kHorizon, c.sky);
  sky.FillRect(0, kHorizon, kW, kH - kHorizon, c.sky.back());
  // Each cloud band has its own loop, so it is drawn on a strip that long.
  struct Band {
    int y0, y1, loop, count;
    Ramp shade;
  };
  const Band bands[] = {{8, 32, 64, 5, {c.cloud[0], c.cloud[1], c.cloud[2]}},
                        {32, 56, 48, 5, {c.cloud[0], c.cloud[1], c.cloud[2], c.cloud[3]}},
                        {56, 80, 40, 6, {c.cloud[1], c.cloud[2], c.cloud[3]}},
                        {80, 96, 32, 5, {c.cloud[2], c.cloud[3]}}};
  uint32_t seed = 11;
  for (const Band& b : bands) {
    Canvas strip(b.loop * 8, kH);
    strip.wrapX = true;
    SkyGradient(strip, 0, kHorizon, c.sky);
    CloudBank(strip, b.y0, b.y1, b.count, b.shade, c.cloudRim, seed++);
    for (int x = 0; x < kW; ++x)
      for (int y = b.y0; y < b.y1; ++y) sky.Set(x, y, strip.Get(x, y));
  }
  // A striped retro sun sitting on the horizon, in the rows that stand still.
  FillDisc(sky, kSunX, kSunY, 22, [&](int x, int y) -> uint8_t {
    if (y > 110 && (y - 111) % 6 < 1 + (y - 111) / 6) return 0;
    float d = std::hypot(x + 0.5f - kSunX, y + 0.5f - kSunY) / 22.0f;
    return RampAt(c.sun, (d - 0.35f) * 1.6f, x, y);
  });
  return sky;
}

Canvas IslesPicture(const CoastColours& c) {
  Canvas isles(kW, kH);
  isles.wrapX = true;
  for (int x = 0; x < kW; ++x) {
    // The range rises in two island groups with open sea between.
    float env = std::clamp(1.7f * std::sin(6.2831853f * (2.0f * x / kW) - 0.64f) * 1.3f - 0.2f, 0.0f, 1.0f);
    float h = 38.0f * env * (0.35f + 0.65f * RidgeHeight(x, kW, 3, 21));
    int top = kHorizon + 1 - int(h);
    float fall = 38.0f * (0.35f + 0.65f * RidgeHeight(x - 2, kW, 3, 21)) - h;
    for (int y = top; y <= kHorizon; ++y) {
      float t = h > 0 ? float(y - top) / h : 1.0f;
      // The sun sits low behind: only slopes facing it catch a rim.
      bool rim = y == top || (fall > 0 && y - top < 2 && x < kSunX + 40 && x > kSunX - 120);
      isles.Set(x, y, rim ? c.isleRim : RampAt(c.isles, t, x, y));
    }
  }
  return isles;
}

// The sea strip: 16 tiles of loop plus one more column, as the lined renderer
// reads one tile past the loop on the right.
constexpr int kSeaLoop = 16;

Canvas SeaPicture(const CoastColours& c) {
  Canvas sea((kSeaLoop + 1) * 8, kH);
  int period = kSeaLoop * 8;
  for (int y = kHorizon; y < kH; ++y) {
    float t = float(y - kHorizon) / float(kH - 1 - kHorizon);
    int waves = std::max(2, int(period / (5.0f + 34.0f * t)));
    for (int x = 0; x < period; ++x) {
      float n = TileNoise(float(x) / period, 0.5f, waves, 1, 1000u + uint32_t(y) * 7u);
      float g = TileNoise(float(x) / period, 0.5f, waves * 3, 1, 5000u + uint32_t(y) * 3u);
      uint8_t v = RampAt(c.sea, std::pow(t, 0.7f) + (n - 0.5f) * 0.25f, x, y);
      if (n > 0.74f - 0.08f * t) v = c.crest;
      if (n > 0.8f && g > 0.7f && t < 0.7f) v = c.glints[size_t(y & 1)];
      if (n < 0.2f) v = RampAt(c.sea, std::pow(t, 0.7f) + 0.2f, x, y);
      sea.Set(x, y, v);
    }
    for (int x = period; x < sea.w; ++x) sea.Set(x, y, sea.Get(x - period, y));
  }
  return sea;
}

// A palm on a curved trunk with drooping fronds; light comes from the left.
void Palm(Canvas& cv, const CoastColours& c, float rootX, float rootY, float topX, float topY, uint32_t seed) {
  float ctrlX = rootX + (topX - rootX) * 0.15f, ctrlY = rootY + (topY - rootY) * 0.6f;
  for (int i = 0; i <= 60; ++i) {
    float s = i / 60.0f, u = 1 - s;
    float x = u * u * rootX + 2 * u * s * ctrlX + s * s * topX;
    float y = u * u * rootY + 2 * u * s * ctrlY + s * s * topY;
    float half = 2.6f - 1.2f * s;
    bool ring = int(s * 60) % 5 == 0;
    for (int k = int(-half); k <= int(half); ++k) {
      float side = (k + half) / (2 * half);  // 0: lit left edge
      uint8_t v = ring ? c.trunk[0] : RampAt(c.trunk, 1.0f - side, int(x) + k, int(y));
      cv.Set(int(x) + k, int(y), v);
    }
  }
  Rng rng(seed);
  for (int f = 0; f < 8; ++f) {
    float a = -2.9f + f * 0.8f + rng.Unit() * 0.3f;  // spread from left over the top to right
    float len = 30 + rng.Unit() * 12;
    float dx = std::cos(a), dy = std::sin(a);
    for (int i = 0; i <= 40; ++i) {
      float s = i / 40.0f;
      float x = topX + dx * len * s, y = topY + dy * len * s + 18 * s * s;  // droop
      float leaf = (1 - s) * 7 + 1;
      for (int k = 0; k <= int(leaf); ++k) {
        float t = 0.25f + 0.5f * (1 - s) - 0.25f * (dx > 0 ? 1 : -0.5f) + (k == 0 ? 0.25f : 0);
        uint8_t v = RampAt(c.palm, std::clamp(t, 0.0f, 1.0f), int(x), int(y) + k);
        cv.Set(int(x + k * 0.4f * (dx > 0 ? 1 : -1)), int(y) + k, v);
      }
    }
  }
  FillDisc(cv, topX, topY + 2, 3.5f, [&](int, int) { return c.trunk[1]; });  // coconuts
}

// The front: headland with lighthouse, rocks, beach with palms, foam, and the
// sun's reflection. frame picks the foam's position (the tile animation).
Canvas FrontPicture(const CoastColours& c, const Ramp& reflection, int frame) {
  Canvas f(kW, kH);
  constexpr uint8_t kMask = 255;
  FillPolygon(f, {-4, -4, 10, 30, 52, 64, 78, 92, 104, 112, 118, 124},
              {200, 96, 90, 88, 90, 96, 104, 116, 128, 140, 160, 200}, [](int, int) { return kMask; });
  FillPolygon(f, {128, 134, 144, 152, 156}, {168, 156, 152, 158, 168}, [](int, int) { return kMask; });
  FillPolygon(f, {420, 430, 446, 466, 484, 496, 500}, {140, 126, 118, 120, 128, 134, 140},
              [](int, int) { return kMask; });
  RockFill(f, kMask, c.rock, +1, 31);
  // Sea laps the foot of the far islet: cut it flat at the water line.
  for (int x = 400; x < 510; ++x)
    for (int y = 140; y < kH; ++y) f.Set(x, y, 0);

  // Lighthouse: red and white bands, shaded on the side away from the sun.
  const int cx = 32, base = 90, top = 44;
  for (int y = top; y < base; ++y) {
    float half = 5 + 2.0f * (y - top) / (base - top);
    bool redBand = ((base - y) / 9) % 2 == 1;
    for (int x = int(cx - half); x <= int(cx + half); ++x) {
      bool shade = x < cx - 1;
      f.Set(x, y, redBand ? (shade ? c.redShade : c.red) : (shade ? c.whiteShade : c.white));
    }
  }
  f.FillRect(cx - 8, top - 3, 17, 3, c.rock[0]);  // gallery
  f.FillRect(cx - 4, top - 11, 9, 8, c.lamp);     // lamp room
  for (int x : {cx - 4, cx, cx + 4}) f.FillRect(x, top - 11, 1, 8, c.rock[0]);
  FillPolygon(f, {float(cx - 6), float(cx + 7), float(cx + 0.5f)}, {float(top - 11), float(top - 11), float(top - 19)},
              [&](int x, int) { return x < cx ? c.redShade : c.red; });
  f.FillRect(cx - 1, top - 3, 3, 1, c.rock[1]);
  f.FillRect(cx - 1, base - 14, 3, 6, c.rock[0]);  // door

  // Beach: sand rising to the right, darker where the sea wets it.
  // The beach rises out of the sea on the left and sinks back in past the last palm.
  auto shore = [](int x) {
    return 166.0f + 34.0f * std::pow(std::max(0.0f, (250.0f - x) / 60.0f), 1.2f) - (x > 250 ? (x - 250) * 0.04f : 0) +
           (x > 430 ? (x - 430) * 0.55f : 0);
  };
  for (int x = 190; x < kW; ++x) {
    int edge = int(shore(x));
    for (int y = std::max(edge, 0); y < kH; ++y) {
      float n = TileFbm(float(x) / 64, float(y) / 64, 8, 8, 2, 77);
      float t = 0.35f + 0.5f * n + 0.3f * (y - edge) / 34.0f;
      if (y - edge < 3) t = 0.05f;
      f.Set(x, y, RampAt(c.sand, std::clamp(t, 0.0f, 1.0f), x, y));
    }
    // Foam: a wave line that runs up and falls back over three frames.
    float phase = float(frame) * 2.1f;
    float reach = 2.5f + 2.0f * std::sin(x * 0.11f + phase) + 1.5f * std::sin(x * 0.037f - phase);
    for (int k = 0; k < int(reach); ++k)
      f.Set(x, edge - 1 - k, c.foam[size_t(std::min(2, k == 0 ? 2 : 1 + (k + x + frame) % 2))]);
    if ((x + frame * 3) % 7 < 3) f.Set(x, edge - int(reach) - 2, c.foam[0]);
  }

  // Long evening shadows across the sand, in the set's tinted (darker) copies.
  for (auto [px, py] : {std::pair{262, 176}, {300, 174}, {380, 168}})
    FillEllipse(f, px + 22, py + 3, 26, 2.5f, [&](int x, int y) {
      uint8_t v = f.Get(x, y);
      return std::find(c.sand.begin(), c.sand.end(), v) != c.sand.end() ? uint8_t(v + 128) : uint8_t(0);
    });
  Palm(f, c, 262, 176, 236, 104, 5);
  Palm(f, c, 300, 174, 292, 116, 6);
  Palm(f, c, 380, 168, 404, 100, 7);

  // The sun's reflection: broken bright dashes widening towards the viewer.
  for (int y = kHorizon + 1; y < 186; ++y) {
    float half = 5 + (y - kHorizon) * 0.42f;
    for (int x = int(kSunX - half); x <= int(kSunX + half); ++x) {
      float d = std::abs(x + 0.5f - kSunX) / half;
      float n = Hash01(x / 3, y, 91);
      if (n > 0.35f + 0.6f * d && !f.Get(x, y)) f.Set(x, y, reflection[size_t((x / 3 + y) % 3)]);
    }
  }
  // Gulls.
  for (auto [gx, gy] : {std::pair{232, 62}, {250, 70}, {214, 76}}) {
    f.Set(gx - 2, gy - 1, c.rock[1]), f.Set(gx - 1, gy, c.rock[1]), f.Set(gx, gy + 1, c.rock[1]);
    f.Set(gx + 1, gy, c.rock[1]), f.Set(gx + 2, gy - 1, c.rock[1]);
  }
  return f;
}

}  // namespace

DemoLevel BuildCoastLevel() {
  PaletteBuilder pal(64, {7, 3, 18});
  CoastColours c = MakePalette(pal);
  Ramp reflection = AddReflection(pal);
  TileBank bank;

  PlaneDef sky = MakePlane(kHTiled, bank.Cut(SkyPicture(c)));
  sky.otherLoop = kH / 8;
  sky.speeds.assign(size_t(kH / 8), 0);
  sky.loops.assign(size_t(kH / 8), kW / 8);
  // Rows 1-3, 4-6, 7-9, 10-11: cloud bands, drifting slower towards the horizon.
  const int bandSpeed[4] = {14, 9, 5, 3}, bandLoop[4] = {64, 48, 40, 32};
  for (int r = 1; r < 12; ++r) {
    int b = r < 4 ? 0 : r < 7 ? 1 : r < 10 ? 2 : 3;
    sky.speeds[size_t(r)] = uint8_t(128 + bandSpeed[b]);
    sky.loops[size_t(r)] = bandLoop[b];
  }

  PlaneDef isles = MakePlane(kRelative, bank.Cut(IslesPicture(c)));
  isles.speeds = {128 + 2};
  isles.loops = {kW / 8};
  isles.otherLoop = kH / 8;

  PlaneDef sea = MakePlane(kHLined, bank.Cut(SeaPicture(c)));
  sea.otherLoop = kH / 8;
  for (int y = 0; y < kH; ++y) {
    float t = std::max(0.0f, float(y - kHorizon) / float(kH - 1 - kHorizon));
    // Nearer lines move faster; a little jitter between lines makes them shimmer.
    int s = y < kHorizon ? 0 : 128 + 2 + int(118 * std::pow(t, 1.5f)) + int(Hash01(0, y, 3) * 4);
    sea.speeds.push_back(uint8_t(std::min(s, 255)));
    sea.loops.push_back(kSeaLoop);
  }

  std::vector<Canvas> fronts;
  for (int frame = 0; frame < 3; ++frame) fronts.push_back(FrontPicture(c, reflection, frame));
  PlaneDef front = MakePlane(kFlat, bank.CutAnimated(fronts, {10, 8, 10}));

  sky.priority = 4, isles.priority = 3, sea.priority = 2, front.priority = 1;
  DemoLevel level;
  level.tiles.tiles = bank.Tiles();
  level.tiles.sets = {pal.Build(1, {6, 2, 12})};
  level.tileVersion = 2;
  level.planes = {sky, isles, sea, front};
  return level;
}
