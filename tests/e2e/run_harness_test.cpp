// run_harness_test.cpp: the real tarn-run binary: the missing-marker box, the
// state line, script errors, screenshots and quitting from a script.
#include <algorithm>
#include <optional>
#include <vector>

#include "gfx/pcx.h"
#include "run_tarn.h"

namespace {

using RunHarnessTest = RunTarnTest;

// tarn shows the box and ends with 0; tarn-run, whose runs are read by
// scripts, ends with 3 so a wrong folder never passes for a run.
TEST_F(RunHarnessTest, WithoutTheMarkerFileOnlyTheBoxIsShown) {
  std::filesystem::create_directory(Path("empty"));
  const RunResult r = Run("--frames 5", Path("empty"));
  EXPECT_EQ(r.code, 3);
  EXPECT_EQ(r.err,
            "[box] Data files not found.: Please make sure the game is installed fully and properly, and run it "
            "from it's own folder.\n");
  EXPECT_EQ(r.out, "") << "no state line";
}

TEST_F(RunHarnessTest, ABadScriptLineStopsWithItsLineNumber) {
  // Numbers too wide for their field are errors too, not wrapped values.
  for (auto [script, where] : {std::pair{"# warm up\n1 key A tap\n\n4 jump high\n", ":4:"},
                               {"1 key Minus down\n", ":1:"},
                               {"1 mouse 1 2\n2 mouse 4294967306 5\n", ":2:"},
                               {"1 menu -2147483649\n", ":1:"},
                               {"1000000000001 key A tap\n", ":1:"},
                               {"1 key A tap\n+3 key A tap\n", ":2:"},
                               {"0x3 key A tap\n", ":1:"},
                               {"3 shot a.pcx\n", ":1:"}}) {
    const RunResult r = Run(Script(script));
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find(Path("input.txt") + where), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

// Hostile arguments get the usage message and code 2, never an abort or a
// run that does not end.
TEST_F(RunHarnessTest, BadFrameCountsAndShotsAreUsageErrors) {
  // The frame rule is the script's: digits only, from 1 to 10^12. A shot
  // after the last frame could never be taken.
  for (const char* args :
       {"--frames -1", "--frames +5", "--frames 99999999999999999999999", "--frames ''", "--frames 0", "--frames 5x",
        "--shot 2:", "--shot :", "--shot :a.pcx", "--shot x:a.pcx", "--shot +1:a.pcx", "--frames", "--memory-every 0",
        "--memory-every", "--shot 2:a.pcx", "--frames 3 --shot 4:a.pcx", "--bench --shot 601:a.pcx"}) {
    const RunResult r = Run(args);
    EXPECT_EQ(r.code, 2) << args;
    EXPECT_EQ(r.err.rfind("usage: tarn-run", 0), 0u) << args << ": " << r.err;
    EXPECT_EQ(r.out, "") << args;
  }
}

// Shots by flag and by script are full frames; Esc quits inside frame 70 and
// the one state line still comes out. The virtual clock makes every frame
// exactly 1/60 s, so the rate sampled after the first second reads 60.
TEST_F(RunHarnessTest, ShotsTheFrameRateAndEscFromAScript) {
  const RunResult r =
      Run("--frames 90 --shot '1:" + Path("x.pcx") + "'" + Script("2 shot " + Path("y.pcx") + "\n70 key Esc tap\n"));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"frames\": 70,"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"FramesPerSecond\": 60}"), std::string::npos) << r.out;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
  EXPECT_EQ(r.out.back(), '\n');
  for (const char* name : {"x.pcx", "y.pcx"}) {
    PcxImage image;
    image.pixels.assign(64001, 0);
    EXPECT_EQ(LoadPcx(Path(name), image, 0), 1) << name;
    EXPECT_EQ(image.header[8] | image.header[9] << 8, 319);
    EXPECT_EQ(image.header[10] | image.header[11] << 8, 199);
  }
}

// A script saved by a Windows editor, its lines ended CR LF, runs as the
// same script with LF does.
TEST_F(RunHarnessTest, AScriptWithCrLfLineEndsRunsAsWithLf) {
  for (const std::string end : {"\n", "\r\n"}) {
    const std::string shot = Path(end.size() == 1 ? "lf.pcx" : "crlf.pcx");
    const RunResult r =
        Run("--frames 30" + Script("# a level, the pointer moved" + end + "1 key 6 tap" + end + "10 mouse 5 6" + end +
                                   "20 shot " + shot + end + "25 key Esc tap" + end));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\"frames\": 25,"), std::string::npos) << r.out;
  }
  EXPECT_EQ(Read("lf.pcx"), Read("crlf.pcx"));
}

