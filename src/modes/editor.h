// editor.h: the level editor (GameMode 253), its display, and the tile viewer (254).
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "gfx/pcx.h"
#include "modes/game_mode.h"

struct Plane;

// Sprites cut from the editor art at start-up.
struct EditorSprites {
  Sprite pointer;  // mouse pointer, and mirrored the menu pointer
  Sprite box;      // 10x10 outline of one cell
  Sprite hGuide;   // marks the pointer's pixel row on H Lined planes
  Sprite vGuide;   // marks the pointer's pixel column on V Lined planes
};

// A text the editor display drew, kept so the frame's words can be checked.
struct DrawnText {
  std::string text;
  int32_t x, y;
  unsigned font;
};

// A text the display drew last time in the same place of the frame's
// order, with the format and values it was made from: an unchanged text is
// neither formatted again nor moved, so DrawText finds its picture.
struct ShownText {
  std::string text;
  const char* format = nullptr;  // null for a text drawn as it is
  std::array<int64_t, 4> values{};
};

struct EditorState {
  uint8_t menuOpen = 0;
  int32_t menuIndex = 0;    // 0..8, the entry the menu pointer is at
  int32_t menuCursorY = 0;  // 10 x menuIndex
  int32_t menuCursorX = -1;
  uint8_t warpZone = 0, warpAct = 0;  // the numbers LEVEL WARP shows
  uint8_t panelShown = 1;
  uint8_t keyLatch = 0;                        // an editor key or click acted; cleared once all are up
  uint8_t lineKeyLatch = 0;                    // the same for W, E, R, T, Y, U
  uint8_t undoLatch = 0;                       // Ctrl+Z or Ctrl+Y acted; cleared once Z and Y are up
  uint8_t stampArmed = 1;                      // P stamps; 0 after an undo until P is released
  int32_t cursorPixelX = 0, cursorPixelY = 0;  // world pixel under the pointer
  int32_t cursorTileX = 0, cursorTileY = 0;    // the cell under the pointer
  int32_t currentTile = 0;                     // what the left button paints
  // Selection in cells, corners inclusive; empty when both pairs are equal.
  // The corners are in drag order until the right button is released.
  int32_t selectLeft = 0, selectTop = 0, selectRight = 0, selectBottom = 0;
  uint8_t selecting = 0;
  std::vector<int32_t> clipboard;  // cell (x, y) at x + y x clipWidth
  int32_t clipWidth = 0, clipHeight = 0;
  int32_t pasteAnchorX = 0, pasteAnchorY = 0;  // -1 while P is up
  int32_t mouseArmed = 253;                    // clicks act only while this equals GameMode
  int32_t tileViewScroll = 0;                  // tile viewer, pixels, a multiple of 8
  // A message shown for noticeFrames more frames (a failed save, an undo).
  std::string notice;
  int32_t noticeFrames = 0;
  std::vector<DrawnText> textLog;  // emptied at the start of each editor or viewer frame
  std::deque<ShownText> shownTexts;  // in drawing order; a deque, so that none moves
  EditorSprites sprites;
};
extern EditorState Editor;

void ResetEditor();

// Called on entry from play: nothing still held (keys or buttons) acts
// until it has been released.
void PrepareEditorEntry();
// One editor frame: input, scroll tables, palette and tile animation, the
// planes (the current one flat, others when shown), overlay, panel (which
// shows framesPerSecond). A quit chosen in the menu ends the frame at once.
ModeResult EditorFrame(uint8_t framesPerSecond);
// The keys and mouse of one editor frame.
ModeResult EditorInput();
// W, E, R, T, Y, U: speeds and loops of the current plane's lines.
void EditPlaneLines();
// Undoes (redoes) the last change to the level and names it on the notice
// line ("UNDO: PAINT 12 CELLS"); false when there is none. Ctrl+Z and Ctrl+Y,
// and the Edit menu's Undo and Redo.
bool EditorUndo();
bool EditorRedo();
// When Tarn ends: a level with changes not saved is written beside its file
// as NAME.unsaved (the level file is untouched), unless SAVE would refuse
// that file; either way stdout or stderr says what happened.
void KeepUnsavedLevel();

// Reads the pointer again for the frame's own step. A button the loop's
// sample of this frame saw stays down: a click made and released between two
// frames shows only in that sample.
void ReadEditorPointer();
// The current plane, or null when the level has none.
Plane* EditedPlane();
// Tile number of cell (x, y); 0 outside the plane.
uint16_t CellAt(const Plane& plane, int32_t x, int32_t y);
// The entry of the per-line tables for the pointer's line (row, column,
// pixel row or pixel column by type; 0 for Relative); false when the pointer
// lies outside the plane's tables or the type has none.
bool CursorLine(const Plane& plane, size_t& line);
// planeShown for plane i; planes past the 16 entries are never shown.
uint8_t PlaneShownAt(size_t i);
// Ctrl held with the panel shown: the pointer works the plane and type bars.
bool InBarMode();

// Reads editor/cursor.pcx of the data folder, cuts the sprites and sets the
// editor colours. A missing image is reported and its
// sprites are cut from whatever the scratch image holds.
void LoadEditorArt(const std::string& dataDir);
// The information panel: cell, tiles, floor and slope, plane, size, type,
// speeds and loops; in bar mode the plane and type bars.
void DrawEditorPanel(uint8_t framesPerSecond);
// The menu when open; otherwise guides, tile preview, selection, cursor box
// and pointer.
void DrawEditorOverlay();
// The notice line while it lasts.
void DrawEditorNotice();
// One tile viewer frame: scroll, pick, the tiles 40 to a row, boxes, pointer.
ModeResult TileViewerFrame();
