// editor_test.cpp: the editor's keys and mouse through the null platform:
// painting, selection, copy and stamp, the bars, line speeds and loops, the
// menu, mode switches, and odd planes.
#include "editor_fixture.h"

namespace {

using EditorTest = EditorFixture;

TEST_F(EditorTest, TheLeftButtonPaintsEveryCellItPassesAndNothingOffThePlane) {
  SetLevel({MakePlane(kFlat, 40, 30), MakePlane(kFlat, 1, 1)});
  Editor.currentTile = 7;
  Sweep({{1, 3}});  // moving without the button paints nothing
  nullplat::SetButton(true, true);
  Sweep({{2, 3}, {3, 3}, {4, 3}, {4, 4}});
  for (auto [x, y] : {std::pair{2, 3}, {3, 3}, {4, 3}, {4, 4}}) EXPECT_EQ(Cell(x, y), 7) << x << "," << y;
  EXPECT_EQ(std::count(Level.planes[0].tiles.begin(), Level.planes[0].tiles.end(), 7), 4);
  // A 1 x 1 plane under a view left of and above it: only its cell takes paint.
  Level.currentPlane = 1;
  Level.viewX = Level.viewY = -16;
  for (int px = 0; px < 40; px += 3) nullplat::SetPointer(px, px), Frame();
  EXPECT_EQ(Level.planes[1].tiles, (std::vector<uint16_t>{7, 0}));  // the cell, then the spare row
}

TEST_F(EditorTest, ARightDragSelectsAndCCopiesTheOrderedBlock) {
  for (uint16_t y = 0; y < 30; ++y)
    for (uint16_t x = 0; x < 40; ++x) Cell(x, y) = uint16_t(100 * y + x);
  nullplat::SetButton(false, true);
  Sweep({{10, 5}, {4, 2}});
  Tap(kKeyC);  // while the drag toward the upper left still runs
  EXPECT_EQ(Ints({Editor.clipWidth, Editor.clipHeight}), Ints({7, 4}));
  nullplat::SetButton(false, false);
  Frame();
  EXPECT_EQ(Ints({Editor.selectLeft, Editor.selectTop, Editor.selectRight, Editor.selectBottom}), Ints({4, 2, 10, 5}));
  Editor.clipboard.clear();
  Tap(kKeyC);
  ASSERT_EQ(Editor.clipboard.size(), 28u);
  EXPECT_EQ(Pick(Editor.clipboard, {0, 6, 7, 27}), Ints({204, 210, 304, 510}));
}

// Cells off the plane copy too, so a selection can be any size: past the
// clipboard's limit C keeps the old copy and says so at the bottom.
TEST_F(EditorTest, ASelectionTooLargeToCopyIsRefusedWithANotice) {
  Editor.clipboard = {9};
  Editor.clipWidth = Editor.clipHeight = 1;
  Editor.selectRight = 2048, Editor.selectBottom = 2047;  // one column over 2048 x 2048
  Tap(kKeyC);
  EXPECT_EQ(Ints({int(Editor.clipboard.size()), Editor.clipWidth, Editor.clipHeight}), Ints({1, 1, 1}));
  EXPECT_TRUE(Drew("*** 2049x2048 cells: too many to copy ***", 1, 0, 198));
  Editor.selectRight = 2047;
  Tap(kKeyC);
  EXPECT_EQ(Ints({int(Editor.clipboard.size()), Editor.clipWidth, Editor.clipHeight}), Ints({2048 * 2048, 2048, 2048}));
}

// A level file without planes loads as one (and says so); the editor works
// on it, A over the X gives it a plane, and SAVE writes that plane.
TEST_F(EditorTest, ALevelFileWithoutPlanesGetsOneFromAAndSavesIt) {
  Write("none.lev", LevHeader(2) + Bytes{0, 1, 44});
  ::testing::internal::CaptureStderr();
  LoadLevel(Path("none.lev"));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("holds no planes"), std::string::npos);
  ASSERT_EQ(Level.planeCount, 0);
  AtCell(3, 4), Click(true), Tap(kKeyS), Tap(kKeyS);
  HoldBar(true);
  InBar(0, 54), Tap(kKeyA);
  HoldBar(false);
  ASSERT_EQ(Level.planeCount, 1);
  AtCell(3, 4), Click(true);
  Tap(kKey0), Tap(kKeyDown), Tap(kKeyEnter);
  NewLevel();
  LoadLevel(Path("none.lev"));
  ASSERT_EQ(Level.planeCount, 1);
  EXPECT_EQ(Ints({Cell(3, 4), Cell(2, 4), Level.levelParameter}), Ints({2, 0, 300}));
}

