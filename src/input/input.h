// input.h: keys and mouse, sampled once per frame into tables indexed by scan code.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// Scan codes of the keys the engine names.
enum ScanCode : uint8_t {
  kKeyEsc = 0x01,
  kKey1 = 0x02,
  kKey5 = 0x06,
  kKey6 = 0x07,
  kKey7 = 0x08,
  kKey8 = 0x09,
  kKey9 = 0x0A,
  kKey0 = 0x0B,
  kKeyTab = 0x0F,
  kKeyW = 0x11,
  kKeyE = 0x12,
  kKeyR = 0x13,
  kKeyT = 0x14,
  kKeyY = 0x15,
  kKeyU = 0x16,
  kKeyP = 0x19,
  kKeyEnter = 0x1C,
  kKeyCtrl = 0x1D,
  kKeyA = 0x1E,
  kKeyS = 0x1F,
  kKeyD = 0x20,
  kKeyF = 0x21,
  kKeyG = 0x22,
  kKeyShift = 0x2A,
  kKeyZ = 0x2C,
  kKeyC = 0x2E,
  kKeyAlt = 0x38,
  kKeySpace = 0x39,
  kKeyF1 = 0x3B,
  kKeyF4 = 0x3E,
  kKeyF8 = 0x42,
  kKeyF12 = 0x46,
  kKeyUp = 0x48,
  kKeyLeft = 0x4B,
  kKeyRight = 0x4D,
  kKeyDown = 0x50,
};

struct KeyInfo {
  const char* name;  // as scripts and docs name it
  uint8_t scanCode;  // index into KeyPressed / KeyHeld
};
constexpr int kKeyCount = 59;
extern const std::array<KeyInfo, kKeyCount> KeyTable;

// The table entry for a name ("Esc", "A", "F11", "Up"...), or null.
const KeyInfo* FindKey(std::string_view name);

struct InputState {
  std::array<uint8_t, 128> KeyPressed{};  // 1 only in the first frame a key is down
  std::array<uint8_t, 128> KeyHeld{};     // 1 in every frame a key is down
  int32_t MouseX = 0, MouseY = 0;         // frame-buffer pixel under the pointer
  int32_t MouseLeft = 0, MouseRight = 0;
};
extern InputState Input;

void ResetInput();

void ReadKeyboard();
void ReadMouse();
// Forgets presses made since the last query without touching the tables.
void ClearKeyStates();
