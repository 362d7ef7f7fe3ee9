// binary_reader.cpp: bounded reads of files as loaders walk them, and atomic
// whole-file writes.
#include "common/binary_reader.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <utility>

#include "common/limits.h"
#include "common/module_state.h"
#include "common/os_files.h"

namespace fs = std::filesystem;

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
    std::fprintf(stderr, "%s: %llu bytes, more than the %zu such a file can use; reading the first %zu\n", path.c_str(),
                 (unsigned long long)file->Size(), bound, bound);
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

FileWriteState FileWrites;

void ResetFileWrites() { FileWrites = {}; }
const ModuleReset kFileWriteReset(ResetFileWrites);

namespace {
bool WriteFailed(int error) {
  FileWrites.lastWriteError = std::strerror(error);
  return false;
}

// The file a save replaces: path itself, or the end of its chain of links, so
// a save through a link updates what it points to and the link stays. A
// missing file (or a link to one) is where the new file goes.
bool FollowLinks(std::string& path, int& error) {
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    const OsFileStatus st = OsStatus(path, false);
    if (st.error) {
      error = st.error;
      return false;
    }
    if (st.kind != OsKind::Link) return true;
    std::error_code ec;
    const fs::path target = fs::read_symlink(path, ec);
    if (ec) {
      error = ec.value();
      return false;
    }
    path = (fs::path(path).parent_path() / target).string();
  }
  error = ELOOP;
  return false;
}

// Temporaries of this target that a killed save left ("NAME.tmp<PID>" whose
// process is gone, or carries our own id) are removed, so they never pile up.
// A live process's temporary is its save in progress and stays.
void RemoveStaleTemporaries(const std::string& path) {
  const fs::path target(path);
  const std::string prefix = target.filename().string() + ".tmp";
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 10 || name.compare(0, prefix.size(), prefix) != 0)
      continue;
    const std::string digits = name.substr(prefix.size());
    if (digits.find_first_not_of("0123456789") != std::string::npos) continue;
    const long long pid = std::stoll(digits);
    if (pid == OsProcessId() || OsProcessGone(pid)) OsRemoveFile(it->path().string());
  }
}

// Writes all of bytes to fd and flushes them to the disk; 0 or the errno. An
// injected fault stops where a full disk would have.
int WriteAll(int fd, const std::vector<uint8_t>& bytes, std::optional<size_t> fault) {
  const size_t n = fault ? std::min(*fault, bytes.size()) : bytes.size();
  if (const int error = OsWriteAll(fd, bytes.data(), n)) return error;
  if (fault && *fault < bytes.size()) return ENOSPC;
  return OsFlushToDisk(fd);
}
}  // namespace

const std::string& LastWriteError() { return FileWrites.lastWriteError; }

void FailNextWrite(size_t bytes) { FileWrites.failAt = bytes; }

bool WriteFileAtomic(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::optional<size_t> fault = std::exchange(FileWrites.failAt, std::nullopt);
  std::string path = name;
  int error = 0;
  if (!FollowLinks(path, error)) return WriteFailed(error);
  // What is there now: its permission bits go to the new file; a folder or a
  // device is never replaced.
  const OsFileStatus old = OsStatus(path, true);
  const bool exists = old.kind != OsKind::Missing;
  if (old.kind == OsKind::Folder) return WriteFailed(EISDIR);
  if (exists && old.kind != OsKind::Regular) {
    FileWrites.lastWriteError = "not a regular file";
    return false;
  }
  if (fault == kFailOnCreate) return WriteFailed(EACCES);
  RemoveStaleTemporaries(path);
  const std::string temp = path + ".tmp" + std::to_string(OsProcessId());
  const int fd = OsCreateNew(temp);
  if (fd < 0) return WriteFailed(errno);
  error = WriteAll(fd, bytes, fault);
  if (!error && exists) error = OsSetMode(fd, old.mode);
  if (const int closed = OsCloseWritten(fd); closed && !error) error = closed;
  // An injected fault that let every byte through fails at the replace.
  if (!error && fault) error = EIO;
  if (!error) error = OsReplace(temp, path);
  if (error) {
    OsRemoveFile(temp);
    return WriteFailed(error);
  }
  return true;
}