TEST_F(EditorTest, PStampsOnTheClipboardsGridAndNeverOffThePlane) {
  Editor.clipboard = {1, 2, 3, 4, 5, 6};
  Editor.clipWidth = 3, Editor.clipHeight = 2;
  Frame();  // with P up, so the press anchors where it starts
  nullplat::SetKey(kKeyP, true);
  Sweep({{10, 10}, {11, 10}, {12, 10}, {13, 10}, {14, 10}, {15, 10}, {16, 10}, {17, 10}});
  for (int x = 10; x <= 18; ++x)
    EXPECT_EQ(Ints({Cell(x, 10), Cell(x, 11)}), Ints({1 + (x - 10) % 3, 4 + (x - 10) % 3}));
  EXPECT_EQ(Ints({Cell(9, 10), Cell(19, 10), Cell(12, 12)}), Ints({0, 0, 0}));
  // At a plane's last cell only that cell is written; the spare row stays empty.
  SetLevel({MakePlane(kFlat, 5, 4)});
  nullplat::SetKey(kKeyP, false), Frame(), nullplat::SetKey(kKeyP, true);
  Sweep({{4, 3}});
  EXPECT_EQ(Cell(4, 3), 1);
  EXPECT_EQ(std::count(Level.planes[0].tiles.begin(), Level.planes[0].tiles.end(), 0), 5 * 5 - 1);
}

TEST_F(EditorTest, BarModeInsertsDeletesAndShowsPlanes) {
  NewLevel();
  Level.planeShown = {1, 0, 1};
  HoldBar(true);
  InBar(3, 54), Tap(kKeyA);  // the "X" after the last of three planes
  ASSERT_EQ(Level.planeCount, 4);
  EXPECT_EQ(Ints({Level.planes[3].type, Level.planes[3].width, Level.planes[3].height, Level.currentPlane}),
            Ints({kFlat, 1200, 320, 3}));
  InBar(1, 54), Tap(kKeyA);  // in the middle the shown flags move with their planes
  InBar(2, 54), Click(false);
  EXPECT_EQ(Ints(Level.planeShown.begin(), Level.planeShown.begin() + 5), Ints({1, 0, 1, 1, 0}));
  // Deleting the current last plane makes the new last plane current.
  Level.currentPlane = 4;
  InBar(4, 54), Tap(kKeyD);
  EXPECT_EQ(Ints({Level.planeCount, Level.currentPlane}), Ints({4, 3}));
  // The only plane is never deleted, a 17th never inserted.
  SetLevel({MakePlane(kFlat, 2, 2)});
  InBar(0, 54), Tap(kKeyD);
  EXPECT_EQ(Level.planeCount, 1);
  SetLevel(std::vector<Plane>(16));
  InBar(2, 54), Tap(kKeyA);
  EXPECT_EQ(Level.planeCount, 16);
}

TEST_F(EditorTest, SpeedKeysStepByOneOrTenAndCopyToTheSelectedLines) {
  SetLevel({MakePlane(kRelative, 40, 30)});
  nullplat::SetKey(kKeyAlt, true);
  for (auto [from, key, to] : {std::tuple{15, kKeyW, 5}, {5, kKeyW, 4}, {250, kKeyE, 251}, {0, kKeyW, 0}}) {
    Level.planes[0].lineSpeeds[0] = uint8_t(from);
    Tap(key);
    EXPECT_EQ(Level.planes[0].lineSpeeds[0], to) << from;
  }
  nullplat::SetKey(kKeyAlt, false);

  SetLevel({MakePlane(kHTiled, 40, 30)});
  Plane& p = Level.planes[0];
  for (int r = 0; r < 30; ++r) p.lineSpeeds[r] = uint8_t(r);
  Editor.selectTop = 3, Editor.selectBottom = 6;
  AtCell(9, 4);
  Tap(kKeyE);
  EXPECT_EQ(Pick(p.lineSpeeds, {2, 3, 4, 5, 6, 7}), Ints({2, 5, 5, 5, 5, 7}));
  Tap(kKeyY), Tap(kKeyU);  // the row's loop ends at the pointer's column, the vertical one at its row
  EXPECT_EQ(Pick(p.lineLoops, {2, 3, 6, 7}), Ints({40, 10, 10, 40}));
  EXPECT_EQ(Ints({p.otherLoop, p.wrapCells}), Ints({5, 5 * 40}));
  // V Lined: R lowers the pointer's pixel column and all eight of each selected column.
  SetLevel({MakePlane(kVLined, 40, 30)});
  Editor.selectLeft = 2, Editor.selectRight = 3;
  nullplat::SetPointer(17, 20), Tap(kKeyR);
  EXPECT_EQ(Pick(Level.planes[0].lineSpeeds, {15, 16, 17, 31, 32}), Ints({8, 7, 7, 7, 8}));
}

TEST_F(EditorTest, MenuEntries) {
  Tap(kKey0);
  for (int i = 1; i <= 6; ++i) {  // SAVE AS .. LEVEL WARP keep the menu open on Enter
    Tap(kKeyDown);
    if (i >= 2) Tap(kKeyEnter);
    EXPECT_EQ(Ints({Editor.menuOpen, Editor.menuIndex, Editor.menuCursorY}), Ints({1, i, 10 * i}));
  }
  Tap(kKeyA), Tap(kKeyF);
  EXPECT_EQ(Ints({Editor.warpZone, Editor.warpAct}), Ints({255, 1}));
  // 0 with Enter closes without acting on the entry it jumps back to (NEW).
  nullplat::SetKey(kKeyEnter, true);
  Tap(kKey0);
  nullplat::SetKey(kKeyEnter, false);
  EXPECT_EQ(Ints({Editor.menuOpen, Level.planeCount}), Ints({0, 1}));
  Tap(kKey0), Tap(kKeyEnter);  // NEW
  EXPECT_EQ(Ints({Editor.menuOpen, Level.planeCount, Level.currentPlane}), Ints({0, 3, 1}));
  Tap(kKey0);
  for (int i = 0; i < 7; ++i) Tap(kKeyDown);
  Tap(kKeyEnter);  // RETURN TO GAME
  EXPECT_EQ(Ints({Editor.menuOpen, Loop.GameMode}), Ints({0, kModePlay}));
}

