// editor.cpp: the level editor's state, its frame, and what its keys and
// mouse do to the planes: painting, selection, copy and stamp, the plane and
// type bars, per-line speeds and loops, and the menu.
#include "level/editor.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "gfx/draw.h"
#include "gfx/frame_buffer.h"
#include "gfx/plane_render.h"
#include "gfx/scroll.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "objects/palette_sets.h"
#include "platform/platform.h"
#include "shell/input.h"
#include "shell/main_loop.h"

EditorState Editor;

void ResetEditor() { Editor = {}; }

namespace {

constexpr int kMenuEntries = 9;
enum MenuEntry { kMenuNew = 0, kMenuSave = 1, kMenuWarp = 6, kMenuReturn = 7, kMenuExit = 8 };
constexpr int32_t kNoticeFrames = 240;  // four seconds

// The bars of bar mode: pointer rows and the x of plane i's and type t's box.
constexpr int32_t kPlaneBarTop = 50, kPlaneBarBottom = 57;
constexpr int32_t kTypeBarTop = 70, kTypeBarBottom = 77;
int32_t PlaneBoxX(int32_t i) { return (2 * i + 9) * 8; }
int32_t TypeNameX(int32_t t) { return (5 * t + 7) * 8; }

bool Held(uint8_t key) { return Input.KeyHeld[key] != 0; }

// A latched action: runs once when its condition holds and the latch is clear.
bool Take(uint8_t& latch, bool condition) {
  if (latch || !condition) return false;
  latch = 1;
  return true;
}
bool TakeKey(uint8_t key) { return Take(Editor.keyLatch, Held(key)); }

// Frame size of the video mode: the edges that scroll and the view's limits.
int32_t ViewWidth() { return Video.VideoMode == 0 ? 320 : 640; }
int32_t ViewHeight() { return Video.VideoMode == 0 ? 200 : 480; }

bool InPlane(const Plane& p, int32_t x, int32_t y) {
  return x >= 0 && y >= 0 && x < p.width && y < p.height &&
         size_t(y) * size_t(p.width) + size_t(x) < p.tiles.size();
}

void SetCell(Plane& p, int32_t x, int32_t y, uint16_t tile) {
  if (InPlane(p, x, y)) p.tiles[size_t(y) * size_t(p.width) + size_t(x)] = tile;
}

void UpdateCursor() {
  Editor.cursorPixelX = Input.MouseX + Level.viewX;
  Editor.cursorPixelY = Input.MouseY + Level.viewY;
  Editor.cursorTileX = Editor.cursorPixelX >> 3;
  Editor.cursorTileY = Editor.cursorPixelY >> 3;
}

bool SelectionEmpty() {
  return Editor.selectLeft == Editor.selectRight && Editor.selectTop == Editor.selectBottom;
}

void ClearSelection() {
  if (!SelectionEmpty()) Editor.selectLeft = Editor.selectTop = Editor.selectRight = Editor.selectBottom = 0;
}

void ShowNotice(std::string text) {
  Editor.notice = std::move(text);
  Editor.noticeFrames = kNoticeFrames;
}

// ---- Menu ------------------------------------------------------------------

// SAVE writes the level to the file it belongs to. Before any level was
// loaded there is none; a file there that did not load is never written over.
void SaveEditedLevel() {
  const std::string& name = Level.levelFileName;
  const std::string shown = name.substr(name.rfind('/') + 1);
  if (name.empty()) {
    std::fprintf(stderr, "SAVE: no level was loaded, so there is no file to write; nothing saved\n");
    ShowNotice("*** no level loaded: not saved ***");
  } else if (!Level.levelFileProblem.empty()) {
    std::fprintf(stderr, "%s: not saved: the file there %s and was not loaded; it is kept as it is\n", name.c_str(),
                 Level.levelFileProblem.c_str());
    ShowNotice("*** " + shown + " " + Level.levelFileProblem + ": not saved ***");
  } else if (!SaveLevel(name)) {
    ShowNotice("*** error creating " + shown + " ***");
  }
}

void CloseMenu() {
  Editor.menuOpen = 0;
  Editor.menuIndex = 0;
  Editor.menuCursorY = 0;
}

void MenuInput() {
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
  if (!Held(kKeyA) && !Held(kKeyS) && !Held(kKeyD) && !Held(kKeyF) && !Held(kKeyUp) && !Held(kKeyDown) &&
      !Held(kKey0))
    Editor.keyLatch = 0;
  if (!Held(kKeyEnter)) return;
  // SAVE AS, LOAD LEVEL, IMPORT BACKGROUND, LOAD TILES and LEVEL WARP do
  // nothing on Enter and the menu stays open.
  switch (Editor.menuIndex) {
    case kMenuNew:
      NewLevel();
      Editor.cursorTileX = Editor.cursorTileY = Editor.cursorPixelX = Editor.cursorPixelY = 0;
      Editor.currentTile = 0;
      Level.currentPlane = 1;
      CloseMenu();
      break;
    case kMenuSave:
      SaveEditedLevel();
      CloseMenu();
      break;
    case kMenuReturn:
      Loop.GameMode = kModePlay;
      CloseMenu();
      break;
    case kMenuExit:
      QuitGame();
    default:
      break;
  }
}

// ---- Editing ---------------------------------------------------------------

// The pointer at an edge scrolls every frame, not latched; right and down
// stop where the plane's last cells reach the frame's edge.
void EdgeScroll(const Plane* p) {
  const int32_t wide = ViewWidth(), high = ViewHeight();
  if (Input.MouseX < 8 && Level.viewX >= 1) Level.viewX -= 8;
  if (Input.MouseY < 8 && Level.viewY >= 1) Level.viewY -= 8;
  if (!p) return;
  if (Input.MouseX >= wide - 9 && int64_t(p->width) * 8 - wide > Level.viewX) Level.viewX += 8;
  if (Input.MouseY >= high - 9 && int64_t(p->height) * 8 - high > Level.viewY) Level.viewY += 8;
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
    if (nudge) NudgePointer(p, 0, -8);
    else if (Level.viewY > 0) Level.viewY -= 8;
  }
  if (TakeKey(kKeyLeft)) {
    if (nudge) NudgePointer(p, -8, 0);
    else if (Level.viewX > 0) Level.viewX -= 8;
  }
  if (TakeKey(kKeyDown)) {
    if (nudge) NudgePointer(p, 0, 8);
    else if (maxY > Level.viewY) Level.viewY += 8;
  }
  if (TakeKey(kKeyRight)) {
    if (nudge) NudgePointer(p, 8, 0);
    else if (maxX > Level.viewX) Level.viewX += 8;
  }
}

