// value_reader.cpp: entries of the text definition files, read from memory so
// that no file, however broken, can make the reader wait for a colon or a
// carriage return that never comes.
#include "common/value_reader.h"

#include "common/binary_reader.h"
#include "common/limits.h"

namespace {
constexpr int kColon = 58, kSpace = 32, kReturn = 13;
}  // namespace

std::optional<ValueReader> ValueReader::Open(const std::string& path, size_t bound) {
  auto bytes = ReadWholeFile(path, bound);
  if (!bytes) return std::nullopt;
  return ValueReader(std::move(*bytes));
}

int ValueReader::Next() { return pos_ < data_.size() ? data_[pos_++] : -1; }

std::string ValueReader::ReadValue() {
  if (ended_) return {};
  int c;
  do {
    c = Next();
  } while (c != kColon && c != -1);
  do {
    c = Next();
  } while (c == kSpace);
  std::string value;
  // The first character is stored before it is tested for the end of the value.
  bool first = true;
  while (c != -1 && (first || c != kReturn)) {
    if (value.size() < kMaxValueLength) value.push_back(char(c));
    first = false;
    c = Next();
  }
  if (c == -1) {
    ended_ = true;
    return {};
  }
  return value;
}

int32_t ValueReader::ReadNumber() { return ParseNumber(ReadValue()); }

int32_t ParseNumber(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  uint32_t v = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) v = v * 10 + uint32_t(text[i] - '0');
  return int32_t(negative ? 0u - v : v);
}
