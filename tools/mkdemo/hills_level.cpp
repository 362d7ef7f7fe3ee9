// hills_level.cpp: level 2, green hills in the old formats: a headerless
// version-0 tile set with its .dat collision file and a version-0 level (an
// H Tiled backdrop, then the ground and the foreground as Flat planes). The
// backdrop is banded: clouds, mountains, hills, forest and lake rows each
// scroll at their own speed, every band drawn over a colour that is even
// across the band, so the rows can slide against each other without seams.
#include <algorithm>
#include <cmath>

#include "levels.h"
#include "scenery.h"

namespace {

constexpr int kBackW = 512, kH = 208;  // backdrop: 64 x 26 tiles
constexpr int kFlatW = 1024;           // ground and foreground: 128 x 26 tiles
constexpr int kLeftBank = 164, kRightBank = 168;
constexpr int kLakeX0 = 166, kLakeX1 = 250;

struct HillColours {
  Ramp sky, cloud, mountain, hills, forest, water, grass, dirt, stone, brick, wood, leaves, flowers;
  uint8_t cloudRim, snow, haze, ripple, mortar, trunk;
};

HillColours MakePalette(PaletteBuilder& pal) {
  HillColours c;
  c.sky = pal.AddStops({{12, 26, 56}, {24, 40, 62}, {42, 54, 63}, {54, 61, 63}}, 8);
  c.cloud = pal.AddStops({{63, 63, 63}, {54, 58, 63}, {42, 48, 60}}, 3);
  c.cloudRim = pal.Add({34, 40, 56});
  c.mountain = pal.AddStops({{36, 42, 58}, {26, 32, 50}, {20, 26, 44}}, 3);
  c.snow = pal.Add({60, 62, 63});
  c.haze = pal.Add({46, 54, 60});
  c.hills = pal.AddStops({{40, 58, 28}, {26, 48, 24}, {16, 36, 22}, {11, 28, 20}}, 4);
  c.forest = pal.AddStops({{22, 42, 18}, {13, 31, 15}, {7, 21, 12}, {3, 13, 10}}, 4);
  // Water: the lake's colours flow through a rotating run and a ripple steps.
  c.water = pal.AddStops({{8, 22, 18}, {10, 26, 36}, {14, 34, 48}, {22, 44, 56}}, 4);
  pal.Rotate(c.water[1], c.water[3], 11);
  c.ripple = pal.AddCycle({{46, 58, 63}, {60, 63, 63}, {34, 48, 60}}, {12, 4, 16});
  c.grass = pal.AddStops({{8, 26, 6}, {16, 40, 8}, {30, 52, 12}, {46, 60, 22}}, 4);
  c.dirt = pal.AddStops({{14, 8, 5}, {24, 14, 8}, {34, 21, 11}, {44, 29, 15}, {53, 39, 23}}, 5);
  c.stone = pal.AddStops({{18, 18, 22}, {30, 30, 34}, {43, 43, 47}, {56, 56, 58}}, 4);
  c.brick = pal.AddStops({{28, 10, 8}, {42, 17, 10}, {54, 26, 14}}, 3);
  c.mortar = pal.Add({38, 33, 29});
  c.wood = pal.AddStops({{16, 9, 4}, {29, 17, 8}, {42, 28, 14}}, 3);
  c.leaves = pal.AddStops({{5, 18, 6}, {11, 30, 8}, {21, 43, 10}, {36, 56, 16}}, 4);
  c.trunk = pal.Add({22, 13, 8});
  c.flowers = {pal.Add({60, 12, 14}), pal.Add({63, 56, 10}), pal.Add({62, 62, 62}), pal.Add({58, 28, 50})};
  return c;
}

// Trees and bushes along the banks: where they stand and how big they are.
struct Plant {
  int x, base, size;
  bool conifer;
};
const Plant kTrees[] = {{36, kLeftBank + 2, 74, false},  {140, kLeftBank + 2, 58, true},
                        {292, kRightBank + 2, 50, true}, {420, kRightBank + 2, 64, false},
                        {610, kRightBank + 2, 60, true}, {760, 146, 70, false}};
const Plant kBushes[] = {{76, kLeftBank + 3, 12, false},
                         {118, kLeftBank + 3, 9, false},
                         {268, kRightBank + 3, 10, false},
                         {318, kRightBank + 3, 12, false},
                         {470, kRightBank + 3, 11, false},
                         {680, kRightBank + 3, 10, false},
                         {840, 147, 12, false}};

// Paints the backdrop band y0..y1 from a strip `loop` tiles long, repeated.
void PaintBand(Canvas& dst, const Canvas& strip, int y0, int y1) {
  for (int y = y0; y < y1; ++y)
    for (int x = 0; x < dst.w; ++x) dst.Set(x, y, strip.Get(x, y));
}

Canvas BackdropPicture(const HillColours& c) {
  Canvas back(kBackW, kH);
  SkyGradient(back, 0, 104, c.sky);
  // Clouds: two bands with their own loops.
  for (auto [y0, y1, loop, count, seed] : {std::tuple{8, 32, 64, 6, 41u}, {40, 64, 48, 5, 42u}}) {
    Canvas strip(loop * 8, kH);
    strip.wrapX = true;
    SkyGradient(strip, 0, 104, c.sky);
    CloudBank(strip, y0, y1, count, c.cloud, c.cloudRim, seed);
    PaintBand(back, strip, y0, y1);
  }
  // Mountains with snow, fading into the valley haze at their feet.
  Ridge(back, 104, 40, 3, c.mountain, c.mountain[0], 51, false);
  for (int y = 64; y < 104; ++y)
    for (int x = 0; x < kBackW; ++x) {
      uint8_t v = back.Get(x, y);
      bool rock = std::find(c.mountain.begin(), c.mountain.end(), v) != c.mountain.end();
      if (rock && y < 80 + int(4 * Hash01(x / 3, 0, 5)) && Bayer(x, y) < (80.0f - y) / 6.0f + 0.4f)
        back.Set(x, y, c.snow);
      if (y >= 94 && Bayer(x, y) < (y - 94) / 6.0f) back.Set(x, y, c.haze);
    }
  // Hills, looping every 32 tiles, on the haze.
  Canvas hills(256, kH);
  hills.wrapX = true;
  hills.FillRect(0, 104, 256, 24, c.haze);
  Ridge(hills, 128, 22, 2, c.hills, c.hills[0], 61, false);
  PaintBand(back, hills, 104, 128);
  // Forest edge, looping every 24 tiles, on the hills' darkest green.
  Canvas forest(192, kH);
  forest.wrapX = true;
  forest.FillRect(0, 128, 192, 32, c.hills.back());
  Rng rng(71);
  for (int x = -4; x < 192; x += rng.Range(7, 12)) {
    int h = rng.Range(18, 30);
    if (rng.Range(0, 2) == 0)
      LeafyTree(forest, x, 156, h, c.forest, c.forest.back(), uint32_t(x + 100));
    else
      Conifer(forest, x, 158, h, c.forest, c.forest.back());
  }
  forest.FillRect(0, 152, 192, 8, c.forest.back());
  PaintBand(back, forest, 128, 160);
  // The lake: the dark shore mirrored at the top, then ripples.
  Canvas lake(64, kH);
  lake.wrapX = true;
  for (int y = 160; y < kH; ++y) {
    float t = float(y - 160) / float(kH - 160);
    for (int x = 0; x < 64; ++x) {
      uint8_t v = RampAt(c.water, 0.15f + t * 1.1f, x, y);
      float n = TileNoise(float(x) / 64, float(y) / kH, 4 + (y - 160) / 12, 26, 81);
      if (n > 0.78f - 0.1f * t)
        v = c.ripple;
      else if (n < 0.2f)
        v = c.water[0];
      lake.Set(x, y, v);
    }
  }
  PaintBand(back, lake, 160, kH);
  return back;
}

// The ground: banks of grass over layered dirt, a bridge over the lake,
// brick platforms and, off to the right, a higher meadow with a tower.
Canvas GroundPicture(const HillColours& c) {
  Canvas g(kFlatW, kH);
  std::vector<int> top(kFlatW, kH);
  for (int x = 0; x < kFlatW; ++x) {
    float bump = 2.0f * std::sin(x * 0.045f) + 1.2f * std::sin(x * 0.13f + 1);
    if (x < kLakeX0)
      top[size_t(x)] = kLeftBank + int(bump) + std::max(0, x - (kLakeX0 - 6)) * 3;
    else if (x < kLakeX1)
      top[size_t(x)] = kH;
    else if (x < 700)
      top[size_t(x)] = kRightBank + int(bump) + std::max(0, (kLakeX1 + 5) - x) * 3;
    else
      top[size_t(x)] = 144 + int(bump) + std::max(0, 730 - x);
  }
  for (int x = 0; x < kFlatW; ++x) {
    int t0 = top[size_t(x)];
    for (int y = t0; y < kH; ++y) {
      int d = y - t0;
      uint8_t v;
      if (d < 5) {
        v = RampAt(c.grass, 1.0f - d / 5.0f + (Hash01(x, 0, 9) - 0.5f) * 0.5f, x, y);
      } else {
        // Dirt in layers with stones; the texture repeats every 32 pixels.
        float n = TileFbm(float(x) / 32, float(y) / 32, 4, 4, 2, 93);
        float layer = 0.5f + 0.25f * std::sin(y * 0.45f + n * 3);
        v = RampAt(c.dirt, std::clamp(layer * 0.8f + (n - 0.5f) * 0.6f - (d < 8 ? 0.3f : 0), 0.0f, 1.0f), x, y);
        if (TileNoise(float(x) / 32, float(y) / 32, 8, 8, 94) > 0.8f) v = RampAt(c.stone, n, x, y);
      }
      g.Set(x, y, v);
    }
    // Grass blades poke above the edge.
    if (t0 < kH && Hash01(x, 1, 10) > 0.55f) g.Set(x, t0 - 1, c.grass[2]);
    if (t0 < kH && Hash01(x, 2, 10) > 0.85f) g.Set(x, t0 - 2, c.grass[3]);
  }
  // Shade on the grass under the trees and bushes: the set's tinted copies
  // (tint + colour / 2) are darker, bluish versions of the same colours.
  auto shade = [&](const Plant& p, float rx) {
    FillEllipse(g, p.x + 2, p.base, rx, 3.5f, [&](int x, int y) {
      uint8_t v = g.Get(x, y);
      return v && v < 64 ? uint8_t(v + 128) : uint8_t(0);
    });
  };
  for (const Plant& t : kTrees) shade(t, t.size * (t.conifer ? 0.3f : 0.45f));
  for (const Plant& b : kBushes) shade(b, b.size * 1.2f);
  // Bridge: plank deck, rail and posts standing in the water.
  for (int x = kLakeX0 - 6; x < kLakeX1 + 6; ++x) {
    g.Set(x, 160, c.wood[2]), g.Set(x, 161, c.wood[1]), g.Set(x, 162, (x % 6) ? c.wood[1] : c.wood[0]);
    g.Set(x, 163, c.wood[0]);
    g.Set(x, 150, c.wood[2]), g.Set(x, 151, c.wood[0]);
  }
  for (int x = kLakeX0 - 4; x < kLakeX1 + 6; x += 22) {
    g.FillRect(x, 146, 3, 56, c.wood[1]);
    g.FillRect(x, 146, 1, 56, c.wood[2]);
  }
  // Floating brick platforms, stone-capped.
  for (auto [px, py, pw] : {std::tuple{72, 112, 56}, {266, 96, 48}, {520, 112, 64}, {800, 96, 48}}) {
    Bricks(g, px, py + 4, pw, 12, 8, 4, c.brick, c.mortar, uint32_t(px));
    for (int x = px - 1; x < px + pw + 1; ++x)
      for (int y = py; y < py + 4; ++y) g.Set(x, y, RampAt(c.stone, 1.0f - (y - py) / 3.0f, x, y));
  }
  // A watchtower of brick on the far meadow, with battlements.
  Bricks(g, 900, 64, 56, 84, 8, 4, c.brick, c.mortar, 900);
  for (int x = 896; x < 960; x += 8) g.FillRect(x, 56, 5, 8, c.stone[2]);
  g.FillRect(920, 96, 12, 20, c.dirt[0]);  // window
  return g;
}

// A round bush of several overlapping discs.
void Bush(Canvas& c, const HillColours& col, int x, int baseY, int size, uint32_t seed) {
  Rng rng(seed);
  for (int k = 0; k < 5; ++k) {
    float px = x + (k - 2) * size * 0.45f, py = baseY - size * 0.5f - (k % 2) * size * 0.3f;
    float r = size * (0.45f + 0.15f * rng.Unit());
    FillDisc(c, px, py, r, [&](int ix, int iy) {
      float t = 0.55f + 0.4f * (px - ix) / r * -0.3f - 0.5f * (iy - py) / r;
      return RampAt(col.leaves, std::clamp(t + (Hash01(ix, iy, seed) - 0.5f) * 0.3f, 0.0f, 1.0f), ix, iy);
    });
  }
}

// Trees, bushes, a fence, a signpost and flowers that sway over three frames.
Canvas FrontPicture(const HillColours& c, int frame) {
  Canvas f(kFlatW, kH);
  for (const Plant& t : kTrees)
    if (t.conifer)
      Conifer(f, t.x, t.base, t.size, c.leaves, c.trunk);
    else
      LeafyTree(f, t.x, t.base, t.size, c.leaves, c.trunk, uint32_t(t.x));
  for (const Plant& b : kBushes) Bush(f, c, b.x, b.base, b.size, uint32_t(b.x));
  // Fence along the left bank.
  for (int x = 92; x < 134; ++x) f.Set(x, kLeftBank - 8, c.wood[2]), f.Set(x, kLeftBank - 4, c.wood[1]);
  for (int x = 92; x < 136; x += 10)
    f.FillRect(x, kLeftBank - 11, 2, 12, c.wood[0]), f.Set(x, kLeftBank - 11, c.wood[2]);
  // Signpost pointing on across the bridge.
  f.FillRect(156, kLeftBank - 22, 2, 24, c.wood[0]);
  FillPolygon(f, {146, 166, 171, 166, 146},
              {kLeftBank - 24.0f, kLeftBank - 24.0f, kLeftBank - 20.0f, kLeftBank - 16.0f, kLeftBank - 16.0f},
              [&](int, int y) { return y < kLeftBank - 22 ? c.wood[2] : c.wood[1]; });
  // Flowers in clumps along the banks; heads lean with the frame.
  Rng rng(17);
  for (int clump = 0; clump < 26; ++clump) {
    int cx = rng.Range(0, kFlatW - 1);
    if (cx > kLakeX0 - 8 && cx < kLakeX1 + 8) continue;
    int base = cx < kLakeX0 ? kLeftBank : cx < 700 ? kRightBank : 146;
    uint8_t colour = c.flowers[size_t(rng.Range(0, 3))];
    for (int k = 0; k < 4; ++k) {
      int x = cx + rng.Range(-6, 6), h = rng.Range(3, 6);
      int lean = (frame == 1 ? 1 : frame == 2 ? 0 : -1) * ((x + k) % 2 ? 1 : 0);
      for (int y = 0; y < h; ++y) f.Set(x + (y > h / 2 ? lean : 0), base - y, c.grass[1]);
      int hx = x + lean, hy = base - h;
      f.Set(hx, hy, colour), f.Set(hx - 1, hy, colour), f.Set(hx + 1, hy, colour), f.Set(hx, hy - 1, colour);
      f.Set(hx, hy + 1, colour);
      f.Set(hx, hy, c.flowers[1] == colour ? c.dirt[3] : c.flowers[1]);
    }
  }
  return f;
}

// Converts a speed in 64ths of the view to the old row unit (multiples of 3
// convert exactly): 64 x s / 24.
uint8_t OldRowSpeed(int s) { return uint8_t(s * 24 / 64); }
// A drifting row in old units: 128 + 64 x (s - 24) / 24.
uint8_t OldDrift(int drift) { return uint8_t(24 + drift * 24 / 64); }

}  // namespace

