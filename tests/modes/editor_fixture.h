// editor_fixture.h: the editor on a scratch level of one 40 x 30 Flat plane,
// driven through the null platform one frame at a time.
#pragma once

#include <algorithm>
#include <string>

#include "input/input.h"
#include "level/file_fixture.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "modes/editor.h"
#include "shell/main_loop.h"

class EditorFixture : public FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    BuildDefaultTileSet();
    SetLevel({MakePlane(kFlat, 40, 30)});
    Loop.GameMode = kModeEditor;
  }
  static Plane MakePlane(uint8_t type, int32_t width, int32_t height) {
    Plane p;
    InitPlane(p, type, width, height);
    return p;
  }
  static void SetLevel(std::vector<Plane> planes, int current = 0) {
    Level.planes = std::move(planes);
    Level.planeCount = uint8_t(Level.planes.size());
    Level.currentPlane = uint8_t(std::max(current, 0));
  }
  static uint16_t& Cell(int x, int y) { return Level.planes.at(0).tiles.at(size_t(y) * Level.planes[0].width + x); }
  // One frame of the current mode, keys and pointer sampled as the main loop samples them.
  static void Frame() {
    ReadMouse();
    ReadKeyboard();
    // Play is left as it is: these frames run the editor whatever the mode.
    const bool viewer = Loop.GameMode == kModeTileViewer;
    const ModeResult result = viewer ? TileViewerFrame() : EditorFrame(Loop.FramesPerSecond);
    if (result.nextMode != (viewer ? kModeTileViewer : kModeEditor)) Loop.GameMode = result.nextMode;
  }
  // Down for one frame, up for the next.
  static void Tap(uint8_t key) {
    nullplat::SetKey(key, true);
    Frame();
    nullplat::SetKey(key, false);
    Frame();
  }
  static void Click(bool left) {
    nullplat::SetButton(left, true);
    Frame();
    nullplat::SetButton(left, false);
    Frame();
  }
  // The pointer inside cell (x, y) of the level.
  static void AtCell(int x, int y) { nullplat::SetPointer(x * 8 + 3 - Level.viewX, y * 8 + 3 - Level.viewY); }
  // A frame with the pointer in each cell in turn.
  static void Sweep(std::initializer_list<std::pair<int, int>> cells) {
    for (auto [x, y] : cells) AtCell(x, y), Frame();
  }
  static void HoldBar(bool on) {
    nullplat::SetKey(kKeyCtrl, on);
    Editor.panelShown = 1;
  }
  // The pointer over position i of the plane bar, at height y.
  static void InBar(int i, int y) { nullplat::SetPointer((2 * i + 9) * 8 + 4, y); }
  // Whether the last frame drew the text in the font (at x, y when given).
  static bool Drew(const std::string& text, unsigned font = 0, int x = -1, int y = -1) {
    return std::any_of(Editor.textLog.begin(), Editor.textLog.end(), [&](const DrawnText& t) {
      return t.text == text && t.font == font && (x < 0 || t.x == x) && (y < 0 || t.y == y);
    });
  }
};
