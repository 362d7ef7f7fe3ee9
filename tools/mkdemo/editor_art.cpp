// editor_art.cpp: the editor's pointer, cell box, guide lines and icons,
// drawn from the character pictures below. The pointer, box and guides use
// the editor's marker colours (64..69) over a dark rim so they read on every
// level; the icons use the global colours 80..127, which the editor's icon
// banks shift into the other quarters of the palette.
#include "editor_art.h"

#include <string_view>

#include "fonts.h"

namespace {

// One letter a colour: marker colours in capitals, greys and paints in lower case.
uint8_t Colour(char c) {
  switch (c) {
    case 'W': return 64;                // marker white
    case 'G': return 65;                // marker green
    case 'U': return 66;                // marker blue
    case 'R': return 67;                // marker red
    case 'K': return glob::kGrey;       // rim
    case 'd': return glob::kGrey + 4;   // dark grey
    case 'g': return glob::kGrey + 8;   // grey
    case 'l': return glob::kGrey + 12;  // light grey
    case 'w': return glob::kGrey + 15;  // white
    case 'y': return glob::kWarm + 7;   // pale yellow
    case 'o': return glob::kWarm + 4;   // orange
    case 'r': return glob::kWarm + 1;   // brick red
    case 'e': return glob::kGreen + 4;  // leaf green
    case 'b': return glob::kBlue + 3;   // blue
    case 'c': return glob::kBlue + 6;   // sky blue
    case 's': return glob::kSkin + 3;   // wood
    default: return 0;
  }
}

// Paints a picture given as rows of colour letters with its top-left at (x, y).
void Paint(Canvas& c, int x, int y, std::initializer_list<std::string_view> rows) {
  int j = 0;
  for (std::string_view row : rows) {
    for (size_t i = 0; i < row.size(); ++i)
      if (uint8_t v = Colour(row[i])) c.Set(x + int(i), y + j, v);
    ++j;
  }
}

// The mouse pointer, hot spot at its top-left pixel: white inside a dark rim,
// mirrored by the editor for its menu pointer.
void DrawPointer(Canvas& c, int x, int y) {
  Paint(c, x, y, {"KKKKKK..", "KWWWWK..", "KWWWK...", "KWWWWK..", "KWKKWWK.", "KK..KWWK", ".....KWK", "......K."});
}

// The outline of one cell, a pixel outside it all round, in white and dark
// dashes. The dashes follow the sheet's coordinates in steps of two, so boxes
// 8 pixels apart (a selection's outline) dash in step where they overlap.
void DrawBox(Canvas& c, int x0, int y0, int size) {
  for (int y = y0; y < y0 + size; ++y)
    for (int x = x0; x < x0 + size; ++x) {
      const bool ring = x == x0 || y == y0 || x == x0 + size - 1 || y == y0 + size - 1;
      if (ring) c.Set(x, y, ((x + y) >> 1) & 1 ? Colour('K') : Colour('W'));
    }
}

// Guides are a single pixel thick: green dashed with dark so that one of
// the two shows on any backdrop. Both take their dash from the sheet
// position, so the pixel they share agrees.
void DrawGuide(Canvas& c, int x0, int y0, int dx, int dy, int length) {
  for (int k = 0; k < length; ++k) {
    const int x = x0 + dx * k, y = y0 + dy * k;
    c.Set(x, y, ((x + y) >> 1) & 1 ? Colour('K') : Colour('G'));
  }
}

// The 18x18 target: a ring of red marks round a gap the size of a cell.
void DrawTarget(Canvas& c, int x0, int y0, int size) {
  const float centre = float(size) / 2, outer = centre - 0.5f, inner = centre - 2.5f;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const float dx = float(x) + 0.5f - centre, dy = float(y) + 0.5f - centre;
      const float d2 = dx * dx + dy * dy;
      if (d2 > outer * outer) continue;
      if (d2 > inner * inner) c.Set(x0 + x, y0 + y, d2 > (outer - 1) * (outer - 1) ? Colour('K') : Colour('R'));
    }
  // Ticks pointing in at the cell from the four sides.
  for (int k = 3; k < 5; ++k) {
    const int mid = size / 2;
    for (int m : {mid - 1, mid}) {
      c.Set(x0 + k, y0 + m, Colour('W')), c.Set(x0 + size - 1 - k, y0 + m, Colour('W'));
      c.Set(x0 + m, y0 + k, Colour('W')), c.Set(x0 + m, y0 + size - 1 - k, Colour('W'));
    }
  }
}

