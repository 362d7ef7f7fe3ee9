// window.h: the window's modes (full screen or a framed window of three sizes),
// the menu bar with its commands, and the handling of window messages.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

// The menu bar's command identifiers, as the platform delivers them and
// tarn-run's "menu <id>" names them.
enum MenuCommand : uint32_t {
  kCommandToggleMenu = 1000,
  kCommandExit = 1001,
  kCommandFullScreen = 2000,
  kCommandSizeNormal = 2001,
  kCommandSizeDouble = 2002,
  kCommandSizeResizeable = 2003,
  kCommandScaleWholeSteps = 2004,
  kCommandScaleFill = 2005,
  kCommandOrbets = 3000,
  kCommandTwoPlayers = 3001,
  kCommandFrameDump = 3002,
  kCommandScreenShot = 3003,
  kCommandContents = 4000,
  kCommandAbout = 4001,
  kCommandUndo = 5000,
  kCommandRedo = 5001,
  kCommandPlayerNone = 8500,
};

// What a command leaves for the main loop to carry out.
enum class WindowRequest : uint8_t { None, Quit };

struct WindowRectT {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct WindowState {
  uint8_t Windowed = 0;        // 0 full screen (the start state)
  uint8_t WindowSizeMode = 0;  // 0 Normal, 1 Double, 2 Resizeable
  uint8_t Scaling = 0;         // 0 whole steps, 1 fill
  uint8_t MenuState = 2;       // 0 hidden, 1 shown, 2 hidden because of full screen
  int32_t FrameWidth = 0, FrameHeight = 0;
  int32_t MenuHeight = -1, CaptionHeight = 0;
  // The client area in screen pixels, as the last move or size left it.
  WindowRectT WindowRect;
  int32_t MinClientWidth = 320, MinClientHeight = 200;
  int32_t MaxClientWidth = 320, MaxClientHeight = 200;
  // The bar's menus as the platform was last given them; empty until built.
  std::vector<platform::MenuEntry> MenuBar;
};
extern WindowState Win;

void ResetWindow();

// Builds the File, Edit, Video, Debug and Help menus, the Window Size entry
// of the current WindowSizeMode and the Scaling entry of Scaling checked,
// and hands them to the platform.
void BuildMenuBar();
// Names in Undo and Redo what they would act on, greyed when nothing; the
// platform gets the bar again only when that changed.
void UpdateEditMenu();
// Shows the bar when it is hidden (MenuState 0 or 2), hides it when shown.
void ToggleMenuBar();
// Sets the client limits of WindowSizeMode and sizes the window to them; a
// Resizeable window keeps its size.
void ApplyWindowSize();
// Between full screen and a window, the bar following MenuState.
void ToggleFullScreen();
// The action of a menu command; unknown identifiers do nothing. Exit is left
// to the loop as a request.
WindowRequest HandleMenuCommand(uint32_t id);
// Records the client area as the last move or size left it.
void UpdateBounds();

// Sets the display up in the current form (Windowed): the display, then the
// window's size, then the pixel format. 0 on success.
int OpenDisplay(int width, int height);
// Opens the display a video mode needs (ending the program when it cannot)
// and selects the mode (SelectVideoMode).
void StartVideoMode(uint8_t mode);
