// png_shot.cpp: indexed PNGs through libpng, written to memory and then to
// the file in one piece. No time or text chunks: the same frame makes the
// same bytes.
#include "png_shot.h"

#include <png.h>

#include <algorithm>
#include <cctype>

#include "common/binary_reader.h"
#include "gfx/frame_buffer.h"

namespace {

void AppendPng(png_structp png, png_bytep data, size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// libpng reports its errors by longjmp: nothing of ours with a destructor
// lives in this frame.
bool EncodeInto(std::vector<uint8_t>& out, const uint8_t* pixels, int width, int height, const png_color* colours) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, AppendPng, NoFlush);
  png_set_compression_level(png, 9);
  // Rows of palette indices compress best unfiltered.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_PLTE(png, info, colours, 256);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) png_write_row(png, pixels + size_t(y) * width);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

std::vector<uint8_t> EncodePng(const uint8_t* pixels, int width, int height, const uint8_t* palette8) {
  png_color colours[256];
  for (int i = 0; i < 256; ++i) colours[i] = {palette8[i * 3], palette8[i * 3 + 1], palette8[i * 3 + 2]};
  std::vector<uint8_t> out;
  if (!EncodeInto(out, pixels, width, height, colours)) out.clear();
  return out;
}

bool WritePngShot(const std::string& path) {
  if (!Screen.FrameBuffer) return false;
  uint8_t palette8[768];
  for (int slot = 0; slot < 256; ++slot)
    for (int c = 0; c < 3; ++c) palette8[slot * 3 + c] = Screen.PaletteTable[slot * 4 + c];
  const std::vector<uint8_t> png = EncodePng(Screen.FrameBuffer, 320, 200, palette8);
  return !png.empty() && WriteFileAtomic(path, png);
}