std::vector<uint8_t> CursorSheet() {
  using L = CursorLayout;
  Canvas sheet(320, 200);
  DrawPointer(sheet, L::kPointerX, L::kPointerY);
  DrawBox(sheet, L::kBoxX, L::kBoxY, L::kBoxSize);
  DrawGuide(sheet, L::kHGuideX, L::kHGuideY, 1, 0, L::kGuideLength);
  DrawGuide(sheet, L::kVGuideX, L::kVGuideY, 0, 1, L::kGuideLength);
  DrawTarget(sheet, L::kTargetX, L::kTargetY, L::kTargetSize);
  return EncodeSheet(sheet, GlobalPalette());
}

using Icon = std::initializer_list<std::string_view>;

// Row 0: the editing tools; row 1: plane types, motion and housekeeping.
const Icon kToolIcons[] = {
    {"......rr", ".....yrr", "....yoy.", "...yoy..", "..yoy...", ".sso....", ".ss.....", "K......."},  // pencil
    {"........", "...KKKK.", "..KrrrrK", ".KrrrrK.", "KwwwrK..", "KwwwK...", ".KKK....", "........"},  // eraser
    {"......KK", ".....KKK", "....lKK.", "...lcl..", "..lcl...", ".lcl....", ".ll.....", "c......."},  // dropper
    {"..KKK...", ".K...K..", ".KwwwwK.", "KwwwwwwK", ".KwwwwKc", "..KwwK.c", "...KK..c", "......cc"},  // bucket
    {"ww.ww.ww", "w......w", "........", "w......w", "w......w", "........", "w......w", "ww.ww.ww"},  // select
    {"KKKKK...", "KwwwK...", "KwKKKKK.", "KwKwwwK.", "KKKwwwK.", "..KwwwK.", "..KKKKK.", "........"},  // copy
    {"..KKKK..", "..KrrK..", "...Kr...", "..KrrK..", "KKKKKKKK", "KrrrrrrK", "KKKKKKKK", ".gggggg."},  // stamp
    {"ggggggg.", "g..g..g.", "g..g..g.", "ggggggg.", "g..g..g.", "g..g..g.", "ggggggg.", "........"},  // grid
    {"........", "..KKKK..", ".KwwwwK.", "KwwbbwwK", "KwwbbwwK", ".KwwwwK.", "..KKKK..", "........"},  // shown
    {"........", "........", "........", "K......K", ".KKKKKK.", "K.K..K.K", "........", "........"},  // hidden
    {"........", "...ee...", "...ee...", ".eeeeee.", ".eeeeee.", "...ee...", "...ee...", "........"},  // add
    {"........", "........", "........", ".rrrrrr.", ".rrrrrr.", "........", "........", "........"},  // delete
    {"KKKKKKK.", "KcwwwwcK", "KcwwwwcK", "KccccccK", "KcKKKKcK", "KcKlKKcK", "KcKlKKcK", "KKKKKKKK"},  // save
    {"........", "KKK.....", "KyyKKKK.", "KyyyyyyK", "KooooooK", "KooooooK", "KKKKKKKK", "........"},  // load
};
const Icon kArrowUp = {"...ww...", "..wwww..", ".wwwwww.", "wwwwwwww", "..wwww..", "..wwww..", "..wwww..", "........"};
const Icon kPlaneIcons[] = {
    {"KKKKKKKK", "KbbbbbbK", "KbbbbbbK", "KbbeebbK", "KbeeeebK", "KeeeeeeK", "KeeeeeeK", "KKKKKKKK"},  // flat
    {"KKKKKK..", "KbbbbK..", "KbKKKKKK", "KbKeeeeK", "KKKeeeeK", "..KeeeeK", "..KKKKKK", "........"},  // relative
    {"bbbbbbbb", "bbbbbbbb", "........", "eeeeeeee", "eeeeeeee", "........", "oooooooo", "oooooooo"},  // h tiled
    {"bbbbbbbb", "cccccccc", "eeeeeeee", "yyyyyyyy", "oooooooo", "rrrrrrrr", "ssssssss", "wwwwwwww"},  // h lined
};
const Icon kMoreIcons[] = {
    {"..wwww..", ".w....w.", "w......w", "w......w", "w....www", ".w....ww", "..ww...w", "........"},  // loop
    {"ww..ww..", ".ww..ww.", "..ww..ww", "..ww..ww", ".ww..ww.", "ww..ww..", "........", "........"},  // speed
    {"..KKKK..", ".K....K.", ".K....K.", "KKKKKKKK", "KyyyyyyK", "KyyKKyyK", "KyyyyyyK", "KKKKKKKK"},  // lock
    {"..KKKK..", "KKKKKKKK", ".KglglK.", ".KglglK.", ".KglglK.", ".KglglK.", ".KKKKKK.", "........"},  // bin
    {"..w.....", ".ww.....", "wwwwww..", ".ww...w.", "..w....w", ".......w", "......w.", "....ww.."},  // undo
    {"..wwww..", ".ww..ww.", ".....ww.", "....ww..", "...ww...", "........", "...ww...", "........"},  // help
    {"...yy...", "...yy...", "yyyyyyyy", ".yyyyyy.", "..yyyy..", ".yy..yy.", "yy....yy", "........"},  // star
    {"ssssKsss", "ssssKsss", "KKKKKKKK", "sKssssss", "sKssssss", "KKKKKKKK", "ssssKsss", "ssssKsss"},  // tile
};
const Icon kSingleIcons[] = {
    {"..KKKK..", ".KwKwwK.", ".KwKwwK.", ".KKKKKK.", ".KwwwwK.", ".KwwwwK.", "..KKKK..", "........"},  // mouse
    {"K.......", "KK......", "KwK.....", "KwwK....", "KwwwK...", "KwKKK...", "KK......", "........"},  // pointer
    {"...w....", "...w....", "...w....", "www.www.", "...w....", "...w....", "...w....", "........"},  // cross
    {"...w....", "..www...", ".w.w.w..", "wwwwwww.", ".w.w.w..", "..www...", "...w....", "........"},  // move
    {"KKKKKKK.", ".KyyyK..", "..KyK...", "...K....", "..KyK...", ".KyyyK..", "KKKKKKK.", "........"},  // wait
};

