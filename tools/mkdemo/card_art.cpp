// card_art.cpp: the title card's sprites, drawn pixel by pixel in the
// card's colours (zlabel.pcx entries 0..15, installed in 64..79) and the
// global colours the fonts use.
#include "card_art.h"

#include <initializer_list>
#include <vector>

#include "fonts.h"

namespace {

// The card's sixteen colours: zlabel.pcx entries 0..15, installed in 64..79.
const Rgb kCardColours[16] = {{2, 3, 12},   {6, 8, 22},   {10, 16, 36}, {18, 30, 50},  // navy to light blue
                              {30, 44, 60}, {46, 56, 63}, {63, 63, 63},                // pale blue, ice, white
                              {6, 30, 40},  {14, 52, 60}, {36, 62, 63},                // teal, cyan, pale cyan
                              {28, 6, 34},  {46, 12, 48}, {62, 34, 58},                // purple, magenta, pink
                              {63, 36, 6},  {63, 58, 28}, {20, 8, 4}};                 // amber, gold, brown
constexpr uint8_t C(int i) { return uint8_t(64 + i); }
constexpr uint8_t kNavy = C(0), kBlue = C(2), kLightBlue = C(3), kPaleBlue = C(4), kIce = C(5), kWhite = C(6);
constexpr uint8_t kCyan = C(8), kPaleCyan = C(9), kPurple = C(10), kMagenta = C(11), kPink = C(12);
constexpr uint8_t kAmber = C(13), kGold = C(14);
constexpr uint8_t kRim = glob::kGrey;  // the near-black outline of the fonts

// A picture from rows of colour letters.
Canvas Picture(std::initializer_list<std::string_view> rows) {
  Canvas c(int(rows.begin()->size()), int(rows.size()));
  int y = 0;
  for (std::string_view row : rows) {
    for (size_t x = 0; x < row.size(); ++x) {
      uint8_t v = 0;
      switch (row[x]) {
        case 'K': v = kRim; break;
        case 'd': v = kBlue; break;
        case 'h': v = kPaleBlue; break;
        case 'H': v = kIce; break;
        case 'w': v = kWhite; break;
        case 'c': v = kCyan; break;
        case 'm': v = kMagenta; break;
        case 'f': v = kAmber; break;
        case 'F': v = kGold; break;
      }
      c.Set(int(x), y, v);
    }
    ++y;
  }
  return c;
}

// Navy over three pixels in four: the level glints through the fourth, yet
// the brightest clouds behind stay dark enough for the text.
bool Veiled(int x, int y) { return (x & 1) || (y & 1); }

}  // namespace

// The logo: the capitals of the small design, emboldened and doubled twice
// with corner smoothing, chrome-shaded (bright sky above a dark horizon line, a lighter
// floor below), bevelled on the upper left, outlined and shadowed.
Canvas CardLogo(std::string_view word) {
  constexpr int kGap = 4, kH = 28;
  std::vector<Canvas> letters;
  int w = 0;
  for (char ch : word) {
    // Emboldened: each inked pixel also inks the one to its right.
    Canvas bits(6, 7);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 6; ++x) bits.Set(x, y, GlyphInk(ch, x, y) || GlyphInk(ch, x - 1, y) ? 1 : 0);
    letters.push_back(Smooth2x(Smooth2x(bits)));
    w += letters.back().w + kGap;
  }
  Canvas ink(w - kGap + 4, kH + 4);
  int x0 = 1;
  for (const Canvas& l : letters) ink.Blit(l, x0, 1), x0 += l.w + kGap;
  static constexpr uint8_t kRows[kH] = {kWhite,    kWhite,    kIce,       kIce,       kIce,       kPaleCyan, kPaleCyan,
                                        kPaleCyan, kCyan,     kCyan,      kCyan,      kPaleBlue,  kPaleBlue, kBlue,
                                        kBlue,     kNavy,     kLightBlue, kLightBlue, kLightBlue, kPaleBlue, kPaleBlue,
                                        kPaleBlue, kPaleCyan, kPaleCyan,  kIce,       kIce,       kWhite,    kIce};
  Canvas logo(ink.w, ink.h);
  for (int y = 0; y < ink.h; ++y)
    for (int x = 0; x < ink.w; ++x) {
      if (!ink.Get(x, y)) continue;
      const bool edge = !ink.Get(x - 1, y - 1) && (!ink.Get(x - 1, y) || !ink.Get(x, y - 1));
      logo.Set(x, y, edge ? kWhite : kRows[y - 1]);
    }
  Outline(logo, ink, kRim);
  // The shadow falls two pixels down and right of the outlined shape.
  Canvas shadowed(logo.w + 2, logo.h + 2);
  for (int y = 0; y < logo.h; ++y)
    for (int x = 0; x < logo.w; ++x)
      if (logo.Get(x, y)) shadowed.Set(x + 2, y + 2, kNavy);
  shadowed.Blit(logo, 0, 0);
  return shadowed;
}

