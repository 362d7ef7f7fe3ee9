// run_tiled.h: runs the real tarn-tiled and keeps its exit code and stderr.
#pragma once

#include <string>

#include "run_tarn.h"

class RunTiledTest : public RunTarnTest {
 protected:
  // tarn-tiled with the demo folder's global colours unless args name others.
  RunResult Tiled(const std::string& args, const std::string& game = TARN_GAME_DIR) const {
    const int code = ExitCodeOfCommand(ForShell("'" TARN_TILED "' --game '" + game + "' " + args + " >'" +
                                                Path("tout") + "' 2>'" + Path("terr") + "'"));
    return {code, Text("tout"), Text("terr")};
  }
  static std::string Quote(const std::string& s) { return "'" + s + "'"; }
};
