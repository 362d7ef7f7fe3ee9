// main_loop.cpp: the loop, its frame timer and what each frame does.
#include "shell/main_loop.h"

#include <cstdio>

#include "common/module_state.h"
#include "gfx/font.h"
#include "gfx/frame_buffer.h"
#include "input/input.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "modes/attract.h"
#include "modes/editor.h"
#include "modes/level_load.h"
#include "objects/object_list.h"
#include "platform/platform.h"
#include "shell/display.h"
#include "shell/frame_dump.h"
#include "shell/window.h"

LoopState Loop;

void ResetLoop() { Loop = {}; }
const ModuleReset kLoopReset(ResetLoop);

void InitFrameTimer() {
  FrameTimer& t = Loop.Timer;
  uint64_t freq = platform::CounterFrequency();
  if (freq != 0) {
    t.useCounter = true;
    t.counterInterval = (freq + 30) / 60;  // nearest whole count
    t.lastCount = platform::Counter();
  } else {
    t.useCounter = false;
    t.tickInterval = 16;
    t.lastTick = platform::Milliseconds();
  }
}

// The next interval runs from the moment a frame was found due: late frames
// are never made up, so frames never come in bursts.
bool FrameDue() {
  FrameTimer& t = Loop.Timer;
  if (t.useCounter) {
    uint64_t now = platform::Counter();
    if (now - t.lastCount >= t.counterInterval) {
      t.lastCount = now;
      return true;
    }
    return false;
  }
  uint32_t now = platform::Milliseconds();
  if (uint32_t(now - t.lastTick) >= t.tickInterval) {
    t.lastTick = now;
    return true;
  }
  return false;
}

// The editor's EXIT GAME ends the program before the frame goes on.
static void FollowMode(const ModeResult& result) {
  if (result.quit) QuitGame();
  Loop.GameMode = result.nextMode;
}

void DispatchFrame() {
  ReleaseDumpedFrame();
  // A running attract frame's object pass clears the frame itself, around its planes.
  const bool attractRuns = Loop.GameMode == kModePlay && Attract.AttractStarted != 0;
  if (!attractRuns) ClearFrameBuffer(0);
  switch (Loop.GameMode) {
    case kModePlay:
      if (attractRuns) {
        AttractFrame(0);
      } else {
        ClearObjectList();
        Attract.AttractStarted = 1;
      }
      break;
    case kModeEditor: FollowMode(EditorFrame(Loop.FramesPerSecond)); break;
    case kModeTileViewer: FollowMode(TileViewerFrame()); break;
    default: break;  // unknown modes draw nothing
  }
  char text[16];
  std::snprintf(text, sizeof text, "%3d", Loop.FramesPerSecond);
  DrawText(text, 296, 8, 0);
  ConvertFrameBuffer();
  if (Input.KeyHeld[kKeyE] && Loop.GameMode == kModePlay) {
    SetView(Level.viewX & ~7, Level.viewY & ~7);
    Loop.GameMode = kModeEditor;
    PrepareEditorEntry();
  }
  if (Input.KeyPressed[kKey5]) {
    Attract.AttractCounter = 0;
    Attract.AttractStep = 0;
    SetView(0, 0);
  }
  // Level keys act on every frame the key is held, so a held key reloads.
  static constexpr struct {
    uint8_t key;
    const char* tiles;
    const char* level;
  } kLevelKeys[] = {
      {kKey6, "1.til", "1.lev"}, {kKey7, "3.til", "3.lev"}, {kKey8, "2.til", "2.lev"}, {kKey9, "4.til", "4.lev"}};
  for (const auto& k : kLevelKeys)
    if (Input.KeyHeld[k.key]) LoadLevelFromKey(k.tiles, k.level);
}

void LoadLevelFromKey(const char* tileFile, const char* levelFile) {
  Attract.AttractCounter = 99;
  Attract.AttractStep = 99;
  SetView(0, 0);
  ClearObjectList();
  LoadLevelPair(tileFile, levelFile);
}

void RunFrame() {
  DispatchFrame();
  if (Input.KeyHeld[kKeyEsc]) QuitGame();
}

void CheckHotKeys() {
  CheckFrameDumpKey();
  if (Input.KeyHeld[kKeyEsc]) {
    QuitGame();
  } else if (Input.KeyHeld[kKeyF8]) {
    if (Loop.HotKeyLatch == 0) {
      ToggleMenuBar();
      Loop.HotKeyLatch = 1;
    }
  } else if (Input.KeyHeld[kKeyF4]) {
    if (Loop.HotKeyLatch == 0) {
      ToggleFullScreen();
      Loop.HotKeyLatch = 1;
    }
  } else if (!Input.KeyHeld[kKeyF1]) {
    Loop.HotKeyLatch = 0;
  }
}

bool LoopPass(int& exitCode) {
  Loop.PassTick = platform::Milliseconds();
  bool due = FrameDue();
  if (due) {
    ++Loop.FramesCounted;
    ++Loop.FramesDue;
    if (Loop.AppActive) {
      ReadMouse();
      ReadKeyboard();
      if (LockBackSurface()) {
        ++Loop.FramesRun;
        RunFrame();
        UpdateEditMenu();
        FrameDumpFrame();
        UnlockBackSurface();
        if (Screen.PixelFormatCode == 8) platform::DisplaySetPalette(Screen.PaletteTable.data());
      }
      PresentDisplayFrame();
    } else {
      ClearKeyStates();
    }
  }
  CheckHotKeys();
  if (Loop.PassTick - Loop.LastSampleTick >= 1000) {
    Loop.FramesPerSecond = Loop.FramesCounted;
    Loop.FramesCounted = 0;
    Loop.LastSampleTick = Loop.PassTick;
  }
  platform::Message m;
  if (platform::PollMessage(m)) {
    if (m.kind == platform::MessageKind::Quit) {
      exitCode = m.value;
      return false;
    }
    WindowProc(m);
    return true;
  }
  // Nothing to do until the next frame: sleep instead of spinning a core.
  if (!due && Loop.Timer.useCounter) platform::WaitUntil(Loop.Timer.lastCount + Loop.Timer.counterInterval);
  return true;
}

int RunMainLoop() {
  int code = 0;
  while (LoopPass(code)) {
  }
  return code;
}

// Every way of ending comes here or to the window's Close: the level's
// unsaved changes are kept first.
void QuitGame() {
  KeepUnsavedLevel();
  StopFrameDump();
  UnlockBackSurface();
  ReleaseDisplay();
  platform::PostQuit(0);
  platform::ExitProcess(0);
}

void RunMenuCommand(uint32_t id) {
  if (HandleMenuCommand(id) == WindowRequest::Quit) QuitGame();
  UpdateEditMenu();
}

void WindowProc(const platform::Message& message) {
  switch (message.kind) {
    case platform::MessageKind::Close:
      KeepUnsavedLevel();
      StopFrameDump();
      ReleaseDisplay();
      platform::PostQuit(0);
      break;
    case platform::MessageKind::Moved:
      if (TheDisplay) UpdateBounds();
      break;
    case platform::MessageKind::Activate: Loop.AppActive = message.value; break;
    case platform::MessageKind::Command: RunMenuCommand(uint32_t(message.value)); break;
    case platform::MessageKind::Quit: break;
  }
}
