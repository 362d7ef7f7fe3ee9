// font_fuzz.cpp: a font list, one font description and its sheet (three
// parts), loaded as start-up loads them, then text drawn in every font.
#include "fuzz_support.h"
#include "gfx/font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ResetEngine();
  const auto parts = fuzz::Split(data, size, 3);
  fuzz::WriteFile("fonts.def", parts[0]);
  fuzz::WriteFile("f.fnt", parts[1]);
  fuzz::WriteFile("sheet.pcx", parts[2]);
  Startup.DataDir = Startup.DefaultDataDir = fuzz::WorkDir();
  LoadFonts(Startup.DataDir, Startup.DefaultDataDir);
  static const char* kTexts[] = {"TILE:    12,34 - 60", "x Speed 128/64 WITH SCROLL", "\x01\x7f\xfe\xff{|}~", ""};
  for (unsigned f = 0; f < 4; ++f)
    for (const char* text : kTexts) {
      DrawText(text, int32_t(f * 70) - 10, int32_t(f * 50) - 4, f);
      DrawTextClip(text, 5, 190, f, 0, 320, 180, 200);
    }
  fuzz::ResetEngine();
  return 0;
}
