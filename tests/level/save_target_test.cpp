// save_target_test.cpp: which file the level in memory belongs to after every
// kind of load and fall-back, and what the editor's SAVE does with it.
#include <filesystem>
#include <functional>
#include <vector>

#include "modes/editor_fixture.h"

namespace {

namespace fs = std::filesystem;

class SaveTargetTest : public EditorFixture {
 protected:
  // A version-2 level of one 81 x 61 Flat plane with tile 5 at (1, 1).
  static Bytes OnePlaneLevel() {
    Bytes b = LevHeader(2) + Bytes{1, kFlat, 0, 0, 0, 2, 0, 0, 0, 2, 0, 3};
    return b + Bytes{0, 0, 0, 0, 0, 0, 0, 5} + Bytes{1, 44};
  }
  static void Save() { Tap(kKey0), Tap(kKeyDown), Tap(kKeyEnter); }
  static std::string SaveSays() {
    ::testing::internal::CaptureStderr();
    Save();
    return ::testing::internal::GetCapturedStderr();
  }
  static std::string Quiet(const std::function<void()>& step) {
    ::testing::internal::CaptureStderr();
    step();
    return ::testing::internal::GetCapturedStderr();
  }
};

// The level belongs to the file asked for, loaded or not; what is there and
// did not load is named, so SAVE can keep it. The tile set's name follows
// its load the same way.
TEST_F(SaveTargetTest, EveryLoadNamesTheFileAskedFor) {
  Write("good.lev", OnePlaneLevel());
  Write("damaged.lev", LevHeader(9));
  fs::create_directory(Path("folder.lev"));
  std::vector<std::pair<const char*, const char*>> cases = {
      {"good.lev", ""}, {"missing.lev", ""}, {"folder.lev", "is a folder"}, {"damaged.lev", "is damaged"}};
  if (kSymbolicLinks) {
    fs::create_symlink("loop.lev", Path("loop.lev"));
    fs::create_symlink("nowhere/x.lev", Path("dangling.lev"));
    cases.insert(cases.end(), {{"loop.lev", "cannot be read"}, {"dangling.lev", ""}});
  }
  for (const auto& [name, problem] : cases) {
    const std::string path = Path(name);
    Quiet([&] { LoadLevel(path); });
    EXPECT_EQ(Level.levelFileName, Path(name));
    EXPECT_EQ(Level.levelFileProblem, problem) << name;
    EXPECT_EQ(Level.planeCount, std::string(name) == "good.lev" ? 1 : 3) << name;
  }
  Tiles.tileFileName = Path("old.til");
  LoadTileSet(Path("missing.til"));
  EXPECT_EQ(Tiles.tileFileName, Path("missing.til"));
}

// Level 1 loaded, then a level whose file is missing: SAVE makes that file
// and leaves level 1 alone; NEW keeps the name, so SAVE writes the new level
// there too.
TEST_F(SaveTargetTest, SaveWritesTheFileTheLevelBelongsToAndNoOther) {
  const auto cell = [](int p, int x, int y) { return int(Level.planes.at(p).tiles.at(y * Level.planes[p].width + x)); };
  Write("1.lev", OnePlaneLevel());
  LoadLevel(Path("1.lev"));
  LoadLevel(Path("3.lev"));
  Tap(kKeyS);
  AtCell(2, 3), Click(true);
  EXPECT_EQ(SaveSays(), "");
  EXPECT_EQ(Read("1.lev"), OnePlaneLevel());
  LoadLevel(Path("3.lev"));
  EXPECT_EQ(Ints({Level.planeCount, Level.planes.at(0).type, cell(0, 2, 3)}), Ints({3, kVTiled, 1}));
  EXPECT_EQ(Level.levelFileProblem, "");

  Tap(kKey0), Tap(kKeyEnter);  // NEW: plane 1 is the edited one, tile 0 the current
  Tap(kKeyS);
  AtCell(4, 4), Click(true);
  Save();
  LoadLevel(Path("3.lev"));
  EXPECT_EQ(Ints({cell(0, 2, 3), cell(1, 4, 4)}), Ints({0, 1}));
  EXPECT_EQ(Read("1.lev"), OnePlaneLevel());
}

// A file too damaged to load is kept (folders and unreadable files are
// tried end to end): SAVE refuses, says why on stderr and at the bottom of
// the editor, and the level stays in memory; NEW does not lift it. Before
// any level was loaded SAVE says there is no file, not "error creating".
TEST_F(SaveTargetTest, SaveNeverWritesOverAFileThatDidNotLoad) {
  EXPECT_EQ(SaveSays(), "SAVE: no level was loaded, so there is no file to write; nothing saved\n");
  EXPECT_TRUE(Drew("*** no level loaded: not saved ***", 1, 0, 198));
  EXPECT_TRUE(fs::is_empty(dir_));

  Write("5.lev", LevHeader(9));
  Quiet([&] { LoadLevel(Path("5.lev")); });
  Tap(kKeyS);
  AtCell(1, 1), Click(true);
  const std::string said =
      Path("5.lev") + ": not saved: the file there is damaged and was not loaded; it is kept as it is\n";
  EXPECT_EQ(SaveSays(), said);
  EXPECT_TRUE(Drew("*** 5.lev is damaged: not saved ***", 1, 0, 198));
  EXPECT_EQ(Level.planes.at(0).tiles.at(1 * 500 + 1), 1) << "the level stays in memory";
  Tap(kKey0), Tap(kKeyEnter);  // NEW
  EXPECT_EQ(SaveSays(), said);
  EXPECT_EQ(Read("5.lev"), LevHeader(9));
}

}  // namespace
