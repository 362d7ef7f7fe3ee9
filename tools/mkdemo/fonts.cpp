// fonts.cpp: the demo's fonts. Every character is designed below on a 6x8
// grid; the small fonts outline each design in black so it reads over any
// level, and the title font doubles the capitals and digits with corner
// smoothing and a gold gradient.
#include "fonts.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

// Eight glyphs to a block, each row a line of 6-character tokens, '#' ink.
// Capitals and digits stand on rows 0..6; row 7 holds the descenders.
struct GlyphBlock {
  std::string_view chars;
  std::string_view rows[8];
};

constexpr GlyphBlock kGlyphs[] = {
    {" !\"#$%&'",
     {"...... ..#... .#.#.. .#.#.. ..#... ##.... .##... ..#...",
      "...... ..#... .#.#.. .#.#.. .####. ##..#. #..#.. ..#...",
      "...... ..#... ...... #####. #.#... ...#.. #.#... .#....",
      "...... ..#... ...... .#.#.. .###.. ..#... .#.... ......",
      "...... ..#... ...... #####. ..#.#. .#.... #.#.#. ......",
      "...... ...... ...... .#.#.. ####.. #..##. #..#.. ......",
      "...... ..#... ...... .#.#.. ..#... ...##. .##.#. ......",
      "...... ...... ...... ...... ...... ...... ...... ......"}},
    {"()*+,-./",
     {"...#.. .#.... ...... ...... ...... ...... ...... ....#.",
      "..#... ..#... #.#.#. ..#... ...... ...... ...... ....#.",
      ".#.... ...#.. .###.. ..#... ...... ...... ...... ...#..",
      ".#.... ...#.. #####. #####. ...... .###.. ...... ..#...",
      ".#.... ...#.. .###.. ..#... ...... ...... ...... .#....",
      "..#... ..#... #.#.#. ..#... .##... ...... .##... #.....",
      "...#.. .#.... ...... ...... ..#... ...... .##... #.....",
      "...... ...... ...... ...... .#.... ...... ...... ......"}},
    {"01234567",
     {".###.. ..#... .###.. .###.. ...#.. #####. ..##.. #####.",
      "#...#. .##... #...#. #...#. ..##.. #..... .#.... ....#.",
      "#..##. #.#... ....#. ....#. .#.#.. ####.. #..... ...#..",
      "#.#.#. ..#... ...#.. ..##.. #..#.. ....#. ####.. ..#...",
      "##..#. ..#... ..#... ....#. #####. ....#. #...#. ..#...",
      "#...#. ..#... .#.... #...#. ...#.. #...#. #...#. ..#...",
      ".###.. #####. #####. .###.. ...#.. .###.. .###.. ..#...",
      "...... ...... ...... ...... ...... ...... ...... ......"}},
    {"89:;<=>?",
     {".###.. .###.. ...... ...... ...#.. ...... .#.... .###..",
      "#...#. #...#. .##... .##... ..#... ...... ..#... #...#.",
      "#...#. #...#. .##... .##... .#.... #####. ...#.. ....#.",
      ".###.. .####. ...... ...... #..... ...... ....#. ...#..",
      "#...#. ....#. .##... .##... .#.... #####. ...#.. ..#...",
      "#...#. ...#.. .##... ..#... ..#... ...... ..#... ......",
      ".###.. .##... ...... .#.... ...#.. ...... .#.... ..#...",
      "...... ...... ...... ...... ...... ...... ...... ......"}},
    {"@ABCDEFG",
     {".###.. .###.. ####.. .###.. ###... #####. #####. .###..",
      "#...#. #...#. #...#. #...#. #..#.. #..... #..... #...#.",
      "#.###. #...#. #...#. #..... #...#. #..... #..... #.....",
      "#.#.#. #####. ####.. #..... #...#. ####.. ####.. #.###.",
      "#.###. #...#. #...#. #..... #...#. #..... #..... #...#.",
      "#..... #...#. #...#. #...#. #..#.. #..... #..... #...#.",
      ".####. #...#. ####.. .###.. ###... #####. #..... .####.",
      "...... ...... ...... ...... ...... ...... ...... ......"}},
    {"HIJKLMNO",
     {"#...#. .###.. ..###. #...#. #..... #...#. #...#. .###..",
      "#...#. ..#... ...#.. #..#.. #..... ##.##. ##..#. #...#.",
      "#...#. ..#... ...#.. #.#... #..... #.#.#. ##..#. #...#.",
      "#####. ..#... ...#.. ##.... #..... #.#.#. #.#.#. #...#.",
      "#...#. ..#... ...#.. #.#... #..... #...#. #..##. #...#.",
      "#...#. ..#... #..#.. #..#.. #..... #...#. #..##. #...#.",
      "#...#. .###.. .##... #...#. #####. #...#. #...#. .###..",
      "...... ...... ...... ...... ...... ...... ...... ......"}},
    {"PQRSTUVW",
     {"####.. .###.. ####.. .###.. #####. #...#. #...#. #...#.",
      "#...#. #...#. #...#. #...#. ..#... #...#. #...#. #...#.",
      "#...#. #...#. #...#. #..... ..#... #...#. #...#. #...#.",
      "####.. #...#. ####.. .###.. ..#... #...#. #...#. #.#.#.",
      "#..... #.#.#. #.#... ....#. ..#... #...#. .#.#.. #.#.#.",
      "#..... #..#.. #..#.. #...#. ..#... #...#. .#.#.. ##.##.",
      "#..... .##.#. #...#. .###.. ..#... .###.. ..#... #...#.",
      "...... ...... ...... ...... ...... ...... ...... ......"}},
    {"XYZ[\\]^_",
     {"#...#. #...#. #####. .###.. #..... .###.. ..#... ......",
      "#...#. #...#. ....#. .#.... #..... ...#.. .#.#.. ......",
      ".#.#.. .#.#.. ...#.. .#.... .#.... ...#.. #...#. ......",
      "..#... ..#... ..#... .#.... ..#... ...#.. ...... ......",
      ".#.#.. ..#... .#.... .#.... ...#.. ...#.. ...... ......",
      "#...#. ..#... #..... .#.... ....#. ...#.. ...... ......",
      "#...#. ..#... #####. .###.. ....#. .###.. ...... ......",
      "...... ...... ...... ...... ...... ...... ...... #####."}},
    {"`abcdefg",
     {".#.... ...... #..... ...... ....#. ...... ..##.. ......",
      "..#... ...... #..... ...... ....#. ...... .#.... ......",
      "...... .###.. ####.. .###.. .####. .###.. ####.. .####.",
      "...... ....#. #...#. #..... #...#. #...#. .#.... #...#.",
      "...... .####. #...#. #..... #...#. #####. .#.... #...#.",
      "...... #...#. #...#. #..... #...#. #..... .#.... .####.",
      "...... .####. ####.. .###.. .####. .###.. .#.... ....#.",
      "...... ...... ...... ...... ...... ...... ...... .###.."}},
    {"hijklmno",
     {"#..... ..#... ...#.. #..... .##... ...... ...... ......",
      "#..... ...... ...... #..... ..#... ...... ...... ......",
      "####.. .##... ..##.. #..#.. ..#... ##.#.. ####.. .###..",
      "#...#. ..#... ...#.. #.#... ..#... #.#.#. #...#. #...#.",
      "#...#. ..#... ...#.. ##.... ..#... #.#.#. #...#. #...#.",
      "#...#. ..#... ...#.. #.#... ..#... #.#.#. #...#. #...#.",
      "#...#. .###.. #..#.. #..#.. .###.. #...#. #...#. .###..",
      "...... ...... .##... ...... ...... ...... ...... ......"}},
    {"pqrstuvw",
     {"...... ...... ...... ...... .#.... ...... ...... ......",
      "...... ...... ...... ...... .#.... ...... ...... ......",
      "####.. .####. #.##.. .####. ####.. #...#. #...#. #...#.",
      "#...#. #...#. ##..#. #..... .#.... #...#. #...#. #...#.",
      "#...#. #...#. #..... .###.. .#.... #...#. #...#. #.#.#.",
      "####.. .####. #..... ....#. .#..#. #...#. .#.#.. #.#.#.",
      "#..... ....#. #..... ####.. ..##.. .####. ..#... .#.#..",
      "#..... ....#. ...... ...... ...... ...... ...... ......"}},
    {"xyz{|}~",
     {"...... ...... ...... ...##. ..#... .##... ......", "...... ...... ...... ..#... ..#... ...#.. ......",
      "#...#. #...#. #####. ..#... ..#... ...#.. .##..#", ".#.#.. #...#. ...#.. .#.... ..#... ....#. #..##.",
      "..#... #...#. ..#... ..#... ..#... ...#.. ......", ".#.#.. .####. .#.... ..#... ..#... ...#.. ......",
      "#...#. ....#. #####. ...##. ..#... .##... ......", "...... .###.. ...... ...... ..#... ...... ......"}},
};

