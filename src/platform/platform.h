// platform.h: the few services the engine asks of the system.
// Two implementations are linked in at build time: sdl/ (a real window, the
// screen and the sound card) and null/ (headless: a virtual clock, scripted
// input, no output). The engine includes no other platform header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// ---- Process and window -------------------------------------------------

enum class BoxIcon : uint8_t { None, Stop, Info };

// Shows a modal message box, over the window when owned, else in the middle
// of the screen; returns when it is dismissed. The null platform prints
// "[box] CAPTION: TEXT" to stderr and returns at once.
void MessageBox(const std::string& text, const std::string& caption, BoxIcon icon, bool owned = true);

// Creates the one top-level window (hidden until ShowMainWindow). False on failure.
bool CreateMainWindow(const char* title, int width, int height);

// Sets the window's title (in the browser, the page's).
void SetWindowTitle(const std::string& title);

// Shows the window; the platform queues an activation message when it gets the focus.
void ShowMainWindow();

// Shows or hides the mouse cursor over the window.
void ShowCursor(bool shown);

// Sets the size of the window's client area (the frame's area, below any menu bar).
// Ignored while the display is full screen.
void SetClientSize(int width, int height);

// The client size limits a user resize must keep (a Normal or Double window
// has min == max).
void SetClientLimits(int minWidth, int minHeight, int maxWidth, int maxHeight);

// Attaches or detaches the menu bar, drawn above the frame. The frame's area
// keeps its size: the window grows or shrinks by the bar.
void SetMenuBarShown(bool shown);

// Height in pixels of the menu bar when shown.
int MenuBarHeight();

// How the frame fills its area, window or full screen: by whole steps with
// black bars (the start), or with fill set, as large as its aspect allows,
// pixels scaled unevenly.
void SetFillScaling(bool fill);

// Size of the current client area (the frame's area, below any bar).
void GetClientSize(int& width, int& height);

// The client area in screen pixels, right and bottom exclusive; the whole
// screen in full screen.
void GetClientRect(int& left, int& top, int& right, int& bottom);

// ---- Menu bar -------------------------------------------------------------

enum class MenuKind : uint8_t { Command, Separator, Popup };

// One entry of the bar. Texts carry their "&" mnemonic marks; a Command hands
// its id back in a Command message when chosen; a Popup holds its entries
// (it may have none). A disabled Command is shown greyed and cannot be chosen.
struct MenuEntry {
  MenuKind kind = MenuKind::Command;
  std::string text;
  uint32_t id = 0;
  bool checked = false;
  std::vector<MenuEntry> children;
  bool enabled = true;
};

// Gives the platform the bar's menus (each a Popup). It keeps a copy, shows
// it while the bar is shown, and is called again after any change.
void SetMenuBar(const std::vector<MenuEntry>& menus);

// Ends the process with the code, after releasing devices.
[[noreturn]] void ExitProcess(int code);

// Registers the function ExitProcess runs first, while the devices are still
// up (the engine releases its sound records there). Null clears it.
void SetExitHandler(void (*handler)());

// ---- Messages -------------------------------------------------------------

enum class MessageKind : uint8_t {
  Quit,      // the loop ends; value holds the exit code
  Close,     // the user closed the window
  Activate,  // value 1 = the application became active, 0 = inactive
  Command,   // a menu command; value holds its identifier
  Moved,     // the window moved or was resized
};

struct Message {
  MessageKind kind = MessageKind::Quit;
  int32_t value = 0;
};

// Takes the next pending message, if any. Never blocks.
bool PollMessage(Message& out);

// Queues a quit message with the code.
void PostQuit(int code);

// ---- Input ----------------------------------------------------------------

// Keys of the engine's key table, by scan code (see shell/input.h). True when
// the key is down now or was pressed at some moment since the previous query of
// this key; each query clears the "pressed since" memory. Keys that work an
// open menu are not reported, nor is any key while a menu is open.
bool KeyDownOrPressed(uint8_t scanCode);

// Pointer position relative to the top-left pixel of the frame as shown, in
// window pixels, and the size in window pixels of the frame as shown (320x200
// in a Normal window, 640x400 in a Double one, the scaled area otherwise).
// floor(x * frame width / viewWidth) is the frame pixel under the pointer;
// outside the frame x and y run past 0 or the view size.
void GetPointer(int& x, int& y, int& viewWidth, int& viewHeight);

// Moves the system pointer over the centre of frame-buffer pixel (x, y) as
// shown, so that the next GetPointer maps back to that pixel.
void WarpPointer(int x, int y);

// Mouse buttons: down now or pressed since the previous query of that button.
// Clicks that went to the menu bar or an open menu are not reported.
bool LeftButtonDownOrPressed();
bool RightButtonDownOrPressed();

