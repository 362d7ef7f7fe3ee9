// png_shot_none.cpp: tarn-run's PNG shots where the build has no libpng
// (the Windows cross-build): a .png name is refused, a .pcx still works.
#include "common/binary_reader.h"
#include "png_shot.h"

std::vector<uint8_t> EncodePng(const uint8_t*, int, int, const uint8_t*) { return {}; }

bool WritePngShot(const std::string&) {
  FileWrites.lastWriteError = "this build writes no PNG shots; name a .pcx";
  return false;
}
