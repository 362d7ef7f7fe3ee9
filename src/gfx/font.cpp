// font.cpp: the font list, font description files and text drawing.
#include "gfx/font.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/limits.h"
#include "common/module_state.h"
#include "common/os_files.h"
#include "common/regular_file.h"
#include "common/value_reader.h"
#include "gfx/draw.h"

FontState Fonts;

void ResetFonts() { Fonts = {}; }
const ModuleReset kFontReset(ResetFonts);

int GlyphCount(uint8_t type) {
  static constexpr int kCounts[8] = {0, 255, 43, 37, 11, 85, 68, 17};
  return type < 8 ? kCounts[type] : 0;
}

// The character maps of the seven types; 0 is the glyph of every character a
// type leaves out.
static int MapCharacter(uint8_t type, int c) {
  const bool digit = c >= '0' && c <= '9', upper = c >= 'A' && c <= 'Z', lower = c >= 'a' && c <= 'z';
  switch (type) {
    case 1: return c;
    case 2: return digit ? c - 47 : upper ? c - 54 : lower ? c - 60 : 0;
    case 3: return digit ? c - 47 : upper ? c - 54 : lower ? c - 86 : 0;
    case 4: return digit ? c - 47 : 0;
    case 5: return c >= 48 && c <= 126 ? c - 47 : 0;
    case 6: return c >= 33 && c <= 96 ? c - 32 : lower ? c - 64 : c >= 123 && c <= 126 ? c - 58 : 0;
    case 7: return digit ? c - 47 : (c >= 'A' && c <= 'F') ? c - 54 : (c >= 'a' && c <= 'f') ? c - 86 : 0;
    default: return c;
  }
}

int GlyphFor(uint8_t type, uint8_t c) {
  int g = MapCharacter(type, c);
  return g < GlyphCount(type) ? g : 0;
}

std::string ReplaceFileName(const std::string& path, const std::string& name) {
  return path.substr(0, OsFileNameStart(path)) + name;
}

namespace {

// Both the map and the entries remembered from it.
void ForgetTextImages() {
  Fonts.textImages.clear();
  Fonts.recentTexts.fill({});
}

// A card's texts lie 32 bytes apart: the slot comes from the address's middle bits too.
FontState::TextHit& RecentText(const FontState::TextKey& key) {
  const uint64_t mixed = (uint64_t(reinterpret_cast<uintptr_t>(key.text)) ^ key.font) * 0x9E3779B97F4A7C15u;
  return Fonts.recentTexts[size_t(mixed >> 58)];
}

}  // namespace

void LoadFont(const std::string& descriptionPath, Font& font) {
  ForgetTextImages();  // drawn from glyphs about to change
  font = Font{};
  auto opened = ValueReader::Open(descriptionPath, kMaxFontFileBytes);
  if (!opened && !LastOpenRefused())
    std::fprintf(stderr, "%s: cannot open font description\n", descriptionPath.c_str());
  ValueReader in = opened ? std::move(*opened) : ValueReader({});
  in.ReadValue();  // not used
  const std::string sheet = in.ReadValue();
  // A sheet that cannot be read leaves the scratch image as it was; the glyphs
  // are cut from whatever it holds.
  if (!sheet.empty()) LoadPcx(ReplaceFileName(descriptionPath, sheet), ScratchImage, 0);
  font.type = uint8_t(in.ReadNumber());
  const int count = GlyphCount(font.type);
  if (count == 0) return;
  font.glyphs.resize(size_t(count));
  bool reported = false;
  auto report = [&](const char* problem) {
    if (!reported) std::fprintf(stderr, "%s: %s\n", descriptionPath.c_str(), problem);
    reported = true;
  };
  for (Sprite& glyph : font.glyphs) {
    const int32_t x = in.ReadNumber(), y = in.ReadNumber();
    const int32_t width = in.ReadNumber(), height = in.ReadNumber(), yOffset = in.ReadNumber();
    const bool onSheet =
        x >= 0 && y >= 0 && width >= 0 && height >= 0 && int64_t(x) + width <= 320 && int64_t(y) + height <= 200;
    InitSprite(glyph, onSheet ? uint32_t(width) : 0, onSheet ? uint32_t(height) : 0);
    glyph.originY = int16_t(yOffset);
    const size_t bytes = size_t(glyph.width) * glyph.height;
    if (!onSheet) {
      report("a glyph lies outside the 320x200 sheet");
    } else if (Fonts.glyphBytes + bytes > kFontPixelBudget) {
      report("glyphs hold more pixels than fonts may");
    } else {
      CutSpriteFrame(ScratchImage, glyph, 0, x, y);
      Fonts.glyphBytes += bytes;
    }
  }
  if (in.Ended()) report("ends before its last glyph");
}

