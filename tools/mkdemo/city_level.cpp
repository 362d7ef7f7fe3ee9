// city_level.cpp: level 3, a city at night, stored in the version-1 layouts:
// a counted tile set with two palette sets (night and dawn, same slots) and
// a level of two H Tiled planes (sky, skyline) and two Flat planes (street
// and street furniture). Neon signs flicker, marquee bulbs chase round a
// cinema sign, stars twinkle and thin clouds drift past the moon.
#include <algorithm>
#include <cmath>

#include "levels.h"
#include "scenery.h"

namespace {

constexpr int kBackW = 512, kH = 208;  // sky and skyline: 64 x 26 tiles
constexpr int kFlatW = 1024;           // street planes: 128 x 26 tiles
constexpr int kKerb = 176;             // top of the sidewalk
constexpr int kRoad = 186;

struct CityColours {
  Ramp sky, stars, moon, cloud, far, farLit, mid, midLit, brick, concrete, lit, sidewalk, road, post, bulbs;
  uint8_t antenna, tv, mortar, darkWindow, frame, pink, pinkGlow, cyan, cyanGlow, marquee, letter, kerb, lane, lamp,
      lampGlow, awning, hydrant;
};

// Night and dawn hand out the same slots in the same order; only colours differ.
CityColours MakePalette(PaletteBuilder& pal, bool dawn) {
  CityColours c;
  auto pick = [dawn](Rgb night, Rgb day) { return dawn ? day : night; };
  c.sky = dawn ? pal.AddStops({{16, 20, 44}, {34, 28, 50}, {56, 34, 42}, {63, 48, 34}, {63, 58, 44}}, 12)
               : pal.AddStops({{1, 1, 8}, {5, 3, 17}, {14, 6, 27}, {28, 9, 33}, {42, 16, 36}}, 12);
  for (int i = 0; i < 4; ++i) {
    // Stars twinkle out of step with each other.
    Rgb on = pick({52, 54, 63}, {40, 36, 48}), dim = pick({22, 22, 36}, {30, 28, 44});
    uint8_t d = uint8_t(20 + i * 13);
    c.stars.push_back(dawn ? pal.Add(dim) : pal.AddCycle({dim, on, {63, 63, 63}, on}, {d, uint8_t(d / 2), 2, 6}));
  }
  c.moon = pal.AddStops(
      {pick({26, 24, 40}, {44, 36, 46}), pick({44, 44, 46}, {54, 48, 50}), pick({62, 62, 56}, {60, 58, 56})}, 4);
  c.cloud = pal.AddStops(
      {pick({10, 6, 22}, {46, 32, 44}), pick({20, 12, 32}, {58, 42, 44}), pick({36, 26, 44}, {63, 54, 48})}, 3);
  c.far = pal.AddStops({pick({8, 5, 20}, {30, 24, 44}), pick({12, 8, 26}, {36, 28, 48})}, 3);
  c.farLit = pal.AddStops({pick({36, 30, 16}, {30, 26, 44}), pick({52, 44, 22}, {34, 28, 46})}, 2);
  c.antenna = dawn ? pal.Add({40, 20, 30}) : pal.AddCycle({{63, 8, 8}, {16, 2, 4}}, {24, 40});
  c.mid = pal.AddStops(
      {pick({4, 3, 13}, {22, 18, 36}), pick({9, 7, 19}, {28, 22, 40}), pick({15, 11, 26}, {34, 28, 46})}, 4);
  c.midLit = pal.AddStops({pick({54, 40, 18}, {24, 20, 38}), pick({62, 54, 28}, {28, 24, 42})}, 3);
  c.tv = dawn ? pal.Add({24, 20, 38})
              : pal.AddCycle({{18, 28, 50}, {32, 46, 62}, {14, 22, 42}, {26, 38, 58}}, {5, 2, 9, 3});
  c.brick = pal.AddStops(
      {pick({18, 7, 10}, {36, 18, 18}), pick({32, 13, 13}, {48, 26, 22}), pick({50, 25, 18}, {58, 38, 28})}, 4);
  c.mortar = pal.Add(pick({12, 7, 12}, {30, 22, 26}));
  c.concrete = pal.AddStops(
      {pick({12, 12, 20}, {30, 30, 40}), pick({22, 22, 30}, {40, 40, 48}), pick({40, 40, 48}, {54, 52, 56})}, 4);
  c.lit = pal.AddStops(
      {pick({40, 26, 14}, {22, 22, 32}), pick({58, 46, 24}, {28, 28, 38}), pick({63, 58, 38}, {34, 34, 44})}, 3);
  c.darkWindow = pal.Add(pick({5, 5, 12}, {20, 22, 32}));
  c.frame = pal.Add(pick({24, 22, 32}, {40, 38, 44}));
  // Neon: the pink sign stutters now and then; the cyan one hums steadily.
  c.pink = dawn ? pal.Add({34, 16, 28})
                : pal.AddCycle({{63, 22, 52}, {22, 6, 18}, {63, 22, 52}, {22, 6, 18}}, {120, 3, 5, 2});
  c.pinkGlow =
      dawn ? pal.Add({30, 20, 28}) : pal.AddCycle({{36, 8, 30}, {10, 4, 10}, {36, 8, 30}, {10, 4, 10}}, {120, 3, 5, 2});
  c.cyan = pal.Add(pick({24, 62, 63}, {22, 34, 40}));
  c.cyanGlow = pal.Add(pick({8, 30, 38}, {26, 32, 40}));
  // Marquee bulbs: one bright among three dim, rotated round the sign.
  c.bulbs = {pal.Add(pick({63, 62, 34}, {40, 36, 30})), pal.Add(pick({40, 28, 8}, {36, 30, 28})),
             pal.Add(pick({40, 28, 8}, {36, 30, 28})), pal.Add(pick({40, 28, 8}, {36, 30, 28}))};
  pal.Rotate(c.bulbs.front(), c.bulbs.back(), 5);
  c.marquee = pal.Add(pick({38, 5, 10}, {44, 20, 22}));
  c.letter = pal.Add(pick({62, 60, 50}, {58, 56, 52}));
  c.awning = pal.Add(pick({8, 26, 22}, {20, 40, 36}));
  c.sidewalk = pal.AddStops({pick({16, 14, 22}, {36, 34, 40}), pick({28, 26, 34}, {46, 44, 48})}, 3);
  c.kerb = pal.Add(pick({40, 38, 44}, {54, 52, 54}));
  c.road = pal.AddStops({pick({4, 4, 8}, {22, 22, 28}), pick({10, 10, 15}, {28, 28, 34})}, 3);
  c.lane = pal.Add(pick({50, 46, 28}, {56, 54, 40}));
  c.post = pal.AddStops(
      {pick({6, 8, 14}, {18, 20, 26}), pick({18, 20, 28}, {30, 32, 38}), pick({32, 34, 42}, {44, 46, 50})}, 3);
  c.lamp = pal.Add(pick({63, 63, 50}, {44, 44, 40}));
  c.lampGlow = pal.Add(pick({44, 38, 26}, {40, 38, 40}));
  c.hydrant = pal.Add(pick({50, 10, 10}, {52, 20, 18}));
  return c;
}

// 5x7 capitals for the signs, one string of seven rows each.
const char* Glyph(char ch) {
  switch (ch) {
    case 'A': return ".###.#...##...#######...##...##...#";
    case 'B': return "####.#...##...#####.#...##...#####.";
    case 'C': return ".#####....#....#....#....#.....####";
    case 'E': return "######....#....####.#....#....#####";
    case 'H': return "#...##...##...#######...##...##...#";
    case 'I': return "#####..#....#....#....#....#..#####";
    case 'L': return "#....#....#....#....#....#....#####";
    case 'M': return "#...###.###.#.##.#.##...##...##...#";
    case 'N': return "#...###..##.#.##..###...##...##...#";
    case 'O': return ".###.#...##...##...##...##...#.###.";
    case 'P': return "####.#...##...#####.#....#....#....";
    case 'R': return "####.#...##...#####.#.#..#..#.#...#";
    case 'T': return "#####..#....#....#....#....#....#..";
    default: return nullptr;
  }
}

// Writes text in 5x7 letters; the glow colour rings each stroke (neon).
void Sign(Canvas& c, const char* text, int x, int y, bool vertical, uint8_t ink, uint8_t glow) {
  for (int k = 0; text[k]; ++k) {
    const char* g = Glyph(text[k]);
    int gx = vertical ? x : x + k * 7, gy = vertical ? y + k * 9 : y;
    if (!g) continue;
    for (int j = 0; j < 7; ++j)
      for (int i = 0; i < 5; ++i) {
        if (g[j * 5 + i] != '#') continue;
        if (glow)
          for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
              if (c.Get(gx + i + dx, gy + j + dy) != ink) c.Set(gx + i + dx, gy + j + dy, glow);
        c.Set(gx + i, gy + j, ink);
      }
  }
}

Canvas SkyPicture(const CityColours& c) {
  Canvas sky(kBackW, kH);
  SkyGradient(sky, 0, 140, c.sky);
  sky.FillRect(0, 140, kBackW, kH - 140, c.sky.back());
  // Stars thin out towards the glow of the city.
  Rng rng(301);
  for (int k = 0; k < 150; ++k) {
    int x = rng.Range(0, kBackW - 1), y = int(rng.Unit() * rng.Unit() * 110);
    if (y >= 64 && y < 88) continue;  // the cloud rows
    sky.Set(x, y, c.stars[size_t(k % 4)]);
    if (k % 11 == 0) sky.Set(x + 1, y, c.stars[size_t((k + 1) % 4)]), sky.Set(x, y + 1, c.stars[size_t((k + 2) % 4)]);
  }
  // The moon: a glowing disc with a few darker seas.
  const float mx = 248, my = 34;
  FillDisc(sky, mx, my, 19, [&](int x, int y) { return Bayer(x, y) < 0.5f ? c.moon[0] : uint8_t(0); });
  FillDisc(sky, mx, my, 15, [&](int x, int y) {
    float d = std::hypot(x + 0.5f - mx + 4, y + 0.5f - my + 4) / 22.0f;
    uint8_t v = RampAt({c.moon[3], c.moon[2]}, d * 1.4f - 0.2f, x, y);
    float n = TileNoise(x / 32.0f, y / 32.0f, 5, 5, 7);
    return n > 0.62f ? c.moon[1] : v;
  });
  // Thin clouds in their own drifting rows.
  Canvas strip(384, kH);
  strip.wrapX = true;
  SkyGradient(strip, 0, 140, c.sky);
  CloudBank(strip, 64, 88, 6, {c.cloud[0], c.cloud[1]}, c.cloud[2], 303);
  for (int y = 64; y < 88; ++y)
    for (int x = 0; x < kBackW; ++x) sky.Set(x, y, strip.Get(x, y));
  return sky;
}

// One skyline band of `loop` tiles: blocks of buildings with sparse windows.
Canvas SkylineStrip(int loop, int y0, int y1, const Ramp& body, const Ramp& lit, uint8_t extra, uint8_t antenna,
                    uint32_t seed) {
  Canvas s(loop * 8, kH);
  s.wrapX = true;
  Rng rng(seed);
  s.FillRect(0, y1 - 8, s.w, 8, body[0]);
  for (int x = 0; x < s.w;) {
    int w = rng.Range(14, 34), top = rng.Range(y0 + 2, y0 + (y1 - y0) / 2);
    uint8_t col = body[size_t(rng.Range(0, int(body.size()) - 1))];
    s.FillRect(x, top, w - 1, y1 - top, col);
    if (rng.Range(0, 3) == 0) {  // a stepped top or a spire
      s.FillRect(x + w / 4, top - 6, w / 2, 6, col);
      s.FillRect(x + w / 2 - 1, top - 14, 1, 8, col);
      s.Set(x + w / 2 - 1, top - 15, antenna);
    }
    for (int wy = top + 3; wy < y1 - 4; wy += 4)
      for (int wx = x + 2; wx < x + w - 3; wx += 3) {
        float r = rng.Unit();
        if (r < 0.18f)
          s.Set(wx, wy, lit[size_t(rng.Range(0, int(lit.size()) - 1))]);
        else if (r < 0.2f)
          s.Set(wx, wy, extra);
      }
    x += w;
  }
  return s;
}

Canvas SkylinePicture(const CityColours& c) {
  Canvas sky(kBackW, kH);
  Canvas far = SkylineStrip(48, 80, 136, c.far, c.farLit, c.farLit[0], c.antenna, 401);
  Canvas mid = SkylineStrip(32, 136, 176, c.mid, c.midLit, c.tv, c.antenna, 402);
  // Far band rows 10-16, near band rows 17-21 drawn over the far band's base.
  for (int y = 80; y < 136; ++y)
    for (int x = 0; x < kBackW; ++x) sky.Set(x, y, far.Get(x, y));
  for (int y = 136; y < 176; ++y)
    for (int x = 0; x < kBackW; ++x) sky.Set(x, y, mid.Get(x, y) ? mid.Get(x, y) : c.far[0]);
  sky.FillRect(0, 176, kBackW, kH - 176, c.mid[0]);
  return sky;
}

// A window 16x16 cell: lit (with a crossbar and sometimes a blind), dark or TV-lit.
void Window(Canvas& f, const CityColours& c, int x, int y, int kind) {
  f.FillRect(x + 2, y + 2, 12, 12, c.frame);
  for (int j = 3; j < 13; ++j)
    for (int i = 3; i < 13; ++i) {
      uint8_t v = kind == 0 ? c.darkWindow : kind == 3 ? c.tv : RampAt(c.lit, 1.0f - (j - 3) / 14.0f, x + i, y + j);
      if (kind == 2 && j < 7) v = c.lit[0];  // half-drawn blind
      f.Set(x + i, y + j, v);
    }
  f.FillRect(x + 8, y + 3, 1, 10, c.frame);
  f.FillRect(x + 3, y + 8, 10, 1, c.frame);
  f.FillRect(x + 1, y + 14, 14, 1, c.concrete[2]);  // sill
}

// A building of brick or concrete from x0 to x1 (multiples of 16) with its top at y.
void Building(Canvas& f, const CityColours& c, int x0, int x1, int top, bool brick, uint32_t seed) {
  if (brick)
    Bricks(f, x0, top, x1 - x0, kKerb - top, 8, 4, c.brick, c.mortar, 5);
  else
    for (int y = top; y < kKerb; ++y)
      for (int x = x0; x < x1; ++x) {
        // Concrete panels: a seam down every 16 pixels and along every floor.
        float t = 0.45f - 0.15f * float((y - top) % 16) / 16.0f;
        if ((x & 15) == 0 || (y - top) % 16 == 0) t = 0.1f;
        if ((x & 15) == 1) t += 0.2f;
        f.Set(x, y, RampAt(c.concrete, t, x, y));
      }
  f.FillRect(x0 - 2, top, x1 - x0 + 4, 3, c.concrete[3]);  // cornice
  f.FillRect(x0 - 2, top + 3, x1 - x0 + 4, 1, c.concrete[0]);
  Rng rng(seed);
  for (int y = top + 8; y + 16 <= kKerb - 32; y += 16)
    for (int x = x0; x + 16 <= x1; x += 16) {
      float r = rng.Unit();
      Window(f, c, x, y, r < 0.45f ? 0 : r < 0.8f ? 1 : r < 0.92f ? 2 : 3);
    }
}

void Lamp(Canvas& f, const CityColours& c, int x) {
  f.FillRect(x - 1, 104, 3, kKerb + 4 - 104, c.post[1]);
  f.FillRect(x - 1, 104, 1, kKerb + 4 - 104, c.post[2]);
  f.FillRect(x - 3, kKerb, 7, 4, c.post[0]);
  f.FillRect(x - 2, 140, 5, 3, c.post[2]);
  for (int i = 0; i < 14; ++i) f.Set(x + i, 102 - (i < 4 ? i / 2 : 2), c.post[1]);  // arm
  f.FillRect(x + 10, 100, 9, 3, c.post[0]);
  f.FillRect(x + 11, 103, 7, 2, c.lamp);
  // A soft halo round the lamp and a pool of light on the pavement below.
  FillDisc(f, x + 14.5f, 104, 7,
           [&](int xx, int yy) { return !f.Get(xx, yy) && Bayer(xx, yy) < 0.3f ? c.lampGlow : uint8_t(0); });
  FillEllipse(f, x + 14.5f, kKerb + 5, 16, 4, [&](int xx, int yy) {
    float d = std::abs(xx + 0.5f - x - 14.5f) / 16.0f;
    return Bayer(xx, yy) < 0.6f - 0.5f * d ? c.sidewalk.back() : uint8_t(0);
  });
}

// frame 1 is the same street with the failing neon out: the hotel sign's
// last letter and the OPEN sign (tile animation, seen in the editor).
Canvas StreetPicture(const CityColours& c, int frame) {
  Canvas f(kFlatW, kH);
  // Sidewalk, kerb and road with lane dashes along the whole street.
  for (int x = 0; x < kFlatW; ++x) {
    for (int y = kKerb; y < kRoad - 2; ++y)
      f.Set(x, y, (x % 24 == 0) ? c.sidewalk[0] : RampAt(c.sidewalk, 0.3f + 0.3f * (y - kKerb) / 8.0f, x, y));
    f.Set(x, kRoad - 2, c.kerb), f.Set(x, kRoad - 1, c.sidewalk[0]);
    for (int y = kRoad; y < kH; ++y) f.Set(x, y, RampAt(c.road, 0.4f + 0.4f * Hash01(x & 31, y & 31, 8) - 0.2f, x, y));
    if ((x / 16) % 2 == 0) f.Set(x, 194, c.lane), f.Set(x, 195, c.lane);
  }
  // The bar: brick, a green awning and pink neon.
  Building(f, c, 0, 96, 112, true, 11);
  f.FillRect(8, kKerb - 28, 24, 28, c.darkWindow);  // doorway
  f.FillRect(40, kKerb - 26, 48, 20, c.lit[1]);     // shop window
  f.FillRect(40, kKerb - 26, 48, 2, c.frame);
  for (int x = 36; x < 94; ++x)
    for (int y = kKerb - 36; y < kKerb - 30; ++y) f.Set(x, y, ((x / 4) % 2) ? c.awning : c.concrete[3]);
  Sign(f, "BAR", 10, kKerb - 44, false, c.pink, c.pinkGlow);
  // The hotel: tall concrete, a vertical cyan sign.
  Building(f, c, 120, 200, 40, false, 12);
  f.FillRect(104, 56, 11, 52, c.darkWindow);
  f.FillRect(115, 60, 5, 2, c.post[1]), f.FillRect(115, 100, 5, 2, c.post[1]);  // brackets
  Sign(f, frame ? "HOTE" : "HOTEL", 107, 60, true, c.cyan, c.cyanGlow);
  if (frame) Sign(f, "    L", 107, 60, true, c.frame, 0);
  f.FillRect(144, kKerb - 30, 32, 30, c.lit[0]);
  f.FillRect(159, kKerb - 30, 2, 30, c.frame);
  // The cinema: a marquee ringed with chasing bulbs.
  Building(f, c, 224, 320, 120, true, 13);
  f.FillRect(226, 128, 92, 20, c.marquee);
  // Bulbs every three pixels round the sign; the rotating colours chase.
  int bulb = 0;
  auto put = [&](int x, int y) { f.FillRect(x, y, 2, 2, c.bulbs[size_t(bulb++ % 4)]); };
  for (int x = 226; x < 316; x += 3) put(x, 128);
  for (int y = 128; y < 146; y += 3) put(316, y);
  for (int x = 316; x > 226; x -= 3) put(x, 146);
  for (int y = 146; y > 128; y -= 3) put(226, y);
  Sign(f, "CINEMA", 251, 134, false, c.letter, 0);
  f.FillRect(240, kKerb - 28, 64, 28, c.lit[2]);
  for (int x = 240; x < 304; x += 16) f.FillRect(x, kKerb - 28, 2, 28, c.frame);
  // Further down the street, plainer blocks for the editor to scroll to.
  Rng rng(14);
  for (int x = 336; x + 64 < kFlatW;) {
    int w = 16 * rng.Range(4, 7);
    // Draws named one by one: the order of a call's arguments is the compiler's.
    const bool lit = rng.Range(0, 1) == 0;
    const int height = 16 * rng.Range(1, 6);
    Building(f, c, x, x + w, height, lit, uint32_t(x));
    x += w + 16 * rng.Range(1, 2);
  }
  Sign(f, "OPEN", 352, kKerb - 20, false, frame ? c.frame : c.pink, frame ? 0 : c.pinkGlow);
  return f;
}

Canvas FurniturePicture(const CityColours& c) {
  Canvas f(kFlatW, kH);
  for (int x : {56, 200, 296, 440, 600, 760, 920}) Lamp(f, c, x);
  // A fire hydrant and a litter bin.
  f.FillRect(258, kKerb - 10, 6, 10, c.hydrant);
  f.FillRect(256, kKerb - 7, 10, 2, c.hydrant);
  f.FillRect(259, kKerb - 12, 4, 2, c.hydrant);
  f.FillRect(100, kKerb - 12, 9, 12, c.post[0]);
  f.FillRect(100, kKerb - 12, 9, 1, c.post[2]);
  return f;
}

}  // namespace

