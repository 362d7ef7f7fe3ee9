// sdl_state.h: the SDL platform's own state, shared by its window, input and
// display files. Nothing outside src/platform/sdl/ includes this.
#pragma once

#include <SDL2/SDL.h>

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/sdl_keymap.h"
#include "platform/sdl/sdl_layout.h"

namespace sdlplat {

struct SdlState {
  bool videoReady = false;  // SDL's video subsystem is up
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  std::deque<platform::Message> messages;
  uint64_t lastPump = 0;  // counter value of the last event pump

  // Window.
  bool menuShown = false;
  int minW = 320, minH = 200, maxW = 320, maxH = 200;  // client limits
  int windowedW = 320, windowedH = 200;                // the client size a window comes back with

  // Input: presses seen in events since the key's or button's last query,
  // and the keys down with the engine key each went down as.
  std::array<bool, 128> keyPressedSince{};
  HeldKeys heldKeys;
  std::array<bool, 2> buttonPressedSince{};

  // Display.
  bool displayExists = false;
  bool windowed = false;
  bool deviceLost = false;  // the renderer lost its textures
  int frameW = 320, frameH = 200;
  bool fill = false;        // the frame fills its area unevenly, not by whole steps
  bool scaleOnCpu = false;  // software renderer: the texture has the shown size
  SDL_Texture* texture = nullptr;
  int textureW = 0, textureH = 0;
  std::vector<uint8_t> frame8;          // full screen: the engine draws here
  std::vector<uint32_t> frame32;        // window: ConvertFrameBuffer fills this
  std::array<uint32_t, 256> palette{};  // XRGB per slot, for full screen
  std::vector<uint32_t> rowScratch;     // one expanded frame row
  std::vector<int> columnMap;           // frame column of each shown column
};
extern SdlState Sdl;

// Starts SDL's video subsystem once; false when there is no display to open.
bool EnsureVideo();

// Drains SDL's event queue into the message queue and the input latches.
// Unless forced it does nothing within a millisecond of the last pump, so
// the 59 key queries of one sample cost one pump.
void PumpEvents(bool force);

// Input side of the pump.
void NoteKeyDown(const SDL_KeyboardEvent& e);
void NoteKeyUp(SDL_Scancode key);
void NoteButtonDown(uint8_t sdlButton);

// The pointer in window pixels from the window's top-left corner, from SDL's
// own motion events: exact over the window, and once it has left, the edge
// pixel it left by (SDL's position of the screen pointer can lag behind under
// some X servers). True while it is over the window.
bool PointerInWindow(int& x, int& y);

// Height of the menu bar as it stands now (0 when hidden).
int ShownBarHeight();

// The frame's rectangle in window pixels: below the bar, aspect kept.
FrameRect ShownFrame();

// Display side of shutting down: drops the texture and the renderer.
void DestroyRenderer();

#ifdef __EMSCRIPTEN__
// Ends the browser's loop and the program; the page shows that it ended.
[[noreturn]] void EndInBrowser(int code);
// A message box as the page's own dialog.
void ShowBoxInPage(const std::string& caption, const std::string& text);
#endif

}  // namespace sdlplat
