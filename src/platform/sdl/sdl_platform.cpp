// sdl_platform.cpp: the SDL2 window, its messages, message boxes, the clock
// and the end of the process.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>

#include "platform/sdl/sdl_menu.h"
#include "platform/sdl/sdl_state.h"

namespace sdlplat {

SdlState Sdl;

bool EnsureVideo() {
  if (Sdl.videoReady) return true;
  // Alt-Tab away from full screen leaves the window where it is, as a
  // desktop-sized window would.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  // GPU renderers scale with square pixels, like our own scaler.
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  // The software renderer hands its pixels to the X server directly, not
  // through a second, GL-drawn copy of the window.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "tarn: cannot start video: %s\n", SDL_GetError());
    return false;
  }
  Sdl.videoReady = true;
  return true;
}

static void Queue(platform::MessageKind kind, int32_t value) { Sdl.messages.push_back({kind, value}); }

static void HandleWindowEvent(const SDL_WindowEvent& w) {
  switch (w.event) {
    case SDL_WINDOWEVENT_CLOSE: Queue(platform::MessageKind::Close, 0); break;
    case SDL_WINDOWEVENT_FOCUS_GAINED: Queue(platform::MessageKind::Activate, 1); break;
    case SDL_WINDOWEVENT_FOCUS_LOST: Queue(platform::MessageKind::Activate, 0); break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      // A window the user sized comes back with that size after full screen.
      if (Sdl.windowed && !(SDL_GetWindowFlags(Sdl.window) & SDL_WINDOW_FULLSCREEN))
        platform::GetClientSize(Sdl.windowedW, Sdl.windowedH);
      Queue(platform::MessageKind::Moved, 0);
      break;
    case SDL_WINDOWEVENT_MOVED: Queue(platform::MessageKind::Moved, 0); break;
    default: break;
  }
}

void PumpEvents(bool force) {
  if (!Sdl.videoReady) return;
  uint64_t now = SDL_GetPerformanceCounter();
  if (!force && now - Sdl.lastPump < SDL_GetPerformanceFrequency() / 1000) return;
  Sdl.lastPump = now;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    if (MenuEvent(e)) continue;  // a key or click for the menu, not the game
    switch (e.type) {
      // Also what SDL makes of an interrupt or a termination signal.
      case SDL_QUIT: Queue(platform::MessageKind::Close, 0); break;
      case SDL_WINDOWEVENT: HandleWindowEvent(e.window); break;
      case SDL_KEYDOWN: NoteKeyDown(e.key); break;
      case SDL_KEYUP: NoteKeyUp(e.key.keysym.scancode); break;
      case SDL_MOUSEBUTTONDOWN: NoteButtonDown(e.button.button); break;
      // The textures went with the device: the next present reports the loss.
      case SDL_RENDER_DEVICE_RESET: Sdl.deviceLost = true; break;
      default: break;
    }
  }
}

int ShownBarHeight() { return Sdl.menuShown ? platform::MenuBarHeight() : 0; }

}  // namespace sdlplat

using sdlplat::Sdl;

namespace platform {

void MessageBox(const std::string& text, const std::string& caption, BoxIcon icon, bool owned) {
#ifdef __EMSCRIPTEN__
  // The page shows it; the console gets it as a plain line, not an error.
  std::printf("[box] %s: %s\n", caption.c_str(), text.c_str());
  std::fflush(stdout);
  sdlplat::ShowBoxInPage(caption, text);
  (void)icon;
  (void)owned;
  return;
#endif
  // The line on stderr lets scripts see boxes that nobody will click.
  std::fprintf(stderr, "[box] %s: %s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
  Uint32 flags = icon == BoxIcon::Stop ? SDL_MESSAGEBOX_ERROR : icon == BoxIcon::Info ? SDL_MESSAGEBOX_INFORMATION : 0;
  if (SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), owned ? Sdl.window : nullptr) != 0)
    std::fprintf(stderr, "tarn: message box not shown: %s\n", SDL_GetError());
}

bool CreateMainWindow(const char* title, int width, int height) {
  if (!sdlplat::EnsureVideo()) return false;
  // A borderless window at the top-left corner until the display takes it over.
  Sdl.window = SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
  if (!Sdl.window) {
    std::fprintf(stderr, "tarn: cannot create the window: %s\n", SDL_GetError());
    return false;
  }
  return true;
}

// SDL's browser video sets the page's title.
void SetWindowTitle(const std::string& title) {
  if (Sdl.window) SDL_SetWindowTitle(Sdl.window, title.c_str());
}

void ShowMainWindow() {
  if (!Sdl.window) return;
  SDL_ShowWindow(Sdl.window);
  SDL_RaiseWindow(Sdl.window);
  Sdl.messages.push_back({MessageKind::Activate, 1});
}

