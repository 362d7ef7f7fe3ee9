// attract_run_test.cpp: the attract sequence through the real tarn-run on the
// demo folder: the first frame shows only the frame rate, the level and the
// card arrive on frame 122, and the keys restart and stop the sequence.
#include <cstdlib>
#include <cstring>
#include <set>

#include "gfx/pcx.h"
#include "run_tarn.h"

namespace {

using AttractRun = RunTarnTest;

int Field(const std::string& line, const char* name) {
  const std::string key = std::string("\"") + name + "\": ";
  const auto at = line.find(key);
  return at == std::string::npos ? -1 : std::atoi(line.c_str() + at + key.size());
}

TEST_F(AttractRun, TheFirstFrameShowsOnlyTheFrameRateAndFrame122TheLevelAndCard) {
  const RunResult r = Run("--frames 122 --shot 1:" + Path("f1.pcx") + " --shot 121:" + Path("f121.pcx") +
                          " --shot 122:" + Path("f122.pcx"));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  // Frames 1 and 121 (the last of the wait) show nothing but the frame rate.
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
  EXPECT_EQ(Field(r.out, "AttractStep"), 2);
  EXPECT_EQ(Field(r.out, "planeCount"), 5);
  EXPECT_EQ(Field(r.out, "ObjectCount"), 6) << "five planes and the card";
}

TEST_F(AttractRun, KeyFiveRestartsTheWaitAndALevelKeyStopsThePan) {
  RunResult r = Run("--frames 1300" + Script("1200 key 5 tap\n"));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(std::vector<int>({Field(r.out, "AttractStep"), Field(r.out, "AttractCounter"), Field(r.out, "viewX")}),
            (std::vector<int>{0, 100, 0}));
  r = Run("--frames 1300" + Script("1200 key 9 tap\n"));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(std::vector<int>({Field(r.out, "AttractStep"), Field(r.out, "viewX"), Field(r.out, "viewY")}),
            (std::vector<int>{99, 0, 0}));
  EXPECT_EQ(Field(r.out, "ObjectCount"), Field(r.out, "planeCount")) << "the card went with the list";
}

}  // namespace