constexpr int kDesignW = 6, kDesignH = 8, kTokenPitch = 7;

// Body colours by design row: a little darker towards the baseline.
constexpr uint8_t kNormalRows[kDesignH] = {95, 95, 94, 94, 93, 92, 91, 90};
constexpr uint8_t kHighlightRows[kDesignH] = {127, 127, 126, 126, 125, 125, 124, 124};
// The title's 14 rows of gold: pale at the top, a darker band below the
// middle, lighter again at the foot, like polished metal.
constexpr uint8_t kTitleRows[14] = {127, 127, 126, 126, 125, 125, 124, 123, 123, 124, 125, 126, 126, 125};
constexpr uint8_t kOutline = glob::kGrey;  // all but black
constexpr int kTitleSpaceW = 8;

// An 8x9 cell: the design at (1, 1) coloured by row, outlined.
Canvas SmallCell(char ch, const uint8_t (&rows)[kDesignH]) {
  Canvas ink(kSmallGlyphW, kSmallGlyphH), cell(kSmallGlyphW, kSmallGlyphH);
  for (int y = 0; y < kDesignH; ++y)
    for (int x = 0; x < kDesignW; ++x)
      if (GlyphInk(ch, x, y)) ink.Set(x + 1, y + 1, 1), cell.Set(x + 1, y + 1, rows[y]);
  Outline(cell, ink, kOutline);
  return cell;
}

