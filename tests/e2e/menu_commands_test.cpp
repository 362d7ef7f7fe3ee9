// menu_commands_test.cpp: menu commands from a tarn-run script reach the
// engine: the window switches, two screenshots, the About box and Exit.
#include <fstream>

#include "gfx/pcx.h"
#include "run_tarn.h"

namespace {

using MenuCommandsTest = RunTarnTest;

TEST_F(MenuCommandsTest, AScriptWorksTheMenusUpToExit) {
  std::ofstream(Path("tarn.cfg")).put('\n');
  const RunResult r = Run("--frames 30" + Script("2 menu 2000\n3 menu 2002\n4 menu 3003\n5 menu 3003\n"
                                                 "6 menu 4001\n7 menu 3000\n9 menu 1001\n"),
                          dir_.string());
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"frames\": 9,"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("[box] About Tarn: Tarn\n"), std::string::npos) << r.err;
  for (const char* name : {"SH000000.PCX", "SH000001.PCX"}) {
    PcxImage image;
    EXPECT_EQ(LoadPcx(Path(name), image, 0), 1) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(Path("SH000002.PCX")));
}

}  // namespace
