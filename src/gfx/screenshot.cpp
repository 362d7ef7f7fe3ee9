// screenshot.cpp: the current frame and palette saved as a PCX file: at a
// given path, or as the next free SH<number>.PCX in the current directory.
#include "gfx/screenshot.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "common/binary_reader.h"
#include "gfx/frame_buffer.h"
#include "gfx/pcx.h"

bool WriteScreenshot(const std::string& path) {
  if (!Screen.FrameBuffer) return false;
  std::vector<uint8_t> palette8(768);
  for (uint16_t slot = 0; slot < 256; ++slot) {
    uint8_t rgb[3];
    GetPaletteEntry(slot, rgb);
    for (int c = 0; c < 3; ++c) palette8[slot * 3 + c] = uint8_t(rgb[c] * 4);
  }
  // Written whole or not at all: a failed save leaves any earlier shot in place.
  return WriteFileAtomic(path, EncodePcx(Screen.FrameBuffer, palette8.data()));
}

bool SaveScreenshot(int number, std::string& problem) {
  // Earlier shots are kept: the first name not yet taken is used. A name
  // whose state cannot be learnt is tried, so the write says what is wrong.
  for (int n = number < 0 ? 0 : number; n <= 999999; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "SH%06d.PCX", n);
    std::error_code ec;
    if (std::filesystem::exists(name, ec)) continue;
    if (WriteScreenshot(name)) return true;
    const std::filesystem::path where = std::filesystem::absolute(name, ec);
    problem = (ec ? std::string(name) : where.string()) + ": cannot write: " + LastWriteError();
    return false;
  }
  problem = "SH000000.PCX to SH999999.PCX are all taken: no screen shot written";
  return false;
}
