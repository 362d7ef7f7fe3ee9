// null_platform.cpp: the headless platform. A virtual clock that jumps to
// whatever time the loop waits for (so every frame is due at once), scripted
// input, message boxes on stderr, and a display that keeps its memory but
// shows nothing.
#include "platform/null/null_platform.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <deque>

#include "platform/sdl/sdl_layout.h"

namespace {

// 60000 counts a second: exactly 1000 a frame and 60 a millisecond, so a
// second of frames reads as 60 frames per second.
constexpr uint64_t kFrequency = 60000;

struct NullState {
  bool windowCreated = false;
  bool cursorShown = true;
  bool menuShown = false;
  std::vector<platform::MenuEntry> menuBar;
  // The window: its client area (below the bar), its limits, where it sits,
  // and the screen that full screen covers.
  int clientW = 320, clientH = 200;
  int minW = 320, minH = 200, maxW = 320, maxH = 200;
  int windowX = 100, windowY = 80;
  int screenW = 1024, screenH = 768;
  std::array<bool, 128> down{}, pressedSince{};
  // The pointer: a frame-buffer pixel, or window pixels from the top-left of
  // the window's inside (the bar's top while it is shown).
  bool pointerInWindow = false;
  int pointerX = 0, pointerY = 0;
  bool buttonDown[2] = {false, false}, buttonPressed[2] = {false, false};
  uint64_t now = 0;
  uint64_t frequency = kFrequency;
  std::deque<platform::Message> messages;
  std::function<void(int)> exitHook;
  bool throwOnExit = false;
  bool displayFails = false;
  bool displayExists = false;
  bool windowed = false;
  int width = 320, height = 200;
  platform::PixelFormat windowFormat{false, true, 32, 0xFF0000};
  std::vector<uint8_t> surface;
  std::array<uint8_t, 1024> palette{};
};
NullState S;

}  // namespace

namespace nullplat {

void Reset() {
  auto hook = S.exitHook;
  S = NullState{};
  S.exitHook = hook;
}
void SetKey(uint8_t scanCode, bool down) {
  if (scanCode >= 128) return;
  S.down[scanCode] = down;
  if (down) S.pressedSince[scanCode] = true;
}
void TapKey(uint8_t scanCode) {
  if (scanCode < 128) S.pressedSince[scanCode] = true;
}
void SetPointer(int x, int y) {
  S.pointerInWindow = false;
  S.pointerX = x;
  S.pointerY = y;
}
void SetPointerInWindow(int x, int y) {
  S.pointerInWindow = true;
  S.pointerX = x;
  S.pointerY = y;
}
void SetScreenSize(int width, int height) {
  S.screenW = width;
  S.screenH = height;
}
void ResizeByUser(int width, int height) {
  S.clientW = std::clamp(width, S.minW, S.maxW);
  S.clientH = std::clamp(height, S.minH, S.maxH);
  S.messages.push_back({platform::MessageKind::Moved, 0});
}
void SetButton(bool left, bool down) {
  S.buttonDown[left ? 0 : 1] = down;
  if (down) S.buttonPressed[left ? 0 : 1] = true;
}
void PostMessage(const platform::Message& m) { S.messages.push_back(m); }
void SetExitHook(std::function<void(int)> hook) { S.exitHook = std::move(hook); }
void SetThrowOnExit(bool on) { S.throwOnExit = on; }
void SetDisplayFails(bool fails) { S.displayFails = fails; }
void SetWindowFormat(const platform::PixelFormat& f) { S.windowFormat = f; }
void SetCounterFrequency(uint64_t countsPerSecond) { S.frequency = countsPerSecond; }
uint64_t Now() { return S.now; }
bool WindowCreated() { return S.windowCreated; }
bool CursorShown() { return S.cursorShown; }
bool MenuBarShown() { return S.menuShown; }
const std::vector<platform::MenuEntry>& MenuBar() { return S.menuBar; }
bool FullScreen() { return S.displayExists && !S.windowed; }
const uint8_t* DisplayPalette() { return S.palette.data(); }

}  // namespace nullplat

