// binary_reader.h: the one reader behind every binary file the engine loads.
// The whole file is read into memory; reads past the end give 0 and mark the
// reader as short, so a broken file can never make a loader read out of bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class BinaryReader {
 public:
  BinaryReader() = default;
  explicit BinaryReader(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}

  // Reads the whole file; nothing when it cannot be opened for reading.
  static std::optional<BinaryReader> Open(const std::string& path);

  uint8_t U8();
  uint16_t U16BE();
  uint16_t U16LE();
  uint32_t U32BE();
  // Copies n bytes into out (zeros past the end).
  void Bytes(uint8_t* out, size_t n);
  void Skip(size_t n);
  void Seek(size_t pos);  // clamped to the size

  size_t Position() const { return pos_; }
  size_t Size() const { return data_.size(); }
  size_t Remaining() const { return pos_ < data_.size() ? data_.size() - pos_ : 0; }
  bool AtEnd() const { return pos_ >= data_.size(); }
  // True once any read went past the end of the data.
  bool Short() const { return short_; }

 private:
  std::vector<uint8_t> data_;
  size_t pos_ = 0;
  bool short_ = false;
};

// Reads a four-byte magic and the version byte after it. A file that does not
// start with the magic is rewound to its first byte and counts as version 0
// (the headerless form); a magic with nothing after it gives -1.
int ReadMagicVersion(BinaryReader& in, const uint8_t (&magic)[4]);

// Reads a whole file into bytes; nothing when it cannot be opened.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path);

// Writes bytes to a temporary file beside path ("NAME.tmp<PID>") and renames
// it over path, so a failure part-way never leaves a half-written file where
// the old one was. A link is written through to the file it names; the old
// file's permission bits are kept; a folder or device there is refused.
// Temporaries of the same target left by a killed save are removed first.
// False (with the old file untouched) on any failure; the reason is then
// kept for LastWriteError.
bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes);
// Why the last failed WriteFileAtomic failed ("Permission denied", ...).
const std::string& LastWriteError();

// Failure injection for tests: the next WriteFileAtomic fails as a full disk
// would once `bytes` bytes of the temporary file are written (at the rename
// when bytes is not less than the file's size), or with kFailOnCreate as a
// read-only folder would. One write only.
constexpr size_t kFailOnCreate = SIZE_MAX;
void FailNextWrite(size_t bytes);

// Appends big- and little-endian values to a byte vector (file writers).
inline void PutU8(std::vector<uint8_t>& out, uint32_t v) { out.push_back(uint8_t(v)); }
inline void PutU16BE(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v >> 8));
  out.push_back(uint8_t(v));
}
inline void PutU16LE(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
inline void PutU32BE(std::vector<uint8_t>& out, uint32_t v) {
  PutU16BE(out, v >> 16);
  PutU16BE(out, v);
}
