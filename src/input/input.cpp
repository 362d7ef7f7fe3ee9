// input.cpp: the 59-key table and the per-frame key and mouse samples.
#include "input/input.h"

#include "common/module_state.h"
#include "gfx/draw.h"
#include "platform/platform.h"

InputState Input;

void ResetInput() { Input = {}; }
const ModuleReset kInputReset(ResetInput);

// F11 and F12 follow F10 at 0x45 and 0x46, not at their keyboard codes.
const std::array<KeyInfo, kKeyCount> KeyTable = {{
    {"Esc", 0x01},   {"1", 0x02},     {"2", 0x03},    {"3", 0x04},   {"4", 0x05},   {"5", 0x06},     {"6", 0x07},
    {"7", 0x08},     {"8", 0x09},     {"9", 0x0A},    {"0", 0x0B},   {"Tab", 0x0F}, {"Q", 0x10},     {"W", 0x11},
    {"E", 0x12},     {"R", 0x13},     {"T", 0x14},    {"Y", 0x15},   {"U", 0x16},   {"I", 0x17},     {"O", 0x18},
    {"P", 0x19},     {"Enter", 0x1C}, {"Ctrl", 0x1D}, {"A", 0x1E},   {"S", 0x1F},   {"D", 0x20},     {"F", 0x21},
    {"G", 0x22},     {"H", 0x23},     {"J", 0x24},    {"K", 0x25},   {"L", 0x26},   {"Shift", 0x2A}, {"Z", 0x2C},
    {"X", 0x2D},     {"C", 0x2E},     {"V", 0x2F},    {"B", 0x30},   {"N", 0x31},   {"M", 0x32},     {"Alt", 0x38},
    {"Space", 0x39}, {"F1", 0x3B},    {"F2", 0x3C},   {"F3", 0x3D},  {"F4", 0x3E},  {"F5", 0x3F},    {"F6", 0x40},
    {"F7", 0x41},    {"F8", 0x42},    {"F9", 0x43},   {"F10", 0x44}, {"F11", 0x45}, {"F12", 0x46},   {"Up", 0x48},
    {"Left", 0x4B},  {"Right", 0x4D}, {"Down", 0x50},
}};

const KeyInfo* FindKey(std::string_view name) {
  for (const KeyInfo& k : KeyTable)
    if (name == k.name) return &k;
  return nullptr;
}

void ReadKeyboard() {
  for (const KeyInfo& k : KeyTable) {
    uint8_t s = k.scanCode;
    if (!platform::KeyDownOrPressed(s)) {
      Input.KeyPressed[s] = 0;
      Input.KeyHeld[s] = 0;
    } else if (Input.KeyHeld[s] == 0) {
      Input.KeyPressed[s] = 1;
      Input.KeyHeld[s] = 1;
    } else {
      Input.KeyPressed[s] = 0;
    }
  }
}

void ClearKeyStates() {
  for (const KeyInfo& k : KeyTable) platform::KeyDownOrPressed(k.scanCode);
  platform::LeftButtonDownOrPressed();
  platform::RightButtonDownOrPressed();
}

// The platform reports the pointer relative to the frame as shown, with the
// shown size, so one scaling serves every mode: Normal (1:1), Double (a
// halving), Resizeable at any size, and full screen with its borders and bar.
void ReadMouse() {
  int x, y, viewW, viewH;
  platform::GetPointer(x, y, viewW, viewH);
  int wide = Video.VideoMode == 0 ? 320 : 640;
  int high = Video.VideoMode == 0 ? 200 : 480;
  // In integers, so a scale of 2.9999 can never put the pointer a pixel off.
  if (viewW > 0) x = int(int64_t(x) * wide / viewW);
  if (viewH > 0) y = int(int64_t(y) * high / viewH);
  if (x < 0) x = 0;
  if (y < 0) y = 0;
  if (x > wide - 1) x = wide - 1;
  if (y > high - 1) y = high - 1;
  Input.MouseX = x;
  Input.MouseY = y;
  Input.MouseLeft = platform::LeftButtonDownOrPressed() ? 1 : 0;
  Input.MouseRight = platform::RightButtonDownOrPressed() ? 1 : 0;
}
