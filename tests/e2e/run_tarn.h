// run_tarn.h: runs the real tarn-run from a scratch folder and keeps what it
// printed, stdout and stderr apart.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <string>

#include "gfx/pcx.h"
#include "level/file_fixture.h"

struct RunResult {
  int code = -1;
  std::string out, err;
};

class RunTarnTest : public FileTest {
 protected:
  // What a program printed to a file, its lines ended by "\n" alone as they
  // are on Linux (a Windows program's text output ends them "\r\n").
  std::string Text(const std::string& name) const {
    const Bytes bytes = Read(name);
    std::string text(bytes.begin(), bytes.end());
#ifdef _WIN32
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
#endif
    return text;
  }
  // A command line quoted with ' for the shell that runs it: cmd.exe on
  // Windows quotes with " only (the tests' arguments never hold one).
  static std::string ForShell(std::string line) {
#ifdef _WIN32
    std::replace(line.begin(), line.end(), '\'', '"');
#endif
    return line;
  }
  // Writes the script and returns the arguments that feed it in.
  std::string Script(const std::string& text) const {
    std::ofstream(Path("input.txt"), std::ios::binary) << text;
    return " --input '" + Path("input.txt") + "'";
  }
  // before: shell commands run first in the same process, which then becomes
  // tarn-run, so $$ there is tarn-run's process id. launcher: a command that
  // runs tarn-run (WithoutFileOverride).
  RunResult Run(const std::string& args, const std::string& game = TARN_GAME_DIR, const std::string& before = "",
                const std::string& launcher = "") const {
#ifdef _WIN32
    const std::string line =
        ForShell("'" TARN_RUN "' --game '" + game + "' " + args + " >'" + Path("out") + "' 2>'" + Path("err") + "'");
    const int code = before.empty() && launcher.empty() ? ExitCodeOfCommand(line) : -1;
#else
    const std::string cmd = before + " exec " + launcher + " '" TARN_RUN "' --game '" + game + "' " + args + " >'" +
                            Path("out") + "' 2>'" + Path("err") + "'";
    const int code = ExitCodeOfCommand(cmd);
#endif
    return {code, Text("out"), Text("err")};
  }
};

// A launcher that runs tarn-run without root's power to pass file modes
// (CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH), so a file of mode 000 or a
// read-only folder stops it as it stops a user; nothing where that power
// cannot be dropped here.
inline std::optional<std::string> WithoutFileOverride() {
#ifdef _WIN32
  return std::nullopt;
#else
  if (::geteuid() != 0) return std::string();
  const std::string drop = "setpriv --bounding-set=-dac_override,-dac_read_search";
  if (ExitCodeOfCommand(drop + " true 2>/dev/null") != 0) return std::nullopt;
  return drop;
#endif
}

// Why WithoutFileOverride gave nothing, for a skip's message.
inline const char* NoFileModeCheckReason() {
#ifdef _WIN32
  return "Windows has no POSIX file modes to deny";
#else
  return "root's power over file modes cannot be dropped here";
#endif
}

// The 64,000 pixels of a screenshot tarn-run wrote.
inline std::vector<uint8_t> ShotPixels(const std::string& path) {
  PcxImage image;
  image.pixels.assign(64001, 0);
  EXPECT_EQ(LoadPcx(path, image, 0), 1) << path;
  image.pixels.resize(64000);
  return image.pixels;
}
