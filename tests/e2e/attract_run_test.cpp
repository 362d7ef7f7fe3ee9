// attract_run_test.cpp: the attract sequence's frames as the real tarn-run
// draws them: during the two-second wait only the frame rate, then the demo
// level. Its steps, keys and timings are in tests/modes/attract_test.cpp.
#include <set>

#include "run_tarn.h"

namespace {

using AttractRun = RunTarnTest;

TEST_F(AttractRun, TheWaitShowsOnlyTheFrameRateAndFrame122TheLevel) {
  const RunResult r = Run("--frames 122 --shot 1:" + Path("f1.pcx") + " --shot 121:" + Path("f121.pcx") +
                          " --shot 122:" + Path("f122.pcx"));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  for (const char* shot : {"f1.pcx", "f121.pcx"}) {
    const auto f = ShotPixels(Path(shot));
    int lit = 0;
    for (int i = 0; i < 64000; ++i)
      if (f[i]) {
        ++lit;
        EXPECT_TRUE(i % 320 >= 296 && i / 320 < 24) << shot << " pixel at " << i % 320 << "," << i / 320;
      }
    EXPECT_GT(lit, 0) << shot << ": the frame rate is drawn";
  }
  const auto f122 = ShotPixels(Path("f122.pcx"));
  EXPECT_GT(std::set<uint8_t>(f122.begin(), f122.end()).size(), 16u);
}

}  // namespace
