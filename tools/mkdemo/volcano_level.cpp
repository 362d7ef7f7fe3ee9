// volcano_level.cpp: level 4, riding a mine cage down a volcanic shaft.
// The walls are a V Lined plane: every pixel column is a slice of wall at
// its own depth, drawn at its own scale and drifting upwards at its own
// speed, so the two walls recede in perspective. Embers rise in V Tiled
// columns, the shaft's depths drift behind, and the cage stands still.
#include <algorithm>
#include <cmath>

#include "levels.h"
#include "scenery.h"

namespace {

constexpr int kWallRows = 16;    // the wall pattern repeats every 16 tiles
constexpr int kWallW = 41;       // tile columns across the screen
constexpr int kWallInner = 112;  // the left wall ends here; the right starts at 320 - this

struct VolcanoColours {
  Ramp rock, lava, wall, metal, wood;
  std::vector<uint8_t> embers;
  uint8_t rim, lantern, lanternGlow;
};

VolcanoColours MakePalette(PaletteBuilder& pal) {
  VolcanoColours c;
  c.rock = pal.AddStops({{3, 1, 2}, {10, 3, 3}, {18, 6, 4}, {28, 11, 6}, {36, 15, 8}}, 6);
  // Magma in the cracks: a run of colours rotating, so the veins flow.
  c.lava =
      pal.AddStops({{38, 5, 0}, {56, 16, 0}, {63, 34, 4}, {63, 52, 16}, {63, 62, 42}, {63, 50, 14}, {58, 24, 2}}, 7);
  pal.Rotate(c.lava.front(), c.lava.back(), 4);
  c.wall = pal.AddStops({{2, 1, 3}, {9, 4, 6}, {18, 8, 9}, {30, 14, 11}, {44, 23, 14}, {58, 36, 20}}, 9);
  c.rim = pal.Add({63, 42, 12});
  for (int i = 0; i < 4; ++i)
    c.embers.push_back(pal.AddCycle({{63, 58, 34}, {63, 40, 10}, {52, 20, 4}, {63, 40, 10}},
                                    {uint8_t(3 + i), uint8_t(2 + i % 2), uint8_t(4 + i), 2}));
  c.metal = pal.AddStops({{6, 6, 10}, {16, 15, 20}, {30, 28, 32}, {46, 44, 46}}, 4);
  c.wood = pal.AddStops({{12, 6, 3}, {22, 12, 6}, {34, 20, 10}, {46, 30, 16}}, 4);
  c.lantern = pal.AddCycle({{63, 54, 24}, {58, 42, 14}, {63, 60, 34}, {60, 48, 18}}, {4, 6, 2, 5});
  c.lanternGlow = pal.Add({42, 22, 8});
  return c;
}

// The depths: dark rock with glowing cracks, repeating every 128 pixels both
// ways; the plane is 64 rows tall, so the pattern is laid four times down it.
Canvas DepthsPicture(const VolcanoColours& c) {
  Canvas d(16 * 8, 64 * 8);
  for (int y = 0; y < d.h; ++y)
    for (int x = 0; x < d.w; ++x) {
      float u = x / 128.0f, v = float(y % 128) / 128.0f;
      float n = TileFbm(u, v, 4, 4, 4, 501);
      // A crack runs where a second noise crosses its middle.
      float crack = std::abs(TileFbm(u, v, 6, 6, 3, 502) - 0.5f);
      uint8_t px = RampAt(c.rock, std::clamp((n - 0.35f) * 1.3f, 0.0f, 1.0f), x, y);
      if (crack < 0.014f)
        px = c.lava[size_t(int(n * 20 + y / 6) % int(c.lava.size()))];
      else if (crack < 0.026f)
        px = c.rock.back();
      d.Set(x, y, px);
    }
  return d;
}

// Depth of the wall seen in screen column x: 1 at the screen edges, 4 where
// the walls end; 0 for the open middle.
float WallDepth(int x) {
  int from = x < 160 ? x : 319 - x;
  if (from >= kWallInner) return 0;
  return 1.0f / (1.0f - 0.75f * float(from) / kWallInner);
}

// Stone courses in one wall loop at depth z. For the picture to hold
// together as it drifts, every column must move its courses at the same
// rate: its speed is 480 / courses, so only divisors of 480 are used.
int CoursesAt(float z) {
  static const int kAllowed[] = {4, 5, 6, 8, 10, 12, 15, 16};
  int best = 4;
  for (int n : kAllowed)
    if (std::abs(n - 4 * z) < std::abs(best - 4 * z)) best = n;
  return best;
}
constexpr int kVanishY = 100;  // courses converge on this screen row

// The walls: each pixel column is drawn at its own depth, stone courses and
// joints shrinking with distance and converging on the vanishing row. One
// spare tile row repeats the first, as the lined renderer reads one tile
// past the loop at the bottom.
Canvas WallPicture(const VolcanoColours& c) {
  Canvas w(kWallW * 8, (kWallRows + 1) * 8);
  const int period = kWallRows * 8;
  for (int x = 0; x < 320; ++x) {
    float z = WallDepth(x);
    if (z == 0) continue;
    int courses = CoursesAt(z);
    float along = z * 2.0f;  // distance along the wall, in stone lengths
    float nextAlong = WallDepth(x < 160 ? x + 1 : x - 1) * 2.0f;
    bool innerEdge = WallDepth(x < 160 ? x + 1 : x - 1) == 0;
    float light = 1.0f - (z - 1) / 3.0f;  // nearer is lighter
    for (int y = 0; y < period; ++y) {
      // Course coordinate (y - vanish) x courses / period, kept non-negative.
      int num = (y - kVanishY + period) * courses;
      int course = num / period % courses;
      float inCourse = float(num % period) / float(period);
      float shift = (course % 2) * 0.5f;
      bool joint = int(along + shift) != int(nextAlong + shift) || inCourse > 1.0f - 1.2f * courses / period;
      float stone = Hash01(int(along + shift), course, 511);
      float t = 0.05f + 0.7f * light * light + 0.2f * (stone - 0.5f) - 0.25f * inCourse;
      if (inCourse < 0.12f) t += 0.2f;  // the top of each course catches the glow
      t += (TileNoise(x / 320.0f, float(y) / period, 40, 16, 512) - 0.5f) * 0.3f;
      uint8_t v = joint ? c.wall[0] : RampAt(c.wall, std::clamp(t, 0.0f, 1.0f), x, y);
      if (innerEdge) v = c.rim;
      w.Set(x, y, v);
    }
    for (int y = period; y < w.h; ++y) w.Set(x, y, w.Get(x, y - period));
  }
  return w;
}

// Embers: a few glowing sparks per column, each flickering through three
// frames; the column lengths differ, so the rising sparks never line up.
struct EmberColumns {
  std::vector<Canvas> frames;
  std::vector<int> loops;
};

EmberColumns EmberPicture(const VolcanoColours& c) {
  constexpr int kRows = 40;
  EmberColumns e;
  Rng rng(521);
  for (int col = 0; col < kWallW; ++col) e.loops.push_back(rng.Range(20, kRows));
  for (int f = 0; f < 3; ++f) e.frames.emplace_back(kWallW * 8, kRows * 8);
  for (int col = 0; col < kWallW; ++col) {
    int sparks = rng.Range(1, 3);
    for (int k = 0; k < sparks; ++k) {
      int x = col * 8 + rng.Range(1, 5), y = rng.Range(0, e.loops[size_t(col)] - 1) * 8 + rng.Range(1, 5);
      int big = rng.Range(0, 3) == 0;
      for (int f = 0; f < 3; ++f) {
        uint8_t hot = c.embers[size_t((k + col) % 4)];
        Canvas& cv = e.frames[size_t(f)];
        cv.Set(x, y, hot);
        // The spark's glow grows and shrinks as it flickers.
        if (big || f == 1) cv.Set(x + 1, y, c.lava[1]), cv.Set(x, y + 1, c.lava[1]);
        if (big && f != 2) cv.Set(x - 1, y, c.lava[0]), cv.Set(x, y - 1, c.lava[0]), cv.Set(x + 1, y + 1, c.lava[0]);
        if (f == 0) cv.Set(x, y + 2, c.lava[0]);  // a faint trail below
      }
    }
  }
  return e;
}

// The cage we ride: a platform with rails and chains, crates and a lantern.
Canvas CagePicture(const VolcanoColours& c) {
  Canvas g(kWallW * 8, 26 * 8);
  const int deck = 168;
  for (int x = 84; x < 236; ++x) {
    g.Set(x, deck, c.wood[3]);
    for (int y = deck + 1; y < deck + 6; ++y)
      g.Set(x, y, (x % 12 == 0) ? c.wood[0] : RampAt(c.wood, 0.7f - (y - deck) * 0.1f, x, y));
    g.Set(x, deck + 6, c.metal[1]), g.Set(x, deck + 7, c.metal[0]);
    g.Set(x, deck - 22, c.metal[2]), g.Set(x, deck - 21, c.metal[1]);  // rail
  }
  for (int x = 84; x < 236; x += 19)
    g.FillRect(x, deck - 22, 2, 22, c.metal[1]), g.FillRect(x, deck - 22, 1, 22, c.metal[3]);
  g.FillRect(234, deck - 22, 2, 22, c.metal[1]);
  // Chains up out of sight, link by link.
  for (int cx : {92, 228})
    for (int y = 0; y < deck - 22; ++y) {
      bool open = (y / 4) % 2 == 0;
      g.Set(cx, y, c.metal[open ? 2 : 1]);
      if (open) g.Set(cx + 1, y, c.metal[y % 4 == 0 ? 3 : 1]), g.Set(cx - 1, y, c.metal[0]);
    }
  // Crates.
  for (auto [x, y, s] : {std::tuple{120, deck - 20, 20}, {140, deck - 14, 14}, {186, deck - 16, 16}}) {
    for (int j = 0; j < s; ++j)
      for (int i = 0; i < s; ++i) {
        bool edge = i < 2 || j < 2 || i >= s - 2 || j >= s - 2 || i == j || i == s - 1 - j;
        g.Set(x + i, y + j,
              edge ? c.wood[i < 2 || j < 2 ? 3 : 1] : RampAt(c.wood, 0.45f + 0.1f * ((j / 3) % 2), x + i, y + j));
      }
  }
  // A lantern hanging from the rail, and its glow.
  g.FillRect(166, deck - 21, 1, 8, c.metal[2]);
  g.FillRect(163, deck - 13, 7, 2, c.metal[1]);
  g.FillRect(164, deck - 11, 5, 6, c.lantern);
  g.FillRect(163, deck - 5, 7, 1, c.metal[1]);
  FillDisc(g, 166.5f, deck - 8, 9,
           [&](int x, int y) { return !g.Get(x, y) && Bayer(x, y) < 0.25f ? c.lanternGlow : uint8_t(0); });
  // A pick leaning on the rail.
  DrawLine(g, 210, deck - 1, 222, deck - 26, c.wood[2]);
  DrawLine(g, 216, deck - 28, 228, deck - 22, c.metal[3]);
  return g;
}

}  // namespace

