// fonts.h: the demo's bitmap fonts, drawn from glyph tables in fonts.cpp: a
// normal and a highlight font for the editor and the card's small print, and
// a large title font for the card's headings.
#pragma once

#include "demo_file.h"

// Font numbers in the font list, in list order.
constexpr unsigned kFontNormal = 0, kFontHighlight = 1, kFontTitle = 2;

// Every glyph of the small fonts is this size: the editor lines them up on an
// 8-pixel grid and writes its lines 10 pixels apart.
constexpr int kSmallGlyphW = 8, kSmallGlyphH = 9;
constexpr int kTitleGlyphH = 16;
// Text stands on its y, as the engine lays text out (the frame rate at y 8 in
// the top corner, editor lines 10 apart from y 8): each glyph is drawn this
// far above the y it is given, its y offset being minus this.
constexpr int kSmallRise = 8, kTitleRise = 16;

// The small design of a character: ink at column x (0..5), row y (0..7, row 7
// below the baseline). Characters without a design have no ink.
bool GlyphInk(char c, int x, int y);

// Draws text into a canvas as the engine would draw it with the font (glyph
// after glyph, no kerning); returns the width drawn.
int DrawDemoText(Canvas& c, const std::string& text, int x, int y, unsigned font);
// The width DrawDemoText would draw.
int DemoTextWidth(const std::string& text, unsigned font);

// Doubles a one-colour picture, rounding its diagonal steps.
Canvas Smooth2x(const Canvas& src);
// Paints every empty pixel of c next to ink (diagonals too) in colour.
void Outline(Canvas& c, const Canvas& ink, uint8_t colour);

// fonts.def, the three description files and their sheet, paths under default/.
DemoFiles BuildFonts();