// A title glyph: the design's inked columns doubled, gold, outlined, and one
// clear column after it so letters do not merge.
Canvas TitleCell(char ch) {
  int first = kDesignW, last = -1;
  for (int x = 0; x < kDesignW; ++x)
    for (int y = 0; y < 7; ++y)
      if (GlyphInk(ch, x, y)) first = std::min(first, x), last = std::max(last, x);
  if (last < 0) return Canvas(kTitleSpaceW, kTitleGlyphH);
  Canvas bits(last - first + 1, 7);
  for (int y = 0; y < 7; ++y)
    for (int x = first; x <= last; ++x) bits.Set(x - first, y, GlyphInk(ch, x, y) ? 1 : 0);
  const Canvas big = Smooth2x(bits);
  Canvas ink(big.w + 3, kTitleGlyphH), cell(big.w + 3, kTitleGlyphH);
  for (int y = 0; y < big.h; ++y)
    for (int x = 0; x < big.w; ++x)
      if (big.Get(x, y)) ink.Set(x + 1, y + 1, 1), cell.Set(x + 1, y + 1, kTitleRows[y]);
  Outline(cell, ink, kOutline);
  return cell;
}

// The characters of the title font in glyph order: glyph 0 draws every
// character the font does not map.
char TitleChar(int glyph) {
  if (glyph == 0) return ' ';
  return glyph <= 10 ? char('0' + glyph - 1) : char('A' + glyph - 11);
}

struct Placed {
  int x, y, w, h;
};

// Sheet layout: each small font three rows of 32 cells (codes 32..127) on a
// 9x10 pitch; the title's 37 glyphs in two rows on a 16-pixel pitch below.
constexpr int kSmallTop[2] = {1, 33};
constexpr int kTitleTop = 66, kTitlePitchX = 16, kTitlePitchY = 18, kTitlePerRow = 19;

Placed SmallPlace(int font, int code) {
  const int k = code - 32;
  return {1 + 9 * (k % 32), kSmallTop[font] + 10 * (k / 32), kSmallGlyphW, kSmallGlyphH};
}

std::vector<uint8_t> Description(const std::string& title, int type, const std::vector<Placed>& glyphs, int rise) {
  DefWriter d;
  d.Value("Font", title);
  d.Value("Sheet", "fonts.pcx");
  d.Value("Type", type);
  for (size_t g = 0; g < glyphs.size(); ++g) {
    const std::string at = "Glyph " + std::to_string(g);
    d.Value(at + " x", glyphs[g].x);
    d.Value(at + " y", glyphs[g].y);
    d.Value(at + " width", glyphs[g].w);
    d.Value(at + " height", glyphs[g].h);
    d.Value(at + " y offset", -rise);
  }
  return d.Bytes();
}

}  // namespace