// A shot into a missing folder, a read-only one, onto a folder or with a
// name too long for the system: the reason on stderr, the run goes on to
// its state line, and ends with 4, even when Esc ended it.
TEST_F(RunHarnessTest, AShotThatCannotBeWrittenEndsWithCode4) {
  std::filesystem::create_directories(Path("ro"));
  std::filesystem::create_directories(Path("dir.pcx"));
  std::filesystem::permissions(Path("ro"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const std::optional<std::string> asUser = WithoutFileOverride();
  std::vector<std::pair<std::string, std::string>> cases = {
      {Path("missing/a.pcx"), "No such file or directory"},
      {Path("dir.pcx"), "Is a directory"},
#ifdef _WIN32
      // Windows does not tell a name too long from a missing one.
      {Path(std::string(300, 'x') + ".pcx"), "No such file or directory"}};
#else
      {Path(std::string(300, 'x') + ".pcx"), "File name too long"}};
#endif
  if (asUser) cases.push_back({Path("ro/a.pcx"), "Permission denied"});
  for (const auto& [file, why] : cases) {
    for (const std::string& how : {"--shot '2:" + file + "'", Script("2 shot " + file + "\n")}) {
      const RunResult r = Run("--frames 3 " + how, TARN_GAME_DIR, "", asUser.value_or(""));
      EXPECT_EQ(r.code, 4) << how;
      EXPECT_EQ(r.err, "tarn-run: cannot write " + file + ": " + why + "\n") << how;
      EXPECT_NE(r.out.find("\"frames\": 3,"), std::string::npos) << how;
    }
  }
  const RunResult quit = Run("--frames 9" + Script("2 shot " + Path("missing/a.pcx") + "\n4 key Esc tap\n"));
  EXPECT_EQ(quit.code, 4);
  EXPECT_NE(quit.out.find("\"frames\": 4,"), std::string::npos) << quit.out;
  std::filesystem::permissions(Path("ro"), std::filesystem::perms::owner_all);
  EXPECT_TRUE(std::filesystem::is_empty(Path("ro")));
  EXPECT_TRUE(std::filesystem::is_empty(Path("dir.pcx")));
  if (!asUser) GTEST_SKIP() << NoFileModeCheckReason() << ": the read-only folder not tried";
}

// The resident set and the bytes held every N frames on stderr, for the
// soak's memory figures; the state line on stdout is as without it.
TEST_F(RunHarnessTest, MemoryEveryNFramesGoesToStderr) {
  const RunResult r = Run("--frames 25 --memory-every 10");
  ASSERT_EQ(r.code, 0) << r.err;
  unsigned long f1 = 0, f2 = 0;
  long rss1 = 0, held1 = 0, rss2 = 0, held2 = 0;
  ASSERT_EQ(
      std::sscanf(r.err.c_str(), "memory %lu %ld %ld\nmemory %lu %ld %ld\n", &f1, &rss1, &held1, &f2, &rss2, &held2), 6)
      << r.err;
  EXPECT_EQ(Ints({int(f1), int(f2)}), Ints({10, 20}));
  // The object list alone is 4096 slots; a whole process is more than what it holds.
  EXPECT_GT(held1, 100);
  EXPECT_GT(rss1, held1);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2);
  EXPECT_NE(r.out.find("\"frames\": 25,"), std::string::npos);
}

}  // namespace
