// write_file_atomic_test.cpp: what a save leaves behind and what it keeps of
// the file it replaces: temporaries of killed saves, links, permission bits,
// and folders or devices that are never replaced; on Windows, the replace in
// one step and names that differ only in case.
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX  // windows.h without its min and max macros
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstring>
#include <set>

#include "level/file_fixture.h"

namespace {

namespace fs = std::filesystem;

class WriteFileAtomicBase : public FileTest {
 protected:
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.insert(entry.path().filename().string());
    return names;
  }
};

#ifdef _WIN32

// A process of cmd.exe, ended and waited for (its id is free) or held
// suspended (alive) until the test ends.
class WriteFileAtomicTest : public WriteFileAtomicBase {
 protected:
  void TearDown() override {
    if (held_.hProcess) {
      ::TerminateProcess(held_.hProcess, 0);
      ::WaitForSingleObject(held_.hProcess, INFINITE);
      ::CloseHandle(held_.hThread);
      ::CloseHandle(held_.hProcess);
    }
    WriteFileAtomicBase::TearDown();
  }
  static PROCESS_INFORMATION Start(DWORD flags) {
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION p{};
    wchar_t line[] = L"cmd.exe /c exit 0";
    EXPECT_TRUE(::CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, flags, nullptr, nullptr, &start, &p));
    return p;
  }
  static DWORD DeadPid() {
    const PROCESS_INFORMATION p = Start(0);
    ::WaitForSingleObject(p.hProcess, INFINITE);
    ::CloseHandle(p.hThread);
    ::CloseHandle(p.hProcess);
    return p.dwProcessId;
  }
  DWORD LivePid() {
    held_ = Start(CREATE_SUSPENDED);
    return held_.dwProcessId;
  }
  PROCESS_INFORMATION held_{};
};

// A plain rename does not replace a file on Windows: each save must, longer
// or shorter than the file before, and leave no temporary. The next save
// removes what a killed save of a process now gone left; a live one's stays.
TEST_F(WriteFileAtomicTest, SavesReplaceTheFileAndClearDeadSavesTemporaries) {
  const std::string dead = std::to_string(DeadPid()), live = std::to_string(LivePid());
  const std::string mine = std::to_string(::GetCurrentProcessId());
  for (const std::string& name : {"1.lev.tmp" + dead, "1.lev.tmp" + live, "1.lev.tmp" + mine}) Write(name, {7});
  for (const Bytes& bytes : {Bytes(5000, 1), Bytes{2, 2}, Bytes(70000, 3)}) {
    ASSERT_TRUE(WriteFileAtomic(Path("1.lev"), bytes)) << LastWriteError();
    EXPECT_EQ(Read("1.lev"), bytes);
  }
  EXPECT_EQ(Names(), (std::set<std::string>{"1.lev", "1.lev.tmp" + live}));
}

// Names that differ only in case are one file: a save under another case
// replaces it, and a load under any case reads it.
TEST_F(WriteFileAtomicTest, NamesThatDifferInCaseAreOneFile) {
  Write("1.lev", {1});
  ASSERT_TRUE(WriteFileAtomic(Path("1.LEV"), {2, 2})) << LastWriteError();
  EXPECT_EQ(Names().size(), 1u);
  EXPECT_EQ(Read("1.Lev"), (Bytes{2, 2}));
}

