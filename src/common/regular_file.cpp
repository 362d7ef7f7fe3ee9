// regular_file.cpp: opening files to read without blocking, and refusing
// what is not a regular file.
#include "common/regular_file.h"

#include <cstdio>

#include "common/module_state.h"
#include "common/os_files.h"

FileOpenState FileOpens;

void ResetFileOpens() { FileOpens = {}; }
const ModuleReset kFileOpenReset(ResetFileOpens);

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) OsClose(fd_);
    fd_ = std::exchange(other.fd_, -1);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

RegularFile::~RegularFile() {
  if (fd_ >= 0) OsClose(fd_);
}

size_t RegularFile::ReadAt(uint64_t offset, uint8_t* out, size_t n) const {
  size_t done = 0;
  while (done < n) {
    const long long got = OsReadAt(fd_, offset + done, out + done, n - done);
    if (got <= 0) break;
    done += size_t(got);
  }
  return done;
}

std::optional<RegularFile> OpenRegularFile(const std::string& path) {
  FileOpens.lastRefused = false;
  const int fd = OsOpenRead(path);
  if (fd < 0) return std::nullopt;
  uint64_t size = 0;
  const char* kind = nullptr;
  if (!OsOpenedFile(fd, size, kind)) {
    OsClose(fd);
    return std::nullopt;
  }
  if (kind) {
    OsClose(fd);
    std::fprintf(stderr, "%s: is %s, not a file; not read\n", path.c_str(), kind);
    FileOpens.lastRefused = true;
    return std::nullopt;
  }
  // Reads of a regular file never wait, so O_NONBLOCK can stay.
  return RegularFile(fd, size);
}

bool LastOpenRefused() { return FileOpens.lastRefused; }

bool CanOpenForReading(const std::string& path) {
  const int fd = OsOpenRead(path);
  if (fd < 0) return false;
  OsClose(fd);
  return true;
}
