// editor.cpp: the level editor's state, its keys and latches, and what its
// keys and mouse do to the planes: painting, selection, copy and stamp, the
// plane and type bars (insert, delete, retype, show), per-line speeds and
// loops, undo and redo. Every change goes through the history
// (edit_history.h). The menu, scrolling and the frame are in
// editor_frame.cpp, what it draws in editor_display.cpp.
#include "modes/editor.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "common/module_state.h"
#include "gfx/draw.h"
#include "input/input.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "modes/edit_history.h"
#include "modes/editor_keys.h"

EditorState Editor;

void ResetEditor() { Editor = {}; }
const ModuleReset kEditorReset(ResetEditor);

namespace editor {

bool Held(uint8_t key) { return Input.KeyHeld[key] != 0; }

bool Take(uint8_t& latch, bool condition) {
  if (latch || !condition) return false;
  latch = 1;
  return true;
}
bool TakeKey(uint8_t key) { return Take(Editor.keyLatch, Held(key)); }

bool SelectionEmpty() { return Editor.selectLeft == Editor.selectRight && Editor.selectTop == Editor.selectBottom; }

void ClearSelection() {
  if (!SelectionEmpty()) Editor.selectLeft = Editor.selectTop = Editor.selectRight = Editor.selectBottom = 0;
}

void ShowNotice(std::string text, int32_t frames) {
  Editor.notice = std::move(text);
  Editor.noticeFrames = frames;
}

}  // namespace editor

namespace {

bool InPlane(const Plane& p, int32_t x, int32_t y) {
  return x >= 0 && y >= 0 && x < p.width && y < p.height && size_t(y) * size_t(p.width) + size_t(x) < p.tiles.size();
}

}  // namespace

