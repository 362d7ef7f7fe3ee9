// regular_file.cpp: opening files to read without blocking, and refusing
// what is not a regular file.
#include "common/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "common/module_state.h"

FileOpenState FileOpens;

void ResetFileOpens() { FileOpens = {}; }
const ModuleReset kFileOpenReset(ResetFileOpens);

namespace {

int OpenNonBlocking(const std::string& path) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "an unusual kind of file";
}

}  // namespace

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

RegularFile::~RegularFile() {
  if (fd_ >= 0) ::close(fd_);
}

size_t RegularFile::ReadAt(uint64_t offset, uint8_t* out, size_t n) const {
  size_t done = 0;
  while (done < n) {
    const ssize_t got = ::pread(fd_, out + done, n - done, off_t(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += size_t(got);
  }
  return done;
}

std::optional<RegularFile> OpenRegularFile(const std::string& path) {
  FileOpens.lastRefused = false;
  const int fd = OpenNonBlocking(path);
  if (fd < 0) return std::nullopt;
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return std::nullopt;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    std::fprintf(stderr, "%s: is %s, not a file; not read\n", path.c_str(), KindOf(st.st_mode));
    FileOpens.lastRefused = true;
    return std::nullopt;
  }
  // Reads of a regular file never wait, so O_NONBLOCK can stay.
  return RegularFile(fd, uint64_t(st.st_size));
}

bool LastOpenRefused() { return FileOpens.lastRefused; }

bool CanOpenForReading(const std::string& path) {
  const int fd = OpenNonBlocking(path);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}
