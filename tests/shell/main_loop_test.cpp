// main_loop_test.cpp: frame pacing, the hot-key latch, the per-mode frame work, editor entry and quitting.
#include <algorithm>
#include <utility>

#include "gfx/frame_buffer.h"
#include "input/input.h"
#include "level/level.h"
#include "modes/attract.h"
#include "objects/object_list.h"
#include "shell/main_loop.h"
#include "shell/window.h"
#include "test_support.h"

namespace {

class MainLoopTest : public EngineTest {
 protected:
  static void Start(uint8_t active, uint8_t mode = kModePlay) {
    Loop.AppActive = active;
    Loop.GameMode = mode;
    InitFrameTimer();
  }
  // FrameDue at each clock reading in turn.
  static void ExpectDue(std::initializer_list<std::pair<uint64_t, bool>> steps) {
    for (auto [time, due] : steps) {
      platform::WaitUntil(time);
      EXPECT_EQ(FrameDue(), due) << "at " << time;
    }
  }
  static void Hold(uint8_t f8, uint8_t f4, uint8_t f1) {
    Input.KeyHeld[kKeyF8] = f8;
    Input.KeyHeld[kKeyF4] = f4;
    Input.KeyHeld[kKeyF1] = f1;
    CheckHotKeys();
  }
};

constexpr uint8_t kUnknownMode = 251;

}  // namespace

TEST_F(MainLoopTest, TheIntervalIsASixtiethOfTheCounterFrequencyRounded) {
  struct {
    uint64_t hz;
    uint32_t interval;
  } cases[] = {{3579545, 59659}, {119, 2}, {60000, 1000}};
  for (const auto& c : cases) {
    nullplat::SetCounterFrequency(c.hz);
    InitFrameTimer();
    EXPECT_TRUE(Loop.Timer.useCounter);
    EXPECT_EQ(Loop.Timer.counterInterval, c.interval) << c.hz;
  }
}

TEST_F(MainLoopTest, ALateFrameIsNotMadeUp) {
  platform::WaitUntil(500);
  InitFrameTimer();  // 1000 counts a frame, measured from 500
  // Three intervals late: one frame, and the next is due a whole interval later.
  ExpectDue({{500, false}, {1499, false}, {4500, true}, {4500, false}, {5499, false}, {5500, true}});
}

TEST_F(MainLoopTest, WithoutACounterFramesComeEvery16Milliseconds) {
  nullplat::SetCounterFrequency(0);  // no counter: the clock reads in milliseconds
  InitFrameTimer();
  EXPECT_FALSE(Loop.Timer.useCounter);
  ExpectDue({{15, false}, {16, true}, {40, true}, {55, false}, {56, true}});
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

TEST_F(MainLoopTest, AFirstPlayFrameOnlyStartsTheAttractSequenceAndEThenEntersTheEditor) {
  Start(1);
  Attract.AttractStep = 7;
  RunFrames(1);
  EXPECT_EQ(Attract.AttractStarted, 1);
  EXPECT_EQ(Attract.AttractStep, 7);
  EXPECT_EQ(Objects.ObjectCount, 0);
  // The editor puts the view on the tile grid.
  Attract.AttractStep = 99;  // keep the attract sequence still
  Level.viewX = 13;
  Level.viewY = -3;
  nullplat::SetKey(kKeyE, true);
  RunFrames(1);
  EXPECT_EQ(Loop.GameMode, kModeEditor);
  EXPECT_EQ(Level.viewX, 8);
  EXPECT_EQ(Level.viewY, -8);
}

TEST_F(MainLoopTest, InactiveFramesForgetKeysAndAnUnknownModeDrawsOnlyTheClearedFrame) {
  Start(0, kUnknownMode);
  nullplat::TapKey(kKey5);  // 5 would restart the attract sequence
  RunFrames(2);
  EXPECT_EQ(Loop.FramesRun, 0u);
  EXPECT_EQ(Loop.FramesCounted, 2) << "inactive frames still count for the rate";
  Loop.AppActive = 1;
  Attract.AttractStep = 4;
  std::fill_n(Screen.FrameBuffer, 64000, uint8_t(0x55));
  RunFrames(1);
  ASSERT_EQ(Loop.FramesRun, 1u);
  EXPECT_EQ(Attract.AttractStep, 4);
  // Nothing is drawn outside the frame-rate text at the top right.
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < (y < 32 ? 280 : 320); ++x) ASSERT_EQ(Screen.FrameBuffer[y * 320 + x], 0) << x << "," << y;
  EXPECT_EQ(Attract.AttractStarted, 0);
  EXPECT_EQ(Loop.GameMode, kUnknownMode);
}

TEST_F(MainLoopTest, QuitGameReleasesTheDisplayAndExitsWithZero) {
  Start(1, kUnknownMode);
  nullplat::TapKey(kKeyEsc);
  EXPECT_EQ(ExitCodeOf([] { RunFrames(1); }), 0);
  EXPECT_FALSE(platform::DisplayExists());
  platform::Message m;
  ASSERT_TRUE(platform::PollMessage(m));
  EXPECT_EQ(m.kind, platform::MessageKind::Quit);
  EXPECT_EQ(m.value, 0);
}
