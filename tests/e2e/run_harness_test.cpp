// run_harness_test.cpp: the real tarn-run binary: the missing-marker box, the state line, script
// errors, screenshots and quitting from a script.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "common/binary_reader.h"

namespace fs = std::filesystem;

namespace {

struct RunResult {
  int code = -1;
  std::string out, err;
};

class RunHarnessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tarn-run-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Text(const fs::path& p) {
    auto bytes = ReadWholeFile(p.string());
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
  }
  // Runs tarn-run with the arguments (already shell-quoted where needed).
  RunResult Run(const std::string& args) {
    std::string cmd = std::string("'") + TARN_RUN + "' " + args + " >'" + (dir_ / "out").string() + "' 2>'" +
                      (dir_ / "err").string() + "'";
    int status = std::system(cmd.c_str());
    RunResult r;
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = Text(dir_ / "out");
    r.err = Text(dir_ / "err");
    return r;
  }
  std::string Script(const std::string& text) {
    fs::path p = dir_ / "input.txt";
    std::ofstream(p) << text;
    return p.string();
  }
  static std::string Game() { return std::string("--game '") + TARN_GAME_DIR + "'"; }
  fs::path dir_;
};

}  // namespace

TEST_F(RunHarnessTest, WithoutTheMarkerFileOnlyTheBoxIsShown) {
  fs::create_directory(dir_ / "empty");
  RunResult r = Run("--game '" + (dir_ / "empty").string() + "' --frames 5");
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err,
            "[box] Data files not found.: Please make sure the game is installed fully and properly, and run it "
            "from it's own folder.\n");
  EXPECT_EQ(r.out, "") << "no state line";
}

// The virtual clock makes every frame exactly 1/60 s, so the rate sampled after
// the first second reads 60.
TEST_F(RunHarnessTest, ASecondOfFramesReadsSixtyFramesPerSecond) {
  RunResult r = Run(Game() + " --frames 75");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"frames\": 75"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"FramesPerSecond\": 60}"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.back(), '\n');
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
}

TEST_F(RunHarnessTest, AnUnknownScriptWordStopsWithItsLineNumber) {
  std::string script = Script("# warm up\n1 key A tap\n\n4 jump high\n");
  RunResult r = Run(Game() + " --input '" + script + "'");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find(script + ":4:"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");

  script = Script("1 key Minus down\n");
  r = Run(Game() + " --input '" + script + "'");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find(":1:"), std::string::npos) << r.err;
}

// Checks the fixed header fields and that the stream decodes to exactly 200 rows of 320 pixels.
static void Expect320x200Pcx(const std::string& path) {
  auto bytes = ReadWholeFile(path);
  ASSERT_TRUE(bytes) << path;
  const auto& b = *bytes;
  ASSERT_GT(b.size(), 128u + 769u);
  EXPECT_EQ(b[0], 10);
  EXPECT_EQ(b[3], 8);
  EXPECT_EQ(b[8] | b[9] << 8, 319);
  EXPECT_EQ(b[10] | b[11] << 8, 199);
  EXPECT_EQ(b[66] | b[67] << 8, 320);
  EXPECT_EQ(b[b.size() - 769], 12);
  size_t i = 128, pixels = 0;
  while (i < b.size() - 769) {
    pixels += b[i] >= 192 ? b[i] - 192 : 1;
    i += b[i] >= 192 ? 2 : 1;
  }
  EXPECT_EQ(i, b.size() - 769);
  EXPECT_EQ(pixels, 64000u);
}

TEST_F(RunHarnessTest, ShotsAre320x200PcxFiles) {
  std::string fromFlag = (dir_ / "x.pcx").string(), fromScript = (dir_ / "y.pcx").string();
  std::string script = Script("2 shot " + fromScript + "\n");
  RunResult r = Run(Game() + " --frames 3 --shot '1:" + fromFlag + "' --input '" + script + "'");
  ASSERT_EQ(r.code, 0) << r.err;
  Expect320x200Pcx(fromFlag);
  Expect320x200Pcx(fromScript);
}

// Esc quits from inside frame 3; the state line still comes out, counting 3 frames.
TEST_F(RunHarnessTest, EscTappedAtFrame3EndsTheRunThereWithCodeZero) {
  std::string script = Script("3 key Esc tap\n");
  RunResult r = Run(Game() + " --frames 20 --input '" + script + "'");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"frames\": 3,"), std::string::npos) << r.out;
}