namespace platform {

void MessageBox(const std::string& text, const std::string& caption, BoxIcon, bool) {
  std::fprintf(stderr, "[box] %s: %s\n", caption.c_str(), text.c_str());
}

bool CreateMainWindow(const char*, int, int) {
  S.windowCreated = true;
  return true;
}

void ShowMainWindow() { S.messages.push_back({MessageKind::Activate, 1}); }
void ShowCursor(bool shown) { S.cursorShown = shown; }

// Like a real window, the size keeps within the limits; full screen ignores both.
void SetClientSize(int width, int height) {
  if (nullplat::FullScreen()) return;
  S.clientW = std::clamp(width, S.minW, S.maxW);
  S.clientH = std::clamp(height, S.minH, S.maxH);
}
void SetClientLimits(int minWidth, int minHeight, int maxWidth, int maxHeight) {
  S.minW = minWidth;
  S.minH = minHeight;
  S.maxW = std::max(maxWidth, minWidth);
  S.maxH = std::max(maxHeight, minHeight);
  SetClientSize(S.clientW, S.clientH);
}
void SetMenuBarShown(bool shown) { S.menuShown = shown; }
int MenuBarHeight() { return nullplat::kBarHeight; }

static int ShownBar() { return S.menuShown ? nullplat::kBarHeight : 0; }

void GetClientSize(int& width, int& height) {
  width = nullplat::FullScreen() ? S.screenW : S.clientW;
  height = nullplat::FullScreen() ? S.screenH - ShownBar() : S.clientH;
}
void GetClientRect(int& left, int& top, int& right, int& bottom) {
  int w, h;
  GetClientSize(w, h);
  left = nullplat::FullScreen() ? 0 : S.windowX;
  top = (nullplat::FullScreen() ? 0 : S.windowY) + ShownBar();
  right = left + w;
  bottom = top + h;
}
void SetMenuBar(const std::vector<MenuEntry>& menus) { S.menuBar = menus; }

void ExitProcess(int code) {
  if (S.exitHook) S.exitHook(code);
  if (S.throwOnExit) throw nullplat::ExitRequest{code};
  std::fflush(stdout);
  std::exit(code);
}

bool PollMessage(Message& out) {
  if (S.messages.empty()) return false;
  out = S.messages.front();
  S.messages.pop_front();
  return true;
}

void PostQuit(int code) { S.messages.push_back({MessageKind::Quit, code}); }

bool KeyDownOrPressed(uint8_t scanCode) {
  if (scanCode >= 128) return false;
  bool answer = S.down[scanCode] || S.pressedSince[scanCode];
  S.pressedSince[scanCode] = false;
  return answer;
}

// Window pixels go through the same layout as the real window's.
void GetPointer(int& x, int& y, int& viewWidth, int& viewHeight) {
  x = S.pointerX;
  y = S.pointerY;
  viewWidth = S.width;
  viewHeight = S.height;
  if (!S.pointerInWindow) return;
  int w, h;
  GetClientSize(w, h);
  sdlplat::FrameRect r = sdlplat::LayoutFrame(w, h + ShownBar(), ShownBar(), S.width, S.height, S.windowed);
  if (r.w <= 0 || r.h <= 0) return;
  x = sdlplat::PointerAxis(S.pointerX - r.x, r.w, S.width);
  y = sdlplat::PointerAxis(S.pointerY - r.y, r.h, S.height);
  viewWidth = r.w;
  viewHeight = r.h;
}

void WarpPointer(int x, int y) { nullplat::SetPointer(x, y); }

static bool Button(int i) {
  bool answer = S.buttonDown[i] || S.buttonPressed[i];
  S.buttonPressed[i] = false;
  return answer;
}
bool LeftButtonDownOrPressed() { return Button(0); }
bool RightButtonDownOrPressed() { return Button(1); }

uint64_t Counter() { return S.now; }
uint64_t CounterFrequency() { return S.frequency; }
uint32_t Milliseconds() { return S.frequency ? uint32_t(S.now * 1000 / S.frequency) : uint32_t(S.now); }
void WaitUntil(uint64_t target) {
  if (target > S.now) S.now = target;
}

bool DisplayCreate(bool windowed, int width, int height) {
  DisplayRelease();
  if (S.displayFails) return false;
  S.displayExists = true;
  S.windowed = windowed;
  S.width = width;
  S.height = height;
  S.surface.assign(size_t(width) * height * (windowed ? 4 : 1), 0);
  return true;
}

void DisplayRelease() {
  S.displayExists = false;
  S.surface.clear();
}

bool DisplayExists() { return S.displayExists; }

bool DisplayPixelFormat(PixelFormat& out) {
  if (!S.displayExists) return false;
  out = S.windowed ? S.windowFormat : PixelFormat{true, false, 8, 0};
  return true;
}

uint8_t* DisplayLock() { return S.displayExists ? S.surface.data() : nullptr; }
void DisplayUnlock() {}
void DisplaySetPalette(const uint8_t* entries) {
  std::copy(entries, entries + 1024, S.palette.begin());
}
PresentResult DisplayPresent() {
  return S.displayExists ? PresentResult::Ok : PresentResult::NoSurfaces;
}
bool DisplayRestore() { return S.displayExists; }

}  // namespace platform
