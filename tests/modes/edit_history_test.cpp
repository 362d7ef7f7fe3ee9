// edit_history_test.cpp: undo and redo driven through the editor's keys and
// mouse: random sessions on the demo levels undone to the byte and redone,
// the faults people hit, the history's memory bound, and knowing whether
// the level differs from what was loaded or saved.
#include <filesystem>
#include <random>

#include "editor_fixture.h"
#include "modes/edit_history.h"
#include "shell/window.h"

namespace {

class EditHistoryTest : public EditorFixture {
 protected:
  void SetUp() override {
    EditorFixture::SetUp();
    ResetEditHistory();
  }
  // A demo level and its tile set, as a level key loads them.
  static void LoadDemo(int n) {
    const std::string dir = TARN_GAME_DIR;
    LoadTileSet(dir + "/" + std::to_string(n) + ".til");
    LoadLevel(dir + "/" + std::to_string(n) + ".lev");
    ResetEditHistory();
    Editor.panelShown = 1;
  }
  static void Chord(uint8_t key, bool shift = false) {
    nullplat::SetKey(kKeyCtrl, true);
    if (shift) nullplat::SetKey(kKeyShift, true);
    Tap(key);
    nullplat::SetKey(kKeyShift, false);
    nullplat::SetKey(kKeyCtrl, false);
    Frame();
  }
  static void UndoAll() {
    for (int guard = 0; History.done > 0 && guard < 10000; ++guard) Chord(kKeyZ);
  }
  static void RedoAll() {
    for (int guard = 0; History.done < History.steps.size() && guard < 10000; ++guard) Chord(kKeyY);
  }
  static void Stroke(std::initializer_list<std::pair<int, int>> cells) {
    nullplat::SetButton(true, true);
    Sweep(cells);
    nullplat::SetButton(true, false);
    Frame();
  }
  // Everything a step restores, as the level writer writes it plus the rest.
  struct Snapshot {
    std::vector<uint8_t> file;
    std::array<uint8_t, kShownPlanes> shown;
    int count;
    bool operator==(const Snapshot&) const = default;
  };
  static Snapshot Take() { return {LevelFileBytes(), Level.planeShown, Level.planeCount}; }
  static void Act(std::mt19937& rng);
};

// One random action of the editor, through its input.
void EditHistoryTest::Act(std::mt19937& rng) {
  auto below = [&](int n) { return int(rng() % uint32_t(std::max(n, 1))); };
  auto cell = [&] { AtCell(Level.viewX / 8 + below(38), Level.viewY / 8 + below(24)); };
  switch (below(9)) {
    case 0:  // a paint stroke with a tile chosen by S
      Tap(kKeyS);
      nullplat::SetButton(true, true);
      for (int k = below(6) + 1; k > 0; --k) cell(), Frame();
      nullplat::SetButton(true, false);
      Frame();
      break;
    case 1:  // select, copy, a stamp sweep
      nullplat::SetButton(false, true);
      cell(), Frame(), cell(), Frame();
      nullplat::SetButton(false, false);
      Frame();
      Tap(kKeyC);
      nullplat::SetKey(kKeyP, true);
      for (int k = below(4) + 1; k > 0; --k) cell(), Frame();
      nullplat::SetKey(kKeyP, false);
      Frame();
      break;
    case 2: {  // line keys, sometimes with Alt, sometimes a run on one line
      static constexpr uint8_t kKeys[] = {kKeyW, kKeyE, kKeyR, kKeyT, kKeyY, kKeyU};
      cell();
      nullplat::SetKey(kKeyAlt, below(3) == 0);
      for (int k = below(3) + 1; k > 0; --k) Tap(kKeys[below(6)]);
      nullplat::SetKey(kKeyAlt, false);
      break;
    }
    case 3:  // bar mode: insert, delete or retype
      HoldBar(true);
      if (below(3) == 0) {
        InBar(below(Level.planeCount + 1), 54), Tap(kKeyA);
      } else if (below(2) == 0) {
        InBar(below(Level.planeCount), 54), Tap(kKeyD);
      } else {
        nullplat::SetPointer((5 * below(6) + 7) * 8 + 10, 74);
        Click(true);
      }
      HoldBar(false);
      Frame();
      break;
    case 4:  // another plane to work on
      HoldBar(true);
      InBar(below(Level.planeCount), 54), Click(true);
      HoldBar(false);
      Frame();
      break;
    case 5:  // NEW, now and then
      if (below(4) == 0) Tap(kKey0), Tap(kKeyEnter);
      break;
    case 6:  // undo in the middle of a stroke
      nullplat::SetButton(true, true);
      cell(), Frame();
      Chord(kKeyZ);
      cell(), Frame();
      nullplat::SetButton(true, false);
      Frame();
      break;
    case 7: Chord(kKeyZ); break;
    default: Chord(below(2) ? kKeyY : kKeyZ, true); break;
  }
}

TEST_F(EditHistoryTest, RandomSessionsOnTheDemoLevelsUndoToTheByteAndRedoAgain) {
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    LoadDemo(int(seed % 4) + 1);
    Editor.panelShown = seed % 3 != 0;  // Ctrl is bar mode only with the panel
    const Snapshot start = Take();
    std::mt19937 rng(seed);
    for (int k = 0; k < 40; ++k) Act(rng);
    Editor.panelShown = 1;
    // Each redo gives back the level as it was before the matching undo.
    std::vector<Snapshot> trail = {Take()};
    std::vector<std::string> names;
    while (History.done > 0) {
      names.push_back(UndoName());
      Chord(kKeyZ);
      trail.push_back(Take());
    }
    ASSERT_EQ(trail.back(), start) << "seed " << seed;
    EXPECT_FALSE(LevelEdited());
    for (size_t k = names.size(); k-- > 0;) {
      Chord(kKeyY);
      ASSERT_EQ(Take(), trail[k]) << "seed " << seed << ", redo of " << names[k];
    }
  }
}

