// editor_display.cpp: what the level editor draws over the planes (panel,
// bars, menu, cursor, selection, pointer), its art, and the tile viewer.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdarg>
#include <cstdio>

#include "common/regular_file.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/palette_sets.h"
#include "input/input.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "modes/editor.h"
#include "modes/editor_keys.h"

namespace {

constexpr const char* kMenuTexts[] = {"NEW",        "SAVE",       "SAVE AS",        "LOAD LEVEL", "IMPORT BACKGROUND",
                                      "LOAD TILES", "LEVEL WARP", "RETURN TO GAME", "EXIT GAME"};
constexpr const char* kTypeNames[] = {"Flat", "Relative", "H Tiled", "V Tiled", "H Lined", "V Lined"};
constexpr const char* kShortNames[] = {"Flat", "Rele", "HTil", "VTil", "HLin", "VLin"};
constexpr int kViewerColumns = 40;

// The frame's next text as it was drawn last time, made afresh by make()
// when `same` says it changed. Every text goes through here, so the frame's
// words are on record.
template <class Same, class Make>
void ShowText(int32_t x, int32_t y, unsigned font, Same same, Make make) {
  const size_t k = Editor.textLog.size();
  if (k >= Editor.shownTexts.size()) Editor.shownTexts.resize(k + 1);
  ShownText& shown = Editor.shownTexts[k];
  if (!same(shown)) make(shown);
  Editor.textLog.push_back({shown.text, x, y, font});
  DrawText(shown.text.c_str(), x, y, font);
}

void Text(const char* text, int32_t x, int32_t y, unsigned font = 0) {
  ShowText(
      x, y, font, [&](const ShownText& s) { return !s.format && s.text == text; },
      [&](ShownText& s) { s.text = text, s.format = nullptr; });
}

void Text(const std::string& text, int32_t x, int32_t y, unsigned font = 0) { Text(text.c_str(), x, y, font); }

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char buffer[96];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

int64_t TextValue(int64_t v) { return v; }
int64_t TextValue(const char* s) { return int64_t(reinterpret_cast<intptr_t>(s)); }  // the editor's labels are literals

// A formatted text, formatted only when its format or a value changed: a
// panel line costs a printf otherwise, every frame. At most four values,
// whole numbers or literal strings.
template <class... Args>
void TextF(int32_t x, int32_t y, unsigned font, const char* format, Args... args) {
  static_assert(sizeof...(Args) <= 4, "a shown text keeps four values");
  const std::array<int64_t, 4> values = [&] {
    std::array<int64_t, 4> v{};
    size_t i = 0;
    ((v[i++] = TextValue(args)), ...);
    return v;
  }();
// Every caller passes a literal format of whole numbers and strings.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  ShowText(
      x, y, font, [&](const ShownText& s) { return s.format == format && s.values == values; },
      [&](ShownText& s) { s.text = Format(format, args...), s.format = format, s.values = values; });
#pragma GCC diagnostic pop
}

void DrawSprite(const Sprite& s, int32_t camX, int32_t camY, int32_t x, int32_t y) {
  Video.DrawTable.DrawSprite(s, camX, camY, x, y);
}

// ---- Panel -----------------------------------------------------------------

// A speed byte: up to 128 a share of the view's movement, above it the share
// of s - 128 with the automatic drift added.
void SpeedLine(const char* label, uint8_t s, int32_t y) {
  if (s < 129)
    TextF(0, y, 0, "%s %3d/64", label, s);
  else
    TextF(0, y, 0, "%s %3d/64 WITH SCROLL", label, s - 128);
}

// Loops are shown as the last cell of the loop, one below the length.
void LoopLine(const char* label, int32_t loop, int32_t y) { TextF(0, y, 0, "%s %d", label, loop - 1); }

// Speeds and loops at y 88..118: the horizontal values first, then the
// vertical; Relative and H Tiled spell "Speed", the others "SPEED". A line
// off the plane's tables shows only the other axis.
void SpeedAndLoopLines(const Plane& p) {
  if (p.type < kRelative || p.type > kVLined) return;
  const bool caps = p.type >= kVTiled;
  const bool linesAcross = p.type == kVTiled || p.type == kVLined;  // per-line values are Y's
  size_t line;
  const bool onLine = CursorLine(p, line);
  const int32_t perLineY = linesAcross ? 108 : 88, otherY = linesAcross ? 88 : 108;
  const char* perLineSpeed = linesAcross ? (caps ? "Y SPEED" : "Y Speed") : (caps ? "X SPEED" : "X Speed");
  const char* otherSpeed = linesAcross ? (caps ? "X SPEED" : "X Speed") : (caps ? "Y SPEED" : "Y Speed");
  if (onLine) {
    SpeedLine(perLineSpeed, p.lineSpeeds[line], perLineY);
    // The per-line loop has one space before its value, the other loop two.
    LoopLine(linesAcross ? "Y LOOP" : "X LOOP", p.lineLoops[line], perLineY + 10);
  }
  SpeedLine(otherSpeed, p.otherSpeed, otherY);
  LoopLine(linesAcross ? "X LOOP " : "Y LOOP ", p.otherLoop, otherY + 10);
}

