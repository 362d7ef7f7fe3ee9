// main_loop.h: frame pacing, the per-frame dispatch by GameMode, hot keys and quitting.
#pragma once

#include <cstdint>

#include "modes/game_mode.h"
#include "platform/platform.h"

struct FrameTimer {
  bool useCounter = true;
  uint64_t counterInterval = 0;  // counts per frame, rounded
  uint64_t lastCount = 0;        // counter at the last due frame
  uint32_t tickInterval = 16;
  uint32_t lastTick = 0;
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

// Sixty frames a second, from the high-resolution counter when there is one.
void InitFrameTimer();
bool FrameDue();
void DispatchFrame();
void RunFrame();
void CheckHotKeys();
// One pass of the main loop. False once the quit message arrived (exitCode set).
bool LoopPass(int& exitCode);
// Runs passes until the quit message; returns its exit code.
int RunMainLoop();
// A level key's load (LoadLevelPair): it stops the attract sequence, resets
// the view and empties the object list first.
void LoadLevelFromKey(const char* tileFile, const char* levelFile);
// Releases the display, posts the quit message and ends the process with 0.
[[noreturn]] void QuitGame();
// A menu command with what it asks of the loop carried out.
void RunMenuCommand(uint32_t id);
// One window message, as the window procedure would take it.
void WindowProc(const platform::Message& message);
