// level_fuzz.cpp: a level file, loaded over a small tile set of opaque,
// transparent and animated tiles, drawn by every renderer from odd views,
// saved and read back; then edited for a while through the editor's own
// frames, driven by the input's second part (or a fixed session), and saved
// and read back again. A file that did not load must come out of the session
// as it went in: SAVE never writes over it.
#include <algorithm>
#include <array>
#include <climits>

#include "common/binary_reader.h"
#include "fuzz_support.h"
#include "gfx/frame_buffer.h"
#include "gfx/plane_render.h"
#include "gfx/scroll.h"
#include "gfx/tile_blocks.h"
#include "input/input.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "modes/edit_history.h"
#include "modes/editor.h"
#include "objects/object_list.h"
#include "shell/main_loop.h"

namespace {

// Tiles 1..63: odd ones opaque, even ones with holes, every fourth animated.
void SmallTileSet() {
  ResizeTileSet(64);
  for (uint16_t t = 1; t < 64; ++t) {
    Tile& tile = Tiles.tileTable[t];
    tile.frameCount = t % 4 == 0 ? 2 : 1;
    for (int f = 0; f < tile.frameCount; ++f) {
      tile.frames[f].assign(TileBlockSize() + 1, 0);
      for (size_t i = 0; i < 64; ++i) tile.frames[f][i] = uint8_t(t % 2 || i % 3 ? t + f : 0);
    }
    tile.opaque = t % 2;
    tile.stepCount = t % 4 == 0 ? 2 : 0;
  }
}

// The editor's sprites, cut once from two images drawn here, then given to
// every input (a reset empties them).
const EditorSprites& EditorArt() {
  static const EditorSprites art = [] {
    std::vector<uint8_t> pixels(64000), palette(768, 0x80);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i % 7 ? 64 + i % 5 : 0);
    const std::vector<uint8_t> pcx = EncodePcx(pixels.data(), palette.data());
    const std::string_view bytes(reinterpret_cast<const char*>(pcx.data()), pcx.size());
    fuzz::WriteFile("data/editor/cursor.pcx", bytes);
    Startup.DataDir = fuzz::WorkDir() + "/data";
    LoadEditorArt(Startup.DataDir);
    return Editor.sprites;
  }();
  return art;
}

void DrawEveryWay() {
  static constexpr int32_t kViews[][2] = {{0, 0}, {-13, 7}, {5003, -9999}, {INT_MAX - 40, INT_MIN + 9}, {311, 191}};
  for (const auto& v : kViews) {
    Level.viewX = v[0];
    Level.viewY = v[1];
    BuildScrollTables(Level.viewX, Level.viewY);
    PlaneRun run(CurrentTileBlocks(), Scroll, FrameCanvas(Screen.FrameBuffer));
    for (const Plane& p : Level.planes)
      for (PlaneDrawFn draw : PlaneDrawTable) draw(p, run);
  }
}

// What SaveLevel wrote must read back to the same planes: types and every
// cell both versions have (reading pads planes; the padding is empty). The
// level is left as it was before the save.
void CheckRoundTrip() {
  const std::string name = Level.levelFileName, problem = Level.levelFileProblem;
  const std::string saved = fuzz::WorkDir() + "/saved.lev";
  if (!SaveLevel(saved)) __builtin_trap();
  std::vector<Plane> before = std::move(Level.planes);
  LoadLevel(saved);
  if (Level.planes.size() != before.size()) __builtin_trap();
  for (size_t i = 0; i < before.size(); ++i) {
    const Plane &a = before[i], &b = Level.planes[i];
    if (a.type != b.type) __builtin_trap();
    const size_t w = size_t(std::min(a.width, b.width));
    for (int32_t y = 0; y < std::min(a.height, b.height); ++y) {
      const auto ra = a.tiles.begin() + ptrdiff_t(size_t(y) * a.width);
      if (!std::equal(ra, ra + ptrdiff_t(w), b.tiles.begin() + ptrdiff_t(size_t(y) * b.width))) __builtin_trap();
    }
  }
  Level.planes = std::move(before);
  // The session's SAVE still belongs to the file the level came from.
  Level.levelFileName = name;
  Level.levelFileProblem = problem;
}

// ---- The editor session ------------------------------------------------------

// The bytes that steer the session; 0 once they run out.
struct Steer {
  std::string_view bytes;
  size_t at = 0;
  uint8_t Next() { return at < bytes.size() ? uint8_t(bytes[at++]) : 0; }
  bool Done() const { return at >= bytes.size(); }
};

constexpr int kMaxFrames = 300;  // per input, so one input stays quick
int framesRun = 0;

