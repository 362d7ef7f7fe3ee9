// value_reader.h: the one reader of the engine's text definition files (the
// font list, font descriptions and the card file). A file is a run of
// entries "label: value" each ended by a carriage return; only the order of
// the values matters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class ValueReader {
 public:
  explicit ValueReader(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}

  // Reads the whole file, or its first `bound` bytes (ReadWholeFile says
  // so); nothing when it cannot be opened or is not a regular file.
  static std::optional<ValueReader> Open(const std::string& path, size_t bound);

  // The next value: everything after the next colon and the spaces after it,
  // up to the carriage return that ends it. The first character is taken
  // before the end test, so an empty value swallows the next line. Values
  // keep at most 255 characters. A value cut off by the end of the file
  // comes back empty, and so does every value after it.
  std::string ReadValue();

  // ReadValue as a decimal integer: leading white space, an optional sign,
  // digits up to the first other character; 0 without digits. Wraps at 32
  // bits; callers keep the low bits their field holds.
  int32_t ReadNumber();

  // True once a value was cut off by the end of the file.
  bool Ended() const { return ended_; }

 private:
  int Next();  // the next byte, or -1 at the end
  std::vector<uint8_t> data_;
  size_t pos_ = 0;
  bool ended_ = false;
};

// The integer a value text reads as (see ReadNumber).
int32_t ParseNumber(const std::string& text);
