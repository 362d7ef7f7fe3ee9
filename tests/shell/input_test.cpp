// input_test.cpp: the key table, the pressed/held rules of the per-frame key sample, and the mouse.
#include <algorithm>
#include <set>

#include "shell/input.h"
#include "shell/window.h"
#include "test_support.h"

namespace {

class InputTest : public EngineTest {
 protected:
  // How many entries of both tables are 1.
  static int SetEntries() {
    return int(std::count(Input.KeyPressed.begin(), Input.KeyPressed.end(), 1) +
               std::count(Input.KeyHeld.begin(), Input.KeyHeld.end(), 1));
  }
};

// Scan codes of A, B and C.
constexpr uint8_t kA = 0x1E, kB = 0x30, kC = 0x2E;

}  // namespace

TEST_F(InputTest, KeyTableNamesFiftyNineDistinctScanCodes) {
  std::set<uint8_t> codes;
  for (const KeyInfo& k : KeyTable) {
    EXPECT_LT(k.scanCode, 128);
    codes.insert(k.scanCode);
  }
  EXPECT_EQ(codes.size(), 59u);
  struct {
    const char* name;
    uint8_t vk, scan;
  } known[] = {{"Esc", 0x1B, 0x01}, {"0", 0x30, 0x0B}, {"Tab", 0x09, 0x0F}, {"Enter", 0x0D, 0x1C},
               {"Ctrl", 0x11, 0x1D}, {"Shift", 0x10, 0x2A}, {"Alt", 0x12, 0x38}, {"Space", 0x20, 0x39},
               {"F10", 0x79, 0x44}, {"F11", 0x7A, 0x45}, {"F12", 0x7B, 0x46}, {"Up", 0x26, 0x48},
               {"Left", 0x25, 0x4B}, {"Right", 0x27, 0x4D}, {"Down", 0x28, 0x50}, {"M", 0x4D, 0x32}};
  for (const auto& k : known) {
    const KeyInfo* info = FindKey(k.name);
    ASSERT_NE(info, nullptr) << k.name;
    EXPECT_EQ(info->virtualKey, k.vk) << k.name;
    EXPECT_EQ(info->scanCode, k.scan) << k.name;
  }
  EXPECT_EQ(FindKey("Minus"), nullptr);
  EXPECT_EQ(FindKey("e"), nullptr);
}

TEST_F(InputTest, AHeldKeyIsPressedInItsFirstFrameOnly) {
  nullplat::SetKey(kA, true);
  const uint8_t pressed[3] = {1, 0, 0};
  for (int frame = 0; frame < 3; ++frame) {
    ReadKeyboard();
    EXPECT_EQ(Input.KeyPressed[kA], pressed[frame]) << "frame " << frame;
    EXPECT_EQ(Input.KeyHeld[kA], 1) << "frame " << frame;
  }
  nullplat::SetKey(kA, false);
  ReadKeyboard();
  EXPECT_EQ(Input.KeyPressed[kA], 0);
  EXPECT_EQ(Input.KeyHeld[kA], 0);
  EXPECT_EQ(SetEntries(), 0);
}

TEST_F(InputTest, ATapBetweenSamplesCountsForOneFrame) {
  nullplat::TapKey(kA);
  ReadKeyboard();
  EXPECT_EQ(Input.KeyPressed[kA], 1);
  EXPECT_EQ(Input.KeyHeld[kA], 1);
  ReadKeyboard();
  EXPECT_EQ(Input.KeyPressed[kA], 0);
  EXPECT_EQ(Input.KeyHeld[kA], 0);

  // Released and pressed again between two samples while held: still held, not pressed anew.
  nullplat::SetKey(kA, true);
  ReadKeyboard();
  nullplat::SetKey(kA, false);
  nullplat::SetKey(kA, true);
  ReadKeyboard();
  EXPECT_EQ(Input.KeyPressed[kA], 0);
  EXPECT_EQ(Input.KeyHeld[kA], 1);
}

TEST_F(InputTest, OnlyKeysOfTheTableAreEverWritten) {
  nullplat::SetKey(FindKey("F11")->scanCode, true);
  ReadKeyboard();
  EXPECT_EQ(Input.KeyHeld[0x45], 1);
  EXPECT_EQ(Input.KeyPressed[0x45], 1);
  EXPECT_EQ(Input.KeyHeld[0x57], 0);
  EXPECT_EQ(SetEntries(), 2);

  // 0x0C (minus) and 0x57 (F11's keyboard code) are not in the table.
  nullplat::SetKey(0x45, false);
  nullplat::SetKey(0x0C, true);
  nullplat::SetKey(0x57, true);
  ReadKeyboard();
  ReadKeyboard();
  EXPECT_EQ(SetEntries(), 0);
}

TEST_F(InputTest, ClearKeyStatesForgetsTapsButKeepsTheTables) {
  nullplat::SetKey(kB, true);
  ReadKeyboard();
  // A tap and a click made while no frame samples (the program is inactive).
  nullplat::TapKey(kC);
  nullplat::SetButton(true, true);
  nullplat::SetButton(true, false);
  ClearKeyStates();
  EXPECT_EQ(Input.KeyPressed[kB], 1);
  EXPECT_EQ(Input.KeyHeld[kB], 1);
  ReadKeyboard();
  ReadMouse();
  EXPECT_EQ(Input.KeyHeld[kC], 0);
  EXPECT_EQ(Input.KeyHeld[kB], 1) << "a key still down is still down";
  EXPECT_EQ(Input.KeyPressed[kB], 0);
  EXPECT_EQ(Input.MouseLeft, 0);
}

TEST_F(InputTest, MouseIsClampedToTheScreenAndExactInside) {
  struct {
    int x, y, wantX, wantY;
  } cases[] = {{123, 45, 123, 45}, {0, 0, 0, 0}, {319, 199, 319, 199}, {-5, -1, 0, 0},
               {-300, 100, 0, 100}, {320, 200, 319, 199}, {5000, 50, 319, 50}};
  for (const auto& c : cases) {
    nullplat::SetPointer(c.x, c.y);
    ReadMouse();
    EXPECT_EQ(Input.MouseX, c.wantX) << c.x << "," << c.y;
    EXPECT_EQ(Input.MouseY, c.wantY) << c.x << "," << c.y;
  }
  // A Double window shows each frame pixel as 2x2 window pixels.
  Win.Windowed = 1;
  Win.WindowSizeMode = 1;
  nullplat::SetPointer(639, 399);
  ReadMouse();
  EXPECT_EQ(Input.MouseX, 319);
  EXPECT_EQ(Input.MouseY, 199);
  nullplat::SetPointer(-1, 3);
  ReadMouse();
  EXPECT_EQ(Input.MouseX, 0);
  EXPECT_EQ(Input.MouseY, 1);
}

TEST_F(InputTest, ButtonsCountWhenDownOrClickedSinceTheLastSample) {
  nullplat::SetButton(true, true);
  ReadMouse();
  EXPECT_NE(Input.MouseLeft, 0);
  EXPECT_EQ(Input.MouseRight, 0);
  nullplat::SetButton(true, false);
  nullplat::SetButton(false, true);
  nullplat::SetButton(false, false);
  ReadMouse();
  EXPECT_EQ(Input.MouseLeft, 0);
  EXPECT_NE(Input.MouseRight, 0);
  ReadMouse();
  EXPECT_EQ(Input.MouseRight, 0);
}
