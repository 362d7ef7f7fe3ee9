// space_level.cpp: level 5, deep space, the level the attract sequence pans
// across. The view runs from 0 to 512 in x and y and jumps back, so every
// plane repeats exactly over 512 pixels of view: a line at speed s (or
// drifting at 128 + s) moves s tiles in that pan, and its loop divides s.
// Planes 0 to 3 are each worth watching alone; plane 4 (a station girder)
// stays hidden there and shows in the editor.
#include <algorithm>
#include <array>
#include <cmath>

#include "levels.h"
#include "scenery.h"

namespace {

constexpr int kPan = 512;        // the attract pan, in pixels
constexpr int kStarPeriod = 32;  // star rows repeat every 32 rows
constexpr int kHorizon = 104;    // the gas giant's edge
constexpr int kGasLoop = 16;

struct SpaceColours {
  Ramp far, mid, near, magenta, teal, cream, orange, brown, rust, haze, rock, metal, panel;
  std::vector<uint8_t> tinted;  // coloured giants among the near stars
  uint8_t glow, rim, window, redLight, greenLight;
};

SpaceColours MakePalette(PaletteBuilder& pal) {
  SpaceColours c;
  c.far = pal.AddStops({{10, 10, 20}, {18, 18, 30}, {28, 28, 40}}, 3);
  c.mid = pal.AddStops({{26, 26, 40}, {40, 40, 52}, {52, 52, 60}}, 3);
  // Near stars twinkle (in the editor) at three different paces.
  c.near = {pal.AddCycle({{44, 46, 58}, {56, 58, 63}}, {40, 12}),
            pal.AddCycle({{56, 56, 63}, {63, 63, 63}, {48, 48, 60}}, {30, 6, 20}), pal.Add({63, 63, 63})};
  c.tinted = {pal.Add({36, 48, 63}), pal.Add({63, 40, 32}), pal.Add({63, 58, 36})};
  c.magenta = pal.AddStops({{6, 1, 11}, {18, 4, 26}, {36, 9, 40}, {54, 22, 50}, {63, 44, 58}}, 8);
  c.teal = pal.AddStops({{1, 6, 11}, {4, 18, 28}, {10, 34, 42}, {32, 54, 58}}, 6);
  c.cream = pal.AddStops({{46, 40, 30}, {58, 52, 40}, {63, 60, 50}}, 3);
  c.orange = pal.AddStops({{40, 20, 8}, {54, 32, 12}, {62, 44, 20}}, 3);
  c.brown = pal.AddStops({{20, 10, 6}, {30, 16, 8}, {40, 24, 12}}, 3);
  c.rust = pal.AddStops({{34, 10, 8}, {46, 16, 10}, {56, 26, 14}}, 3);
  c.haze = pal.AddStops({{30, 40, 50}, {44, 52, 58}, {56, 60, 63}}, 3);
  c.glow = pal.Add({40, 56, 63});
  c.rim = pal.Add({16, 30, 48});
  c.rock =
      pal.AddStops({{3, 3, 5}, {10, 8, 10}, {19, 15, 15}, {29, 23, 20}, {39, 31, 26}, {49, 41, 33}, {58, 51, 42}}, 7);
  c.metal = pal.AddStops({{6, 7, 10}, {16, 18, 24}, {28, 30, 36}, {42, 44, 50}, {56, 58, 62}}, 5);
  c.panel = pal.AddStops({{4, 8, 24}, {10, 18, 40}, {22, 34, 56}}, 3);
  c.window = pal.Add({60, 56, 34});
  c.redLight = pal.AddCycle({{63, 6, 6}, {14, 2, 2}}, {10, 50});
  c.greenLight = pal.AddCycle({{14, 2, 2}, {6, 63, 10}, {2, 14, 4}}, {30, 10, 20});
  return c;
}

// Star row layers: speed (drifting) and loop in tiles, loop dividing speed.
struct StarLayer {
  int speed, loop;
};
constexpr StarLayer kLayers[3] = {{8, 8}, {16, 16}, {64, 32}};
constexpr int kRowLayer[kStarPeriod] = {0, 1, 0, 2, 1, 0, 1, 0, 2, 0, 1, 0, 1, 2, 0, 1,
                                        0, 2, 1, 0, 1, 0, 2, 1, 0, 1, 0, 2, 0, 1, 0, 2};

Canvas StarPicture(const SpaceColours& c) {
  Canvas s(kPan, kPan);
  Rng rng(601);
  for (int r = 0; r < kStarPeriod; ++r) {
    int layer = kRowLayer[r];
    int loopPx = kLayers[layer].loop * 8;
    Canvas strip(loopPx, 8);
    int count = layer == 0 ? loopPx / 6 : layer == 1 ? loopPx / 9 : loopPx / 14;
    for (int k = 0; k < count; ++k) {
      int x = rng.Range(0, loopPx - 1), y = rng.Range(1, 6);
      if (layer == 0)
        strip.Set(x, y, c.far[size_t(rng.Range(0, 2))]);
      else if (layer == 1)
        strip.Set(x, y, c.mid[size_t(rng.Range(0, 2))]);
      else {
        bool giant = rng.Range(0, 4) == 0;
        uint8_t core = giant ? c.tinted[size_t(rng.Range(0, 2))] : c.near[size_t(rng.Range(0, 2))];
        strip.Set(x, y, core);
        if (giant || rng.Range(0, 2) == 0) {
          uint8_t arm = giant ? c.mid[1] : c.far[2];
          strip.Set(x - 1, y, arm), strip.Set(x + 1, y, arm), strip.Set(x, y - 1, arm), strip.Set(x, y + 1, arm);
        }
      }
    }
    strip.Set(0, 3, c.far[0]);  // every row holds a star, so no row is trimmed away
    for (int rep = r; rep < kPan / 8; rep += kStarPeriod)
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < kPan; ++x) s.Set(x, rep * 8 + y, strip.Get(x % loopPx, y));
  }
  return s;
}

