// main_loop.h: frame pacing, the per-frame dispatch by GameMode, hot keys and quitting.
#pragma once

#include <cstdint>

enum GameModeValue : uint8_t { kModePlay = 0, kModeEditor = 253, kModeTileViewer = 254 };

struct FrameTimer {
  bool useCounter = true;
  uint64_t counterInterval = 0;  // counts per frame, rounded
  uint64_t lastCount = 0;        // counter at the last due frame
  uint32_t tickInterval = 16;
  uint32_t lastTick = 0;
  uint8_t rate = 60;
};

struct LoopState {
  uint8_t GameMode = kModePlay;
  FrameTimer Timer;
  uint8_t FramesCounted = 0;    // due frames since the last sample, wraps
  uint8_t FramesPerSecond = 0;  // shown at the top right
  uint32_t LastSampleTick = 0;
  uint32_t PassTick = 0;
  int32_t AppActive = 0;
  uint8_t HotKeyLatch = 0;
  uint64_t FramesDue = 0;  // due frames since start (for the harness)
  uint64_t FramesRun = 0;  // frames whose work ran
};
extern LoopState Loop;

void ResetLoop();

void InitFrameTimer(uint8_t rate);
bool FrameDue();
void DispatchFrame();
void RunFrame();
void CheckHotKeys();
// One pass of the main loop. False once the quit message arrived (exitCode set).
bool LoopPass(int& exitCode);
// Runs passes until the quit message; returns its exit code.
int RunMainLoop();
// The road of a level load: tile set, palette set 0, global and editor colours,
// level, plane objects. A level key also stops the attract sequence, resets the
// view and empties the object list first.
void LoadLevelPair(const char* tileFile, const char* levelFile, bool fromKey);
// Releases the display, posts the quit message and ends the process with 0.
[[noreturn]] void QuitGame();
