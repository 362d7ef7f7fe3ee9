// save_fallback_test.cpp: through tarn-run on a copy of the demo folder, a
// level key whose file did not load, then SAVE: the level in memory goes to
// the file the key named and never over the level loaded before it.
#include <filesystem>
#include <functional>

#include "run_tarn.h"

namespace {

namespace fs = std::filesystem;

class SaveFallback : public RunTarnTest {
 protected:
  void SetUp() override {
    RunTarnTest::SetUp();
    DemoCopy();
    level1_ = Read("game/1.lev");
  }
  // Keys to load a level, E, then SAVE, and a shot of the editor after it.
  std::string Session(const std::string& keys, int shotAt) {
    std::string text = keys;
    for (const char* key : {"E", "0", "Down", "Enter"}) {
      text += std::to_string(shotAt - 8) + " key " + key + " tap\n";
      shotAt += 2;
    }
    return Script(text + std::to_string(shotAt - 8) + " shot " + Path("shot.pcx") + "\n");
  }
  RunResult SaveAfterKey7(const std::string& launcher = "") {
    return Run("--frames 16" + Session("1 key 6 tap\n3 key 7 tap\n", 16), DemoCopy(), "", launcher);
  }
  Bytes level1_;
};

// Level 1, then key 7: with 3.lev missing, SAVE makes it and 1.lev keeps
// every byte. With 3.lev there but not loaded (a folder, a loop of links, a
// file of mode 000, read as a user would: root passes modes) SAVE refuses,
// on stderr and at the bottom of the editor, and the frame is the one the
// save that worked shows, but for that line. The same in process, with a
// damaged file: tests/level/save_target_test.cpp.
TEST_F(SaveFallback, AMissingFileIsMadeAndOneThatDidNotLoadIsNeverSavedOver) {
  fs::remove(Path("game/3.lev"));
  const RunResult made = SaveAfterKey7();
  ASSERT_EQ(made.code, 0) << made.err;
  EXPECT_EQ(made.err, "");
  EXPECT_TRUE(fs::is_regular_file(Path("game/3.lev")));
  EXPECT_EQ(Read("game/1.lev"), level1_);
  const std::vector<uint8_t> saved = ShotPixels(Path("shot.pcx"));
  const std::optional<std::string> asUser = WithoutFileOverride();
  struct Case {
    const char* why;
    std::function<void()> make;
  };
  std::vector<Case> cases = {{"is a folder", [&] { fs::create_directory(Path("game/3.lev")); }}};
  if (kSymbolicLinks) cases.push_back({"cannot be read", [&] { fs::create_symlink("3.lev", Path("game/3.lev")); }});
  if (asUser)
    cases.push_back({"cannot be read", [&] {
                       Write("game/3.lev", {1, 2, 3});
                       fs::permissions(Path("game/3.lev"), fs::perms::none);
                     }});
  for (const Case& c : cases) {
    fs::remove(Path("game/3.lev"));
    c.make();
    const fs::file_status before = fs::symlink_status(Path("game/3.lev"));
    const RunResult r = SaveAfterKey7(asUser.value_or(""));
    ASSERT_EQ(r.code, 0) << r.err;
    // The load may have said what it found there; the save's refusal comes last.
    const std::string refusal =
        std::string("3.lev: not saved: the file there ") + c.why + " and was not loaded; it is kept as it is\n";
    EXPECT_TRUE(r.err.ends_with(refusal)) << r.err;
    EXPECT_EQ(Read("game/1.lev"), level1_);
    EXPECT_EQ(fs::symlink_status(Path("game/3.lev")).type(), before.type()) << c.why;
    EXPECT_EQ(fs::symlink_status(Path("game/3.lev")).permissions(), before.permissions()) << c.why;
    const std::vector<uint8_t> shown = ShotPixels(Path("shot.pcx"));
    int differ = 0;
    for (size_t i = 0; i < shown.size(); ++i)
      if (shown[i] != saved[i]) {
        ++differ;
        ASSERT_GE(i / 320, 190u) << "only the notice differs";
      }
    EXPECT_GT(differ, 50) << c.why;
  }
  if (!asUser) GTEST_SKIP() << NoFileModeCheckReason() << ": mode 000 not tried";
  EXPECT_EQ(Read("game/3.lev"), (Bytes{1, 2, 3}));
}

// The attract sequence loads 5.lev two seconds after key 5: with 5.lev
// missing, SAVE makes it and leaves level 1, loaded before, alone.
TEST_F(SaveFallback, TheAttractLevelSavesToItsOwnFile) {
  fs::remove(Path("game/5.lev"));
  const RunResult r = Run("--frames 140" + Session("1 key 6 tap\n3 key 5 tap\n", 140), DemoCopy());
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Read("game/1.lev"), level1_);
  EXPECT_TRUE(fs::is_regular_file(Path("game/5.lev")));
}

}  // namespace