// One frame as the main loop runs it in the editor's modes. RETURN TO GAME
// leaves the editor; the session goes straight back in, as E would.
void Frame() {
  ++framesRun;
  ReadMouse();
  ReadKeyboard();
  ClearFrameBuffer(0);
  if (Loop.GameMode == kModeTileViewer) {
    Loop.GameMode = TileViewerFrame().nextMode;
  } else {
    if (Loop.GameMode != kModeEditor) {
      Loop.GameMode = kModeEditor;
      PrepareEditorEntry();
    }
    const ModeResult result = EditorFrame(Loop.FramesPerSecond);
    if (result.quit) QuitGame();
    Loop.GameMode = result.nextMode;
  }
}

void Tap(uint8_t key) {
  nullplat::SetKey(key, true);
  Frame();
  nullplat::SetKey(key, false);
  Frame();
}

void Click(bool left) {
  nullplat::SetButton(left, true);
  Frame();
  nullplat::SetButton(left, false);
  Frame();
}

constexpr uint8_t kEditorKeys[] = {kKeyS,     kKeyZ, kKeyUp, kKeyDown, kKeyLeft,  kKeyRight, kKeyTab, kKey0,
                                   kKeyG,     kKeyC, kKeyW,  kKeyE,    kKeyR,     kKeyT,     kKeyY,   kKeyU,
                                   kKeyEnter, kKeyA, kKeyD,  kKeyF,    kKeySpace, kKeyP,     kKey1,   kKeyAlt};
constexpr uint8_t kLineKeys[] = {kKeyW, kKeyE, kKeyR, kKeyT, kKeyY, kKeyU};

void ReleaseAll() {
  for (uint8_t k : kEditorKeys) nullplat::SetKey(k, false);
  nullplat::SetKey(kKeyCtrl, false);
  nullplat::SetButton(true, false);
  nullplat::SetButton(false, false);
}

// A pixel of the frame, or (from a high byte) one of the edges that scroll.
void Point(Steer& s) {
  static constexpr int kEdges[][2] = {{0, 0},   {319, 199}, {0, 199}, {319, 0},
                                      {3, 100}, {316, 100}, {160, 2}, {160, 197}};
  const uint8_t a = s.Next(), b = s.Next();
  if (a >= 240)
    nullplat::SetPointer(kEdges[a % 8][0], kEdges[a % 8][1]);
  else
    nullplat::SetPointer(a * 320 / 240, b * 200 / 256);
}

// The menu opened with 0, Down to an entry, Enter; never EXIT GAME.
void UseMenu(Steer& s) {
  if (!Editor.menuOpen) Tap(kKey0);
  const int entry = s.Next() % 8;
  while (Editor.menuOpen && Editor.menuIndex < entry) Tap(kKeyDown);
  while (Editor.menuOpen && Editor.menuIndex > entry) Tap(kKeyUp);
  if (Editor.menuOpen && Editor.menuIndex == 6) Tap(s.Next() % 2 ? kKeyS : kKeyD);
  if (Editor.menuOpen && Editor.menuIndex < 8) Tap(kKeyEnter);
  if (Editor.menuOpen) Tap(kKey0);
}

// Ctrl held with the panel shown: a slot of the plane bar (or a type name)
// clicked, shown, inserted at or deleted.
void UseBars(Steer& s) {
  Editor.panelShown = 1;
  nullplat::SetKey(kKeyCtrl, true);
  const uint8_t at = s.Next(), what = s.Next();
  if (at & 0x80)
    nullplat::SetPointer((5 * (at % 7) + 7) * 8 + 10, 74);
  else
    nullplat::SetPointer((2 * (at % 18) + 9) * 8 + 4, 54);
  switch (what % 4) {
    case 0: Click(true); break;
    case 1: Click(false); break;
    case 2: Tap(kKeyA); break;
    default: Tap(kKeyD); break;
  }
  nullplat::SetKey(kKeyCtrl, false);
  Frame();
}

// A view the editor can reach: on the plane or just off its top-left edge.
void JumpView(Steer& s) {
  const Plane* p = EditedPlane();
  const int64_t w = p ? int64_t(p->width) * 8 : 2000, h = p ? int64_t(p->height) * 8 : 2000;
  const uint16_t a = uint16_t(s.Next() << 8 | s.Next()), b = uint16_t(s.Next() << 8 | s.Next());
  Level.viewX = int32_t((int64_t(a) * (w + 640) / 65536 - 320) & ~7);
  Level.viewY = int32_t((int64_t(b) * (h + 400) / 65536 - 200) & ~7);
}

