// editor_frame.cpp: one editor frame: the menu with SAVE (and the unsaved
// level kept at the end), scrolling by the pointer and the arrows, the order
// in which the frame's input acts, and what it draws.
#include <algorithm>
#include <climits>
#include <cstdio>

#include "common/os_files.h"
#include "gfx/draw.h"
#include "gfx/frame_buffer.h"
#include "gfx/palette_sets.h"
#include "gfx/plane_render.h"
#include "gfx/scroll.h"
#include "gfx/tile_blocks.h"
#include "input/input.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "modes/edit_history.h"
#include "modes/editor.h"
#include "modes/editor_keys.h"
#include "platform/platform.h"

namespace {

using namespace editor;

constexpr int kMenuEntries = 9;
enum MenuEntry { kMenuNew = 0, kMenuSave = 1, kMenuWarp = 6, kMenuReturn = 7, kMenuExit = 8 };

void MoveView(int32_t dx, int32_t dy) { SetView(Level.viewX + dx, Level.viewY + dy); }

// Frame size of the video mode: the edges that scroll and the view's limits.
int32_t ViewWidth() { return Video.VideoMode == 0 ? 320 : 640; }
int32_t ViewHeight() { return Video.VideoMode == 0 ? 200 : 480; }

void UpdateCursor() {
  Editor.cursorPixelX = Input.MouseX + Level.viewX;
  Editor.cursorPixelY = Input.MouseY + Level.viewY;
  Editor.cursorTileX = Editor.cursorPixelX >> 3;
  Editor.cursorTileY = Editor.cursorPixelY >> 3;
}

// ---- Menu ------------------------------------------------------------------

// SAVE writes the level to the file it belongs to. Before any level was
// loaded there is none; a file there that did not load is never written over.
void SaveEditedLevel() {
  const std::string& name = Level.levelFileName;
  const std::string shown = name.substr(OsFileNameStart(name));
  if (name.empty()) {
    std::fprintf(stderr, "SAVE: no level was loaded, so there is no file to write; nothing saved\n");
    ShowNotice("*** no level loaded: not saved ***");
  } else if (!Level.levelFileProblem.empty()) {
    std::fprintf(stderr, "%s: not saved: the file there %s and was not loaded; it is kept as it is\n", name.c_str(),
                 Level.levelFileProblem.c_str());
    ShowNotice("*** " + shown + " " + Level.levelFileProblem + ": not saved ***");
  } else if (SaveLevel(name)) {
    MarkLevelSaved();
  } else {
    ShowNotice("*** error creating " + shown + " ***");
  }
}

void CloseMenu() {
  Editor.menuOpen = 0;
  Editor.menuIndex = 0;
  Editor.menuCursorY = 0;
}

void MenuInput(ModeResult& result) {
  if (TakeKey(kKey0)) {
    // Closing ends the menu's step, so an Enter held with it cannot act on
    // the entry the pointer just jumped back to (NEW).
    CloseMenu();
    return;
  }
  if (TakeKey(kKeyDown) && Editor.menuIndex < kMenuEntries - 1) {
    ++Editor.menuIndex;
    Editor.menuCursorY += 10;
  }
  if (TakeKey(kKeyUp) && Editor.menuIndex >= 1) {
    --Editor.menuIndex;
    Editor.menuCursorY -= 10;
  }
  if (Editor.menuIndex == kMenuWarp) {
    if (TakeKey(kKeyS)) ++Editor.warpZone;
    if (TakeKey(kKeyA)) --Editor.warpZone;
    if (TakeKey(kKeyF)) ++Editor.warpAct;
    if (TakeKey(kKeyD)) --Editor.warpAct;
  }
  if (!Held(kKeyA) && !Held(kKeyS) && !Held(kKeyD) && !Held(kKeyF) && !Held(kKeyUp) && !Held(kKeyDown) && !Held(kKey0))
    Editor.keyLatch = 0;
  if (!Held(kKeyEnter)) return;
  // SAVE AS, LOAD LEVEL, IMPORT BACKGROUND, LOAD TILES and LEVEL WARP do
  // nothing on Enter and the menu stays open.
  switch (Editor.menuIndex) {
    case kMenuNew:
      EditNewLevel();
      Editor.cursorTileX = Editor.cursorTileY = Editor.cursorPixelX = Editor.cursorPixelY = 0;
      Editor.currentTile = 0;
      SelectPlane(1);
      CloseMenu();
      break;
    case kMenuSave:
      SaveEditedLevel();
      CloseMenu();
      break;
    case kMenuReturn:
      result.nextMode = kModePlay;
      CloseMenu();
      break;
    case kMenuExit: result.quit = true; break;
    default: break;
  }
}

// ---- Scrolling -------------------------------------------------------------

// The pointer at an edge scrolls every frame, not latched; right and down
// stop where the plane's last cells reach the frame's edge.
void EdgeScroll(const Plane* p) {
  const int32_t wide = ViewWidth(), high = ViewHeight();
  if (Input.MouseX < 8 && Level.viewX >= 1) MoveView(-8, 0);
  if (Input.MouseY < 8 && Level.viewY >= 1) MoveView(0, -8);
  if (!p) return;
  if (Input.MouseX >= wide - 9 && int64_t(p->width) * 8 - wide > Level.viewX) MoveView(8, 0);
  if (Input.MouseY >= high - 9 && int64_t(p->height) * 8 - high > Level.viewY) MoveView(0, 8);
}

// Space with an arrow moves the system pointer itself: 8 pixels, or one
// pixel across the lines of a Lined plane, for placing the guide exactly.
void NudgePointer(const Plane* p, int32_t dx, int32_t dy) {
  if (dx && p && p->type == kVLined) dx /= 8;
  if (dy && p && p->type == kHLined) dy /= 8;
  const int32_t x = std::clamp(Input.MouseX + dx, 0, ViewWidth() - 1);
  const int32_t y = std::clamp(Input.MouseY + dy, 0, ViewHeight() - 1);
  platform::WarpPointer(x, y);
  Input.MouseX = x;
  Input.MouseY = y;
  UpdateCursor();
}

// S and Z choose the tile, the arrows scroll a cell a press (or, with Space,
// move the pointer). A level without planes scrolls nowhere.
void EditKeys(const Plane* p) {
  const int64_t maxX = p ? int64_t(p->width) * 8 - ViewWidth() : INT64_MIN;
  const int64_t maxY = p ? int64_t(p->height) * 8 - ViewHeight() : INT64_MIN;
  const int32_t last = std::max(int32_t(Tiles.tileCount) - 1, 0);
  if (TakeKey(kKeyS) && Editor.currentTile < last) ++Editor.currentTile;
  if (TakeKey(kKeyZ) && Editor.currentTile > 0) --Editor.currentTile;
  const bool nudge = Held(kKeySpace);
  if (TakeKey(kKeyUp)) {
    if (nudge)
      NudgePointer(p, 0, -8);
    else if (Level.viewY > 0)
      MoveView(0, -8);
  }
  if (TakeKey(kKeyLeft)) {
    if (nudge)
      NudgePointer(p, -8, 0);
    else if (Level.viewX > 0)
      MoveView(-8, 0);
  }
  if (TakeKey(kKeyDown)) {
    if (nudge)
      NudgePointer(p, 0, 8);
    else if (maxY > Level.viewY)
      MoveView(0, 8);
  }
  if (TakeKey(kKeyRight)) {
    if (nudge)
      NudgePointer(p, 8, 0);
    else if (maxX > Level.viewX)
      MoveView(8, 0);
  }
}

// keyLatch clears only once every key and button that can act through it
// is up; G, P, 1 and Space act every frame and do not hold it.
void ReleaseLatches(bool bar) {
  bool down = Held(kKeyS) || Held(kKeyZ) || Held(kKeyTab) || Held(kKey0) || Input.MouseLeft;
  if (bar) down = down || Input.MouseRight || Held(kKeyA) || Held(kKeyD);
  down = down || Held(kKeyUp) || Held(kKeyDown) || Held(kKeyLeft) || Held(kKeyRight) || Held(kKeyC);
  if (!down) Editor.keyLatch = 0;
  if (!Held(kKeyW) && !Held(kKeyE) && !Held(kKeyR) && !Held(kKeyT) && !Held(kKeyY) && !Held(kKeyU))
    Editor.lineKeyLatch = 0;
}

}  // namespace

