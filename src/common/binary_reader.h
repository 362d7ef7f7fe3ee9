// binary_reader.h: the one reader behind every binary file the engine loads.
// A file is read as a loader walks it, a window at a time, so only the bytes
// a loader asks for are ever read or held, and never more than the bound its
// format allows. Reads past the end give 0 and mark the reader as short, so a
// broken file can never make a loader read out of bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/regular_file.h"

class BinaryReader {
 public:
  BinaryReader() = default;
  // Reads bytes already in memory.
  explicit BinaryReader(std::vector<uint8_t> bytes);

  // Opens a regular file (OpenRegularFile: anything else is refused with one
  // line) to be read up to `bound` bytes: a longer file reads as its first
  // `bound` bytes, and Trailing counts the rest. Nothing when it cannot be
  // opened.
  static std::optional<BinaryReader> Open(const std::string& path, uint64_t bound);

  uint8_t U8() {
    const size_t at = pos_ - windowAt_;  // wraps when pos_ is before the window
    if (at < window_.size()) {
      ++pos_;
      return window_[at];
    }
    return U8FromFile();
  }
  uint16_t U16BE();
  uint16_t U16LE();
  uint32_t U32BE();
  // Copies n bytes into out (zeros past the end).
  void Bytes(uint8_t* out, size_t n);
  void Skip(size_t n);
  void Seek(size_t pos);  // clamped to the size

  size_t Position() const { return pos_; }
  // What can be read: the file or its first `bound` bytes.
  size_t Size() const { return size_; }
  size_t Remaining() const { return pos_ < size_ ? size_ - pos_ : 0; }
  bool AtEnd() const { return pos_ >= size_; }
  // The whole file's size, bound or not.
  uint64_t FileSize() const { return fileSize_; }
  // Bytes of the whole file after the position, those past the bound too:
  // what a loader that stops here leaves unread.
  uint64_t Trailing() const { return pos_ < fileSize_ ? fileSize_ - pos_ : 0; }
  // True once any read went past the end of the data.
  bool Short() const { return short_; }

 private:
  uint8_t U8FromFile();
  // Loads the window that starts at the position; false when nothing is left.
  bool Fill();

  RegularFile file_;             // not open for bytes in memory
  std::vector<uint8_t> window_;  // the bytes from windowAt_ on
  size_t windowAt_ = 0;
  size_t pos_ = 0;
  size_t size_ = 0;
  uint64_t fileSize_ = 0;
  bool short_ = false;
};

// Reads a four-byte magic and the version byte after it. A file that does not
// start with the magic is rewound to its first byte and counts as version 0
// (the headerless form); a magic with nothing after it gives -1.
int ReadMagicVersion(BinaryReader& in, const uint8_t (&magic)[4]);

// Reads a regular file whole, or its first `bound` bytes when it is longer.
// A longer file sets *cut when `cut` is given (the caller says what follows)
// and otherwise gets one line on stderr. Nothing when it cannot be opened or
// is not a regular file (OpenRegularFile says so). Tests and tools that read
// their own files take no bound.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path, size_t bound = SIZE_MAX,
                                                  bool* cut = nullptr);

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

struct FileWriteState {
  std::string lastWriteError;
  // Armed by FailNextWrite: bytes written before the failure, or none armed.
  std::optional<size_t> failAt;
};
extern FileWriteState FileWrites;

void ResetFileWrites();

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
