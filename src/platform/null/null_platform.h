// null_platform.h: controls of the headless platform for tarn-run and the tests:
// scripted keys and pointer, the virtual clock, and a peek at the display.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace nullplat {

// Thrown by ExitProcess instead of ending the process while throwOnExit is set.
struct ExitRequest {
  int code;
};

// Back to the start state: no window, no display, no sound, clock at 0,
// nothing pressed.
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
const std::string& WindowTitle();
bool CursorShown();
bool MenuBarShown();
// The bar as last given to SetMenuBar.
const std::vector<platform::MenuEntry>& MenuBar();
bool FullScreen();
// Height of the null platform's menu bar.
constexpr int kBarHeight = 19;
const uint8_t* DisplayPalette();  // 256 x 4, as last loaded

// ---- Sound: silent voices that keep their state. A playing voice moves on
// with the virtual clock at 44,100 frames a second, so a sound played once
// ends and a loop wraps as they would on a device.

// What SoundOpen answers next (Ok after Reset).
void SetSoundOpenResult(platform::SoundResult result);
bool SoundOpened();

struct VoiceState {
  bool playing = false;
  bool looping = false;
  bool lost = false;
  uint32_t position = 0;         // frame, at the virtual clock's time
  uint32_t length = 0;           // frames of the sample
  const void* sample = nullptr;  // the same for a buffer and its duplicates
};
// A buffer's voice; nothing for a handle that holds none.
std::optional<VoiceState> Voice(platform::SoundBuffer buffer);
// Buffers held now, and how many of them play.
int LiveSoundBuffers();
int PlayingSoundBuffers();
// Every buffer loses its memory and stops, as when another program takes the device.
void LoseSoundBuffers();
// Makes SoundRestore fail.
void SetSoundRestoreFails(bool fails);

}  // namespace nullplat