// Right drag selects; the left button paints the cell under the pointer.
void PlaneMouse(Plane* p) {
  if (Input.MouseRight) {
    if (!Editor.selecting) {
      Editor.selectLeft = Editor.cursorTileX;
      Editor.selectTop = Editor.cursorTileY;
      Editor.selecting = 1;
    }
    Editor.selectRight = Editor.cursorTileX;
    Editor.selectBottom = Editor.cursorTileY;
  } else if (Editor.selecting) {
    Editor.selecting = 0;
    if (Editor.selectLeft > Editor.selectRight) std::swap(Editor.selectLeft, Editor.selectRight);
    if (Editor.selectTop > Editor.selectBottom) std::swap(Editor.selectTop, Editor.selectBottom);
  }
  if (Input.MouseLeft && p) SetCell(*p, Editor.cursorTileX, Editor.cursorTileY, uint16_t(Editor.currentTile));
}

// Keeps the view on the plane that just became current.
void ClampViewTo(const Plane& p) {
  const int32_t columns = p.width - Video.TileColumns, rows = p.height - Video.TileRows;
  if (columns < (Level.viewX >> 3) + 1) Level.viewX = columns * 8;
  if (rows < (Level.viewY >> 3) + 1) Level.viewY = rows * 8;
}

// A new empty Flat plane at position at; the planes from there move up one.
void InsertPlane(size_t at) {
  Plane fresh;
  InitPlane(fresh, kFlat, 1200, 320);
  fresh.priority = 3;
  Level.planes.insert(Level.planes.begin() + ptrdiff_t(at), std::move(fresh));
  // Each shown flag moves with its plane.
  for (size_t j = std::min(Level.planes.size() - 1, kShownPlanes - 1); j > at; --j)
    Level.planeShown[j] = Level.planeShown[j - 1];
  Level.planeShown[at] = 0;
  Level.planeCount = uint8_t(Level.planes.size());
  Level.currentPlane = uint8_t(at);
  ClampViewTo(Level.planes[at]);
  ClearSelection();
}

