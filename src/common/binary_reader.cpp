// binary_reader.cpp: bounded reads of whole files, and atomic whole-file writes.
#include "common/binary_reader.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

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

bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string temp = path + ".tmp" + std::to_string(::getpid());
  {
    File f(std::fopen(temp.c_str(), "wb"));
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
    ok = std::fflush(f.get()) == 0 && ok;
    ok = ::fsync(::fileno(f.get())) == 0 && ok;
    FILE* raw = f.release();
    ok = std::fclose(raw) == 0 && ok;
    if (!ok) {
      std::remove(temp.c_str());
      return false;
    }
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}
