// sdl_input.cpp: keys and mouse for the engine's per-frame samples. A key is
// "down" when SDL's keyboard state says so now, or when a key-down event for
// it arrived since the previous query, so a quick tap between two samples counts.
#include "platform/sdl/sdl_keymap.h"
#include "platform/sdl/sdl_menu.h"
#include "platform/sdl/sdl_state.h"

namespace sdlplat {

namespace {

// For each engine scan code, the SDL keys that count as it (two at most:
// left and right Ctrl, Shift, Alt; the two Enter keys).
struct KeyRoutes {
  std::array<std::array<SDL_Scancode, 2>, 128> keys{};
  std::array<uint8_t, 128> count{};
};

const KeyRoutes& Routes() {
  static const KeyRoutes routes = [] {
    KeyRoutes r;
    for (const SdlKey& k : kSdlKeys)
      if (r.count[k.scan] < 2) r.keys[k.scan][r.count[k.scan]++] = k.sdl;
    return r;
  }();
  return routes;
}

}  // namespace

void NoteKeyDown(SDL_Scancode key) {
  if (uint8_t scan = EngineScanCode(key)) Sdl.keyPressedSince[scan] = true;
}

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
  const Uint8* state = SDL_GetKeyboardState(nullptr);
  const auto& routes = sdlplat::Routes();
  bool down = false;
  for (uint8_t i = 0; i < routes.count[scanCode]; ++i) {
    SDL_Scancode key = routes.keys[scanCode][i];
    down = down || (state[key] && !sdlplat::MenuHasKey(key));
  }
  return down || pressed;
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
