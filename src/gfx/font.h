// font.h: bitmap fonts and text drawing.
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/pcx.h"

struct Font {
  uint8_t type = 0;
  std::vector<Sprite> glyphs;
};

struct FontState {
  std::vector<Font> fonts;
};
extern FontState Fonts;

void ResetFonts();
void LoadFonts();
// Draws text glyph by glyph at screen position (x, y).
void DrawText(const char* text, int32_t x, int32_t y, const Font& font);
