// os_files.cpp: the file and process calls of os_files.h, once for POSIX and
// once for Windows.
#include "common/os_files.h"

#include <cerrno>
#include <climits>

#ifdef _WIN32

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#ifndef NOMINMAX
#define NOMINMAX  // windows.h without its min and max macros
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

// The engine's paths are UTF-8; Windows takes its own wide strings.
std::wstring Widen(const std::string& path) {
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, path.data(), int(path.size()), nullptr, 0);
  std::wstring wide(size_t(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, path.data(), int(path.size()), wide.data(), n);
  return wide;
}

// The errno value that says the same as a Windows error, for the one message
// a failed save shows wherever it runs.
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    default: return EIO;
  }
}

HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

}  // namespace

OsFileStatus OsStatus(const std::string& path, bool followLinks) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path p(Widen(path));
  const fs::file_status st = followLinks ? fs::status(p, ec) : fs::symlink_status(p, ec);
  OsFileStatus out;
  if (st.type() == fs::file_type::not_found) return out;
  if (ec) {
    out.error = EACCES;
    return out;
  }
  out.mode = unsigned(st.permissions()) & 07777;
  switch (st.type()) {
    case fs::file_type::regular: out.kind = OsKind::Regular; break;
    case fs::file_type::directory: out.kind = OsKind::Folder; break;
    case fs::file_type::symlink: out.kind = OsKind::Link; break;
    default: out.kind = OsKind::Other; break;
  }
  return out;
}