void Step(Steer& s) {
  const uint8_t op = s.Next();
  switch (op % 16) {
    case 0: Point(s), Frame(); break;
    case 1: nullplat::SetButton(true, op & 0x10), Frame(); break;
    case 2: nullplat::SetButton(false, op & 0x10), Frame(); break;
    case 3: Tap(kEditorKeys[s.Next() % std::size(kEditorKeys)]); break;
    case 4: nullplat::SetKey(kEditorKeys[s.Next() % std::size(kEditorKeys)], op & 0x10), Frame(); break;
    case 5: ReleaseAll(), Frame(); break;
    case 6:  // a line key, with Alt for steps of ten
      nullplat::SetKey(kKeyAlt, op & 0x10);
      Tap(kLineKeys[s.Next() % std::size(kLineKeys)]);
      nullplat::SetKey(kKeyAlt, false);
      break;
    case 7: UseBars(s); break;
    case 8: UseMenu(s); break;
    case 9:  // a right drag between two points, then copied
      Point(s), nullplat::SetButton(false, true), Frame();
      Point(s), Frame();
      nullplat::SetButton(false, false), Frame();
      Tap(kKeyC);
      break;
    case 10:  // a stamp swept over a few points
      nullplat::SetKey(kKeyP, true);
      for (int k = s.Next() % 4 + 1; k > 0; --k) Point(s), Frame();
      nullplat::SetKey(kKeyP, false), Frame();
      break;
    case 11: JumpView(s), Frame(); break;
    case 12:  // frames with the pointer where it is: edges scroll
      for (int k = s.Next() % 8 + 1; k > 0; --k) Frame();
      break;
    case 13:  // Space with an arrow moves the pointer itself; or undo and redo
      if (op & 0x20) {
        nullplat::SetKey(kKeyCtrl, true);
        Tap(op & 0x40 ? kKeyY : kKeyZ);
        nullplat::SetKey(kKeyCtrl, false), Frame();
        break;
      }
      nullplat::SetKey(kKeySpace, true);
      Tap(std::array{kKeyUp, kKeyDown, kKeyLeft, kKeyRight}[s.Next() % 4]);
      nullplat::SetKey(kKeySpace, false);
      break;
    case 14:  // the tile viewer: in with 1, a pick somewhere
      Tap(kKey1);
      Point(s), Click(true);
      break;
    default: Click(op & 0x10); break;
  }
}

// Without steering bytes: paint, select and stamp, lines, every bar action
// and the menu's NEW, on and off the plane.
constexpr uint8_t kFixedSession[] = {0,  20,  30,  0x11, 0,   200, 150,  1,    0x13, 4,    0x13, 0x0A, 9, 10, 10,
                                     60, 40,  10,  3,    100, 20,  120,  30,   6,    0,    0x16, 1,    6, 2,  6,
                                     4,  6,   5,   0x16, 3,   11,  0xFF, 0xFF, 0xFF, 0xFF, 0,    250,  0, 12, 7,
                                     7,  0,   2,   7,    1,   3,   7,    0x85, 0,    7,    0x82, 0,    7, 0,  3,
                                     7,  17,  2,   13,   2,   14,  100,  50,   8,    1,    11,   0,    0, 0,  0,
                                     0,  255, 255, 12,   7,   8,   0,    15,   0x1F, 7,    2,    2,    7, 3,  3};

void EditSession(std::string_view steering) {
  nullplat::SetThrowOnExit(true);
  Editor.sprites = EditorArt();
  Loop.GameMode = kModeEditor;
  PrepareEditorEntry();
  Steer s{steering.empty() ? std::string_view(reinterpret_cast<const char*>(kFixedSession), sizeof kFixedSession)
                           : steering};
  framesRun = 0;
  try {
    while (!s.Done() && framesRun < kMaxFrames) Step(s);
  } catch (const nullplat::ExitRequest&) {
    __builtin_trap();  // nothing the session does may end the program
  }
  nullplat::SetThrowOnExit(false);
}

}  // namespace

// Two parts: the level file, then the bytes that steer the editor.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ResetEngine();
  SmallTileSet();
  const auto parts = fuzz::Split(data, size, 2);
  const std::string path = fuzz::WriteFile("l.lev", parts[0]);
  LoadLevel(path);
  const bool unloaded = !Level.levelFileProblem.empty();
  AllocObjectList();
  CreatePlaneObjects();
  DrawEveryWay();
  RunObjects();
  CheckRoundTrip();
  const std::vector<uint8_t> loaded = LevelFileBytes();
  EditSession(parts[1]);
  // Every step undone, the level is the one loaded; redone, the one edited.
  const std::vector<uint8_t> edited = LevelFileBytes();
  std::string what;
  int undone = 0;
  while (UndoEdit(what)) ++undone;
  if (History.dropped == 0 && LevelFileBytes() != loaded) __builtin_trap();
  while (undone-- > 0) RedoEdit(what);
  if (LevelFileBytes() != edited) __builtin_trap();
  // SAVE never writes over a file that did not load.
  if (unloaded && ReadWholeFile(path) != std::vector<uint8_t>(parts[0].begin(), parts[0].end())) __builtin_trap();
  CheckRoundTrip();
  fuzz::ResetEngine();  // nothing held between inputs: the leak check stays quiet
  return 0;
}
