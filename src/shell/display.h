// display.h: the display device over the platform: set-up of the full-screen
// or window form, the frame pointer, pixel format and presentation.
#pragma once

#include <cstdint>
#include <memory>

class CDisplay {
 public:
  CDisplay() = default;
  ~CDisplay();
  CDisplay(const CDisplay&) = delete;
  CDisplay& operator=(const CDisplay&) = delete;
  // The engine draws into its own frame and expands it into the platform's
  // memory: a window form whose pixels are not palette indices.
  bool converts = false;
  bool created = false;
};
extern std::unique_ptr<CDisplay> TheDisplay;

// Creates the display in the full-screen or window form and points the frame
// (or the window form's conversion) at it; full screen, and a window that
// takes palette indices, also get the palette.
// 0 on success. The window's size and the pixel format check come after it
// (OpenDisplay in shell/window.h).
int SetUpDisplay(int width, int height, bool windowed);
int RestoreDisplay();
void CheckPixelFormat();
void ReleaseDisplay();
// Locks the back surface and points the frame or the conversion at it. False when the lock fails.
bool LockBackSurface();
void UnlockBackSurface();
// Presents the frame; restores lost surfaces once.
void PresentDisplayFrame();