TEST_F(EditHistoryTest, UndoOfADeleteGivesThePlaneBackWithItsCellsShownFlagAndPlace) {
  LoadDemo(1);
  const Snapshot start = Take();
  const std::vector<uint16_t> cells = Level.planes[1].tiles;
  HoldBar(true);
  InBar(1, 54), Click(false);  // plane 1 shown
  InBar(2, 54), Click(true);   // plane 2 current
  const Snapshot shown = Take();
  InBar(1, 54), Tap(kKeyD);
  ASSERT_EQ(Level.planeCount, start.count - 1);
  Chord(kKeyZ);
  EXPECT_EQ(Take(), shown);
  EXPECT_EQ(Level.planes[1].tiles, cells);
  EXPECT_EQ(Level.currentPlane, 2);
  EXPECT_TRUE(Drew("UNDO: DELETE PLANE 1", 1, 0, 198));
}

TEST_F(EditHistoryTest, UndoOfNewGivesBackTheOldLevelAndRedoTheNewOne) {
  LoadDemo(2);
  const Snapshot start = Take();
  Tap(kKey0), Tap(kKeyEnter);
  const Snapshot fresh = Take();
  ASSERT_NE(fresh, start);
  EXPECT_EQ(UndoName(), "new level");
  Chord(kKeyZ);
  EXPECT_EQ(Take(), start);
  Chord(kKeyZ, true);  // Ctrl+Shift+Z redoes too
  EXPECT_EQ(Take(), fresh);
}

// The stroke so far is undone; the button still down paints nothing more
// until it is released, and redo brings the stroke back.
TEST_F(EditHistoryTest, UndoDuringAStrokeUndoesItAndTheHeldButtonPaintsNoMore) {
  Editor.currentTile = 5;
  Editor.panelShown = 0;  // Ctrl is no bar mode: the plane stays under the pointer
  nullplat::SetButton(true, true);
  Sweep({{1, 1}, {2, 1}});
  Chord(kKeyZ);
  Sweep({{3, 1}, {4, 1}});
  EXPECT_EQ(std::count(Level.planes[0].tiles.begin(), Level.planes[0].tiles.end(), 5), 0);
  nullplat::SetButton(true, false);
  Frame();
  Chord(kKeyY);
  EXPECT_EQ(Ints({Cell(1, 1), Cell(2, 1), Cell(3, 1)}), Ints({5, 5, 0}));
  EXPECT_TRUE(Drew("REDO: PAINT 2 CELLS", 1, 0, 198));
}

TEST_F(EditHistoryTest, ANewChangeEndsTheRedoStepsAndAnEmptyStrokeDoesNot) {
  Editor.currentTile = 3;
  AtCell(1, 1), Click(true);
  AtCell(2, 2), Click(true);
  Chord(kKeyZ);
  AtCell(1, 1), Click(true);  // already tile 3: no change, the redo stays
  EXPECT_EQ(RedoName(), "paint");
  AtCell(5, 5), Click(true);
  EXPECT_EQ(RedoName(), "");
  Chord(kKeyY);
  EXPECT_EQ(Ints({Cell(1, 1), Cell(2, 2), Cell(5, 5)}), Ints({3, 0, 3}));
}