// The little ship of the world panel, nose to the right, engines lit.
Canvas CardShip() {
  // One row of the picture a line.
  // clang-format off
  return Picture({"..........KKKK..........",
                  ".........KcccwK.........",
                  "..KK....KccccwKK........",
                  ".KmmKKKKKhhhhhhHKK......",
                  "FKmhhhhhhhhhhhhhHHKK....",
                  "FFKhhhhhhhhhhhhhhhHHKK..",
                  "fFKddhhhhhhhhhhhhhhhhHK.",
                  "FFKddddddddddddddddddKK.",
                  "FKmddKKKKKKKKKKKKKKKK...",
                  ".KmmK...................",
                  "..KK....................",
                  "........................"});
  // clang-format on
}

// A panel's backdrop: the veil in a light frame with cyan corners.
Canvas CardBackdrop(int w, int h) {
  Canvas c(w, h);
  for (int y = 1; y < h - 1; ++y)
    for (int x = 1; x < w - 1; ++x)
      if (Veiled(x, y)) c.Set(x, y, kNavy);
  for (int x = 0; x < w; ++x) c.Set(x, 0, kLightBlue), c.Set(x, h - 1, kLightBlue);
  for (int y = 0; y < h; ++y) c.Set(0, y, kLightBlue), c.Set(w - 1, y, kLightBlue);
  for (int k = 0; k < 4; ++k) {
    c.Set(k, 0, kCyan), c.Set(0, k, kCyan), c.Set(w - 1 - k, 0, kCyan), c.Set(w - 1, k, kCyan);
    c.Set(k, h - 1, kCyan), c.Set(0, h - 1 - k, kCyan), c.Set(w - 1 - k, h - 1, kCyan), c.Set(w - 1, h - 1 - k, kCyan);
  }
  return c;
}

// The help strip along the bottom: the veil under a cyan edge.
Canvas CardStrip(int w, int h) {
  Canvas c(w, h);
  for (int y = 2; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (Veiled(x, y)) c.Set(x, y, kNavy);
  for (int x = 0; x < w; ++x) c.Set(x, 0, kCyan), c.Set(x, 1, kBlue);
  return c;
}

// The menu's highlight: a magenta bar with rounded ends and a gold marker.
Canvas CardBar(int w, int h) {
  Canvas c(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool corner = (y == 0 || y == h - 1) && (x == 0 || x == w - 1);
      if (corner) continue;
      uint8_t v = y == 0 ? kPink : y < 3 ? kMagenta : y < h - 3 ? (((x + y) & 1) ? kMagenta : kPurple) : kPurple;
      c.Set(x, y, v);
    }
  for (int k = 0; k < 3; ++k)  // a small arrowhead pointing at the text
    for (int j = -k; j <= k; ++j) c.Set(2 + (2 - k), h / 2 + j, kGold);
  return c;
}

std::array<Rgb, 256> CardSheetPalette() {
  // The file's first sixteen colours are the card's; the rest are the global
  // colours the sprites also use, and the card's again at 64..79 so the
  // sheet shows as the card will.
  std::array<Rgb, 256> palette = GlobalPalette();
  for (int i = 0; i < 16; ++i) palette[size_t(i)] = palette[size_t(64 + i)] = kCardColours[i];
  return palette;
}