DemoLevel BuildHillsLevel() {
  PaletteBuilder pal(64, {12, 26, 56});
  HillColours c = MakePalette(pal);
  TileBank bank;

  OldPlane back;
  back.map = bank.Cut(BackdropPicture(c));
  back.otherSpeed = 0;
  back.otherLoop = uint16_t(kH / 8);
  for (int r = 0; r < kH / 8; ++r) {
    int speed = 0, loop = kBackW / 8;
    if (r >= 1 && r <= 3)
      speed = -16, loop = 64;  // high clouds drift faster
    else if (r >= 5 && r <= 7)
      speed = -8, loop = 48;  // lower clouds
    else if (r >= 8 && r <= 12)
      speed = 8, loop = 64;  // mountains
    else if (r >= 13 && r <= 15)
      speed = 16, loop = 32;
    else if (r >= 16 && r <= 19)
      speed = 32, loop = 24;
    else if (r >= 20)
      speed = std::min(64, 40 + (r - 20) * 8), loop = 8;
    back.rowSpeeds.push_back(speed < 0 ? OldDrift(-speed) : OldRowSpeed(speed));
    back.rowLoops.push_back(uint16_t(loop));
  }

  OldPlane ground;
  ground.map = bank.Cut(GroundPicture(c));
  bank.MarkSolid(ground.map);
  std::vector<Canvas> fronts;
  for (int frame = 0; frame < 3; ++frame) fronts.push_back(FrontPicture(c, frame));
  OldPlane front;
  front.map = bank.CutAnimated(fronts, {14, 10, 14});

  DemoLevel level;
  level.tiles.tiles = bank.Tiles();
  level.tiles.sets = {pal.Build(1, {0, 2, 10})};
  level.tileVersion = 0;
  level.oldLevel = EncodeLevelV0(back, ground, front, 340, false);
  return level;
}
