// os_files.h: the few file and process calls that differ between POSIX and
// Windows, so the readers and the atomic save above them are written once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What a path names; a link is reported as one only when it is not followed.
enum class OsKind { Missing, Regular, Folder, Link, Other };
struct OsFileStatus {
  OsKind kind = OsKind::Missing;
  unsigned mode = 0;  // permission bits (07777), where the system has them
  int error = 0;      // errno-style, when the path could not be looked at
};
OsFileStatus OsStatus(const std::string& path, bool followLinks);

// A descriptor opened for reading in binary, without waiting (a FIFO's open
// waits for a writer on POSIX); -1 when it cannot be opened.
int OsOpenRead(const std::string& path);
// The size of what fd has open, and nothing in kind when it is a regular file,
// else what it is ("a folder", "a FIFO", ...). False when it cannot be asked.
bool OsOpenedFile(int fd, uint64_t& size, const char*& kind);
// Up to n bytes at offset, retrying interruptions; -1 on an error.
long long OsReadAt(int fd, uint64_t offset, uint8_t* out, size_t n);
void OsClose(int fd);

// A new file for writing that must not exist yet (a link planted at its name
// is never followed); -1 with errno set when it cannot be made.
int OsCreateNew(const std::string& path);
// Each returns 0 or an errno value.
int OsWriteAll(int fd, const uint8_t* data, size_t n);
int OsFlushToDisk(int fd);
int OsSetMode(int fd, unsigned mode);  // nothing to do where files have no mode bits
int OsCloseWritten(int fd);
// Puts from in to's place in one step, replacing what is there.
int OsReplace(const std::string& from, const std::string& to);
// Removes a file; never a folder.
void OsRemoveFile(const std::string& path);

// Where the file's own name starts in path: after the last separator, which
// on Windows may be \ or the : of a drive as well as /.
size_t OsFileNameStart(const std::string& path);
// Whether path starts at a root, so that no folder goes before it: "/x", and
// on Windows "\x" and a drive's "C:x" or "C:\x" as well.
bool OsRootedPath(const std::string& path);

// This process's id, and whether no running process has the given one.
long long OsProcessId();
bool OsProcessGone(long long pid);
