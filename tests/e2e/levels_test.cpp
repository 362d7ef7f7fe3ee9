// levels_test.cpp: the level keys show their levels through tarn-run on the
// demo folder.
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "gfx/pcx.h"
#include "run_tarn.h"

namespace {

using LevelKeys = RunTarnTest;

// Each key shows a level of its own; with the view standing still, at least
// one of them drifts on its own between frames 5 and 65.
TEST_F(LevelKeys, EachKeyShowsItsOwnLevelAndOneDrifts) {
  std::vector<std::vector<uint8_t>> shots;
  int drifting = 0;
  for (const char* k : {"6", "7", "8", "9"}) {
    const RunResult r = Run("--frames 65" + Script(std::string("1 key ") + k + " tap\n5 shot " + Path("a.pcx") +
                                                   "\n65 shot " + Path("b.pcx") + "\n"));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\"AttractStep\": 99"), std::string::npos) << r.out;
    shots.push_back(ShotPixels(Path("a.pcx")));
    EXPECT_GT(std::set<uint8_t>(shots.back().begin(), shots.back().end()).size(), 8u) << "key " << k;
    drifting += ShotPixels(Path("b.pcx")) != shots.back();
  }
  for (size_t a = 0; a < shots.size(); ++a)
    for (size_t b = a + 1; b < shots.size(); ++b) EXPECT_NE(shots[a], shots[b]) << "levels " << a << " and " << b;
  EXPECT_GE(drifting, 1);
}

TEST_F(LevelKeys, HeldKeyReloadsEveryFrameAndKeepsTheLevel) {
  const RunResult r = Run("--frames 12" + Script("1 key 6 down\n10 key 6 up\n"));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"viewX\": 0, \"viewY\": 0"), std::string::npos) << r.out;
  // One plane object per plane: the list was cleared before each reload.
  auto count = [&](const char* field) {
    const auto at = r.out.find(field);
    return at == std::string::npos ? -1 : std::atoi(r.out.c_str() + at + std::strlen(field));
  };
  EXPECT_GT(count("\"planeCount\": "), 0);
  EXPECT_EQ(count("\"planeCount\": "), count("\"ObjectCount\": "));
}

}  // namespace
