// test_support.h: a clean engine for each test (every module at its start
// values, the null platform reset, video mode 0 with its display and frame),
// the main loop run for a number of frames, and the one way tests catch the
// program's end: in process or as a child process.
#pragma once

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <optional>
#include <string>

#include "gfx/draw.h"
#include "platform/null/null_platform.h"
#include "shell/main_loop.h"
#include "shell/startup.h"
#include "shell/window.h"

// The start every test gets; tests that need a second fresh start call it again.
inline void RestartEngine() {
  nullplat::Reset();
  nullplat::SetThrowOnExit(true);
  ResetAllState();
  StartVideoMode(0);
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { RestartEngine(); }
  void TearDown() override { nullplat::SetThrowOnExit(false); }
};

// The code the program ended with while `step` ran, or nothing if it went
// on. Under the tests the null platform throws where the process would end.
template <class Step>
std::optional<int> ExitCodeOf(Step&& step) {
  try {
    step();
  } catch (const nullplat::ExitRequest& e) {
    return e.code;
  }
  return std::nullopt;
}

// The exit code of a shell command (a program the tests start); -1 when a
// signal ended it. On Windows the shell is cmd.exe, which keeps the quotes
// inside a command only when the whole of it is quoted once more.
inline int ExitCodeOfCommand(const std::string& command) {
#ifdef _WIN32
  return std::system(("\"" + command + "\"").c_str());
#else
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

// What a test needs that Windows does not have (FIFOs, devices, POSIX
// processes and modes): it is skipped there with the reason.
#ifdef _WIN32
#define SKIP_ON_WINDOWS(why) GTEST_SKIP() << "no " why " on Windows"
#else
#define SKIP_ON_WINDOWS(why) static_cast<void>(0)
#endif

// Whether the tests may make symbolic links: Windows gives that power to
// administrators alone, and Wine has none to give.
#ifdef _WIN32
inline constexpr bool kSymbolicLinks = false;
#else
inline constexpr bool kSymbolicLinks = true;
#endif

// A FIFO at path, for tests of what is not a regular file; false where the
// system has none.
inline bool MakeFifo(const std::string& path) {
#ifdef _WIN32
  return false;
#else
  return ::mkfifo(path.c_str(), 0600) == 0;
#endif
}

// Loop passes until `frame` frames have been due since start; the loop must
// not quit on the way, and a frame is due within a few passes.
inline void RunToFrame(uint64_t frame) {
  int code = 0;
  for (uint64_t passes = 0; Loop.FramesDue < frame; ++passes) {
    ASSERT_LT(passes, 10 * frame + 10) << "no frame came due";
    ASSERT_TRUE(LoopPass(code)) << "the loop quit with " << code;
  }
}
inline void RunFrames(uint64_t n) { RunToFrame(Loop.FramesDue + n); }