int OsOpenRead(const std::string& path) { return ::_wopen(Widen(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT); }

bool OsOpenedFile(int fd, uint64_t& size, const char*& kind) {
  struct _stat64 st;
  if (::_fstat64(fd, &st) != 0) return false;
  size = uint64_t(st.st_size);
  kind = nullptr;
  if ((st.st_mode & _S_IFMT) == _S_IFDIR)
    kind = "a folder";
  else if ((st.st_mode & _S_IFMT) == _S_IFIFO)
    kind = "a pipe";
  else if ((st.st_mode & _S_IFMT) == _S_IFCHR)
    kind = "a device";
  else if ((st.st_mode & _S_IFMT) != _S_IFREG)
    kind = "an unusual kind of file";
  return true;
}

long long OsReadAt(int fd, uint64_t offset, uint8_t* out, size_t n) {
  // An offset in the OVERLAPPED reads there without a shared file position.
  OVERLAPPED at{};
  at.Offset = DWORD(offset);
  at.OffsetHigh = DWORD(offset >> 32);
  DWORD got = 0;
  if (!::ReadFile(HandleOf(fd), out, DWORD(std::min<size_t>(n, 1u << 30)), &got, &at))
    return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
  return got;
}

void OsClose(int fd) { ::_close(fd); }

int OsCreateNew(const std::string& path) {
  return ::_wopen(Widen(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}

int OsWriteAll(int fd, const uint8_t* data, size_t n) {
  for (size_t done = 0; done < n;) {
    const int w = ::_write(fd, data + done, unsigned(std::min<size_t>(n - done, 1u << 30)));
    if (w <= 0) return w < 0 ? errno : EIO;
    done += size_t(w);
  }
  return 0;
}

int OsFlushToDisk(int fd) { return ::FlushFileBuffers(HandleOf(fd)) ? 0 : ErrnoOf(::GetLastError()); }

int OsSetMode(int, unsigned) { return 0; }

int OsCloseWritten(int fd) { return ::_close(fd) != 0 ? errno : 0; }

// A plain rename does not replace an existing file on Windows; this does, in
// one step, and is on the disk when it returns. Windows will not replace a
// read-only file: the mark is lifted for the replace and the new file takes
// it, as the mode bits carry over on POSIX.
int OsReplace(const std::string& from, const std::string& to) {
  const std::wstring target = Widen(to);
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
  if (readOnly) ::SetFileAttributesW(target.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
  if (::MoveFileExW(Widen(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    if (readOnly) ::SetFileAttributesW(target.c_str(), ::GetFileAttributesW(target.c_str()) | FILE_ATTRIBUTE_READONLY);
    return 0;
  }
  const DWORD error = ::GetLastError();
  if (readOnly) ::SetFileAttributesW(target.c_str(), attributes);
  return ErrnoOf(error);
}

void OsRemoveFile(const std::string& path) { ::DeleteFileW(Widen(path).c_str()); }

size_t OsFileNameStart(const std::string& path) {
  const size_t at = path.find_last_of("/\\:");
  return at == std::string::npos ? 0 : at + 1;
}

bool OsRootedPath(const std::string& path) {
  return !path.empty() && (path[0] == '/' || path[0] == '\\' || (path.size() >= 2 && path[1] == ':'));
}

long long OsProcessId() { return ::GetCurrentProcessId(); }

bool OsProcessGone(long long pid) {
  if (pid <= 0 || pid > 0xFFFFFFFFll) return false;
  const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
  if (!process) return ::GetLastError() == ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  const bool ended = ::GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
  ::CloseHandle(process);
  return ended;
}

#else

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

OsFileStatus OsStatus(const std::string& path, bool followLinks) {
  struct stat st;
  OsFileStatus out;
  if ((followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) {
    if (errno != ENOENT) out.error = errno;
    return out;
  }
  out.mode = unsigned(st.st_mode & 07777);
  out.kind = S_ISREG(st.st_mode)   ? OsKind::Regular
             : S_ISDIR(st.st_mode) ? OsKind::Folder
             : S_ISLNK(st.st_mode) ? OsKind::Link
                                   : OsKind::Other;
  return out;
}

int OsOpenRead(const std::string& path) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

bool OsOpenedFile(int fd, uint64_t& size, const char*& kind) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return false;
  size = uint64_t(st.st_size);
  kind = S_ISREG(st.st_mode)    ? nullptr
         : S_ISDIR(st.st_mode)  ? "a folder"
         : S_ISFIFO(st.st_mode) ? "a FIFO"
         : S_ISCHR(st.st_mode)  ? "a character device"
         : S_ISBLK(st.st_mode)  ? "a block device"
         : S_ISSOCK(st.st_mode) ? "a socket"
                                : "an unusual kind of file";
  return true;
}

long long OsReadAt(int fd, uint64_t offset, uint8_t* out, size_t n) {
  ssize_t got;
  do {
    got = ::pread(fd, out, n, off_t(offset));
  } while (got < 0 && errno == EINTR);
  return got;
}

void OsClose(int fd) { ::close(fd); }

int OsCreateNew(const std::string& path) { return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); }

int OsWriteAll(int fd, const uint8_t* data, size_t n) {
  for (size_t done = 0; done < n;) {
    const ssize_t w = ::write(fd, data + done, n - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return w < 0 ? errno : EIO;
    done += size_t(w);
  }
  return 0;
}

int OsFlushToDisk(int fd) { return ::fsync(fd) != 0 ? errno : 0; }

int OsSetMode(int fd, unsigned mode) { return ::fchmod(fd, mode_t(mode)) != 0 ? errno : 0; }

int OsCloseWritten(int fd) { return ::close(fd) != 0 ? errno : 0; }

int OsReplace(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) != 0 ? errno : 0;
}

void OsRemoveFile(const std::string& path) { ::unlink(path.c_str()); }  // unlink leaves folders alone

size_t OsFileNameStart(const std::string& path) {
  const size_t at = path.rfind('/');
  return at == std::string::npos ? 0 : at + 1;
}

bool OsRootedPath(const std::string& path) { return !path.empty() && path[0] == '/'; }

long long OsProcessId() { return ::getpid(); }

bool OsProcessGone(long long pid) { return pid > 0 && pid <= INT_MAX && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH; }

#endif