// ---- Clock ----------------------------------------------------------------

uint64_t Counter();           // monotonic high-resolution counter
uint64_t CounterFrequency();  // counts per second
uint32_t Milliseconds();      // monotonic millisecond tick

// Waits until Counter() reaches target (or returns early when a message
// arrives). The null platform jumps its virtual clock there.
void WaitUntil(uint64_t target);

// For a platform whose host runs the loop (the browser takes it over at the
// first wait): the loop's pass, false once the program ends (exit code set),
// and the frames it has run. The shell sets them before its loop starts;
// other platforms ignore them.
struct LoopHooks {
  bool (*pass)(int& exitCode) = nullptr;
  uint64_t (*framesRun)() = nullptr;
};
void SetLoopHooks(const LoopHooks& hooks);

// ---- Display --------------------------------------------------------------

// Pixel format of a display form.
struct PixelFormat {
  bool palettised = false;  // 8-bit indexed: the layer applies the palette itself
  bool rgb = true;
  int bitsPerPixel = 8;
  uint32_t redMask = 0;
};

// Sets up the display: full screen (8-bit palettised, the frame block is the
// platform's) or in a window (a texture of the desktop's format). Any earlier
// form is released first. False on failure.
bool DisplayCreate(bool windowed, int width, int height);

// Releases the display form, if any.
void DisplayRelease();

bool DisplayExists();

// Pixel format of the current form; false when it cannot be read.
bool DisplayPixelFormat(PixelFormat& out);

// Locks the back surface: full screen gives the 8-bit width x height block
// (stride = width), a window gives the texture's memory (width x height pixels
// of the format, contiguous). Null when the lock fails.
uint8_t* DisplayLock();
void DisplayUnlock();

// Loads 256 entries of (red, green, blue, flags), 8 bits each, into the
// palette of a palettised form.
void DisplaySetPalette(const uint8_t* entries);

enum class PresentResult : uint8_t { Ok, SurfaceLost, NoSurfaces };

// Shows the frame scaled to the window or screen (nearest neighbour, aspect kept).
PresentResult DisplayPresent();

// Brings lost surfaces back; false on failure.
bool DisplayRestore();

// ---- Sound ----------------------------------------------------------------
//
// One output device at kSoundRate, 16-bit stereo. A buffer holds one sample,
// already in the device format; duplicates share that memory, so each buffer
// is one voice of the sample with its own position and state.

constexpr uint32_t kSoundRate = 44100;

// Outcome of a sound-device call. Each failure kind has the meaning of the
// DirectSound error of the same name; the SDL platform produces NoDriver,
// Allocated, OutOfMemory, BadFormat and Generic.
enum class SoundResult : int32_t {
  Ok = 0,
  Unsupported,
  Generic,
  NoAggregation,
  OutOfMemory,
  InvalidParam,
  Allocated,
  ControlUnavail,
  InvalidCall,
  PrioLevelNeeded,
  BadFormat,
  NoDriver,
  AlreadyInitialized,
  BufferLost,
  OtherAppHasPrio,
  Uninitialized,
  Unknown,  // a failure with no better name
};

// A buffer handle; 0 is no buffer.
using SoundBuffer = int32_t;

struct SoundStatus {
  bool playing = false;
  bool looping = false;
  bool lost = false;  // the buffer's memory went away; SoundRestore brings it back
};

// Opens the output device and starts it (silent until a buffer plays).
SoundResult SoundOpen();

// Stops and closes the device and drops every buffer still held.
void SoundClose();

// A new buffer holding frames (interleaved left/right pairs at kSoundRate),
// stopped at position 0. 0 when it cannot be made.
SoundBuffer SoundCreateBuffer(std::vector<int16_t> frames);

// A second voice of the same sample, sharing its memory; stopped at 0.
SoundBuffer SoundDuplicateBuffer(SoundBuffer source);

// Stops the voice and frees it; the sample goes with its last voice.
void SoundReleaseBuffer(SoundBuffer buffer);

// Plays from the current position, once (stopping and rewinding to 0 at the
// end) or looping. False for an unknown or lost buffer.
bool SoundPlay(SoundBuffer buffer, bool looping);

// Stops the voice where it is. False for an unknown buffer.
bool SoundStop(SoundBuffer buffer);

// Moves the voice to a frame of its sample (the end wraps to 0).
bool SoundSetPosition(SoundBuffer buffer, uint32_t frame);

// Reads the voice's state. False for an unknown buffer.
bool SoundGetStatus(SoundBuffer buffer, SoundStatus& out);

// Brings a lost buffer's memory back. False when that fails.
bool SoundRestore(SoundBuffer buffer);

}  // namespace platform
