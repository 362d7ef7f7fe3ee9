// run_tiled.h: runs the real tarn-tiled and keeps its exit code and stderr.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "run_tarn.h"

class RunTiledTest : public RunTarnTest {
 protected:
  // tarn-tiled with the demo folder's global colours unless args name others.
  RunResult Tiled(const std::string& args, const std::string& game = TARN_GAME_DIR) const {
    const std::string cmd =
        "'" TARN_TILED "' --game '" + game + "' " + args + " >'" + Path("tout") + "' 2>'" + Path("terr") + "'";
    const int status = std::system(cmd.c_str());
    const Bytes out = Read("tout"), err = Read("terr");
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, {out.begin(), out.end()}, {err.begin(), err.end()}};
  }
  // A copy of the demo folder whose files a test may replace.
  std::string CopyGame(const std::string& name) const {
    std::filesystem::copy(TARN_GAME_DIR, Path(name), std::filesystem::copy_options::recursive);
    return Path(name);
  }
  static std::string Quote(const std::string& s) { return "'" + s + "'"; }
};