// The flag past the last plane is cleared, so a later insert never inherits it.
void DeletePlane(size_t at) {
  Level.planes.erase(Level.planes.begin() + ptrdiff_t(at));
  for (size_t j = at; j + 1 < kShownPlanes; ++j) Level.planeShown[j] = Level.planeShown[j + 1];
  if (Level.planes.size() < kShownPlanes) Level.planeShown[Level.planes.size()] = 0;
  Level.planeCount = uint8_t(Level.planes.size());
  if (Level.currentPlane >= Level.planeCount) Level.currentPlane = uint8_t(Level.planeCount - 1);
}

// The plane bar position under the pointer (planeCount is the "X"), or -1.
int32_t PlaneBarSlot() {
  if (Input.MouseY < kPlaneBarTop || Input.MouseY > kPlaneBarBottom) return -1;
  for (int32_t i = 0; i <= Level.planeCount; ++i)
    if (Input.MouseX >= PlaneBoxX(i) && Input.MouseX <= PlaneBoxX(i) + 8) return i;
  return -1;
}

int32_t TypeBarSlot() {
  if (Input.MouseY < kTypeBarTop || Input.MouseY > kTypeBarBottom) return -1;
  for (int32_t t = 0; t <= kVLined; ++t)
    if (Input.MouseX >= TypeNameX(t) && Input.MouseX <= TypeNameX(t) + 32) return t;
  return -1;
}

// Bar mode: the pointer works the plane and type bars instead of the plane;
// every action here is one per press.
void BarMouse() {
  const int32_t slot = PlaneBarSlot(), type = TypeBarSlot();
  const bool onPlane = slot >= 0 && slot < Level.planeCount;
  if (Take(Editor.keyLatch, Input.MouseLeft && onPlane)) {
    Level.currentPlane = uint8_t(slot);
    ClampViewTo(Level.planes[size_t(slot)]);
    ClearSelection();
  }
  Plane* p = EditedPlane();
  if (Take(Editor.keyLatch, Input.MouseLeft && p && type >= 0 && type != p->type)) ChangePlaneType(*p, uint8_t(type));
  if (Take(Editor.keyLatch, Input.MouseRight && onPlane && size_t(slot) < kShownPlanes))
    Level.planeShown[size_t(slot)] ^= 1;
  if (Take(Editor.keyLatch, Held(kKeyA) && slot >= 0 && Level.planeCount < kShownPlanes)) InsertPlane(size_t(slot));
  // The last plane stays: the editor always needs one to work on.
  if (Take(Editor.keyLatch, Held(kKeyD) && onPlane && Level.planeCount > 1)) DeletePlane(size_t(slot));
}

// C: the selected block into the clipboard; cells off the plane copy as 0.
// A block past the clipboard's limit is refused and the old copy kept.
void CopySelection(const Plane* p) {
  if (SelectionEmpty()) return;
  // Ordered here as well: C may come while a drag is still under way.
  const int32_t left = std::min(Editor.selectLeft, Editor.selectRight);
  const int32_t right = std::max(Editor.selectLeft, Editor.selectRight);
  const int32_t top = std::min(Editor.selectTop, Editor.selectBottom);
  const int32_t bottom = std::max(Editor.selectTop, Editor.selectBottom);
  const int64_t width = int64_t(right) + 1 - left, height = int64_t(bottom) + 1 - top;
  if (width * height > int64_t(kMaxClipboardCells)) {
    ShowNotice("*** " + std::to_string(width) + "x" + std::to_string(height) + " cells: too many to copy ***");
    return;
  }
  Editor.clipWidth = int32_t(width);
  Editor.clipHeight = int32_t(height);
  Editor.clipboard.assign(size_t(Editor.clipWidth) * size_t(Editor.clipHeight), 0);
  for (int32_t y = 0; y < Editor.clipHeight; ++y)
    for (int32_t x = 0; x < Editor.clipWidth; ++x)
      Editor.clipboard[size_t(x) + size_t(y) * size_t(Editor.clipWidth)] = p ? CellAt(*p, left + x, top + y) : 0;
}