void Outline(Canvas& c, const Canvas& ink, uint8_t colour) {
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      if (ink.Get(x, y)) continue;
      bool near = false;
      for (int dy = -1; dy <= 1 && !near; ++dy)
        for (int dx = -1; dx <= 1 && !near; ++dx) near = ink.Get(x + dx, y + dy) != 0;
      if (near) c.Set(x, y, colour);
    }
}

// Each pixel's quarter takes the colour of the two neighbours that meet at
// its corner when they agree and the opposite two do not.
Canvas Smooth2x(const Canvas& src) {
  Canvas out(src.w * 2, src.h * 2);
  for (int y = 0; y < src.h; ++y)
    for (int x = 0; x < src.w; ++x) {
      const uint8_t p = src.Get(x, y), a = src.Get(x, y - 1), b = src.Get(x + 1, y);
      const uint8_t c = src.Get(x - 1, y), d = src.Get(x, y + 1);
      out.Set(2 * x, 2 * y, c == a && c != d && a != b ? a : p);
      out.Set(2 * x + 1, 2 * y, a == b && a != c && b != d ? b : p);
      out.Set(2 * x, 2 * y + 1, d == c && d != b && c != a ? c : p);
      out.Set(2 * x + 1, 2 * y + 1, b == d && b != a && d != c ? d : p);
    }
  return out;
}

bool GlyphInk(char c, int x, int y) {
  if (x < 0 || x >= kDesignW || y < 0 || y >= kDesignH) return false;
  for (const GlyphBlock& b : kGlyphs) {
    const size_t k = b.chars.find(c);
    if (k != std::string_view::npos) return b.rows[y][k * kTokenPitch + size_t(x)] == '#';
  }
  return false;
}

// The glyph a font draws for a character: characters the title font has no
// glyph for draw its space; lower case draws the capitals.
static Canvas DemoGlyph(char ch, unsigned font) {
  if (font == kFontTitle) {
    const bool known = (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
    return TitleCell(known ? char(std::toupper(uint8_t(ch))) : ' ');
  }
  return SmallCell(ch > ' ' && ch < 127 ? ch : ' ', font == kFontNormal ? kNormalRows : kHighlightRows);
}

int DrawDemoText(Canvas& c, const std::string& text, int x, int y, unsigned font) {
  int advance = 0;
  for (char ch : text) {
    const Canvas g = DemoGlyph(ch, font);
    c.Blit(g, x + advance, y);
    advance += g.w;
  }
  return advance;
}

int DemoTextWidth(const std::string& text, unsigned font) {
  Canvas scratch(1, 1);
  return DrawDemoText(scratch, text, -1000, -1000, font);
}

DemoFiles BuildFonts() {
  Canvas sheet(320, 200);
  std::vector<Placed> small[2];
  for (int font = 0; font < 2; ++font) {
    const auto& rows = font == 0 ? kNormalRows : kHighlightRows;
    for (int code = 32; code < 127; ++code) {
      const Placed at = SmallPlace(font, code);
      sheet.Blit(SmallCell(char(code), rows), at.x, at.y);
    }
    // Type 1 maps every code to its own glyph; codes without a design take the space.
    for (int code = 0; code < 255; ++code)
      small[font].push_back(SmallPlace(font, code >= 32 && code < 127 ? code : ' '));
  }
  std::vector<Placed> title;
  for (int g = 0; g < 37; ++g) {
    const Canvas cell = TitleCell(TitleChar(g));
    const Placed at{1 + kTitlePitchX * (g % kTitlePerRow), kTitleTop + kTitlePitchY * (g / kTitlePerRow), cell.w,
                    cell.h};
    sheet.Blit(cell, at.x, at.y);
    title.push_back(at);
  }
  DefWriter list;
  list.Value("Fonts", 3);
  list.Value("Font 0, normal", "fonts/normal.fnt");
  list.Value("Font 1, highlight", "fonts/highlight.fnt");
  list.Value("Font 2, title", "fonts/title.fnt");
  return {{"fonts.def", list.Bytes()},
          {"fonts/normal.fnt", Description("Tarn normal", 1, small[0], kSmallRise)},
          {"fonts/highlight.fnt", Description("Tarn highlight", 1, small[1], kSmallRise)},
          {"fonts/title.fnt", Description("Tarn title", 3, title, kTitleRise)},
          {"fonts/fonts.pcx", EncodeSheet(sheet, GlobalPalette())}};
}