// An icon turned a quarter (clockwise when cw) or mirrored top to bottom.
Canvas IconCanvas(const Icon& rows) {
  Canvas c(8, 8);
  Paint(c, 0, 0, rows);
  return c;
}
Canvas Turn(const Canvas& s, bool cw) {
  Canvas t(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) t.Set(x, y, cw ? s.Get(y, 7 - x) : s.Get(7 - y, x));
  return t;
}
Canvas FlipV(const Canvas& s) {
  Canvas t(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) t.Set(x, y, s.Get(x, 7 - y));
  return t;
}

// A hexadecimal digit chip for plane numbers 0..F.
Canvas DigitChip(int n) {
  Canvas c(8, 8, glob::kBlue + 1);
  const char ch = "0123456789ABCDEF"[n];
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 6; ++x)
      if (GlyphInk(ch, x, y)) c.Set(x + 1, y + 1, Colour('w'));
  return c;
}

// A colour chip: the colour inside a dark rim.
Canvas ColourChip(uint8_t colour) {
  Canvas c(8, 8, Colour('K'));
  c.FillRect(1, 1, 6, 6, colour);
  return c;
}

// The 64 grid icons in grid order.
std::vector<Canvas> GridIcons() {
  std::vector<Canvas> icons;
  for (const Icon& i : kToolIcons) icons.push_back(IconCanvas(i));
  const Canvas up = IconCanvas(kArrowUp);
  icons.push_back(up);
  icons.push_back(FlipV(up));
  // Plane types in type order: flat, relative, the tiled pair, the lined pair.
  icons.push_back(IconCanvas(kPlaneIcons[0]));
  icons.push_back(IconCanvas(kPlaneIcons[1]));
  icons.push_back(IconCanvas(kPlaneIcons[2]));
  icons.push_back(Turn(IconCanvas(kPlaneIcons[2]), true));
  icons.push_back(IconCanvas(kPlaneIcons[3]));
  icons.push_back(Turn(IconCanvas(kPlaneIcons[3]), true));
  icons.push_back(Turn(up, false));
  icons.push_back(Turn(up, true));
  for (const Icon& i : kMoreIcons) icons.push_back(IconCanvas(i));
  for (int n = 0; n < 16; ++n) icons.push_back(DigitChip(n));
  for (int k = 0; k < 8; ++k) icons.push_back(ColourChip(uint8_t(glob::kGrey + 1 + 2 * k)));
  for (uint8_t v : {99, 102, 106, 109, 114, 117, 122, 126}) icons.push_back(ColourChip(v));
  return icons;
}

