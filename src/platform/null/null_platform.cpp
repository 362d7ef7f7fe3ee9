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
#include <memory>
#include <utility>

#include "platform/sdl/sdl_layout.h"

namespace {

// 60000 counts a second: exactly 1000 a frame and 60 a millisecond, so a
// second of frames reads as 60 frames per second.
constexpr uint64_t kFrequency = 60000;

// A voice's position is kept as where it stood at clock reading `since`.
struct NullVoice {
  std::shared_ptr<const std::vector<int16_t>> sample;
  bool inUse = false, playing = false, looping = false, lost = false;
  uint32_t position = 0;
  uint64_t since = 0;
};

struct NullState {
  bool windowCreated = false;
  std::string title;
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
  void (*exitHandler)() = nullptr;
  bool throwOnExit = false;
  bool displayFails = false;
  bool displayExists = false;
  bool windowed = false;
  bool fill = false;  // SetFillScaling
  int width = 320, height = 200;
  platform::PixelFormat windowFormat{false, true, 32, 0xFF0000};
  std::vector<uint8_t> surface;
  std::array<uint8_t, 1024> palette{};
  // Sound.
  platform::SoundResult soundOpenResult = platform::SoundResult::Ok;
  bool soundOpen = false;
  bool restoreFails = false;
  std::vector<NullVoice> voices;  // buffer handle h is slot h - 1
};

NullState Null;

uint32_t Length(const NullVoice& v) { return uint32_t(v.sample->size() / 2); }

// Brings a voice up to the virtual clock: a loop wraps, a sound played once
// stops at its end rewound to 0.
void Settle(NullVoice& v) {
  if (!v.playing || Null.frequency == 0) {
    v.since = Null.now;
    return;
  }
  const uint64_t frames = (Null.now - v.since) * platform::kSoundRate / Null.frequency;
  const uint64_t at = v.position + frames;
  const uint32_t length = Length(v);
  if (length == 0 || (!v.looping && at >= length)) {
    v.playing = false;
    v.position = 0;
    v.since = Null.now;
    return;
  }
  v.position = uint32_t(at % length);
  // Only whole frames are used up; the clock's remainder counts next time.
  v.since += frames * Null.frequency / platform::kSoundRate;
}

NullVoice* Find(platform::SoundBuffer b) {
  if (b < 1 || size_t(b) > Null.voices.size()) return nullptr;
  NullVoice& v = Null.voices[size_t(b) - 1];
  if (!v.inUse) return nullptr;
  Settle(v);
  return &v;
}

platform::SoundBuffer AddVoice(std::shared_ptr<const std::vector<int16_t>> sample) {
  size_t slot = 0;
  while (slot < Null.voices.size() && Null.voices[slot].inUse) ++slot;
  if (slot == Null.voices.size()) Null.voices.emplace_back();
  Null.voices[slot] = NullVoice{std::move(sample), true};
  Null.voices[slot].since = Null.now;
  return platform::SoundBuffer(slot + 1);
}

}  // namespace

namespace nullplat {

void Reset() {
  auto hook = Null.exitHook;
  Null = NullState{};
  Null.exitHook = hook;
}
void SetKey(uint8_t scanCode, bool down) {
  if (scanCode >= 128) return;
  Null.down[scanCode] = down;
  if (down) Null.pressedSince[scanCode] = true;
}
void TapKey(uint8_t scanCode) {
  if (scanCode < 128) Null.pressedSince[scanCode] = true;
}
void SetPointer(int x, int y) {
  Null.pointerInWindow = false;
  Null.pointerX = x;
  Null.pointerY = y;
}
void SetPointerInWindow(int x, int y) {
  Null.pointerInWindow = true;
  Null.pointerX = x;
  Null.pointerY = y;
}
void SetScreenSize(int width, int height) {
  Null.screenW = width;
  Null.screenH = height;
}
void ResizeByUser(int width, int height) {
  Null.clientW = std::clamp(width, Null.minW, Null.maxW);
  Null.clientH = std::clamp(height, Null.minH, Null.maxH);
  Null.messages.push_back({platform::MessageKind::Moved, 0});
}
void SetButton(bool left, bool down) {
  Null.buttonDown[left ? 0 : 1] = down;
  if (down) Null.buttonPressed[left ? 0 : 1] = true;
}
void PostMessage(const platform::Message& m) { Null.messages.push_back(m); }
void SetExitHook(std::function<void(int)> hook) { Null.exitHook = std::move(hook); }
void SetThrowOnExit(bool on) { Null.throwOnExit = on; }
void SetDisplayFails(bool fails) { Null.displayFails = fails; }
void SetWindowFormat(const platform::PixelFormat& f) { Null.windowFormat = f; }
void SetCounterFrequency(uint64_t countsPerSecond) { Null.frequency = countsPerSecond; }
uint64_t Now() { return Null.now; }
bool WindowCreated() { return Null.windowCreated; }
const std::string& WindowTitle() { return Null.title; }
bool CursorShown() { return Null.cursorShown; }
bool MenuBarShown() { return Null.menuShown; }
const std::vector<platform::MenuEntry>& MenuBar() { return Null.menuBar; }
bool FullScreen() { return Null.displayExists && !Null.windowed; }
const uint8_t* DisplayPalette() { return Null.palette.data(); }

void SetSoundOpenResult(platform::SoundResult result) { Null.soundOpenResult = result; }
bool SoundOpened() { return Null.soundOpen; }

std::optional<VoiceState> Voice(platform::SoundBuffer buffer) {
  const NullVoice* v = Find(buffer);
  if (!v) return std::nullopt;
  return VoiceState{v->playing, v->looping, v->lost, v->position, Length(*v), v->sample.get()};
}

int LiveSoundBuffers() {
  return int(std::count_if(Null.voices.begin(), Null.voices.end(), [](const NullVoice& v) { return v.inUse; }));
}

int PlayingSoundBuffers() {
  int n = 0;
  for (size_t i = 0; i < Null.voices.size(); ++i) n += Find(platform::SoundBuffer(i + 1)) && Null.voices[i].playing;
  return n;
}

void LoseSoundBuffers() {
  for (size_t i = 0; i < Null.voices.size(); ++i)
    if (NullVoice* v = Find(platform::SoundBuffer(i + 1))) {
      v->lost = true;
      v->playing = false;
    }
}

void SetSoundRestoreFails(bool fails) { Null.restoreFails = fails; }

}  // namespace nullplat

