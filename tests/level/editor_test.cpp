// editor_test.cpp: the editor's keys and mouse through the null platform:
// painting, selection, copy and stamp, the plane and type bars, line speeds
// and loops, the menu, mode switches, and broken or odd planes.
#include <unistd.h>

#include <filesystem>

#include "editor_fixture.h"
#include "shell/main_loop.h"

namespace {

// Planes of 40 x 30 cells; cell (x, y) of plane p.
class EditorTest : public EditorFixture {
 protected:
  uint16_t& Cell(int x, int y, int p = 0) { return Level.planes.at(p).tiles.at(size_t(y) * Level.planes[p].width + x); }
};

TEST_F(EditorTest, TheLeftButtonPaintsEveryCellItPassesAndNothingOffThePlane) {
  Level.planes = {MakePlane(kFlat, 40, 30), MakePlane(kFlat, 1, 1)};
  Level.planeCount = 2;
  Editor.currentTile = 7;
  AtCell(2, 3);
  Frame();  // a move without the button paints nothing
  EXPECT_EQ(Cell(2, 3), 0);
  nullplat::SetButton(true, true);
  for (auto [x, y] : {std::pair{2, 3}, {3, 3}, {4, 3}, {4, 4}}) {
    AtCell(x, y);
    Frame();
  }
  for (auto [x, y] : {std::pair{2, 3}, {3, 3}, {4, 3}, {4, 4}}) EXPECT_EQ(Cell(x, y), 7) << x << "," << y;
  EXPECT_EQ(std::count(Level.planes[0].tiles.begin(), Level.planes[0].tiles.end(), 7), 4);

  // A 1 x 1 plane under a view left of and above it: only its one cell takes paint.
  Level.currentPlane = 1;
  Level.viewX = Level.viewY = -16;
  for (int px = 0; px < 40; px += 3) {
    nullplat::SetPointer(px, px);
    Frame();
  }
  EXPECT_EQ(Level.planes[1].tiles, (std::vector<uint16_t>{7, 0}));  // the cell, then the spare row
}

TEST_F(EditorTest, ARightDragSelectsAndCCopiesTheOrderedBlock) {
  for (uint16_t y = 0; y < 30; ++y)
    for (uint16_t x = 0; x < 40; ++x) Cell(x, y) = uint16_t(100 * y + x);
  nullplat::SetButton(false, true);
  AtCell(10, 5);
  Frame();
  AtCell(4, 2);
  Frame();
  // C while the drag still runs toward the upper left copies the same block.
  Tap(kKeyC);
  EXPECT_EQ(Ints({Editor.clipWidth, Editor.clipHeight}), Ints({7, 4}));
  Editor.clipboard.clear();
  nullplat::SetButton(false, false);
  Frame();
  EXPECT_EQ(Ints({Editor.selectLeft, Editor.selectTop, Editor.selectRight, Editor.selectBottom}), Ints({4, 2, 10, 5}));
  Tap(kKeyC);
  ASSERT_EQ(Editor.clipboard.size(), 28u);
  EXPECT_EQ(Pick(Editor.clipboard, {0, 6, 7, 27}), Ints({204, 210, 304, 510}));
}

TEST_F(EditorTest, PStampsOnTheClipboardsGridAndNeverOffThePlane) {
  Editor.clipboard = {1, 2, 3, 4, 5, 6};
  Editor.clipWidth = 3;
  Editor.clipHeight = 2;
  Frame();  // with P up, so the first press anchors
  nullplat::SetKey(kKeyP, true);
  for (int x = 10; x <= 17; ++x) {  // a sweep to the right, a cell a frame
    AtCell(x, 10);
    Frame();
  }
  for (int x = 10; x <= 18; ++x) EXPECT_EQ(Ints({Cell(x, 10), Cell(x, 11)}), Ints({1 + (x - 10) % 3, 4 + (x - 10) % 3}));
  EXPECT_EQ(Ints({Cell(9, 10), Cell(19, 10), Cell(12, 12)}), Ints({0, 0, 0}));

  // At the plane's last cell only that cell is written; the spare row stays empty.
  Level.planes[0] = MakePlane(kFlat, 5, 4);
  nullplat::SetKey(kKeyP, false);
  Frame();
  nullplat::SetKey(kKeyP, true);
  AtCell(4, 3);
  Frame();
  EXPECT_EQ(Cell(4, 3), 1);
  EXPECT_EQ(std::count(Level.planes[0].tiles.begin(), Level.planes[0].tiles.end(), 0), 5 * 5 - 1);
}

TEST_F(EditorTest, BarModeInsertsDeletesRetypesAndShowsPlanes) {
  NewLevel();
  Level.planeShown = {1, 0, 1};
  HoldBar(true);
  InBar(3, 54);  // the "X" after the last of three planes
  Tap(kKeyA);
  ASSERT_EQ(Level.planeCount, 4);
  EXPECT_EQ(Ints({Level.planes[3].type, Level.planes[3].width, Level.planes[3].height, Level.currentPlane}),
            Ints({kFlat, 1200, 320, 3}));
  InBar(1, 54);  // inserting in the middle moves the shown flags with their planes
  Tap(kKeyA);
  EXPECT_EQ(Pick(std::vector<uint8_t>(Level.planeShown.begin(), Level.planeShown.end()), {0, 1, 2, 3, 4}),
            Ints({1, 0, 0, 1, 0}));
  // Right click toggles a plane's flag; a left click on the type bar retypes.
  nullplat::SetPointer((2 * 2 + 9) * 8 + 4, 54);
  Click(false);
  EXPECT_EQ(Level.planeShown[2], 1);
  nullplat::SetPointer((5 * kHLined + 7) * 8 + 3, 74);
  Click(true);
  EXPECT_EQ(Ints({Level.planes[1].type, int(Level.planes[1].lineLoops.size())}), Ints({kHLined, 320 * 8}));

  // Deleting the current last plane makes the new last plane current.
  Level.currentPlane = 4;
  InBar(4, 54);
  Tap(kKeyD);
  EXPECT_EQ(Ints({Level.planeCount, Level.currentPlane}), Ints({4, 3}));
  // The only plane is never deleted; a 17th plane is never inserted.
  Level.planes.resize(1);
  Level.planeCount = 1;
  InBar(0, 54);
  Tap(kKeyD);
  EXPECT_EQ(Level.planeCount, 1);
  Level.planes.resize(16);
  Level.planeCount = 16;
  InBar(2, 54);
  Tap(kKeyA);
  EXPECT_EQ(Level.planeCount, 16);
}

TEST_F(EditorTest, SpeedKeysStepByOneOrTenAndCopyToTheSelectedRows) {
  Level.planes[0] = MakePlane(kRelative, 40, 30);
  nullplat::SetKey(kKeyAlt, true);
  for (auto [from, key, to] : {std::tuple{15, kKeyW, 5}, {5, kKeyW, 4}, {250, kKeyE, 251}, {0, kKeyW, 0}}) {
    Level.planes[0].lineSpeeds[0] = uint8_t(from);
    Tap(key);
    EXPECT_EQ(Level.planes[0].lineSpeeds[0], to) << from;
  }
  nullplat::SetKey(kKeyAlt, false);

  Level.planes[0] = MakePlane(kHTiled, 40, 30);
  Plane& p = Level.planes[0];
  for (int r = 0; r < 30; ++r) p.lineSpeeds[r] = uint8_t(r);
  Editor.selectTop = 3, Editor.selectBottom = 6;
  AtCell(9, 4);
  Tap(kKeyE);
  EXPECT_EQ(Pick(p.lineSpeeds, {2, 3, 4, 5, 6, 7}), Ints({2, 5, 5, 5, 5, 7}));
  Tap(kKeyY);  // the row's loop ends at the pointer's column
  Tap(kKeyU);  // the vertical loop at its row
  EXPECT_EQ(Pick(p.lineLoops, {2, 3, 6, 7}), Ints({40, 10, 10, 40}));
  EXPECT_EQ(Ints({p.otherLoop, p.wrapCells}), Ints({5, 5 * 40}));

  // V Lined: R lowers the pointer's pixel column and copies to all eight of each selected column.
  Level.planes[0] = MakePlane(kVLined, 40, 30);
  Editor.selectLeft = 2, Editor.selectRight = 3;
  nullplat::SetPointer(17, 20);
  Tap(kKeyR);
  EXPECT_EQ(Pick(Level.planes[0].lineSpeeds, {15, 16, 17, 31, 32}), Ints({8, 7, 7, 7, 8}));
}

TEST_F(EditorTest, MenuEntriesAndLevelWarp) {
  Tap(kKey0);
  ASSERT_EQ(Editor.menuOpen, 1);
  // Down to entries 2..6, each with Enter held a frame: the menu stays open.
  for (int i = 1; i <= 6; ++i) {
    Tap(kKeyDown);
    if (i < 2) continue;
    Tap(kKeyEnter);
    EXPECT_EQ(Ints({Editor.menuOpen, Editor.menuIndex, Editor.menuCursorY}), Ints({1, i, 10 * i})) << i;
  }
  Tap(kKeyA);  // zone 0 - 1 wraps
  Tap(kKeyF);
  EXPECT_EQ(Ints({Editor.warpZone, Editor.warpAct}), Ints({255, 1}));
  // 0 with Enter closes the menu without acting on the entry it jumps back to.
  Level.planes[0].tiles[5] = 9;
  nullplat::SetKey(kKeyEnter, true);
  Tap(kKey0);
  nullplat::SetKey(kKeyEnter, false);
  EXPECT_EQ(Ints({Editor.menuOpen, Level.planes[0].tiles[5], Level.planeCount}), Ints({0, 9, 1}));

  Tap(kKey0);
  Tap(kKeyEnter);  // NEW
  EXPECT_EQ(Ints({Editor.menuOpen, Level.planeCount, Level.currentPlane}), Ints({0, 3, 1}));
  Tap(kKey0);
  for (int i = 0; i < 7; ++i) Tap(kKeyDown);
  Tap(kKeyEnter);  // RETURN TO GAME
  EXPECT_EQ(Ints({Editor.menuOpen, Loop.GameMode}), Ints({0, kModePlay}));
}

TEST_F(EditorTest, SaveWritesTheLevelAndAFailedSaveShowsItAndKeepsEverything) {
  Level.levelFileName = Path("a.lev");
  Cell(3, 2) = 77;
  Save();
  LoadLevel(Path("a.lev"));
  EXPECT_EQ(Cell(3, 2), 77);

  // Block the temporary file the save writes first: the old file stays.
  Cell(3, 2) = 78;
  std::filesystem::create_directory(Path("a.lev.tmp") + std::to_string(::getpid()));
  ::testing::internal::CaptureStdout();
  Save();
  EXPECT_NE(::testing::internal::GetCapturedStdout().find("*** error creating"), std::string::npos);
  EXPECT_EQ(Cell(3, 2), 78);
  EXPECT_TRUE(Drew("*** error creating a.lev ***", 1));
  for (int i = 0; i < 300; ++i) Frame();  // the message goes after a while
  EXPECT_FALSE(Drew("*** error creating a.lev ***", 1));
  LoadLevel(Path("a.lev"));
  EXPECT_EQ(Cell(3, 2), 77);
}

TEST_F(EditorTest, AClickThatSwitchedModesWaitsForTheButtonsToBeReleased) {
  Editor.currentTile = 5;
  PrepareEditorEntry();
  nullplat::SetButton(true, true);  // held from play into the editor
  AtCell(1, 1);
  Frame();
  EXPECT_EQ(Cell(1, 1), 0);
  Tap(kKey1);
  ASSERT_EQ(Loop.GameMode, kModeTileViewer);
  Frame();  // still the same press: no pick
  EXPECT_EQ(Ints({Loop.GameMode, Editor.currentTile}), Ints({kModeTileViewer, 5}));
  nullplat::SetButton(true, false);
  Frame();
  nullplat::SetButton(true, true);
  nullplat::SetPointer(24, 0);
  Frame();  // picks tile 3 and returns with the button down
  EXPECT_EQ(Ints({Loop.GameMode, Editor.currentTile}), Ints({kModeEditor, 3}));
  AtCell(1, 1);
  Frame();
  EXPECT_EQ(Cell(1, 1), 0);
  nullplat::SetButton(true, false);
  Frame();
  // A click pressed and released between two frames still counts.
  nullplat::SetButton(true, true);
  nullplat::SetButton(true, false);
  Frame();
  EXPECT_EQ(Cell(1, 1), 3);
}

TEST_F(EditorTest, SpaceWithAnArrowMovesThePointerItself) {
  nullplat::SetPointer(100, 100);
  nullplat::SetKey(kKeySpace, true);
  Tap(kKeyRight);
  Frame();  // read back from the platform: the move lasted
  EXPECT_EQ(Ints({Input.MouseX, Input.MouseY, Level.viewX}), Ints({108, 100, 0}));
  Level.planes[0] = MakePlane(kHLined, 40, 30);
  Tap(kKeyDown);
  Frame();
  EXPECT_EQ(Ints({Input.MouseY, Editor.cursorPixelY}), Ints({101, 101}));
}

// Planes no action may read or write outside of: none at all, 1 x 1, huge
// sizes over a short cell array, line tables shorter than the type needs, and
// more planes than the shown flags cover.
TEST_F(EditorTest, OddPlanesAndEmptyLevelsStayEditable) {
  Plane huge = MakePlane(kHTiled, 3, 3);
  huge.width = huge.height = 100000;
  Plane shortLines = MakePlane(kVLined, 40, 30);
  shortLines.lineLoops.resize(3);
  shortLines.lineSpeeds.clear();
  std::vector<Plane> many(20, MakePlane(kRelative, 2, 2));
  Level.viewX = -24;
  for (const std::vector<Plane>& level :
       {std::vector<Plane>{}, {MakePlane(kHLined, 1, 1)}, {huge}, {shortLines}, many}) {
    Level.planes = level;
    Level.planeCount = uint8_t(level.size());
    Level.currentPlane = uint8_t(level.empty() ? 0 : level.size() - 1);
    Editor.clipboard.assign(16, 1);
    Editor.clipWidth = Editor.clipHeight = 4;
    const std::vector<uint8_t> keys = {kKeyW, kKeyE, kKeyR, kKeyT, kKeyY, kKeyU, kKeyG, kKeyC, kKeyA, kKeyD};
    for (uint8_t key : keys) nullplat::SetKey(key, true);
    nullplat::SetButton(true, true);
    nullplat::SetButton(false, true);
    // Corners, the two bars in bar mode, and P up once so the stamp anchors anew.
    for (auto [x, y] : {std::pair{0, 0}, {1, 1}, {7, 7}, {80, 54}, {250, 74}, {150, 150}, {319, 199}}) {
      nullplat::SetKey(kKeyCtrl, y == 54 || y == 74);
      nullplat::SetKey(kKeyP, x != 150);
      nullplat::SetPointer(x, y);
      Frame();
      Frame();
    }
    for (uint8_t key : keys) nullplat::SetKey(key, false);
    nullplat::SetButton(true, false);
    nullplat::SetButton(false, false);
    Frame();
  }
  // A level without planes gets one with A over the "X".
  Level.planes.clear();
  Level.planeCount = 0;
  HoldBar(true);
  InBar(0, 54);
  Tap(kKeyA);
  EXPECT_EQ(Ints({Level.planeCount, Level.planes.at(0).width}), Ints({1, 1200}));
}

}  // namespace
