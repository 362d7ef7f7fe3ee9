// binary_reader.cpp: bounded reads of whole files, and atomic whole-file writes.
#include "common/binary_reader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <unistd.h>

#include "common/module_state.h"

namespace {
struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;
}  // namespace

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
  File f(std::fopen(path.c_str(), "rb"));
  if (!f) return std::nullopt;
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f.get())) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  // A directory opens on Linux but cannot be read: treat it as missing.
  if (std::ferror(f.get())) return std::nullopt;
  return bytes;
}

std::optional<BinaryReader> BinaryReader::Open(const std::string& path) {
  auto bytes = ReadWholeFile(path);
  if (!bytes) return std::nullopt;
  return BinaryReader(std::move(*bytes));
}

uint8_t BinaryReader::U8() {
  if (pos_ >= data_.size()) {
    short_ = true;
    return 0;
  }
  return data_[pos_++];
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
  size_t have = std::min(n, Remaining());
  if (have) std::memcpy(out, data_.data() + pos_, have);
  if (have < n) {
    std::memset(out + have, 0, n - have);
    short_ = true;
  }
  pos_ += have;
}

void BinaryReader::Skip(size_t n) {
  if (n > Remaining()) {
    short_ = true;
    pos_ = data_.size();
  } else {
    pos_ += n;
  }
}

void BinaryReader::Seek(size_t pos) { pos_ = std::min(pos, data_.size()); }

int ReadMagicVersion(BinaryReader& in, const uint8_t (&magic)[4]) {
  int matched = 0;
  while (matched < 4 && in.U8() == magic[matched]) ++matched;
  if (matched == 4) return in.AtEnd() ? -1 : in.U8();
  in.Seek(0);
  return 0;
}

FileWriteState FileWrites;

void ResetFileWrites() { FileWrites = {}; }
const ModuleReset kFileWriteReset(ResetFileWrites);

namespace {
bool WriteFailed(int error) {
  FileWrites.lastWriteError = std::strerror(error);
  return false;
}
}  // namespace

const std::string& LastWriteError() { return FileWrites.lastWriteError; }

void FailNextWrite(size_t bytes) { FileWrites.failAt = bytes; }

bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes) {
  const std::optional<size_t> fault = std::exchange(FileWrites.failAt, std::nullopt);
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
