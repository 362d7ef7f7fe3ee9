// input_test.cpp: key names, the pressed/held rules of the per-frame key sample, and the mouse.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "input/input.h"
#include "test_support.h"

namespace {

using InputTest = EngineTest;

// How many entries of both tables are 1.
int SetEntries() {
  return int(std::count(Input.KeyPressed.begin(), Input.KeyPressed.end(), 1) +
             std::count(Input.KeyHeld.begin(), Input.KeyHeld.end(), 1));
}

}  // namespace

// Scripts name keys through the table, and its codes index the 128-entry
// key tables: each name finds its own entry, and no two share a key.
TEST_F(InputTest, EveryKeyNameFindsItsOwnEntryAndNoTwoShareAKey) {
  std::set<uint8_t> codes;
  for (const KeyInfo& k : KeyTable) {
    EXPECT_EQ(FindKey(k.name), &k) << k.name;
    EXPECT_LT(k.scanCode, Input.KeyHeld.size()) << k.name;
    codes.insert(k.scanCode);
  }
  EXPECT_EQ(codes.size(), KeyTable.size());
  EXPECT_EQ(FindKey("e"), nullptr) << "names are matched exactly";
}

TEST_F(InputTest, PressedMarksTheFirstSampleOfAHoldAndATapCountsForOneSample) {
  struct {
    uint8_t key;
    std::vector<std::string> events;  // before each sample: d = down, u = up, t = tap
    std::string pressed, held;        // per sample
  } cases[] = {
      {0x1E, {"d", "", "", "u"}, "1000", "1110"},
      {0x30, {"t", ""}, "10", "10"},
      {0x2E, {"d", "ud"}, "10", "11"},  // let go and pressed again between samples: not pressed anew
  };
  for (const auto& c : cases) {
    std::string pressed, held;
    for (const std::string& e : c.events) {
      for (char ev : e) ev == 't' ? nullplat::TapKey(c.key) : nullplat::SetKey(c.key, ev == 'd');
      ReadKeyboard();
      pressed += char('0' + Input.KeyPressed[c.key]);
      held += char('0' + Input.KeyHeld[c.key]);
    }
    EXPECT_EQ(pressed, c.pressed) << int(c.key);
    EXPECT_EQ(held, c.held) << int(c.key);
  }
  EXPECT_EQ(SetEntries(), 1) << "only the last key is still down";
}

TEST_F(InputTest, OnlyKeysOfTheTableAreEverWritten) {
  nullplat::SetKey(FindKey("F11")->scanCode, true);  // 0x45 after F10, not its keyboard code 0x57
  ReadKeyboard();
  EXPECT_EQ(Input.KeyHeld[0x45] + Input.KeyPressed[0x45], 2);
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
  constexpr uint8_t kB = 0x30, kC = 0x2E;
  nullplat::SetKey(kB, true);
  ReadKeyboard();
  // A tap and a click made while no frame samples (the program is inactive).
  nullplat::TapKey(kC);
  nullplat::SetButton(true, true);
  nullplat::SetButton(true, false);
  ClearKeyStates();
  EXPECT_EQ(Input.KeyPressed[kB] + Input.KeyHeld[kB], 2);
  ReadKeyboard();
  ReadMouse();
  EXPECT_EQ(Input.KeyHeld[kC], 0);
  EXPECT_EQ(Input.KeyHeld[kB], 1) << "a key still down is still down";
  EXPECT_EQ(Input.KeyPressed[kB], 0);
  EXPECT_EQ(Input.MouseLeft, 0);
}

// Scripts place the pointer on a frame pixel; the modes' scaling is in window_test.
TEST_F(InputTest, MouseIsClampedToTheScreenAndExactInside) {
  struct {
    int x, y, wantX, wantY;
  } cases[] = {{123, 45, 123, 45},  {319, 199, 319, 199}, {-5, -1, 0, 0},
               {-300, 100, 0, 100}, {320, 200, 319, 199}, {5000, 50, 319, 50}};
  for (const auto& c : cases) {
    nullplat::SetPointer(c.x, c.y);
    ReadMouse();
    EXPECT_EQ(Input.MouseX, c.wantX) << c.x << "," << c.y;
    EXPECT_EQ(Input.MouseY, c.wantY) << c.x << "," << c.y;
  }
}

TEST_F(InputTest, ButtonsCountWhenDownOrClickedSinceTheLastSample) {
  nullplat::SetButton(true, true);
  ReadMouse();
  EXPECT_TRUE(Input.MouseLeft && !Input.MouseRight);
  nullplat::SetButton(true, false);
  nullplat::SetButton(false, true);
  nullplat::SetButton(false, false);
  ReadMouse();
  EXPECT_TRUE(!Input.MouseLeft && Input.MouseRight);
  ReadMouse();
  EXPECT_EQ(Input.MouseRight, 0);
}
