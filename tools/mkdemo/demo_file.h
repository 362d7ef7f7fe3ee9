// demo_file.h: what the art generators hand to tarn-mkdemo: named files of
// bytes, text definition files in "label: value" lines, and PCX sheets.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "art.h"
#include "palette.h"

// One file of the demo folder; path is relative to the "default" folder.
struct DemoFile {
  std::string path;
  std::vector<uint8_t> bytes;
};
using DemoFiles = std::vector<DemoFile>;

// Builds a text definition file: one "label: value" line per value, each
// ended by a carriage return and a line feed. Labels never hold a colon, or
// the engine would start the value early.
class DefWriter {
 public:
  void Value(const std::string& label, const std::string& value);
  void Value(const std::string& label, long value) { Value(label, std::to_string(value)); }
  // A line for human readers. The engine skips everything up to a colon, so
  // the line simply joins the next label; any colon in it is dropped.
  void Note(const std::string& text);
  std::vector<uint8_t> Bytes() const { return {text_.begin(), text_.end()}; }

 private:
  std::string text_;
};

// A 320x200 canvas as a PCX file with the given 6-bit palette.
std::vector<uint8_t> EncodeSheet(const Canvas& sheet, const std::array<Rgb, 256>& palette);