// A file marked read-only is replaced and the new one is marked too, as the
// mode bits carry over on Linux; nothing else is left.
TEST_F(WriteFileAtomicTest, AReadOnlyFileIsReplacedAndStaysReadOnly) {
  Write("1.lev", {1});
  const std::wstring wide = fs::path(Path("1.lev")).wstring();
  ASSERT_TRUE(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(WriteFileAtomic(Path("1.lev"), {2})) << LastWriteError();
  EXPECT_EQ(Read("1.lev"), Bytes{2});
  EXPECT_NE(::GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(Names(), std::set<std::string>{"1.lev"});
  ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A folder is never replaced by the save, and the save says why.
TEST_F(WriteFileAtomicTest, AFolderIsNeverReplaced) {
  fs::create_directory(Path("dir.lev"));
  EXPECT_FALSE(WriteFileAtomic(Path("dir.lev"), {1}));
  EXPECT_EQ(LastWriteError(), std::strerror(EISDIR));
  EXPECT_TRUE(fs::is_directory(Path("dir.lev")));
  EXPECT_EQ(Names(), std::set<std::string>{"dir.lev"});
}

#else

class WriteFileAtomicTest : public WriteFileAtomicBase {
 protected:
  // An id no process has: a child that has ended and been reaped.
  static pid_t DeadPid() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
  }
};

// What a killed save leaves is "NAME.tmp<PID>". The next save of the same
// target removes those whose process is gone (or that carry its own id); a
// live process's save in progress, other targets and other names stay.
TEST_F(WriteFileAtomicTest, TemporariesOfKilledSavesAreRemovedByTheNext) {
  const std::string dead = std::to_string(DeadPid()), mine = std::to_string(::getpid());
  const std::string live = std::to_string(::getppid());
  for (const std::string& name : std::vector<std::string>{"1.lev.tmp" + dead, "1.lev.tmp" + mine, "1.lev.tmp" + live,
                                                          "1.lev.tmpx", "1.lev.tmp", "2.lev.tmp" + dead})
    Write(name, {7});
  ASSERT_TRUE(WriteFileAtomic(Path("1.lev"), {1, 2}));
  EXPECT_EQ(Names(),
            (std::set<std::string>{"1.lev", "1.lev.tmp" + live, "1.lev.tmpx", "1.lev.tmp", "2.lev.tmp" + dead}));
  EXPECT_EQ(Read("1.lev"), (Bytes{1, 2}));
}

// Saves killed at whatever point they reached (a child saving 2 MB in a loop,
// killed as soon as it is seen writing): each later save clears the one before
// it left, so there is never more than one temporary, and none after a save
// that finishes.
TEST_F(WriteFileAtomicTest, KilledSavesNeverPileUp) {
  const Bytes big(2 << 20, 0x5A);
  const std::string target = Path("1.lev");
  for (int round = 0; round < 12; ++round) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(ready[0]);
      for (bool told = false;; told = true) {
        if (!WriteFileAtomic(target, big)) ::_exit(1);
        if (!told && ::write(ready[1], "!", 1) != 1) ::_exit(1);
      }
    }
    ::close(ready[1]);
    char byte;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    const std::string temp = target + ".tmp" + std::to_string(child);
    for (int look = 0; look < 100000 && !fs::exists(temp); ++look) {
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_LE(Names().size(), 2u) << "round " << round;
    ASSERT_EQ(Read("1.lev"), big) << "the file is always whole";
  }
  ASSERT_TRUE(WriteFileAtomic(target, {3}));
  EXPECT_EQ(Names(), std::set<std::string>{"1.lev"});
}

// A save through a link (or a chain of them, relative or absolute) writes the
// file at the end and leaves the links as they were; a link to nothing yet
// makes that file. A loop of links is refused and makes nothing.
TEST_F(WriteFileAtomicTest, ASaveThroughALinkWritesTheFileItNames) {
  Write("levels/real.lev", {1});
  fs::create_symlink("levels/real.lev", Path("link.lev"));
  fs::create_symlink(Path("link.lev"), Path("chain.lev"));
  fs::create_symlink("levels/new.lev", Path("ahead.lev"));
  fs::create_symlink("loop.lev", Path("loop.lev"));
  ASSERT_TRUE(WriteFileAtomic(Path("chain.lev"), {2, 2}));
  ASSERT_TRUE(WriteFileAtomic(Path("ahead.lev"), {3}));
  EXPECT_EQ(Read("levels/real.lev"), (Bytes{2, 2}));
  EXPECT_EQ(Read("levels/new.lev"), (Bytes{3}));
  for (const char* link : {"link.lev", "chain.lev", "ahead.lev"}) EXPECT_TRUE(fs::is_symlink(Path(link))) << link;

  EXPECT_FALSE(WriteFileAtomic(Path("loop.lev"), {4}));
  EXPECT_EQ(LastWriteError(), "Too many levels of symbolic links");
  EXPECT_EQ(Names(), (std::set<std::string>{"levels", "link.lev", "chain.lev", "ahead.lev", "loop.lev"}));
}

// The new file takes the old one's permission bits, read-only included (the
// folder is writable, so the rename may replace it); a new file gets the
// usual bits.
TEST_F(WriteFileAtomicTest, TheOldFilesPermissionBitsAreKept) {
  const auto mode = [&](const char* name) {
    struct stat st {};
    ::stat(Path(name).c_str(), &st);
    return int(st.st_mode & 07777);
  };
  for (const auto& [name, bits] : {std::pair{"ro.lev", 0444}, {"group.lev", 0640}, {"open.lev", 0666}}) {
    Write(name, {1});
    ::chmod(Path(name).c_str(), mode_t(bits));
    ASSERT_TRUE(WriteFileAtomic(Path(name), {9, 9})) << name << ": " << LastWriteError();
    EXPECT_EQ(mode(name), bits) << name;
    EXPECT_EQ(Read(name), (Bytes{9, 9})) << name;
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ASSERT_TRUE(WriteFileAtomic(Path("fresh.lev"), {1}));
  EXPECT_EQ(mode("fresh.lev"), int(0666 & ~mask));
}

// A folder, a pipe or a device (even through a link) is never replaced by a
// regular file: the save fails, says why and leaves nothing behind.
TEST_F(WriteFileAtomicTest, FoldersAndDevicesAreNeverReplaced) {
  fs::create_directory(Path("dir.lev"));
  ASSERT_EQ(::mkfifo(Path("pipe.lev").c_str(), 0644), 0);
  fs::create_symlink("/dev/null", Path("null.lev"));
  for (const auto& [name, why] : {std::pair{"dir.lev", "Is a directory"},
                                  {"pipe.lev", "not a regular file"},
                                  {"null.lev", "not a regular file"}}) {
    EXPECT_FALSE(WriteFileAtomic(Path(name), {1})) << name;
    EXPECT_EQ(LastWriteError(), why) << name;
  }
  EXPECT_TRUE(fs::is_directory(Path("dir.lev")));
  EXPECT_TRUE(fs::is_fifo(Path("pipe.lev")));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_EQ(Names(), (std::set<std::string>{"dir.lev", "pipe.lev", "null.lev"}));
}

#endif

}  // namespace
