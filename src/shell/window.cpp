// window.cpp: full screen and window switching, window sizes, the menu bar's
// state and the menu commands.
#include "shell/window.h"

#include "gfx/frame_buffer.h"
#include "gfx/screenshot.h"
#include "shell/display.h"
#include "shell/main_loop.h"

WindowState Win;

void ResetWindow() { Win = {}; }

// The bar's entries come with the menu work; until then the bar is empty.
void BuildMenuBar() {}

void ToggleMenuBar() {
  if (Win.MenuState == 1) {
    platform::SetMenuBarShown(false);
    Win.MenuHeight = -1;
    Win.MenuState = 0;
  } else {
    platform::SetMenuBarShown(true);
    Win.MenuHeight = platform::MenuBarHeight();
    Win.MenuState = 1;
  }
}

void ApplyWindowSize() {
  static constexpr int32_t kLimits[3][4] = {
      {320, 200, 320, 200}, {640, 400, 640, 400}, {0, 0, 9999, 9999}};
  const int32_t* l = kLimits[Win.WindowSizeMode < 3 ? Win.WindowSizeMode : 0];
  Win.MinClientWidth = l[0];
  Win.MinClientHeight = l[1];
  Win.MaxClientWidth = l[2];
  Win.MaxClientHeight = l[3];
  platform::SetClientLimits(l[0], l[1], l[2], l[3]);
  // A Resizeable window keeps the size the user gave it.
  if (Win.WindowSizeMode != 2) platform::SetClientSize(l[0], l[1]);
}

void ToggleFullScreen() {
  if (Win.Windowed) {
    Win.Windowed = 0;
    if (Win.MenuState != 0) {
      ToggleMenuBar();
      Win.MenuState = 2;
    }
    platform::ShowCursor(false);
    Win.CaptionHeight = 0;
  } else {
    Win.Windowed = 1;
    if (Win.MenuState == 2) ToggleMenuBar();
    platform::ShowCursor(true);
  }
  SetUpDisplay(320, 200);
  if (Win.Windowed) {
    // The window form has its own pixel format: rebuild every slot's pixel value.
    for (uint16_t slot = 0; slot < 256; ++slot) {
      uint8_t rgb[3];
      GetPaletteEntry(slot, rgb);
      SetPaletteEntry(slot, rgb);
    }
  }
}

void HandleMenuCommand(uint32_t id) {
  switch (id) {
    case 1000: ToggleMenuBar(); break;
    case 1001: QuitGame(); break;
    case 2000: ToggleFullScreen(); break;
    case 2001:
    case 2002:
    case 2003:
      Win.WindowSizeMode = uint8_t(id - 2001);
      ApplyWindowSize();
      break;
    case 3003: SaveScreenshot(0); break;
    default: break;  // the other entries do nothing
  }
}

void WindowProc(const platform::Message& message) {
  switch (message.kind) {
    case platform::MessageKind::Activate: Loop.AppActive = message.value; break;
    case platform::MessageKind::Command: HandleMenuCommand(uint32_t(message.value)); break;
    case platform::MessageKind::Moved:
    case platform::MessageKind::Quit: break;
  }
}