void LoadFonts(const std::string& dataDir, const std::string& defaultDataDir) {
  std::string dir = dataDir;
  auto list = ValueReader::Open(dir + "/fonts.def", kMaxFontListBytes);
  if (!list) {
    dir = defaultDataDir;
    list = ValueReader::Open(dir + "/fonts.fdf", kMaxFontListBytes);
  }
  if (!list) return;
  Fonts.fonts.clear();
  Fonts.glyphBytes = 0;
  int32_t count = list->ReadNumber();
  if (count < 0 || size_t(count) > kMaxFonts) {
    std::fprintf(stderr, "%s/fonts list: %d fonts named, keeping at most %zu\n", dir.c_str(), count, kMaxFonts);
    count = count < 0 ? 0 : int32_t(kMaxFonts);
  }
  Fonts.fonts.resize(size_t(count));
  for (Font& font : Fonts.fonts) {
    const std::string name = list->ReadValue();
    if (name.empty()) continue;  // the list ran out: the font keeps no glyphs
    LoadFont(dir + "/" + name, font);
  }
}

const Font* FontAt(unsigned number) { return number < Fonts.fonts.size() ? &Fonts.fonts[number] : nullptr; }

namespace {

// Draws each glyph that reaches the window [left, right) x [top, bottom)
// through draw, and advances by its width (stored doubled in video mode 2).
// The test is the sprite routines' own, made here once a glyph: a page of
// text waiting outside its window would otherwise cost a call per glyph.
template <class DrawFn>
void DrawGlyphs(const char* text, int32_t x, int32_t y, unsigned fontNumber, int64_t left, int64_t right, int64_t top,
                int64_t bottom, DrawFn draw) {
  const Font* font = FontAt(fontNumber);
  if (!font || font->glyphs.empty() || !text) return;
  left = std::max<int64_t>(left, 0), top = std::max<int64_t>(top, 0);
  right = std::min<int64_t>(right, Video.ScreenWidth), bottom = std::min<int64_t>(bottom, Video.ScreenHeight);
  const bool halved = Video.VideoMode == 2;
  uint32_t at = uint32_t(x);  // wraps as the sprite routines' positions do
  for (const char* p = text; *p; ++p) {
    const Sprite& glyph = font->glyphs[size_t(GlyphFor(font->type, uint8_t(*p)))];
    // Glyphs have no x origin and only advance: past the right edge, the rest are too.
    const int64_t gx = int32_t(at), w = halved ? glyph.width / 2 : glyph.width;
    if (gx >= right) break;
    const int64_t gy = int32_t(uint32_t(glyph.originY) + uint32_t(y));
    if (gx > left - w && gy > top - int64_t(glyph.height) && gy < bottom && !glyph.frames[glyph.currentFrame].empty())
      draw(glyph, int32_t(gx));
    at += uint32_t(w);
  }
}

constexpr size_t kTextImagesKept = 256;
constexpr uint32_t kTextImageBytes = 64 * 1024;  // longer texts go glyph by glyph

// Puts the text's image together; it is kept even when empty, so as not to be tried again.
const Sprite* BuildTextImage(TextImage& t) {
  const Font& font = *t.font;
  t.image = Sprite{};
  t.image.frameCount = 1;
  // Widths are stored bytes (doubled in video mode 2), so bytes add up as screen pixels do.
  uint64_t width = 0;
  int64_t top = INT64_MAX, bottom = INT64_MIN;
  for (const char* p = t.text.c_str(); *p; ++p) {
    const Sprite& g = font.glyphs[size_t(GlyphFor(font.type, uint8_t(*p)))];
    width += g.width;
    if (g.height)
      top = std::min<int64_t>(top, g.originY), bottom = std::max<int64_t>(bottom, g.originY + int64_t(g.height));
  }
  if (width == 0 || top >= bottom || width * uint64_t(bottom - top) > kTextImageBytes) return nullptr;
  Sprite& image = t.image;
  image.width = uint32_t(width);
  image.height = uint32_t(bottom - top);
  image.originY = int16_t(top);
  std::vector<uint8_t>& px = image.frames[0];
  px.assign(size_t(image.width) * image.height + 1, 0);
  size_t at = 0;
  for (const char* p = t.text.c_str(); *p; ++p) {
    const Sprite& g = font.glyphs[size_t(GlyphFor(font.type, uint8_t(*p)))];
    // A glyph whose frame is missing or short draws nothing, as the sprite routines have it.
    const std::vector<uint8_t>* frame = g.currentFrame < g.frames.size() ? &g.frames[g.currentFrame] : nullptr;
    if (frame && frame->size() >= size_t(g.width) * g.height)
      for (uint32_t r = 0; r < g.height; ++r)
        std::copy_n(frame->data() + size_t(r) * g.width, g.width,
                    px.data() + size_t(g.originY - top + r) * image.width + at);
    at += g.width;
  }
  return &image;
}

// The glyphs of text side by side in one sprite: glyph i at the sum of the
// widths before it, each row where its y offset puts it, 0 where no glyph
// pixel is. A text gets its image the second time running that it is drawn
// from the same characters in the same font; null before that (texts made
// afresh every time go glyph by glyph), and for a text that draws nothing or
// is too large to keep.
const Sprite* TextImageFor(const char* text, unsigned fontNumber) {
  const Font* font = FontAt(fontNumber);
  if (!font || font->glyphs.empty() || !text || !*text) return nullptr;
  const FontState::TextKey key{text, fontNumber};
  FontState::TextHit& hit = RecentText(key);
  if (!(hit.key == key)) {
    auto found = Fonts.textImages.find(key);
    hit = {key, found != Fonts.textImages.end() ? &found->second : nullptr};
  }
  if (TextImage* found = hit.image) {
    const TextImage& t = *found;
    if (t.font == font && t.glyphs == font->glyphs.data() && t.videoMode == Video.VideoMode &&
        std::strcmp(t.text.c_str(), text) == 0) {
      if (t.image.frameCount) return t.image.width ? &t.image : nullptr;
      return BuildTextImage(*found);
    }
  } else if (Fonts.textImages.size() >= kTextImagesKept) {
    ForgetTextImages();
  }
  TextImage& t = Fonts.textImages[key];
  RecentText(key) = {key, &t};
  t.text = text, t.font = font, t.glyphs = font->glyphs.data(), t.videoMode = Video.VideoMode;
  t.image.frameCount = 0;  // seen once: no image yet
  return nullptr;
}

}  // namespace