// With the panel hidden Ctrl is no bar mode: the Z and Y of the chords
// neither step the tile nor set a loop, and a run of E on one line is one step.
TEST_F(EditHistoryTest, TheChordsLettersDoNothingElseAndARunOfOneKeyIsOneStep) {
  SetLevel({MakePlane(kHTiled, 40, 30)});
  Editor.panelShown = 0;
  Editor.currentTile = 4;
  AtCell(6, 2), Tap(kKeyE), Tap(kKeyE), Tap(kKeyE);
  EXPECT_EQ(Level.planes[0].lineSpeeds[2], 11);
  ASSERT_EQ(History.done, 1u);
  Chord(kKeyZ);
  Chord(kKeyY);
  Chord(kKeyZ);
  EXPECT_EQ(Ints({Editor.currentTile, Level.planes[0].lineLoops[2], Level.planes[0].lineSpeeds[2]}), Ints({4, 40, 8}));
  EXPECT_TRUE(Drew("UNDO: SPEED OF 1 LINE", 1, 0, 198));
}

TEST_F(EditHistoryTest, TheHistoryStaysWithinItsBoundDroppingTheOldestSteps) {
  SetLevel({MakePlane(kFlat, 1200, 320)});
  History.byteBound = 64 << 10;  // eight strokes of the screen's 960 cells
  Editor.panelShown = 0;
  ::testing::internal::CaptureStderr();
  for (int stroke = 0; stroke < 40; ++stroke) {
    Editor.currentTile = stroke % 2 + 1;
    nullplat::SetButton(true, true);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 40; ++x) AtCell(x, y), Frame();
    nullplat::SetButton(true, false);
    Frame();
    ASSERT_LE(History.bytes, History.byteBound);
  }
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "editor: the undo history holds at most 64 KB; its oldest steps are dropped\n");
  EXPECT_GT(History.dropped, 0u);
  UndoAll();  // as far back as is kept: the first strokes' cells stay
  EXPECT_EQ(Cell(0, 0), 1);
  EXPECT_TRUE(LevelEdited());
}

// One step larger than the whole bound is not kept, nor anything before it.
TEST_F(EditHistoryTest, AStepLargerThanTheBoundIsGivenUpAndTheLevelStaysEdited) {
  History.byteBound = 4096;
  Editor.currentTile = 2;
  AtCell(0, 0), Click(true);
  ::testing::internal::CaptureStderr();
  Editor.clipboard.assign(40 * 30, 9), Editor.clipWidth = 40, Editor.clipHeight = 30;
  AtCell(0, 0), Frame();
  nullplat::SetKey(kKeyP, true), Frame(), nullplat::SetKey(kKeyP, false), Frame();
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("cannot be undone"), std::string::npos);
  EXPECT_EQ(History.steps.size(), 0u);
  EXPECT_TRUE(LevelEdited());
  EXPECT_EQ(Cell(39, 29), 9);
}

TEST_F(EditHistoryTest, TheLevelIsEditedUntilUndoneOrSavedAndTheEditMenuSaysWhat) {
  BuildMenuBar();
  LoadLevel(Path("e.lev"));  // missing: the new level, which SAVE makes
  ResetEditHistory();
  EXPECT_FALSE(LevelEdited());
  Editor.currentTile = 1;
  AtCell(3, 3), Click(true);
  EXPECT_TRUE(LevelEdited());
  UpdateEditMenu();
  const auto& edit = nullplat::MenuBar().at(1).children;
  EXPECT_EQ(edit.at(0).text, "&Undo paint  Ctrl+Z");
  EXPECT_TRUE(edit.at(0).enabled);
  EXPECT_FALSE(edit.at(1).enabled);
  HandleMenuCommand(kCommandUndo);
  EXPECT_FALSE(LevelEdited());
  HandleMenuCommand(kCommandRedo);
  Tap(kKey0), Tap(kKeyDown), Tap(kKeyEnter);  // SAVE
  EXPECT_FALSE(LevelEdited());
  Chord(kKeyZ);  // a saved level can still be undone, and then differs from the file
  EXPECT_TRUE(LevelEdited());
  UpdateEditMenu();
  EXPECT_EQ(nullplat::MenuBar().at(1).children.at(1).text, "&Redo paint  Ctrl+Y");
}

// Closing the window ends Tarn too: the changes are kept as on Esc.
TEST_F(EditHistoryTest, ClosingTheWindowKeepsTheUnsavedLevel) {
  LoadLevel(Path("c.lev"));
  ResetEditHistory();
  Editor.currentTile = 2;
  AtCell(3, 3), Click(true);
  ::testing::internal::CaptureStdout();
  WindowProc({platform::MessageKind::Close, 0});
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "unsaved changes to " + Path("c.lev") + " kept in " + Path("c.lev") + ".unsaved\n");
  EXPECT_EQ(Read("c.lev.unsaved"), LevelFileBytes());
  EXPECT_FALSE(std::filesystem::exists(Path("c.lev")));
}

}  // namespace
