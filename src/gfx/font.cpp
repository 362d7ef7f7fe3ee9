// font.cpp: fonts. No font files are read yet, so no text is drawn; the frame
// loop already asks for its frame-rate text through DrawText.
#include "gfx/font.h"

FontState Fonts;

void ResetFonts() { Fonts = {}; }
void LoadFonts() {}
void DrawText(const char*, int32_t, int32_t, const Font&) {}