// Bar mode: each plane's number in hex, bright when shown in the editor, the
// box around the current one, and "X" where A appends.
void PlaneBar() {
  const int32_t n = Level.planeCount;
  for (int32_t i = 0; i < n && (2 * i + 9) * 8 < 320; ++i)
    TextF((2 * i + 9) * 8, 58, PlaneShownAt(size_t(i)) ? 1 : 0, "%X", unsigned(i));
  if (EditedPlane()) DrawSprite(Editor.sprites.box, 0, 0, (2 * Level.currentPlane + 9) * 8 - 1, 49);
  Text("X", (2 * n + 9) * 8, 58);
  Text("PLANE:   ", 0, 58);
}

void TypeLine(const Plane* p, bool bar) {
  if (bar) {
    Text("Type:  Flat Rele HTil VTil HLin VLin", 0, 78);
    if (p && p->type <= kVLined) Text(kShortNames[p->type], 56 + 40 * p->type, 78, 1);
  } else if (p && p->type <= kVLined) {
    Text(std::string("Type:  ") + kTypeNames[p->type], 0, 78);
  }
}

}  // namespace

// Cell values are those of the edited plane under the pointer; a cell off
// the plane, or a tile number past the set, reads as empty.
void DrawEditorPanel(uint8_t framesPerSecond) {
  const Plane* p = EditedPlane();
  const int32_t cx = Editor.cursorTileX, cy = Editor.cursorTileY;
  const uint16_t cell = p ? CellAt(*p, cx, cy) : 0;
  const Tile* tile = cell < Tiles.tileTable.size() ? &Tiles.tileTable[cell] : nullptr;
  const bool bar = InBarMode();
  TextF(0, 8, 0, "TILE:    %d,%d - %d", cx, cy, framesPerSecond);
  TextF(0, 18, 0, "COORD:   %d,%d", cx * 8, cy * 8);
  TextF(0, 28, 0, "TILNUM:  %d", cell);
  TextF(0, 38, 0, "FLOOR %2d SLOPE %2d", tile ? tile->floor : 0, tile ? tile->slope : 0);
  TextF(0, 48, 0, "CURRENT: %d", Editor.currentTile);
  if (bar)
    PlaneBar();
  else
    TextF(0, 58, 0, "PLANE:   %d", Level.currentPlane);
  TextF(0, 68, 0, "SIZE:    %d,%d", p ? p->width : 0, p ? p->height : 0);
  TypeLine(p, bar);
  if (p) SpeedAndLoopLines(*p);
}

void DrawEditorOverlay() {
  const EditorSprites& art = Editor.sprites;
  // The open menu hides the cursor, selection and pointer.
  if (Editor.menuOpen) {
    for (int i = 0; i < 9; ++i) Text(kMenuTexts[i], 8, 8 + 10 * i);
    if (Editor.menuIndex == 6) TextF(104, 68, 0, "ZONE %02d ACT %02d", Editor.warpZone, Editor.warpAct);
    Video.DrawTable.DrawSpriteFlipH(art.pointer, 0, 0, Editor.menuCursorX, Editor.menuCursorY);
    return;
  }
  const int32_t vx = Level.viewX, vy = Level.viewY;
  const int32_t cx = Editor.cursorTileX, cy = Editor.cursorTileY;
  if (const Plane* p = EditedPlane()) {
    if (p->type == kHLined) DrawSprite(art.hGuide, vx, vy, cx * 8 - 1, Editor.cursorPixelY);
    if (p->type == kVLined) DrawSprite(art.vGuide, vx, vy, Editor.cursorPixelX, cy * 8 - 1);
  }
  // What the left button would paint, where it would paint it.
  if (!InBarMode() && Editor.currentTile >= 0 && size_t(Editor.currentTile) < Tiles.tileTable.size())
    Video.DrawTable.DrawTileMasked(Tiles.tileTable[size_t(Editor.currentTile)], vx, vy, cx * 8, cy * 8);
  const int32_t left = Editor.selectLeft, right = Editor.selectRight;
  const int32_t top = Editor.selectTop, bottom = Editor.selectBottom;
  if (left != right || top != bottom) {
    // Only the stretch of the outline that can reach the screen is drawn.
    const int64_t x0 = std::max<int64_t>(std::min(left, right), (vx >> 3) - 2);
    const int64_t x1 = std::min<int64_t>(std::max(left, right), (vx >> 3) + 82);
    for (int64_t x = x0; x <= x1; ++x) {
      DrawSprite(art.box, vx, vy, int32_t(x * 8 - 1), top * 8 - 1);
      DrawSprite(art.box, vx, vy, int32_t(x * 8 - 1), bottom * 8 - 1);
    }
    const int64_t y0 = std::max<int64_t>(std::min(top, bottom), (vy >> 3) - 2);
    const int64_t y1 = std::min<int64_t>(std::max(top, bottom), (vy >> 3) + 62);
    for (int64_t y = y0; y <= y1; ++y) {
      DrawSprite(art.box, vx, vy, left * 8 - 1, int32_t(y * 8 - 1));
      DrawSprite(art.box, vx, vy, right * 8 - 1, int32_t(y * 8 - 1));
    }
  }
  DrawSprite(art.box, vx, vy, cx * 8 - 1, cy * 8 - 1);
  DrawSprite(art.pointer, 0, 0, Input.MouseX, Input.MouseY);
}

