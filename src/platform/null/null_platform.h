// null_platform.h: controls of the headless platform for tarn-run and the tests:
// scripted keys and pointer, the virtual clock, and a peek at the display.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/platform.h"

namespace nullplat {

// Thrown by ExitProcess instead of ending the process while throwOnExit is set.
struct ExitRequest {
  int code;
};

// Back to the start state: no window, no display, clock at 0, nothing pressed.
void Reset();

void SetKey(uint8_t scanCode, bool down);
// Down and up between two samples: the next query sees it once.
void TapKey(uint8_t scanCode);
// Pointer at a frame-buffer pixel.
void SetPointer(int x, int y);
// Pointer in window pixels from the top-left of the window's inside (the
// bar's top while it is shown; the screen's corner in full screen).
void SetPointerInWindow(int x, int y);
// The screen full screen covers (1024x768 after Reset).
void SetScreenSize(int width, int height);
// A user's drag of the window frame: the client takes the size within the
// limits and a Moved message is queued.
void ResizeByUser(int width, int height);
void SetButton(bool left, bool down);

void PostMessage(const platform::Message& m);

// Called with the exit code just before the process ends.
void SetExitHook(std::function<void(int)> hook);
void SetThrowOnExit(bool on);

// Makes the next display set-ups fail (tests of the failure path).
void SetDisplayFails(bool fails);
// Pixel format the window form reports (32 XRGB by default).
void SetWindowFormat(const platform::PixelFormat& f);

// Counts per second the virtual clock reports (60000 after Reset).
void SetCounterFrequency(uint64_t countsPerSecond);

uint64_t Now();
bool WindowCreated();
bool CursorShown();
bool MenuBarShown();
// The bar as last given to SetMenuBar.
const std::vector<platform::MenuEntry>& MenuBar();
bool FullScreen();
// Height of the null platform's menu bar.
constexpr int kBarHeight = 19;
const uint8_t* DisplayPalette();  // 256 x 4, as last loaded

}  // namespace nullplat