void ShowCursor(bool shown) {
  if (Sdl.videoReady) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

static bool IsFullScreen() { return Sdl.window && (SDL_GetWindowFlags(Sdl.window) & SDL_WINDOW_FULLSCREEN) != 0; }

void SetClientSize(int width, int height) {
  if (!Sdl.window || IsFullScreen()) return;
  SDL_SetWindowSize(Sdl.window, width, height + sdlplat::ShownBarHeight());
  Sdl.windowedW = width;
  Sdl.windowedH = height;
}

// SDL refuses a minimum above the current maximum and the reverse, so the
// minimum drops to 1x1 first; it also wants sizes of at least 1.
static void ApplyLimits() {
  if (!Sdl.window || IsFullScreen()) return;
  int bar = sdlplat::ShownBarHeight();
  SDL_SetWindowMinimumSize(Sdl.window, 1, 1);
  SDL_SetWindowMaximumSize(Sdl.window, std::max(Sdl.maxW, 1), std::max(Sdl.maxH + bar, 1));
  SDL_SetWindowMinimumSize(Sdl.window, std::max(Sdl.minW, 1), std::max(Sdl.minH + bar, 1));
  bool resizable = Sdl.minW != Sdl.maxW || Sdl.minH != Sdl.maxH;
  SDL_SetWindowResizable(Sdl.window, resizable ? SDL_TRUE : SDL_FALSE);
}

void SetClientLimits(int minWidth, int minHeight, int maxWidth, int maxHeight) {
  Sdl.minW = minWidth;
  Sdl.minH = minHeight;
  Sdl.maxW = std::max(maxWidth, minWidth);
  Sdl.maxH = std::max(maxHeight, minHeight);
  ApplyLimits();
}

void SetMenuBarShown(bool shown) {
  sdlplat::MenuShown(shown);
  if (Sdl.menuShown == shown) return;
  int clientW, clientH;
  GetClientSize(clientW, clientH);
  Sdl.menuShown = shown;
  // The window grows or shrinks by the bar; the frame's area keeps its size.
  ApplyLimits();
  SetClientSize(clientW, clientH);
}

int MenuBarHeight() { return sdlplat::kMenuBarHeight; }

void SetFillScaling(bool fill) { Sdl.fill = fill; }

void SetMenuBar(const std::vector<MenuEntry>& menus) { sdlplat::MenuSetBar(menus); }

void GetClientSize(int& width, int& height) {
  width = height = 0;
  if (!Sdl.window) return;
  SDL_GetWindowSize(Sdl.window, &width, &height);
  height = std::max(height - sdlplat::ShownBarHeight(), 0);
}

void GetClientRect(int& left, int& top, int& right, int& bottom) {
  left = top = right = bottom = 0;
  if (!Sdl.window) return;
  int w, h;
  SDL_GetWindowPosition(Sdl.window, &left, &top);
  GetClientSize(w, h);
  top += sdlplat::ShownBarHeight();
  right = left + w;
  bottom = top + h;
}

static void (*exitHandler)() = nullptr;

void SetExitHandler(void (*handler)()) { exitHandler = handler; }

void ExitProcess(int code) {
  // The engine lets go of its sound buffers first, then the device closes,
  // all before SDL_Quit and the static clean-up behind std::exit.
  if (auto handler = std::exchange(exitHandler, nullptr)) handler();
  SoundClose();
  sdlplat::DestroyRenderer();
  if (Sdl.window) SDL_DestroyWindow(Sdl.window);
  Sdl.window = nullptr;
  Sdl.videoReady = false;
  SDL_Quit();
  std::fflush(stdout);
#ifdef __EMSCRIPTEN__
  sdlplat::EndInBrowser(code);
#endif
  std::exit(code);
}

bool PollMessage(Message& out) {
  sdlplat::PumpEvents(true);
  if (Sdl.messages.empty()) return false;
  out = Sdl.messages.front();
  Sdl.messages.pop_front();
  return true;
}

void PostQuit(int code) { Sdl.messages.push_back({MessageKind::Quit, code}); }

// The browser build keeps its own clock and wait: sdl_web.cpp.
#ifndef __EMSCRIPTEN__
// The desktop runs its loop itself.
void SetLoopHooks(const LoopHooks&) {}

uint64_t Counter() { return SDL_GetPerformanceCounter(); }
uint64_t CounterFrequency() { return SDL_GetPerformanceFrequency(); }
uint32_t Milliseconds() { return SDL_GetTicks(); }

// Sleeps while the target is more than kSpinNs away, then spins the rest:
// the kernel's wake-up is late by tens of microseconds, the spin is not.
void WaitUntil(uint64_t target) {
  constexpr uint64_t kSpinNs = 200000;
  const uint64_t freq = SDL_GetPerformanceFrequency();
  for (;;) {
    uint64_t now = SDL_GetPerformanceCounter();
    if (now >= target) return;
    uint64_t leftNs = uint64_t((target - now) * 1e9 / double(freq));
    if (leftNs <= kSpinNs) continue;
    uint64_t sleepNs = leftNs - kSpinNs;
    timespec ts{time_t(sleepNs / 1000000000u), long(sleepNs % 1000000000u)};
    nanosleep(&ts, nullptr);
  }
}
#endif

}  // namespace platform
