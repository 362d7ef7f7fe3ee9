// regular_file.h: the one way the engine opens a file it reads. Only a
// regular file is read: a FIFO, a device or a folder could block the open,
// never end, or fail in the middle, so it is refused before any read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

// An open regular file and its size when it was opened; closed with the object.
class RegularFile {
 public:
  RegularFile() = default;
  RegularFile(int fd, uint64_t size) : fd_(fd), size_(size) {}
  RegularFile(RegularFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)), size_(std::exchange(other.size_, 0)) {}
  RegularFile& operator=(RegularFile&& other) noexcept;
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;
  ~RegularFile();

  uint64_t Size() const { return size_; }
  bool IsOpen() const { return fd_ >= 0; }
  // Reads up to n bytes at offset into out; the count read, which is short
  // only where the file ends (it may have shrunk since it was opened) or
  // cannot be read any further.
  size_t ReadAt(uint64_t offset, uint8_t* out, size_t n) const;

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

// Opens path for reading without waiting (a plain open of a FIFO waits for
// a writer). Nothing when it cannot be opened (callers decide what a missing
// file means, and say so) or when it is not a regular file: that gets one
// line on stderr naming it and what it is.
std::optional<RegularFile> OpenRegularFile(const std::string& path);
// True when the last OpenRegularFile refused what it found as not a regular
// file (and said so): a caller with its own line for a file that cannot be
// opened leaves it out then, so one line tells what happened.
bool LastOpenRefused();

struct FileOpenState {
  bool lastRefused = false;  // what LastOpenRefused reports
};
extern FileOpenState FileOpens;

void ResetFileOpens();

// True when path opens for reading, whatever it is; never waits. The file
// is closed again.
bool CanOpenForReading(const std::string& path);