// Nebula clouds 256 pixels square, repeated to fill 64 rows; thin parts are
// dithered away so the stars shine through.
Canvas NebulaPicture(const SpaceColours& c) {
  constexpr int kP = 256;
  Canvas n(kP, kPan);
  for (int y = 0; y < kP; ++y)
    for (int x = 0; x < kP; ++x) {
      float u = float(x) / kP, v = float(y) / kP;
      float d = (TileFbm(u, v, 3, 3, 5, 611) - 0.47f) * 3.2f;
      if (d <= 0 || (d < 0.2f && Bayer(x, y) > d / 0.2f)) continue;
      float mix = TileFbm(u, v, 2, 2, 3, 612);
      float knot = TileFbm(u, v, 8, 8, 2, 613);
      // The two gases meet in a dithered seam rather than a hard edge.
      const Ramp& ramp = mix + (Bayer(x, y) - 0.5f) * 0.12f > 0.5f ? c.magenta : c.teal;
      float t = std::clamp(d * 0.7f + (knot - 0.5f) * 0.9f, 0.0f, 1.0f);
      uint8_t px = RampAt(ramp, t, x, y);
      n.Set(x, y, px), n.Set(x, y + kP, px);
    }
  n.Set(kP - 1, kPan - 1, c.magenta[0]);  // keeps the stored extent at the full loop
  return n;
}