namespace editor {

namespace {

// The bars of bar mode: pointer rows and the x of plane i's and type t's box.
constexpr int32_t kPlaneBarTop = 50, kPlaneBarBottom = 57;
constexpr int32_t kTypeBarTop = 70, kTypeBarBottom = 77;
int32_t PlaneBoxX(int32_t i) { return (2 * i + 9) * 8; }
int32_t TypeNameX(int32_t t) { return (5 * t + 7) * 8; }

// Keeps the view on the plane that just became current.
void ClampViewTo(const Plane& p) {
  const int32_t columns = p.width - Video.TileColumns, rows = p.height - Video.TileRows;
  if (columns < (Level.viewX >> 3) + 1) SetView(columns * 8, Level.viewY);
  if (rows < (Level.viewY >> 3) + 1) SetView(Level.viewX, rows * 8);
}

// A new plane at the bar position, made current with the view kept on it.
void AddPlaneAt(size_t at) {
  EditInsertPlane(at);
  ClampViewTo(Level.planes[at]);
  ClearSelection();
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

}  // namespace

// Bar mode: the pointer works the plane and type bars instead of the plane;
// every action here is one per press.
void BarMouse() {
  const int32_t slot = PlaneBarSlot(), type = TypeBarSlot();
  const bool onPlane = slot >= 0 && slot < Level.planeCount;
  if (Take(Editor.keyLatch, Input.MouseLeft && onPlane)) {
    SelectPlane(uint8_t(slot));
    ClampViewTo(Level.planes[size_t(slot)]);
    ClearSelection();
  }
  Plane* p = EditedPlane();
  if (Take(Editor.keyLatch, Input.MouseLeft && p && type >= 0 && type != p->type))
    EditRetypePlane(Level.currentPlane, uint8_t(type));
  if (Take(Editor.keyLatch, Input.MouseRight && onPlane && size_t(slot) < kShownPlanes)) TogglePlaneShown(size_t(slot));
  if (Take(Editor.keyLatch, Held(kKeyA) && slot >= 0 && Level.planeCount < kShownPlanes)) AddPlaneAt(size_t(slot));
  // The last plane stays: the editor always needs one to work on.
  if (Take(Editor.keyLatch, Held(kKeyD) && onPlane && Level.planeCount > 1)) EditDeletePlane(size_t(slot));
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
  // A stroke is one step, from the button's press to its release.
  if (Input.MouseLeft && p) {
    BeginEdit(EditKind::Paint, Level.currentPlane);
    EditCell(Level.currentPlane, Editor.cursorTileX, Editor.cursorTileY, uint16_t(Editor.currentTile));
  }
}

namespace {

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
  // The sweep is one step, from P's press to its release.
  BeginEdit(EditKind::Stamp, Level.currentPlane);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      EditCell(Level.currentPlane, ox + x, oy + y, uint16_t(Editor.clipboard[size_t(x) + size_t(y) * size_t(w)]));
}

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
void CopyToSelection(const Plane& p, PlaneValue table, size_t line, bool rows) {
  if (p.type == kRelative) return;
  const int32_t a = rows ? Editor.selectTop : Editor.selectLeft;
  const int32_t b = rows ? Editor.selectBottom : Editor.selectRight;
  if (a == b) return;
  const int64_t per = p.type == kHLined || p.type == kVLined ? 8 : 1;
  const int64_t size = int64_t(table == kLineSpeed ? p.lineSpeeds.size() : p.lineLoops.size());
  const int64_t first = std::max<int64_t>(std::min(a, b) * per, 0);
  const int64_t last = std::min<int64_t>((std::max(a, b) + 1) * per, size);
  const int32_t value = GetPlaneValue(p, table, line);
  for (int64_t k = first; k < last; ++k) EditValue(Level.currentPlane, table, size_t(k), value);
}

// One press is one step, and presses of the same key on the same line
// (or on the whole plane's value) run into it.
void BeginLineStep(EditKind kind, uint8_t key, bool onLine, size_t line) {
  BeginEdit(kind, Level.currentPlane, uint64_t(key) << 32 | (onLine ? line + 2 : 1));
}

void ChangeSpeed(Plane& p, bool rows, bool raise, uint8_t key) {
  const bool alt = Held(kKeyAlt);
  size_t line;
  auto step = [&](int32_t s) { return raise ? Raise(uint8_t(s), alt) : Lower(uint8_t(s), alt); };
  if (!LinesAlong(p, rows)) {
    BeginLineStep(EditKind::Speed, key, false, 0);
    EditValue(Level.currentPlane, kOtherSpeed, 0, step(p.otherSpeed));
  } else if (CursorLine(p, line)) {
    BeginLineStep(EditKind::Speed, key, true, line);
    EditValue(Level.currentPlane, kLineSpeed, line, step(p.lineSpeeds[line]));
    CopyToSelection(p, kLineSpeed, line, rows);
  }
  EndEdit();
}

// Y sets the loop along rows to the pointer's column + 1, U the loop along
// columns to its row + 1: the loop ends at the cell pointed at.
void SetLoop(Plane& p, bool rows, uint8_t key) {
  const int32_t value = rows ? Editor.cursorTileX + 1 : Editor.cursorTileY + 1;
  if (value < 1) return;  // the pointer is left of or above the plane
  size_t line;
  if (!LinesAlong(p, rows)) {
    BeginLineStep(EditKind::LoopValue, key, false, 0);
    EditValue(Level.currentPlane, kOtherLoop, 0, value);
    // Only the vertical other loop sets the cell wrap.
    if (!rows)
      EditValue(Level.currentPlane, kWrapCells, 0, int32_t(std::min<int64_t>(int64_t(p.width) * value, INT32_MAX)));
  } else if (CursorLine(p, line)) {
    BeginLineStep(EditKind::LoopValue, key, true, line);
    EditValue(Level.currentPlane, kLineLoop, line, value);
    CopyToSelection(p, kLineLoop, line, rows);
  }
  EndEdit();
}

}  // namespace

// Keys that work in bar mode as well as on the plane.
void AlwaysKeys(Plane* p) {
  if (TakeKey(kKeyTab)) Editor.panelShown ^= 1;
  if (TakeKey(kKey0)) Editor.menuOpen = 1;
  if (Held(kKeyG) && p) {
    const uint16_t tile = CellAt(*p, Editor.cursorTileX, Editor.cursorTileY);
    if (tile < Tiles.tileCount) Editor.currentTile = tile;
  }
  if (TakeKey(kKeyC)) CopySelection(p);
  // After an undo a P still down stamps nothing until it is released.
  if (!Held(kKeyP)) Editor.stampArmed = 1;
  if (Held(kKeyP) && Editor.stampArmed) {
    Stamp(p);
  } else {
    Editor.pasteAnchorX = Editor.pasteAnchorY = -1;
  }
}

namespace {

constexpr int32_t kUndoNoticeFrames = 120;  // two seconds

std::string Upper(std::string text) {
  for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// A button or P still down from the step just undone changes nothing until
// it is released, so the undo is not painted over at once.
bool AfterUndo(bool done, const char* verb, const std::string& what) {
  if (!done) return false;
  ShowNotice(std::string(verb) + ": " + Upper(what), kUndoNoticeFrames);
  Editor.mouseArmed = 0;
  Editor.stampArmed = 0;
  return true;
}

}  // namespace

// Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo, once a press. Neither letter
// also steps the tile or sets a loop: both latches are held until release.
void UndoKeys() {
  if (!Held(kKeyZ) && !Held(kKeyY)) Editor.undoLatch = 0;
  if (!Held(kKeyCtrl) || !Take(Editor.undoLatch, Held(kKeyZ) || Held(kKeyY))) return;
  Editor.keyLatch = Editor.lineKeyLatch = 1;
  if (Held(kKeyY) || Held(kKeyShift))
    EditorRedo();
  else
    EditorUndo();
}

}  // namespace editor

using namespace editor;

void EditPlaneLines() {
  Plane* p = EditedPlane();
  if (!p || p->type < kRelative || p->type > kVLined) return;
  uint8_t& latch = Editor.lineKeyLatch;
  // Row keys (W, E, Y) act on the horizontal lines, column keys (R, T, U)
  // on the vertical ones; each type maps them onto its own tables.
  if (Take(latch, Held(kKeyW))) ChangeSpeed(*p, true, false, kKeyW);
  if (Take(latch, Held(kKeyE))) ChangeSpeed(*p, true, true, kKeyE);
  if (Take(latch, Held(kKeyR))) ChangeSpeed(*p, false, false, kKeyR);
  if (Take(latch, Held(kKeyT))) ChangeSpeed(*p, false, true, kKeyT);
  if (Take(latch, Held(kKeyY))) SetLoop(*p, true, kKeyY);
  if (Take(latch, Held(kKeyU))) SetLoop(*p, false, kKeyU);
}

bool EditorUndo() {
  std::string what;
  return AfterUndo(UndoEdit(what), "UNDO", what);
}

bool EditorRedo() {
  std::string what;
  return AfterUndo(RedoEdit(what), "REDO", what);
}

Plane* EditedPlane() { return CurrentPlane(); }

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

void ReadEditorPointer() {
  const int32_t left = Input.MouseLeft, right = Input.MouseRight;
  ReadMouse();
  Input.MouseLeft |= left;
  Input.MouseRight |= right;
}