// EXIT GAME is left to the loop: the frame ends at once, nothing drawn after.
TEST_F(EditorTest, ExitGameAsksTheLoopToQuit) {
  Tap(kKey0);
  for (int i = 0; i < 8; ++i) Tap(kKeyDown);
  nullplat::SetKey(kKeyEnter, true);
  ReadKeyboard();
  Editor.noticeFrames = 5;
  const ModeResult result = EditorFrame(0);
  EXPECT_TRUE(result.quit);
  EXPECT_EQ(Editor.noticeFrames, 5) << "the notice was drawn after the quit";
}

TEST_F(EditorTest, AClickThatSwitchedModesWaitsForTheButtonsToBeReleased) {
  Editor.currentTile = 5;
  PrepareEditorEntry();
  nullplat::SetButton(true, true);  // held from play into the editor
  Sweep({{1, 1}});
  Tap(kKey1);
  Frame();  // the viewer: still the same press, no pick
  EXPECT_EQ(Ints({Cell(1, 1), Loop.GameMode, Editor.currentTile}), Ints({0, kModeTileViewer, 5}));
  nullplat::SetButton(true, false), Frame();
  nullplat::SetButton(true, true), nullplat::SetPointer(24, 0), Frame();  // picks tile 3, button still down
  Sweep({{1, 1}});
  EXPECT_EQ(Ints({Cell(1, 1), Loop.GameMode, Editor.currentTile}), Ints({0, kModeEditor, 3}));
  nullplat::SetButton(true, false), Frame();
  // A click pressed and released between two frames still counts.
  nullplat::SetButton(true, true), nullplat::SetButton(true, false), Frame();
  EXPECT_EQ(Cell(1, 1), 3);
}

TEST_F(EditorTest, SpaceWithAnArrowMovesThePointerItself) {
  nullplat::SetPointer(100, 100);
  nullplat::SetKey(kKeySpace, true);
  Tap(kKeyRight), Frame();  // read back from the platform: the move lasted
  EXPECT_EQ(Ints({Input.MouseX, Input.MouseY, Level.viewX}), Ints({108, 100, 0}));
  SetLevel({MakePlane(kHLined, 40, 30)});
  Tap(kKeyDown), Frame();
  EXPECT_EQ(Ints({Input.MouseY, Editor.cursorPixelY}), Ints({101, 101}));
}

// No plane at all, 1 x 1, huge sizes over a short cell array, line tables
// shorter than the type needs, more planes than the shown flags cover: every
// key and button at corners, edges and the bars reads and writes in bounds.
TEST_F(EditorTest, OddPlanesAndEmptyLevelsStayEditable) {
  Plane huge = MakePlane(kHTiled, 3, 3), shortLines = MakePlane(kVLined, 40, 30);
  huge.width = huge.height = 100000;
  shortLines.lineLoops.resize(3);
  shortLines.lineSpeeds.clear();
  const std::vector<uint8_t> keys = {kKeyW, kKeyE, kKeyR, kKeyT, kKeyY, kKeyU, kKeyG, kKeyC, kKeyA, kKeyD};
  for (const std::vector<Plane>& level : {std::vector<Plane>{},
                                          {MakePlane(kHLined, 1, 1)},
                                          {huge},
                                          {shortLines},
                                          std::vector<Plane>(20, MakePlane(kRelative, 2, 2))}) {
    SetLevel(level, int(level.size()) - 1);
    Level.viewX = -24;
    Editor.clipboard.assign(16, 1);
    Editor.clipWidth = Editor.clipHeight = 4;
    for (uint8_t key : keys) nullplat::SetKey(key, true);
    nullplat::SetButton(true, true), nullplat::SetButton(false, true);
    for (auto [x, y] : {std::pair{0, 0}, {1, 1}, {7, 7}, {80, 54}, {250, 74}, {150, 150}, {319, 199}}) {
      nullplat::SetKey(kKeyCtrl, y == 54 || y == 74);
      nullplat::SetKey(kKeyP, x != 150);
      nullplat::SetPointer(x, y), Frame(), Frame();
    }
    for (uint8_t key : keys) nullplat::SetKey(key, false);
    nullplat::SetButton(true, false), nullplat::SetButton(false, false), Frame();
  }
  // A level without planes gets one from A over the "X".
  SetLevel({});
  HoldBar(true);
  InBar(0, 54), Tap(kKeyA);
  EXPECT_EQ(Ints({Level.planeCount, Level.planes.at(0).width}), Ints({1, 1200}));
}

}  // namespace
