// tiled_fuzz.cpp: tarn-tiled's readers on a map (TMX or JSON), the tileset
// file it may name ("t.tsx") and the sheet that tileset may name ("s.png"):
// three parts. The map is imported whole; the parts are also read alone as
// a tileset and as a sheet made into a tile set.
#include "fuzz_support.h"
#include "png_sheet.h"
#include "sheet_tiles.h"
#include "tiled_files.h"
#include "tiled_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ResetEngine();
  const auto parts = fuzz::Split(data, size, 3);
  fuzz::WriteFile("t.tsx", parts[1]);
  const std::string png = fuzz::WriteFile("s.png", parts[2]);
  try {
    tiled::ImportMap(tiled::ParseMap(std::string(parts[0]), "m.tmx", fuzz::WorkDir()));
  } catch (const tiled::Refusal&) {
  }
  try {
    tiled::ReadTileset(fuzz::WorkDir() + "/t.tsx");
  } catch (const tiled::Refusal&) {
  }
  try {
    tiled::BuildTileSetFromSheet(tiled::ReadSheet(png), png);
  } catch (const tiled::Refusal&) {
  }
  fuzz::ResetEngine();
  return 0;
}