// A bevelled panel: light top-left edge, dark bottom-right, grey face.
void Panel(Canvas& c, int x, int y, int w, int h) {
  c.FillRect(x, y, w, h, Colour('K'));
  c.FillRect(x + 1, y + 1, w - 2, h - 2, Colour('l'));
  c.FillRect(x + 2, y + 2, w - 3, h - 3, glob::kGrey + 2);
  c.FillRect(x + 2, y + 2, w - 4, h - 4, glob::kGrey + 5);
}

std::vector<uint8_t> IconSheet() {
  using L = IconLayout;
  Canvas sheet(320, 200);
  // The 10x10 button in the corner.
  Panel(sheet, 0, 0, L::kButtonSize, L::kButtonSize);
  // A card of the editor's keys beside the icons.
  Panel(sheet, 0, 12, 164, 104);
  DrawDemoText(sheet, "EDITOR", 8, 18, kFontTitle);
  const char* lines[] = {"Left   paint",    "Right  select",    "C copy  P stamp",  "1 tiles G pick",
                         "A add  D delete", "Tab panel 0 menu", "Ctrl   plane bar", "W E R T Y U lines"};
  int y = 38;
  for (const char* line : lines) DrawDemoText(sheet, line, 8, y, kFontNormal), y += 9;
  const std::vector<Canvas> icons = GridIcons();
  for (int j = 0; j < L::kRows; ++j)
    for (int i = 0; i < L::kColumns; ++i)
      sheet.Blit(icons[size_t(j * L::kColumns + i)], L::kGridX + L::kPitch * i, L::kGridY + L::kPitch * j);
  sheet.Blit(IconCanvas(kSingleIcons[0]), L::kSingleX, L::kSingleY);
  for (int k = 0; k < 4; ++k) sheet.Blit(IconCanvas(kSingleIcons[k + 1]), L::kGridX + L::kPitch * k, L::kSingleY);
  return EncodeSheet(sheet, GlobalPalette());
}

}  // namespace

DemoFiles BuildEditorArt() { return {{"editor/cursor.pcx", CursorSheet()}, {"editor/tedit.pcx", IconSheet()}}; }