namespace platform {

void MessageBox(const std::string& text, const std::string& caption, BoxIcon, bool) {
  std::fprintf(stderr, "[box] %s: %s\n", caption.c_str(), text.c_str());
}

bool CreateMainWindow(const char* title, int, int) {
  Null.windowCreated = true;
  Null.title = title;
  return true;
}

void SetWindowTitle(const std::string& title) { Null.title = title; }

void ShowMainWindow() { Null.messages.push_back({MessageKind::Activate, 1}); }
void ShowCursor(bool shown) { Null.cursorShown = shown; }

// Like a real window, the size keeps within the limits; full screen ignores both.
void SetClientSize(int width, int height) {
  if (nullplat::FullScreen()) return;
  Null.clientW = std::clamp(width, Null.minW, Null.maxW);
  Null.clientH = std::clamp(height, Null.minH, Null.maxH);
}
void SetClientLimits(int minWidth, int minHeight, int maxWidth, int maxHeight) {
  Null.minW = minWidth;
  Null.minH = minHeight;
  Null.maxW = std::max(maxWidth, minWidth);
  Null.maxH = std::max(maxHeight, minHeight);
  SetClientSize(Null.clientW, Null.clientH);
}
void SetMenuBarShown(bool shown) { Null.menuShown = shown; }
int MenuBarHeight() { return nullplat::kBarHeight; }
void SetFillScaling(bool fill) { Null.fill = fill; }

static int ShownBar() { return Null.menuShown ? nullplat::kBarHeight : 0; }

void GetClientSize(int& width, int& height) {
  width = nullplat::FullScreen() ? Null.screenW : Null.clientW;
  height = nullplat::FullScreen() ? Null.screenH - ShownBar() : Null.clientH;
}
void GetClientRect(int& left, int& top, int& right, int& bottom) {
  int w, h;
  GetClientSize(w, h);
  left = nullplat::FullScreen() ? 0 : Null.windowX;
  top = (nullplat::FullScreen() ? 0 : Null.windowY) + ShownBar();
  right = left + w;
  bottom = top + h;
}
void SetMenuBar(const std::vector<MenuEntry>& menus) { Null.menuBar = menus; }

void SetExitHandler(void (*handler)()) { Null.exitHandler = handler; }

void ExitProcess(int code) {
  if (auto handler = std::exchange(Null.exitHandler, nullptr)) handler();
  SoundClose();
  if (Null.exitHook) Null.exitHook(code);
  if (Null.throwOnExit) throw nullplat::ExitRequest{code};
  std::fflush(stdout);
  std::exit(code);
}

bool PollMessage(Message& out) {
  if (Null.messages.empty()) return false;
  out = Null.messages.front();
  Null.messages.pop_front();
  return true;
}

void SetLoopHooks(const LoopHooks&) {}

void PostQuit(int code) { Null.messages.push_back({MessageKind::Quit, code}); }

bool KeyDownOrPressed(uint8_t scanCode) {
  if (scanCode >= 128) return false;
  bool answer = Null.down[scanCode] || Null.pressedSince[scanCode];
  Null.pressedSince[scanCode] = false;
  return answer;
}

// Window pixels go through the same layout as the real window's.
void GetPointer(int& x, int& y, int& viewWidth, int& viewHeight) {
  x = Null.pointerX;
  y = Null.pointerY;
  viewWidth = Null.width;
  viewHeight = Null.height;
  if (!Null.pointerInWindow) return;
  int w, h;
  GetClientSize(w, h);
  sdlplat::FrameRect r = sdlplat::LayoutFrame(w, h + ShownBar(), ShownBar(), Null.width, Null.height, !Null.fill);
  if (r.w <= 0 || r.h <= 0) return;
  x = sdlplat::PointerAxis(Null.pointerX - r.x, r.w, Null.width);
  y = sdlplat::PointerAxis(Null.pointerY - r.y, r.h, Null.height);
  viewWidth = r.w;
  viewHeight = r.h;
}

void WarpPointer(int x, int y) { nullplat::SetPointer(x, y); }

static bool Button(int i) {
  bool answer = Null.buttonDown[i] || Null.buttonPressed[i];
  Null.buttonPressed[i] = false;
  return answer;
}
bool LeftButtonDownOrPressed() { return Button(0); }
bool RightButtonDownOrPressed() { return Button(1); }

uint64_t Counter() { return Null.now; }
uint64_t CounterFrequency() { return Null.frequency; }
uint32_t Milliseconds() { return Null.frequency ? uint32_t(Null.now * 1000 / Null.frequency) : uint32_t(Null.now); }
void WaitUntil(uint64_t target) {
  if (target > Null.now) Null.now = target;
}

bool DisplayCreate(bool windowed, int width, int height) {
  DisplayRelease();
  if (Null.displayFails) return false;
  Null.displayExists = true;
  Null.windowed = windowed;
  Null.width = width;
  Null.height = height;
  Null.surface.assign(size_t(width) * height * (windowed ? 4 : 1), 0);
  return true;
}

void DisplayRelease() {
  Null.displayExists = false;
  Null.surface.clear();
}

bool DisplayExists() { return Null.displayExists; }

bool DisplayPixelFormat(PixelFormat& out) {
  if (!Null.displayExists) return false;
  out = Null.windowed ? Null.windowFormat : PixelFormat{true, false, 8, 0};
  return true;
}

uint8_t* DisplayLock() { return Null.displayExists ? Null.surface.data() : nullptr; }
void DisplayUnlock() {}
void DisplaySetPalette(const uint8_t* entries) { std::copy(entries, entries + 1024, Null.palette.begin()); }
PresentResult DisplayPresent() { return Null.displayExists ? PresentResult::Ok : PresentResult::NoSurfaces; }
bool DisplayRestore() { return Null.displayExists; }

SoundResult SoundOpen() {
  if (Null.soundOpen) return SoundResult::AlreadyInitialized;
  if (Null.soundOpenResult != SoundResult::Ok) return Null.soundOpenResult;
  Null.soundOpen = true;
  return SoundResult::Ok;
}

void SoundClose() {
  Null.soundOpen = false;
  Null.voices.clear();
}

SoundBuffer SoundCreateBuffer(std::vector<int16_t> frames) {
  if (frames.size() % 2) frames.pop_back();
  return AddVoice(std::make_shared<const std::vector<int16_t>>(std::move(frames)));
}

SoundBuffer SoundDuplicateBuffer(SoundBuffer source) {
  const NullVoice* v = Find(source);
  return v ? AddVoice(v->sample) : 0;
}

void SoundReleaseBuffer(SoundBuffer buffer) {
  if (NullVoice* v = Find(buffer)) *v = NullVoice{};
}

bool SoundPlay(SoundBuffer buffer, bool looping) {
  NullVoice* v = Find(buffer);
  if (!v || v->lost) return false;
  v->playing = true;
  v->looping = looping;
  v->since = Null.now;
  return true;
}

bool SoundStop(SoundBuffer buffer) {
  NullVoice* v = Find(buffer);
  if (!v) return false;
  v->playing = false;
  return true;
}

bool SoundSetPosition(SoundBuffer buffer, uint32_t frame) {
  NullVoice* v = Find(buffer);
  if (!v) return false;
  v->position = frame < Length(*v) ? frame : 0;
  v->since = Null.now;
  return true;
}

bool SoundGetStatus(SoundBuffer buffer, SoundStatus& out) {
  const NullVoice* v = Find(buffer);
  if (!v) return false;
  out = {v->playing, v->looping, v->lost};
  return true;
}

bool SoundRestore(SoundBuffer buffer) {
  NullVoice* v = Find(buffer);
  if (!v || Null.restoreFails) return false;
  v->lost = false;
  return true;
}

}  // namespace platform
