// demo_file.cpp: text definition lines and PCX sheets for the art generators.
#include "demo_file.h"

#include "gfx/pcx.h"

static std::string WithoutColons(std::string s) {
  std::erase(s, ':');
  return s;
}

void DefWriter::Value(const std::string& label, const std::string& value) {
  // A value may hold colons (only the first colon of an entry counts), never a line end.
  text_ += WithoutColons(label) + ": " + value + "\r\n";
}

void DefWriter::Note(const std::string& text) { text_ += WithoutColons(text) + "\r\n"; }

std::vector<uint8_t> EncodeSheet(const Canvas& sheet, const std::array<Rgb, 256>& palette) {
  std::vector<uint8_t> pixels(320 * 200, 0), palette8(768);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 320; ++x) pixels[size_t(y) * 320 + x] = sheet.Get(x, y);
  for (size_t i = 0; i < 256; ++i) {
    palette8[i * 3] = uint8_t(palette[i].r * 4);
    palette8[i * 3 + 1] = uint8_t(palette[i].g * 4);
    palette8[i * 3 + 2] = uint8_t(palette[i].b * 4);
  }
  return EncodePcx(pixels.data(), palette8.data());
}
