// window.h: the window's modes (full screen or a framed window of three sizes),
// the menu bar's state and the handling of window messages and menu commands.
#pragma once

#include <cstdint>

#include "platform/platform.h"

struct WindowRectT {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct WindowState {
  uint8_t Windowed = 0;        // 0 full screen (the start state)
  uint8_t WindowSizeMode = 0;  // 0 Normal, 1 Double, 2 Resizeable
  uint8_t MenuState = 2;       // 0 hidden, 1 shown, 2 hidden because of full screen
  int32_t FrameWidth = 0, FrameHeight = 0;
  int32_t MenuHeight = -1, CaptionHeight = 0;
  WindowRectT WindowRect;
  int32_t MinClientWidth = 320, MinClientHeight = 200;
  int32_t MaxClientWidth = 320, MaxClientHeight = 200;
};
extern WindowState Win;

void ResetWindow();

void BuildMenuBar();
void ToggleMenuBar();
void ApplyWindowSize();
void ToggleFullScreen();
void HandleMenuCommand(uint32_t id);
// One window message, as the window procedure would take it.
void WindowProc(const platform::Message& message);