// P held: the clipboard is stamped on a grid of its own size from the anchor,
// so a sweep lays whole blocks side by side and never one between.
void Stamp(Plane* p) {
  int32_t& ax = Editor.pasteAnchorX;
  int32_t& ay = Editor.pasteAnchorY;
  const int32_t cx = Editor.cursorTileX, cy = Editor.cursorTileY;
  const int32_t w = Editor.clipWidth, h = Editor.clipHeight;
  if (ax < 0) {
    ax = cx;
    ay = cy;
  }
  if (!p || w <= 0 || h <= 0 || Editor.clipboard.size() < size_t(w) * size_t(h)) return;
  if (cx - w > 0 && cx < ax) ax -= w;
  if (cy - h > 0 && cy < ay) ay -= h;
  if (cx < ax || cy < ay) return;
  const int32_t ox = cx - (cx - ax) % w, oy = cy - (cy - ay) % h;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      SetCell(*p, ox + x, oy + y, uint16_t(Editor.clipboard[size_t(x) + size_t(y) * size_t(w)]));
}

// Keys that work in bar mode as well as on the plane.
void AlwaysKeys(Plane* p) {
  if (TakeKey(kKeyTab)) Editor.panelShown ^= 1;
  if (TakeKey(kKey0)) Editor.menuOpen = 1;
  if (Held(kKeyG) && p) {
    const uint16_t tile = CellAt(*p, Editor.cursorTileX, Editor.cursorTileY);
    if (tile < Tiles.tileCount) Editor.currentTile = tile;
  }
  if (TakeKey(kKeyC)) CopySelection(p);
  if (Held(kKeyP)) {
    Stamp(p);
  } else {
    Editor.pasteAnchorX = Editor.pasteAnchorY = -1;
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

// ---- Lines -----------------------------------------------------------------

// Speed steps of 1, or 10 with Alt; the byte never wraps.
uint8_t Lower(uint8_t s, bool alt) {
  if (s > 0) --s;
  if (alt && s >= 9) s -= 9;
  return s;
}

uint8_t Raise(uint8_t s, bool alt) {
  if (s < 255) ++s;
  if (alt && s < 246) s += 9;
  return s;
}

// Whether the type keeps its per-line tables along rows (the row keys W, E,
// Y) or along columns (R, T, U); the other keys work its other-axis values.
bool LinesAlong(const Plane& p, bool rows) {
  const bool horizontal = p.type == kRelative || p.type == kHTiled || p.type == kHLined;
  return rows == horizontal;
}

// Gives the selected rows (or columns) the cursor line's entry. Lined planes
// hold eight entries per tile row or column.
template <class T>
void CopyToSelection(const Plane& p, std::vector<T>& table, size_t line, bool rows) {
  if (p.type == kRelative) return;
  const int32_t a = rows ? Editor.selectTop : Editor.selectLeft;
  const int32_t b = rows ? Editor.selectBottom : Editor.selectRight;
  if (a == b) return;
  const int64_t per = p.type == kHLined || p.type == kVLined ? 8 : 1;
  const int64_t first = std::max<int64_t>(std::min(a, b) * per, 0);
  const int64_t last = std::min<int64_t>((std::max(a, b) + 1) * per, int64_t(table.size()));
  for (int64_t k = first; k < last; ++k) table[size_t(k)] = table[line];
}

void ChangeSpeed(Plane& p, bool rows, bool raise) {
  const bool alt = Held(kKeyAlt);
  size_t line;
  if (!LinesAlong(p, rows)) {
    p.otherSpeed = raise ? Raise(p.otherSpeed, alt) : Lower(p.otherSpeed, alt);
  } else if (CursorLine(p, line)) {
    p.lineSpeeds[line] = raise ? Raise(p.lineSpeeds[line], alt) : Lower(p.lineSpeeds[line], alt);
    CopyToSelection(p, p.lineSpeeds, line, rows);
  }
}

// Y sets the loop along rows to the pointer's column + 1, U the loop along
// columns to its row + 1: the loop ends at the cell pointed at.
void SetLoop(Plane& p, bool rows) {
  const int32_t value = rows ? Editor.cursorTileX + 1 : Editor.cursorTileY + 1;
  if (value < 1) return;  // the pointer is left of or above the plane
  size_t line;
  if (!LinesAlong(p, rows)) {
    p.otherLoop = value;
    // Only the vertical other loop sets the cell wrap.
    if (!rows) p.wrapCells = int32_t(std::min<int64_t>(int64_t(p.width) * value, INT32_MAX));
  } else if (CursorLine(p, line)) {
    p.lineLoops[line] = value;
    CopyToSelection(p, p.lineLoops, line, rows);
  }
}

}  // namespace

Plane* EditedPlane() {
  if (Level.currentPlane >= Level.planes.size() || Level.currentPlane >= Level.planeCount) return nullptr;
  return &Level.planes[Level.currentPlane];
}

uint16_t CellAt(const Plane& plane, int32_t x, int32_t y) {
  return InPlane(plane, x, y) ? plane.tiles[size_t(y) * size_t(plane.width) + size_t(x)] : 0;
}

bool CursorLine(const Plane& p, size_t& line) {
  int64_t k = -1;
  switch (p.type) {
    case kRelative: k = 0; break;
    case kHTiled: k = Editor.cursorTileY; break;
    case kVTiled: k = Editor.cursorTileX; break;
    case kHLined: k = Editor.cursorPixelY; break;
    case kVLined: k = Editor.cursorPixelX; break;
    default: break;
  }
  if (k < 0 || size_t(k) >= p.lineLoops.size() || size_t(k) >= p.lineSpeeds.size()) return false;
  line = size_t(k);
  return true;
}

uint8_t PlaneShownAt(size_t i) { return i < kShownPlanes ? Level.planeShown[i] : 0; }

bool InBarMode() { return Held(kKeyCtrl) && Editor.panelShown; }

void PrepareEditorEntry() {
  Editor.mouseArmed = 0;
  Editor.keyLatch = 1;
  Editor.lineKeyLatch = 1;
}

void EditPlaneLines() {
  Plane* p = EditedPlane();
  if (!p || p->type < kRelative || p->type > kVLined) return;
  uint8_t& latch = Editor.lineKeyLatch;
  // Row keys (W, E, Y) act on the horizontal lines, column keys (R, T, U)
  // on the vertical ones; each type maps them onto its own tables.
  if (Take(latch, Held(kKeyW))) ChangeSpeed(*p, true, false);
  if (Take(latch, Held(kKeyE))) ChangeSpeed(*p, true, true);
  if (Take(latch, Held(kKeyR))) ChangeSpeed(*p, false, false);
  if (Take(latch, Held(kKeyT))) ChangeSpeed(*p, false, true);
  if (Take(latch, Held(kKeyY))) SetLoop(*p, true);
  if (Take(latch, Held(kKeyU))) SetLoop(*p, false);
}

void EditorInput() {
  if (Editor.menuOpen) return MenuInput();
  // A tile set with fewer tiles may have come in since the tile was chosen.
  Editor.currentTile = std::clamp(Editor.currentTile, 0, std::max(int32_t(Tiles.tileCount) - 1, 0));
  const bool bar = InBarMode();
  // Bar mode keeps the cursor where it was when Ctrl went down.
  if (!bar) {
    UpdateCursor();
    EdgeScroll(EditedPlane());
    EditKeys(EditedPlane());
    EditPlaneLines();
    if (Held(kKey1)) Loop.GameMode = kModeTileViewer;
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
}

void ReadEditorPointer() {
  const int32_t left = Input.MouseLeft, right = Input.MouseRight;
  ReadMouse();
  Input.MouseLeft |= left;
  Input.MouseRight |= right;
}

void EditorFrame() {
  Editor.textLog.clear();
  ReadEditorPointer();
  EditorInput();
  BuildScrollTables(Level.viewX, Level.viewY);
  AnimatePalette();
  AdvanceTileAnimations();
  PlaneRun run(Tiles.tileTable, Scroll, FrameCanvas(Screen.FrameBuffer));
  // The plane being edited is drawn flat, cell for cell as it is stored.
  for (size_t i = 0; i < Level.planes.size() && i < Level.planeCount; ++i) {
    if (i == Level.currentPlane) {
      if (PlaneDrawFn flat = PlaneDrawTable[kSlotFlat]) flat(Level.planes[i], run);
    } else if (PlaneShownAt(i)) {
      run.Draw(Level.planes[i]);
    }
  }
  DrawEditorOverlay();
  if (Editor.panelShown && !Editor.menuOpen) DrawEditorPanel();
  if (Held(kKeyCtrl) && Editor.panelShown) DrawEditorOverlay();
  DrawEditorNotice();
}
