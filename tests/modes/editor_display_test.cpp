// editor_display_test.cpp: the panel's texts for every plane type, bar mode,
// the menu, the editor art and its boxes, and the tile viewer.
#include "editor_fixture.h"
#include "gfx/frame_buffer.h"
#include "shell/startup.h"

namespace {

using EditorDisplayTest = EditorFixture;

void Panel() {
  Editor.textLog.clear();
  DrawEditorPanel(Loop.FramesPerSecond);
}

TEST_F(EditorDisplayTest, PanelLinesForEveryPlaneType) {
  struct Case {
    uint8_t type;
    size_t line;           // the pointer's line at pixel (19, 27), cell (2, 3)
    const char* texts[4];  // y 88, 98, 108, 118
  } cases[] = {
      {kRelative, 0, {"X Speed 128/64", "X LOOP 1199", "Y Speed   1/64 WITH SCROLL", "Y LOOP  6"}},
      {kHTiled, 3, {"X Speed 128/64", "X LOOP 1199", "Y Speed   1/64 WITH SCROLL", "Y LOOP  6"}},
      {kVTiled, 2, {"X SPEED   1/64 WITH SCROLL", "X LOOP  6", "Y SPEED 128/64", "Y LOOP 1199"}},
      {kHLined, 27, {"X SPEED 128/64", "X LOOP 1199", "Y SPEED   1/64 WITH SCROLL", "Y LOOP  6"}},
      {kVLined, 19, {"X SPEED   1/64 WITH SCROLL", "X LOOP  6", "Y SPEED 128/64", "Y LOOP 1199"}},
  };
  Editor.cursorTileX = 2, Editor.cursorTileY = 3, Editor.cursorPixelX = 19, Editor.cursorPixelY = 27;
  for (const Case& c : cases) {
    Plane& p = Level.planes[0] = MakePlane(c.type, 40, 30);
    p.lineSpeeds[c.line] = 128, p.lineLoops[c.line] = 1200, p.otherSpeed = 129, p.otherLoop = 7;
    Panel();
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(Drew(c.texts[i], 0, 0, 88 + 10 * i)) << int(c.type) << ": " << c.texts[i];
  }
  Tiles.tileTable[9].floor = 3, Tiles.tileTable[9].slope = 12;
  Cell(2, 3) = 9;
  Editor.currentTile = 44;
  Panel();
  for (const char* text : {"TILE:    2,3 - 0", "COORD:   16,24", "TILNUM:  9", "FLOOR  3 SLOPE 12", "CURRENT: 44",
                           "PLANE:   0", "SIZE:    40,30", "Type:  V Lined"})
    EXPECT_TRUE(Drew(text)) << text;
  // Off the plane the cell reads empty and only the other axis's line values show.
  Editor.cursorTileX = Editor.cursorPixelX = -1;
  Panel();
  EXPECT_TRUE(Drew("TILNUM:  0"));
  EXPECT_EQ(Editor.textLog.size(), 10u);
}

// The panel's texts stay where they are while unchanged, so that the font
// code can draw each as one picture; a changed value shows at once.
TEST_F(EditorDisplayTest, PanelTextsChangeOnlyWithTheirValues) {
  Panel();
  auto addresses = [] {
    std::vector<const char*> at;
    for (const ShownText& t : Editor.shownTexts) at.push_back(t.text.c_str());
    return at;
  };
  const std::vector<const char*> first = addresses();
  Panel();
  EXPECT_EQ(addresses(), first);
  EXPECT_TRUE(Drew("CURRENT: 0", 0, 0, 48));
  Editor.currentTile = 1234;
  Level.planes[0].width = 77;
  Panel();
  EXPECT_TRUE(Drew("CURRENT: 1234", 0, 0, 48));
  EXPECT_TRUE(Drew("SIZE:    77,30", 0, 0, 68));
  EXPECT_TRUE(Drew("COORD:   0,0", 0, 0, 18));
  // The menu's texts take the panel's places in the order, and the panel's come back.
  Editor.menuOpen = 1;
  Frame();
  EXPECT_TRUE(Drew("NEW", 0, 8, 8));
  Editor.menuOpen = 0;
  Panel();
  EXPECT_TRUE(Drew("CURRENT: 1234", 0, 0, 48));
  EXPECT_EQ(Editor.textLog.size(), 8u);
}

TEST_F(EditorDisplayTest, BarModeShowsPlanesInHexAndTheTypeBar) {
  SetLevel(std::vector<Plane>(11, MakePlane(kHLined, 81, 61)));
  Level.planeShown[10] = 1;
  HoldBar(true);
  ReadKeyboard();
  Panel();
  EXPECT_TRUE(Drew("A", 1, 232, 58));  // plane 10, shown
  EXPECT_TRUE(Drew("9", 0, 216, 58));
  EXPECT_TRUE(Drew("X", 0, 248, 58));
  EXPECT_TRUE(Drew("PLANE:   ", 0, 0, 58));
  EXPECT_TRUE(Drew("Type:  Flat Rele HTil VTil HLin VLin", 0, 0, 78));
  EXPECT_TRUE(Drew("HLin", 1, 216, 78));
}

TEST_F(EditorDisplayTest, TheMenuListsItsEntriesAndTheWarpNumbers) {
  Editor.menuOpen = 1, Editor.menuIndex = 6, Editor.warpZone = 3, Editor.warpAct = 255;
  Frame();
  EXPECT_TRUE(Drew("NEW", 0, 8, 8));
  EXPECT_TRUE(Drew("EXIT GAME", 0, 8, 88));
  EXPECT_TRUE(Drew("ZONE 03 ACT 255", 0, 104, 68));
  EXPECT_EQ(Editor.textLog.size(), 10u);  // the menu and nothing else
}

// A cursor.pcx made here: pointer, box and guide each with one marked pixel.
TEST_F(EditorDisplayTest, ArtIsCutFromTheDataFolderAndTheBoxFramesTheCell) {
  std::vector<uint8_t> px(320 * 200, 0), palette(768, 0);
  px[1 * 320 + 1] = 64, px[1 * 320 + 12] = 67, px[22 * 320 + 20] = 65;
  Write("default/editor/cursor.pcx", EncodePcx(px.data(), palette.data()));
  Startup.DataDir = Path("default");
  ::testing::internal::CaptureStderr();
  LoadEditorArt(Startup.DataDir);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "cursor.pcx is the editor's only image";
  const EditorSprites& art = Editor.sprites;
  EXPECT_EQ(Ints({art.pointer.frames[0][0], art.box.frames[0][0], art.hGuide.frames[0][0], art.hGuide.originX}),
            Ints({64, 67, 65, -5}));
  Level.viewX = 16;
  nullplat::SetPointer(100, 60);  // world (116, 60): cell (14, 7)
  Frame();
  EXPECT_EQ(Screen.FrameBuffer[(7 * 8 - 1) * 320 + 14 * 8 - 1 - 16], 67);
  EXPECT_EQ(Screen.FrameBuffer[60 * 320 + 100], 64);
}

TEST_F(EditorDisplayTest, TheTileViewerPicksTheTileShownUnderThePointer) {
  Loop.GameMode = kModeTileViewer;
  Editor.tileViewScroll = 80;
  Editor.mouseArmed = kModeTileViewer;  // entered with the buttons up
  nullplat::SetPointer(16, 0), Click(true);
  EXPECT_EQ(Ints({Editor.currentTile, Loop.GameMode}), Ints({402, kModeEditor}));
  // 2000 tiles fill 50 rows; a click below them picks nothing and the viewer stays.
  Loop.GameMode = kModeTileViewer;
  Editor.tileViewScroll = 240;
  nullplat::SetPointer(16, 160), Frame(), Click(true);
  EXPECT_EQ(Ints({Editor.currentTile, Loop.GameMode, Editor.tileViewScroll}), Ints({402, kModeTileViewer, 240}));
  // The pointer left at the bottom scrolls until the last row is the top one.
  nullplat::SetPointer(16, 195);
  for (int f = 0; f < 100; ++f) Frame();
  EXPECT_EQ(Editor.tileViewScroll, 49 * 8);
  Tiles.tileCount = 41;  // a smaller set came in: two rows
  Frame();
  EXPECT_EQ(Editor.tileViewScroll, 8);
}

}  // namespace