// The gas giant seen from orbit: a bright limb of atmosphere, then cloud
// bands that widen towards the viewer, swirled, repeating every 64 pixels,
// with one spare tile column for the lined renderer.
Canvas GasGiantPicture(const SpaceColours& c) {
  Canvas g((kGasLoop + 1) * 8, 200);
  const int period = kGasLoop * 8;
  const Ramp* bands[] = {&c.cream, &c.orange, &c.brown, &c.cream, &c.rust, &c.orange, &c.cream, &c.brown};
  // The planet's rings, seen almost edge on: thin bands of dust whose
  // density changes from line to line.
  for (int y = 72; y < 84; ++y) {
    float density = 0.1f + 0.4f * Hash01(y, 0, 623) * (1.0f - std::abs(y - 77.5f) / 7.0f);
    if (y == 76 || y == 80) density = 0;  // gaps in the rings
    for (int x = 0; x < period; ++x) {
      float n = TileNoise(x / float(period), 0.5f, 8, 1, 624u + uint32_t(y));
      if (Bayer(x, y) < density * (0.6f + 0.6f * n)) g.Set(x, y, y < 78 ? c.cream[size_t((x + y) % 2)] : c.rim);
    }
    for (int x = period; x < g.w; ++x) g.Set(x, y, g.Get(x - period, y));
  }
  for (int y = kHorizon - 8; y < 200; ++y) {
    for (int x = 0; x < period; ++x) {
      uint8_t px;
      if (y < kHorizon - 2) {
        // Thin haze above the limb, dithered out into space.
        float a = float(y - (kHorizon - 8)) / 6.0f;
        px = Bayer(x, y) < a * 0.6f ? c.rim : 0;
      } else if (y < kHorizon + 2) {
        px = y < kHorizon ? c.glow : c.haze[2];
      } else {
        float depth = float(y - kHorizon);
        // Latitude grows quickly near the limb: bands there are thin.
        float lat = 220.0f / (depth + 14.0f);
        // Bands wander a little and curl where the noise runs steep.
        float swirl = 0.5f * (TileFbm(x / float(period), lat / 6.0f, 3, 4, 3, 621) - 0.5f);
        float b = lat + swirl;
        const Ramp& ramp = *bands[size_t(int(b * 1.3f) % 8)];
        float shade =
            0.5f + 0.3f * std::sin(b * 8.1f) + (TileFbm(x / float(period), b / 4.0f, 6, 4, 2, 622) - 0.5f) * 0.8f;
        px = RampAt(ramp, std::clamp(shade, 0.0f, 1.0f), x, y);
        // Haze thickens towards the limb.
        float haze = std::clamp(1.0f - depth / 30.0f, 0.0f, 1.0f);
        if (Bayer(x, y) < haze * 0.8f) px = c.haze[size_t(std::min(2, int(haze * 3)))];
      }
      g.Set(x, y, px);
    }
    for (int x = period; x < g.w; ++x) g.Set(x, y, g.Get(x - period, y));
  }
  return g;
}

// A lumpy asteroid lit from the upper left, with a few craters.
void Asteroid(Canvas& cv, const SpaceColours& c, float cx, float cy, float r, uint32_t seed) {
  auto radius = [&](float a) { return r * (0.8f + 0.35f * TileNoise(a / 6.2831853f, 0.5f, 5, 1, seed)); };
  Rng rng(seed);
  std::vector<std::array<float, 3>> craters;
  for (int k = 0; k < int(r / 4); ++k)
    craters.push_back({cx + (rng.Unit() - 0.5f) * r, cy + (rng.Unit() - 0.5f) * r, 1.5f + rng.Unit() * r * 0.2f});
  for (int y = int(cy - r * 1.2f); y <= int(cy + r * 1.2f); ++y)
    for (int x = int(cx - r * 1.2f); x <= int(cx + r * 1.2f); ++x) {
      float dx = x + 0.5f - cx, dy = y + 0.5f - cy, d = std::hypot(dx, dy);
      float edge = radius(std::atan2(dy, dx) + 3.14159265f);
      if (d > edge) continue;
      float t = 0.55f - 0.45f * (dx + dy) / (edge * 1.4f) - 0.2f * d / edge;
      t += (TileNoise(float(x & 63) / 64, float(y & 63) / 64, 8, 8, seed + 1) - 0.5f) * 0.3f;
      for (const auto& k : craters) {
        float kd = std::hypot(x + 0.5f - k[0], y + 0.5f - k[1]);
        if (kd < k[2]) t += (x - k[0] + y - k[1] > 0) ? 0.15f : -0.3f;  // lit far rim, dark near wall
      }
      cv.Set(x, y, RampAt(c.rock, std::clamp(t, 0.0f, 1.0f), x, y));
    }
}

Canvas AsteroidPicture(const SpaceColours& c) {
  Canvas a(kPan, kPan);
  a.wrapX = a.wrapY = true;
  Rng rng(631);
  for (int k = 0; k < 34; ++k) {
    float r = 3 + rng.Unit() * rng.Unit() * 30;
    // Draws named one by one: the order of a call's arguments is the compiler's.
    const float y = float(rng.Range(0, kPan - 1));
    const float x = float(rng.Range(0, kPan - 1));
    Asteroid(a, c, x, y, r, 640u + uint32_t(k));
  }
  for (int k = 0; k < 160; ++k) {
    const uint8_t pebble = c.rock[size_t(rng.Range(2, 5))];
    const int y = rng.Range(0, kPan - 1);
    const int x = rng.Range(0, kPan - 1);
    a.Set(x, y, pebble);
  }
  a.Set(kPan - 1, kPan - 1, c.rock[2]);  // pebbles at the far corner keep the full extent
  return a;
}

// A station girder with a lit module and a solar wing, across the top; it
// repeats every 256 pixels across and 512 down.
constexpr int kStationLoop = 32;

