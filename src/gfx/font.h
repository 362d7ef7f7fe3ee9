// font.h: bitmap fonts cut from PCX sheets, and text drawn glyph by glyph.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/limits.h"
#include "gfx/pcx.h"

// A font's type (1..7) picks its glyph count and how characters map to glyphs.
struct Font {
  uint8_t type = 0;
  std::vector<Sprite> glyphs;  // empty for a type outside 1..7
};

// A text last drawn from some characters, and once drawn again from them
// unchanged, its glyphs put together into a sprite of its own.
struct TextImage {
  std::string text;
  const Font* font = nullptr;
  const Sprite* glyphs = nullptr;  // the font's glyphs when it was drawn
  uint8_t videoMode = 0;
  Sprite image;  // frame count 0 until made; origin y the highest glyph's offset
};

struct FontState {
  std::vector<Font> fonts;  // font 0 is the normal font, font 1 the highlight
  size_t glyphBytes = 0;    // pixel bytes of the glyphs loaded
  // Texts drawn lately, found by where their characters lie and the font
  // number (and then checked): a card draws the same texts every frame,
  // some of them in two fonts.
  struct TextKey {
    const char* text;
    unsigned font;
    bool operator==(const TextKey&) const = default;
  };
  struct TextKeyHash {
    size_t operator()(const TextKey& k) const { return std::hash<const char*>()(k.text) ^ k.font; }
  };
  std::unordered_map<TextKey, TextImage, TextKeyHash> textImages;
  // The map's entries last found, a slot per key's hash: a look-up in the
  // map divides by its bucket count. Emptied whenever the map is.
  struct TextHit {
    TextKey key{nullptr, 0};
    TextImage* image = nullptr;
  };
  std::array<TextHit, 64> recentTexts{};
};
extern FontState Fonts;

void ResetFonts();

// Glyphs a font of the type has: 255, 43, 37, 11, 85, 68, 17 for types 1..7, else 0.
int GlyphCount(uint8_t type);
// The glyph a character draws with in a font of the type; characters the type
// does not map, and those mapped past its glyphs, draw glyph 0.
int GlyphFor(uint8_t type, uint8_t c);

// path with everything after its last '/' replaced by name (name alone when
// the path has no '/').
std::string ReplaceFileName(const std::string& path, const std::string& name);

// Reloads every font from the data folder's "fonts.def", or from the default
// folder's "fonts.fdf" when that cannot be opened. When neither opens the
// fonts stay as they were.
void LoadFonts(const std::string& dataDir, const std::string& defaultDataDir);
// Loads one font from its description file: a value not used, the sheet's
// file name (beside the description), the type, then x, y, width, height and
// y offset for each glyph, cut from the sheet. A glyph whose rectangle leaves
// the 320x200 sheet, or that would pass the pixel budget, stays empty.
void LoadFont(const std::string& descriptionPath, Font& font);

// The font with this number, or null when none is loaded.
const Font* FontAt(unsigned number);

// Draws text with its first glyph's origin at screen (x, y), each glyph after
// the one before (advancing by glyph widths). A font number with no font, or a
// font without glyphs, draws nothing. A text drawn again unchanged from the
// same characters is drawn as one sprite of its glyphs put together, which
// gives the picture they give.
void DrawText(const char* text, int32_t x, int32_t y, unsigned font);
// The same, clipped to the window [left, right) x [top, bottom).
void DrawTextClip(const char* text, int32_t x, int32_t y, unsigned font, int32_t left, int32_t right, int32_t top,
                  int32_t bottom);