ModeResult EditorInput() {
  ModeResult result{kModeEditor};
  // A stroke ends with its button, a sweep with P, wherever the editor is.
  if (!Input.MouseLeft) EndEdit(EditKind::Paint);
  if (!Held(kKeyP)) EndEdit(EditKind::Stamp);
  if (Editor.menuOpen) {
    MenuInput(result);
    return result;
  }
  UndoKeys();
  // A tile set with fewer tiles may have come in since the tile was chosen.
  Editor.currentTile = std::clamp(Editor.currentTile, 0, std::max(int32_t(Tiles.tileCount) - 1, 0));
  const bool bar = InBarMode();
  // Bar mode keeps the cursor where it was when Ctrl went down.
  if (!bar) {
    UpdateCursor();
    EdgeScroll(EditedPlane());
    EditKeys(EditedPlane());
    EditPlaneLines();
    if (Held(kKey1)) result.nextMode = kModeTileViewer;
  }
  // A press that began in another mode (or in play) acts only once released.
  if (!Input.MouseLeft && !Input.MouseRight) Editor.mouseArmed = kModeEditor;
  if (Editor.mouseArmed == kModeEditor) {
    if (bar)
      BarMouse();
    else
      PlaneMouse(EditedPlane());
  }
  AlwaysKeys(EditedPlane());
  ReleaseLatches(bar);
  return result;
}