Canvas StationPicture(const SpaceColours& c) {
  Canvas s(kStationLoop * 8, kPan);
  for (int x = 0; x < s.w; ++x) {
    s.Set(x, 6, c.metal[4]), s.Set(x, 7, c.metal[2]);
    s.Set(x, 22, c.metal[3]), s.Set(x, 23, c.metal[1]);
  }
  for (int x = 0; x < s.w; x += 16) {
    DrawLine(s, x, 8, x + 15, 21, c.metal[2]);
    DrawLine(s, x + 15, 8, x, 21, c.metal[1]);
    s.FillRect(x, 6, 2, 18, c.metal[3]);
  }
  // Module: a cylinder with portholes.
  for (int y = 24; y < 64; ++y)
    for (int x = 196; x < 300; ++x) s.Set(x, y, RampAt(c.metal, 0.9f - std::abs(y - 36) / 30.0f, x, y));
  for (int x = 206; x < 296; x += 14) FillDisc(s, x, 42, 3, [&](int, int) { return c.window; });
  s.FillRect(196, 62, 104, 2, c.metal[0]);
  s.Set(198, 26, c.redLight), s.Set(297, 26, c.greenLight);
  // Solar wing on a strut.
  s.FillRect(120, 24, 2, 40, c.metal[2]);
  for (int y = 64; y < 112; ++y)
    for (int x = 80; x < 162; ++x)
      s.Set(x, y, (x % 10 == 0 || y % 8 == 0) ? c.metal[1] : RampAt(c.panel, 0.8f - (y - 64) / 60.0f, x, y));
  s.Set(s.w - 1, s.h - 1, c.redLight);  // a far beacon, and the stored extent stays whole
  return s;
}

}  // namespace

DemoLevel BuildSpaceLevel() {
  PaletteBuilder pal(128, {0, 0, 5});
  SpaceColours c = MakePalette(pal);
  TileBank bank;

  PlaneDef stars = MakePlane(kHTiled, bank.Cut(StarPicture(c)));
  for (int r = 0; r < kPan / 8; ++r) {
    const StarLayer& l = kLayers[kRowLayer[r % kStarPeriod]];
    stars.speeds.push_back(uint8_t(128 + l.speed));
    stars.loops.push_back(l.loop);
  }
  stars.otherLoop = kPan / 8;
  stars.otherSpeed = kStarPeriod;  // moves 32 rows in a pan: one star period

  PlaneDef nebula = MakePlane(kRelative, bank.Cut(NebulaPicture(c)));
  nebula.speeds = {128 + 32};
  nebula.loops = {32};
  nebula.otherLoop = kPan / 8;
  nebula.otherSpeed = 32;

  PlaneDef giant = MakePlane(kHLined, bank.Cut(GasGiantPicture(c)));
  giant.otherLoop = 25;
  giant.otherSpeed = 0;
  for (int y = 0; y < 200; ++y) {
    float t = std::max(0.0f, float(y - kHorizon) / float(199 - kHorizon));
    // Multiples of the loop: each row moves whole loops in a pan.
    int speed = kGasLoop * int(std::lround(1 + 6 * std::pow(t, 1.5f)));
    // The rings are far off and drift slowly the other way round the planet.
    giant.speeds.push_back(uint8_t(y < kHorizon ? (y < 78 ? 128 + kGasLoop : kGasLoop) : 128 + speed));
    giant.loops.push_back(kGasLoop);
  }

  PlaneDef rocks = MakePlane(kRelative, bank.Cut(AsteroidPicture(c)));
  rocks.speeds = {64};
  rocks.loops = {kPan / 8};
  rocks.otherLoop = kPan / 8;
  rocks.otherSpeed = 64;

  // In front of everything: faster than the view across (96 tiles a pan, three loops).
  PlaneDef station = MakePlane(kRelative, bank.Cut(StationPicture(c)));
  station.speeds = {96};
  station.loops = {kStationLoop};
  station.otherLoop = kPan / 8;
  station.otherSpeed = 64;

  stars.priority = 5, nebula.priority = 4, giant.priority = 3, rocks.priority = 2, station.priority = 1;
  DemoLevel level;
  level.tiles.tiles = bank.Tiles();
  level.tiles.sets = {pal.Build(0, {})};
  level.tileVersion = 1;
  level.planes = {stars, nebula, giant, rocks, station};
  return level;
}