// Bright, at the bottom row of text, until it runs out.
void DrawEditorNotice() {
  if (Editor.noticeFrames <= 0) return;
  --Editor.noticeFrames;
  Text(Editor.notice, 0, 198, 1);  // text stands on its y: rows 190..198
}

// A missing image is said once on stderr; its sprites are cut from whatever
// the scratch image holds, as the fonts are.
void LoadEditorArt(const std::string& dataDir) {
  EditorSprites& art = Editor.sprites;
  const std::string path = dataDir + "/editor/cursor.pcx";
  if (!LoadPcx(path, ScratchImage, 0) && !LastOpenRefused())
    std::fprintf(stderr, "%s: cannot read the editor image\n", path.c_str());
  auto cut = [](Sprite& s, uint32_t w, uint32_t h, int x, int y) {
    InitSprite(s, w, h);
    CutSpriteFrame(ScratchImage, s, 0, x, y);
  };
  cut(art.pointer, 8, 8, 1, 1);
  cut(art.box, 10, 10, 12, 1);
  cut(art.hGuide, 21, 1, 20, 22);
  art.hGuide.originX = -5;
  cut(art.vGuide, 1, 21, 29, 12);
  art.vGuide.originY = -5;
  SetEditorColours();
}

// The viewer keeps its scroll between visits.
ModeResult TileViewerFrame() {
  ModeResult result{kModeTileViewer};
  Editor.textLog.clear();
  ReadEditorPointer();
  editor::UndoKeys();
  int32_t& scroll = Editor.tileViewScroll;
  const int32_t mx = Input.MouseX, my = Input.MouseY;
  if (!Input.MouseLeft && !Input.MouseRight) Editor.mouseArmed = kModeTileViewer;
  // The pick reads the rows as last shown, before this frame's edge scroll,
  // so a click on the top or bottom row takes the tile that was under it.
  if (Editor.mouseArmed == kModeTileViewer && Input.MouseLeft) {
    const int64_t k = int64_t((my + scroll) >> 3) * kViewerColumns + (mx >> 3);
    // Below the last tile nothing is picked and the viewer stays.
    if (k >= 0 && k < Tiles.tileCount) {
      Editor.currentTile = int32_t(k);
      result.nextMode = kModeEditor;
    }
  }
  // Only the rows that reach the screen.
  const int32_t count = int32_t(std::min<size_t>(Tiles.tileCount, Tiles.tileTable.size()));
  if (my < 8 && scroll >= 1) scroll -= 8;
  // Down until the last row of tiles is the top one, never on into the
  // empty rows for ever (the scroll would wrap after some fifty days).
  if (my >= 191) scroll += 8;
  scroll = std::min(scroll, std::max(8 * ((count + kViewerColumns - 1) / kViewerColumns - 1), 0));
  const int32_t firstRow = std::max(scroll / 8 - 1, 0);
  for (int32_t t = firstRow * kViewerColumns; t < count; ++t) {
    const int32_t y = 8 * (t / kViewerColumns) - scroll;
    if (y >= 200) break;
    Video.DrawTable.DrawTile(Tiles.tileTable[size_t(t)], 0, 0, 8 * (t % kViewerColumns), y);
  }
  const Sprite& box = Editor.sprites.box;
  DrawSprite(box, 0, scroll, 8 * (Editor.currentTile % kViewerColumns) - 1,
             8 * (Editor.currentTile / kViewerColumns) - 1);
  DrawSprite(box, 0, scroll, (mx & ~7) - 1, ((my + scroll) & ~7) - 1);
  DrawSprite(Editor.sprites.pointer, 0, 0, mx, my);
  return result;
}
