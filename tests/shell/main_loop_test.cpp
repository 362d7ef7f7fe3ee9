// main_loop_test.cpp: frame pacing, the hot-key latch, the per-mode frame work, editor entry and quitting.
#include <algorithm>

#include "gfx/frame_buffer.h"
#include "level/attract.h"
#include "level/level.h"
#include "objects/object_list.h"
#include "shell/input.h"
#include "shell/main_loop.h"
#include "shell/window.h"
#include "test_support.h"

namespace {

class MainLoopTest : public EngineTest {
 protected:
  // Runs loop passes until n more frames have been due.
  void RunFrames(int n) {
    uint64_t target = Loop.FramesDue + n;
    int code = 0;
    for (int guard = 0; Loop.FramesDue < target && guard < 10 * n + 10; ++guard) ASSERT_TRUE(LoopPass(code));
    ASSERT_EQ(Loop.FramesDue, target);
  }
  static void Hold(uint8_t f8, uint8_t f4, uint8_t f1) {
    Input.KeyHeld[kKeyF8] = f8;
    Input.KeyHeld[kKeyF4] = f4;
    Input.KeyHeld[kKeyF1] = f1;
    CheckHotKeys();
  }
};

}  // namespace

TEST_F(MainLoopTest, TheIntervalIsASixtiethOfTheCounterFrequencyRounded) {
  nullplat::SetCounterFrequency(3579545);
  InitFrameTimer(60);
  EXPECT_TRUE(Loop.Timer.useCounter);
  EXPECT_EQ(Loop.Timer.counterInterval, 59659u);
  nullplat::SetCounterFrequency(119);  // 1.983 rounds up
  InitFrameTimer(60);
  EXPECT_EQ(Loop.Timer.counterInterval, 2u);
  nullplat::SetCounterFrequency(60000);
  InitFrameTimer(30);  // the rate is kept for reference only
  EXPECT_EQ(Loop.Timer.counterInterval, 1000u);
  EXPECT_EQ(Loop.Timer.rate, 30);
}

TEST_F(MainLoopTest, ALateFrameIsNotMadeUp) {
  platform::WaitUntil(500);
  InitFrameTimer(60);  // 1000 counts a frame, measured from 500
  EXPECT_FALSE(FrameDue());
  platform::WaitUntil(1499);
  EXPECT_FALSE(FrameDue());
  platform::WaitUntil(1500 + 3 * 1000);  // three intervals late
  EXPECT_TRUE(FrameDue());
  EXPECT_FALSE(FrameDue());
  platform::WaitUntil(5499);
  EXPECT_FALSE(FrameDue());
  platform::WaitUntil(5500);
  EXPECT_TRUE(FrameDue());
}

TEST_F(MainLoopTest, WithoutACounterFramesComeEvery16Milliseconds) {
  nullplat::SetCounterFrequency(0);  // no counter: the clock reads in milliseconds
  InitFrameTimer(60);
  EXPECT_FALSE(Loop.Timer.useCounter);
  platform::WaitUntil(15);
  EXPECT_FALSE(FrameDue());
  platform::WaitUntil(16);
  EXPECT_TRUE(FrameDue());
  platform::WaitUntil(40);
  EXPECT_TRUE(FrameDue());
  platform::WaitUntil(55);
  EXPECT_FALSE(FrameDue());
  platform::WaitUntil(56);
  EXPECT_TRUE(FrameDue());
}

TEST_F(MainLoopTest, HotKeysActOncePerPressAndWaitForF8F4AndF1ToBeUp) {
  ASSERT_EQ(Win.MenuState, 2);
  for (int i = 0; i < 10; ++i) Hold(1, 0, 0);
  EXPECT_EQ(Win.MenuState, 1) << "F8 held for many frames toggles once";
  Hold(1, 1, 0);  // F4 joins while F8 is down
  Hold(0, 1, 0);  // F8 up, F4 still down
  EXPECT_EQ(Win.Windowed, 0);
  Hold(0, 0, 1);  // F1 alone keeps the latch
  Hold(0, 1, 1);
  EXPECT_EQ(Win.Windowed, 0);
  EXPECT_EQ(Win.MenuState, 1);
  Hold(0, 0, 0);  // all up
  Hold(0, 1, 0);
  EXPECT_EQ(Win.Windowed, 1);
  Hold(0, 1, 0);
  EXPECT_EQ(Win.Windowed, 1);
}

TEST_F(MainLoopTest, AnUnknownModeDrawsOnlyTheClearedFrame) {
  Loop.AppActive = 1;
  InitFrameTimer(60);
  Loop.GameMode = 251;
  std::fill_n(Screen.FrameBuffer, 64000, uint8_t(0x55));
  RunFrames(1);
  ASSERT_EQ(Loop.FramesRun, 1u);
  // Nothing is drawn outside the frame-rate text at the top right.
  int lit = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 320; ++x)
      if (!(x >= 280 && y < 32)) lit += Screen.FrameBuffer[y * 320 + x] != 0;
  EXPECT_EQ(lit, 0);
  EXPECT_EQ(Attract.AttractStarted, 0);
  EXPECT_EQ(Loop.GameMode, 251);
}

TEST_F(MainLoopTest, EInPlayEntersTheEditorWithTheViewOnTheTileGrid) {
  Loop.AppActive = 1;
  InitFrameTimer(60);
  Attract.AttractStarted = 1;
  Attract.AttractStep = 99;  // keep the attract sequence still
  Level.viewX = 13;
  Level.viewY = -3;
  nullplat::SetKey(kKeyE, true);
  RunFrames(1);
  EXPECT_EQ(Loop.GameMode, kModeEditor);
  EXPECT_EQ(Level.viewX, 8);
  EXPECT_EQ(Level.viewY, -8);
}

TEST_F(MainLoopTest, AFirstPlayFrameOnlyStartsTheAttractSequence) {
  Loop.AppActive = 1;
  InitFrameTimer(60);
  Attract.AttractStep = 7;
  RunFrames(1);
  EXPECT_EQ(Attract.AttractStarted, 1);
  EXPECT_EQ(Attract.AttractStep, 7);
  EXPECT_EQ(Objects.ObjectCount, 0);
}

TEST_F(MainLoopTest, KeyPressesWhileInactiveAreForgotten) {
  InitFrameTimer(60);
  Loop.AppActive = 0;
  Loop.GameMode = 251;
  nullplat::TapKey(kKey5);
  RunFrames(2);
  EXPECT_EQ(Loop.FramesRun, 0u);
  EXPECT_EQ(Loop.FramesCounted, 2) << "inactive frames still count for the rate";
  Loop.AppActive = 1;
  Attract.AttractStep = 4;
  RunFrames(1);
  EXPECT_EQ(Input.KeyPressed[kKey5], 0);
  EXPECT_EQ(Attract.AttractStep, 4);
}

TEST_F(MainLoopTest, QuitGameReleasesTheDisplayAndExitsWithZero) {
  Loop.AppActive = 1;
  InitFrameTimer(60);
  Loop.GameMode = 251;
  nullplat::TapKey(kKeyEsc);
  int code = -1;
  try {
    RunFrames(1);
  } catch (const nullplat::ExitRequest& e) {
    code = e.code;
  }
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(platform::DisplayExists());
  platform::Message m;
  ASSERT_TRUE(platform::PollMessage(m));
  EXPECT_EQ(m.kind, platform::MessageKind::Quit);
  EXPECT_EQ(m.value, 0);

  EXPECT_THROW(QuitGame(), nullplat::ExitRequest);
}
