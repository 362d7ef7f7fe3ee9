// tile_fuzz.cpp: a tile file with its .dat companion (two parts), then what
// the engine does with a loaded set: palette sets selected and animated, tiles
// animated and drawn.
#include "fuzz_support.h"
#include "gfx/palette_sets.h"
#include "level/tile_set.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ResetEngine();
  const auto parts = fuzz::Split(data, size, 2);
  const std::string til = fuzz::WriteFile("t.til", parts[0]);
  fuzz::WriteFile("t.dat", parts[1]);
  LoadTileSet(til);
  for (uint8_t n = 0; n < 3; ++n) {
    SelectPaletteSet(n);
    RestoreGlobalColours();
    SetEditorColours();
    for (int f = 0; f < 8; ++f) AnimatePalette();
  }
  for (int f = 0; f < 30; ++f) AdvanceTileAnimations();
  for (size_t t = 0; t < Tiles.tileTable.size() && t < 64; ++t) {
    Video.DrawTable.DrawTile(Tiles.tileTable[t], 0, 0, int32_t(t * 7 % 330) - 5, int32_t(t * 3 % 210) - 5);
    Video.DrawTable.DrawTileMasked(Tiles.tileTable[t], 3, -2, int32_t(t * 5 % 320), 190);
  }
  fuzz::ResetEngine();
  return 0;
}
