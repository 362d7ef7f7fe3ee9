// sdl_input.cpp: keys and mouse for the engine's per-frame samples. A key is
// "down" while a key that went down as it is still held, or when a key-down
// event for it arrived since the previous query, so a quick tap between two
// samples counts. Which engine key a key is: sdl_keymap.h.
#include "platform/sdl/sdl_keymap.h"
#include "platform/sdl/sdl_menu.h"
#include "platform/sdl/sdl_state.h"

namespace sdlplat {

// A repeat keeps the meaning of the press that started it.
void NoteKeyDown(const SDL_KeyboardEvent& e) {
  if (e.repeat) return;
  const uint8_t scan = EngineKey(e.keysym.scancode, e.keysym.sym, SDL_GetScancodeFromKey);
  Sdl.heldKeys.Press(e.keysym.scancode, scan);
  if (scan) Sdl.keyPressedSince[scan] = true;
}

void NoteKeyUp(SDL_Scancode key) { Sdl.heldKeys.Release(key); }

void NoteButtonDown(uint8_t sdlButton) {
  if (sdlButton == SDL_BUTTON_LEFT) Sdl.buttonPressedSince[0] = true;
  if (sdlButton == SDL_BUTTON_RIGHT) Sdl.buttonPressedSince[1] = true;
}

bool PointerInWindow(int& x, int& y) {
  x = y = 0;
  if (!Sdl.window) return false;
  SDL_GetMouseState(&x, &y);
  return SDL_GetMouseFocus() == Sdl.window;
}

}  // namespace sdlplat

using sdlplat::Sdl;

namespace platform {

bool KeyDownOrPressed(uint8_t scanCode) {
  if (scanCode >= 128 || !Sdl.videoReady) return false;
  sdlplat::PumpEvents(false);
  bool pressed = Sdl.keyPressedSince[scanCode];
  Sdl.keyPressedSince[scanCode] = false;
  // An open menu has the keyboard to itself.
  if (sdlplat::MenuOpen()) return false;
  // SDL's own state guards against a release that never came.
  const Uint8* state = SDL_GetKeyboardState(nullptr);
  return pressed ||
         Sdl.heldKeys.Holds(scanCode, [state](SDL_Scancode key) { return state[key] && !sdlplat::MenuHasKey(key); });
}

void GetPointer(int& x, int& y, int& viewWidth, int& viewHeight) {
  x = y = 0;
  viewWidth = Sdl.frameW;
  viewHeight = Sdl.frameH;
  if (!Sdl.window) return;
  sdlplat::PumpEvents(false);
  int windowX, windowY;
  sdlplat::PointerInWindow(windowX, windowY);
  sdlplat::FrameRect shown = sdlplat::ShownFrame();
  if (shown.w <= 0 || shown.h <= 0) return;
  x = sdlplat::PointerAxis(windowX - shown.x, shown.w, Sdl.frameW);
  y = sdlplat::PointerAxis(windowY - shown.y, shown.h, Sdl.frameH);
  viewWidth = shown.w;
  viewHeight = shown.h;
}

void WarpPointer(int x, int y) {
  if (!Sdl.window) return;
  sdlplat::FrameRect shown = sdlplat::ShownFrame();
  if (shown.w <= 0 || shown.h <= 0) return;
  SDL_WarpMouseInWindow(Sdl.window, shown.x + sdlplat::ShownIndex(x, shown.w, Sdl.frameW),
                        shown.y + sdlplat::ShownIndex(y, shown.h, Sdl.frameH));
}

static bool Button(int index, Uint32 mask) {
  if (!Sdl.videoReady) return false;
  sdlplat::PumpEvents(false);
  bool down = (SDL_GetMouseState(nullptr, nullptr) & mask) != 0 && !sdlplat::MenuHasButton(index);
  bool answer = down || Sdl.buttonPressedSince[index];
  Sdl.buttonPressedSince[index] = false;
  return answer;
}

bool LeftButtonDownOrPressed() { return Button(0, SDL_BUTTON_LMASK); }
bool RightButtonDownOrPressed() { return Button(1, SDL_BUTTON_RMASK); }

}  // namespace platform