void DrawText(const char* text, int32_t x, int32_t y, unsigned font) {
  if (const Sprite* image = TextImageFor(text, font)) {
    Video.DrawTable.DrawSprite(*image, 0, 0, x, y);
    return;
  }
  DrawGlyphs(text, x, y, font, 0, Video.ScreenWidth, 0, Video.ScreenHeight,
             [&](const Sprite& g, int32_t gx) { Video.DrawTable.DrawSprite(g, 0, 0, gx, y); });
}

void DrawTextClip(const char* text, int32_t x, int32_t y, unsigned font, int32_t left, int32_t right, int32_t top,
                  int32_t bottom) {
  // Glyphs only advance: a text that starts past the right edge shows nothing.
  if (x >= std::min<int32_t>(right, Video.ScreenWidth)) return;
  if (const Sprite* image = TextImageFor(text, font)) {
    // A card's texts mostly wait outside their window: those the sprite
    // routine would leave undrawn are left here, without the call. Widths
    // are stored bytes, never fewer than screen pixels.
    const int64_t sx = int32_t(uint32_t(image->originX) + uint32_t(x));
    const int64_t sy = int32_t(uint32_t(image->originY) + uint32_t(y));
    if (sy >= std::min<int64_t>(bottom, Video.ScreenHeight) || sy + int64_t(image->height) <= std::max<int64_t>(top, 0) ||
        sx + int64_t(image->width) <= std::max<int64_t>(left, 0))
      return;
    Video.DrawTable.DrawSpriteClip(*image, 0, 0, x, y, left, right, top, bottom);
    return;
  }
  DrawGlyphs(text, x, y, font, left, right, top, bottom, [&](const Sprite& g, int32_t gx) {
    Video.DrawTable.DrawSpriteClip(g, 0, 0, gx, y, left, right, top, bottom);
  });
}