ModeResult EditorFrame(uint8_t framesPerSecond) {
  Editor.textLog.clear();
  ReadEditorPointer();
  const ModeResult result = EditorInput();
  if (result.quit) return result;
  BuildScrollTables(Level.viewX, Level.viewY);
  AnimatePalette();
  AdvanceTileAnimations();
  PlaneRun run(CurrentTileBlocks(), Scroll, FrameCanvas(Screen.FrameBuffer));
  // The plane being edited is drawn flat, cell for cell as it is stored.
  for (size_t i = 0; i < Level.planes.size() && i < Level.planeCount; ++i) {
    if (i == Level.currentPlane) {
      if (PlaneDrawFn flat = PlaneDrawTable[kSlotFlat]) flat(Level.planes[i], run);
    } else if (PlaneShownAt(i)) {
      run.Draw(Level.planes[i]);
    }
  }
  DrawEditorOverlay();
  if (Editor.panelShown && !Editor.menuOpen) DrawEditorPanel(framesPerSecond);
  if (Held(kKeyCtrl) && Editor.panelShown) DrawEditorOverlay();
  DrawEditorNotice();
  return result;
}

// Nothing else happens at the end: the level file stays as it is, and the
// .unsaved file is never read; renamed over the level it is the level.
void KeepUnsavedLevel() {
  if (!LevelEdited()) return;
  const std::string& name = Level.levelFileName;
  if (name.empty()) {
    std::fprintf(stderr, "unsaved changes not kept: no level was loaded, so there is no level file to keep them by\n");
  } else if (!Level.levelFileProblem.empty()) {
    std::fprintf(stderr, "%s: unsaved changes not kept: the file there %s and was not loaded\n", name.c_str(),
                 Level.levelFileProblem.c_str());
  } else if (SaveLevel(name + ".unsaved")) {
    std::printf("unsaved changes to %s kept in %s.unsaved\n", name.c_str(), name.c_str());
    std::fflush(stdout);
  }
}