DemoLevel BuildVolcanoLevel() {
  PaletteBuilder pal(64, {6, 1, 1});
  VolcanoColours c = MakePalette(pal);
  TileBank bank;

  // The depths drift up slowly behind everything.
  PlaneDef depths = MakePlane(kRelative, bank.Cut(DepthsPicture(c)));
  depths.loops = {16};
  depths.speeds = {16};
  depths.otherLoop = 64;
  depths.otherSpeed = 128 + 6;

  PlaneDef walls = MakePlane(kVLined, bank.Cut(WallPicture(c)));
  walls.otherLoop = kWallW;
  walls.otherSpeed = 0;
  for (int x = 0; x < kWallW * 8; ++x) {
    float z = x < 320 ? WallDepth(x) : 0;
    // Nearer columns slide past faster: the drift is inversely as the depth.
    walls.speeds.push_back(z == 0 ? 0 : uint8_t(128 + 480 / CoursesAt(z)));
    walls.loops.push_back(kWallRows);
  }

  EmberColumns e = EmberPicture(c);
  PlaneDef embers = MakePlane(kVTiled, bank.CutAnimated(e.frames, {3, 4, 3}));
  embers.otherLoop = kWallW;
  embers.otherSpeed = 16;
  for (int col = 0; col < kWallW; ++col) {
    embers.loops.push_back(e.loops[size_t(col)]);
    embers.speeds.push_back(uint8_t(128 + 60 + (col * 37) % 60));
  }

  PlaneDef cage = MakePlane(kFlat, bank.Cut(CagePicture(c)));

  depths.priority = 4, walls.priority = 3, embers.priority = 2, cage.priority = 1;
  DemoLevel level;
  level.tiles.tiles = bank.Tiles();
  level.tiles.sets = {pal.Build(1, {8, 0, 0})};
  level.tileVersion = 2;
  level.planes = {depths, walls, embers, cage};
  return level;
}
