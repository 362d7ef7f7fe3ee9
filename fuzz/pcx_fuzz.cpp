// pcx_fuzz.cpp: a PCX image read with and without its palette, sprites cut
// from it and drawn every way, and (on every other input) read as both
// editor images, whose sprites the editor then draws.
#include "fuzz_support.h"
#include "modes/editor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ResetEngine();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = fuzz::WriteFile("i.pcx", bytes);
  LoadPcx(path, ScratchImage, size & 1);
  // Sizes and places taken from the first bytes, so odd rectangles are tried too.
  const uint8_t* b = data;
  const size_t n = size;
  auto at = [&](size_t i) { return i < n ? int(b[i]) : 0; };
  Sprite s;
  InitSprite(s, uint32_t(at(0) + 1), uint32_t(at(1) + 1));
  CutSpriteFrame(ScratchImage, s, 0, at(2) * 2 - 40, at(3) - 20);
  s.originX = int16_t(at(4) - 128);
  s.flippedOriginY = int16_t(at(5) - 128);
  const DrawTableT& d = Video.DrawTable;
  for (int k = 0; k < 4; ++k) {
    const int32_t x = at(6 + k) * 2 - 100, y = at(10 + k) - 40;
    d.DrawSprite(s, 0, 0, x, y);
    d.DrawSpriteFlipV(s, 0, 0, x, y);
    d.DrawSpriteFlipH(s, 0, 0, x, y);
    d.DrawSpriteFlipHV(s, 0, 0, x, y);
    d.DrawSpriteClip(s, 0, 0, x, y, at(14), at(15) + 100, at(16), at(17) + 50);
    d.DrawSpriteFlipHVClip(s, 0, 0, x, y, -50, 400, -50, 300);
  }
  FreeSpriteFrames(s);
  if (size & 2) {
    fuzz::WriteFile("editor/cursor.pcx", bytes);
    Startup.DataDir = fuzz::WorkDir();
    LoadEditorArt(Startup.DataDir);
    DrawEditorOverlay();
    Editor.menuOpen = 1;
    DrawEditorOverlay();
  }
  fuzz::ResetEngine();
  return 0;
}
