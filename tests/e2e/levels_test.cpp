// End to end: the level keys show their levels through tarn-run on the demo folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <sys/wait.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "gfx/pcx.h"

namespace fs = std::filesystem;

namespace {

struct Shot {
  std::vector<uint8_t> pixels;  // 64000 palette indices
};

class LevelKeys : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() / ("tarn_levels_" + std::to_string(::getpid()));
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }

  // Runs tarn-run on the demo folder with a script; returns its exit code.
  int Run(const std::string& script, int frames, std::string* out = nullptr) {
    fs::path input = dir / "input.txt";
    std::ofstream(input) << script;
    std::string cmd = std::string(TARN_RUN) + " --game " + TARN_GAME_DIR + " --frames " + std::to_string(frames) +
                      " --input " + input.string() + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    std::string text;
    char buf[512];
    while (p && fgets(buf, sizeof buf, p)) text += buf;
    int status = p ? pclose(p) : -1;
    if (out) *out = text;
    return WEXITSTATUS(status);
  }

  Shot Load(const std::string& name) {
    PcxImage image;
    image.pixels.assign(64001, 0);
    EXPECT_EQ(LoadPcx((dir / name).string(), image, 0), 1) << name;
    return {std::vector<uint8_t>(image.pixels.begin(), image.pixels.begin() + 64000)};
  }
};

size_t Colours(const Shot& s) { return std::set<uint8_t>(s.pixels.begin(), s.pixels.end()).size(); }

TEST_F(LevelKeys, EachKeyShowsItsOwnLevel) {
  const char* keys[] = {"6", "7", "8", "9"};
  std::vector<Shot> shots;
  for (const char* k : keys) {
    std::string script = std::string("1 key ") + k + " tap\n3 shot " + (dir / (std::string(k) + ".pcx")).string() + "\n";
    std::string out;
    ASSERT_EQ(Run(script, 3, &out), 0) << out;
    EXPECT_NE(out.find("\"AttractStep\": 99"), std::string::npos) << out;
    shots.push_back(Load(std::string(k) + ".pcx"));
    EXPECT_GT(Colours(shots.back()), 8u) << "key " << k << " shows a nearly blank screen";
  }
  for (size_t a = 0; a < shots.size(); ++a)
    for (size_t b = a + 1; b < shots.size(); ++b)
      EXPECT_NE(shots[a].pixels, shots[b].pixels) << "keys " << keys[a] << " and " << keys[b];
}

// Some demo level drifts on its own ("WITH SCROLL"): with the view standing
// still, frames some frames apart differ.
TEST_F(LevelKeys, DriftMovesAStillView) {
  int drifting = 0;
  for (const char* k : {"6", "7", "8", "9"}) {
    std::string script = std::string("1 key ") + k + " tap\n5 shot " + (dir / "a.pcx").string() + "\n65 shot " +
                         (dir / "b.pcx").string() + "\n";
    ASSERT_EQ(Run(script, 65), 0);
    Shot a = Load("a.pcx"), b = Load("b.pcx");
    if (a.pixels != b.pixels) ++drifting;
  }
  EXPECT_GE(drifting, 1);
}

TEST_F(LevelKeys, HeldKeyReloadsEveryFrameAndKeepsTheLevel) {
  std::string out;
  ASSERT_EQ(Run("1 key 6 down\n10 key 6 up\n", 12, &out), 0) << out;
  EXPECT_NE(out.find("\"viewX\": 0, \"viewY\": 0"), std::string::npos) << out;
  // One plane object per plane: the list was cleared before each reload.
  auto count = [&](const char* field) {
    auto at = out.find(field);
    return at == std::string::npos ? -1 : std::atoi(out.c_str() + at + std::strlen(field));
  };
  EXPECT_GT(count("\"planeCount\": "), 0);
  EXPECT_EQ(count("\"planeCount\": "), count("\"ObjectCount\": "));
}

}  // namespace
