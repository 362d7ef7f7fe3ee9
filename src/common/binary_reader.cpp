// binary_reader.cpp: bounded reads of files as loaders walk them, and atomic
// whole-file writes.
#include "common/binary_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <unistd.h>

namespace {
struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;
// Bytes a file reader holds at once.
constexpr size_t kWindowBytes = 64 * 1024;
}  // namespace

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path, size_t bound, bool* cut) {
  std::optional<RegularFile> file = OpenRegularFile(path);
  if (!file) return std::nullopt;
  const bool longer = file->Size() > bound;
  std::vector<uint8_t> bytes(longer ? bound : size_t(file->Size()));
  bytes.resize(file->ReadAt(0, bytes.data(), bytes.size()));
  if (cut) {
    *cut = longer;
  } else if (longer) {
    std::fprintf(stderr, "%s: %llu bytes, more than the %zu such a file can use; reading the first %zu\n",
                 path.c_str(), (unsigned long long)file->Size(), bound, bound);
  }
  return bytes;
}

BinaryReader::BinaryReader(std::vector<uint8_t> bytes)
    : window_(std::move(bytes)), size_(window_.size()), fileSize_(window_.size()) {}

std::optional<BinaryReader> BinaryReader::Open(const std::string& path, uint64_t bound) {
  std::optional<RegularFile> file = OpenRegularFile(path);
  if (!file) return std::nullopt;
  BinaryReader in;
  in.fileSize_ = file->Size();
  in.size_ = size_t(std::min<uint64_t>({file->Size(), bound, SIZE_MAX}));
  in.file_ = std::move(*file);
  return in;
}

bool BinaryReader::Fill() {
  if (!file_.IsOpen() || pos_ >= size_) return false;
  const size_t n = std::min(kWindowBytes, size_ - pos_);
  window_.resize(n);
  const size_t got = file_.ReadAt(pos_, window_.data(), n);
  window_.resize(got);
  windowAt_ = pos_;
  // A file that shrank since it was opened ends where its bytes end.
  if (got < n) size_ = fileSize_ = pos_ + got;
  return got > 0;
}

uint8_t BinaryReader::U8FromFile() {
  if (!Fill()) {
    short_ = true;
    return 0;
  }
  return window_[pos_++ - windowAt_];
}

uint16_t BinaryReader::U16BE() {
  uint16_t hi = U8();
  return uint16_t(hi << 8 | U8());
}

uint16_t BinaryReader::U16LE() {
  uint16_t lo = U8();
  return uint16_t(lo | U8() << 8);
}

uint32_t BinaryReader::U32BE() {
  uint32_t hi = U16BE();
  return hi << 16 | U16BE();
}

void BinaryReader::Bytes(uint8_t* out, size_t n) {
  while (n > 0 && pos_ < size_) {
    const size_t at = pos_ - windowAt_;  // wraps when pos_ is before the window
    size_t got;
    if (at < window_.size()) {
      got = std::min(n, window_.size() - at);
      std::memcpy(out, window_.data() + at, got);
    } else if (n >= kWindowBytes && file_.IsOpen()) {
      // A large block goes straight from the file to its place.
      got = file_.ReadAt(pos_, out, std::min(n, size_ - pos_));
      if (got == 0) size_ = fileSize_ = pos_;
    } else if (!Fill()) {
      break;
    } else {
      continue;
    }
    out += got, n -= got, pos_ += got;
  }
  if (n > 0) {
    std::memset(out, 0, n);
    short_ = true;
  }
}

void BinaryReader::Skip(size_t n) {
  if (n > Remaining()) {
    short_ = true;
    pos_ = size_;
  } else {
    pos_ += n;
  }
}

void BinaryReader::Seek(size_t pos) { pos_ = std::min(pos, size_); }

int ReadMagicVersion(BinaryReader& in, const uint8_t (&magic)[4]) {
  int matched = 0;
  while (matched < 4 && in.U8() == magic[matched]) ++matched;
  if (matched == 4) return in.AtEnd() ? -1 : in.U8();
  in.Seek(0);
  return 0;
}

namespace {
std::string lastWriteError;
// Armed by FailNextWrite: bytes written before the failure, or none armed.
std::optional<size_t> failAt;

bool WriteFailed(int error) {
  lastWriteError = std::strerror(error);
  return false;
}
}  // namespace

const std::string& LastWriteError() { return lastWriteError; }

void FailNextWrite(size_t bytes) { failAt = bytes; }

bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes) {
  const std::optional<size_t> fault = std::exchange(failAt, std::nullopt);
  std::string temp = path + ".tmp" + std::to_string(::getpid());
  {
    if (fault == kFailOnCreate) return WriteFailed(EACCES);
    File f(std::fopen(temp.c_str(), "wb"));
    if (!f) return WriteFailed(errno);
    // An injected fault writes what a full disk would have taken, then fails.
    const size_t n = fault ? std::min(*fault, bytes.size()) : bytes.size();
    bool ok = n == 0 || std::fwrite(bytes.data(), 1, n, f.get()) == n;
    int error = ok ? 0 : errno;
    if (fault && *fault < bytes.size()) ok = false, error = ENOSPC;
    if (ok && std::fflush(f.get()) != 0) ok = false, error = errno;
    if (ok && ::fsync(::fileno(f.get())) != 0) ok = false, error = errno;
    if (std::fclose(f.release()) != 0 && ok) ok = false, error = errno;
    if (!ok) {
      std::remove(temp.c_str());
      return WriteFailed(error ? error : EIO);
    }
  }
  if (fault || std::rename(temp.c_str(), path.c_str()) != 0) {
    const int error = fault ? EIO : errno;
    std::remove(temp.c_str());
    return WriteFailed(error);
  }
  return true;
}