DemoLevel BuildCityLevel() {
  PaletteBuilder night(128, {1, 1, 8}), dawn(128, {16, 20, 44});
  CityColours c = MakePalette(night, false);
  MakePalette(dawn, true);
  TileBank bank;

  OldPlane sky;
  sky.map = bank.Cut(SkyPicture(c));
  OldPlane skyline;
  skyline.map = bank.Cut(SkylinePicture(c));
  for (int r = 0; r < kH / 8; ++r) {
    // Old units: 1 -> 2/64 (the stars barely move), 26 -> drifting 133, 6 -> 16/64, 12 -> 32/64.
    bool cloudRow = r >= 8 && r < 11, moonRow = r < 7;
    sky.rowSpeeds.push_back(cloudRow ? 26 : moonRow ? 0 : 1);
    sky.rowLoops.push_back(uint16_t(cloudRow ? 48 : 64));
    skyline.rowSpeeds.push_back(r < 17 ? 6 : 12);
    skyline.rowLoops.push_back(uint16_t(r < 17 ? 48 : 32));
  }
  sky.otherLoop = skyline.otherLoop = uint16_t(kH / 8);
  OldPlane street;
  street.map = bank.CutAnimated({StreetPicture(c, 0), StreetPicture(c, 1)}, {90, 12});
  bank.MarkSolid(street.map);
  OldPlane furniture;
  furniture.map = bank.Cut(FurniturePicture(c));

  DemoLevel level;
  level.tiles.tiles = bank.Tiles();
  level.tiles.sets = {night.Build(0, {}), dawn.Build(0, {})};
  level.tileVersion = 1;
  level.oldLevel = EncodeLevelV1(sky, skyline, street, furniture, 340);
  return level;
}
