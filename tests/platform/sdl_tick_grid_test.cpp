// sdl_tick_grid_test.cpp: the browser clock's grid against browser frames of
// several display rates with jittered timestamps, through the frame timer's
// rule: a frame is due one tick after the last due one was found.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/sdl/sdl_tick_grid.h"

namespace {

// Due frames at each of `count` browser frames of the given rate, whose
// timestamps jitter by up to `jitterMs` either way, starting at `startMs`.
std::vector<int> DueFrames(double hz, int count, double jitterMs, double startMs = 5000.0) {
  sdlplat::TickGrid grid;
  uint32_t seed = 12345;
  std::vector<int> due;
  uint64_t last = grid.Follow(startMs);
  for (int k = 1; k <= count; ++k) {
    seed = seed * 1103515245u + 12345u;  // a fixed sequence, so failures repeat
    double jitter = (double(seed >> 8 & 0xFFFF) / 65535.0 * 2 - 1) * jitterMs;
    uint64_t tick = grid.Follow(startMs + k * 1000.0 / hz + jitter);
    bool isDue = tick >= last + 1;
    if (isDue) last = tick;
    due.push_back(isDue);
  }
  return due;
}

int Sum(const std::vector<int>& v, size_t from = 0) {
  int n = 0;
  for (size_t i = from; i < v.size(); ++i) n += v[i];
  return n;
}

TEST(SdlTickGrid, EveryFrameOfASixtyHertzDisplayIsDueDespiteJitter) {
  // Half a tick of jitter would defeat a grid fixed at any phase; this one
  // settles on the browser's frames first.
  for (double jitter : {0.0, 1.5, 4.0}) EXPECT_EQ(Sum(DueFrames(60, 3600, jitter)), 3600) << jitter;
  // Displays a little off 60 Hz drift through the grid's phase: still no frame is lost.
  EXPECT_EQ(Sum(DueFrames(60.2, 3600, 1.5)), 3600);
  // A 59.94 Hz display runs the game at its own rate.
  EXPECT_EQ(Sum(DueFrames(59.94, 3600, 1.5)), 3600);
}

TEST(SdlTickGrid, FasterDisplaysGetSixtyDueFramesASecond) {
  for (double hz : {120.0, 144.0, 165.0}) {
    const std::vector<int> due = DueFrames(hz, int(hz) * 10, 1.0);
    EXPECT_NEAR(Sum(due), 600, 6) << hz;
    // Never two due frames on adjacent browser frames.
    for (size_t i = 1; i < due.size(); ++i) ASSERT_FALSE(due[i] && due[i - 1]) << hz << " at " << i;
  }
}

TEST(SdlTickGrid, SlowerDisplaysRunAFrameEachAndMakeUpNone) {
  const std::vector<int> due = DueFrames(30, 300, 1.0);
  EXPECT_EQ(Sum(due), 300);
  sdlplat::TickGrid grid;
  EXPECT_EQ(grid.Nearest(100.0), 0u);
  EXPECT_EQ(grid.Nearest(100.0 + 1000.0), 60u);  // a second later: sixty ticks on, one due frame
  EXPECT_EQ(grid.Nearest(50.0), 0u);             // before the origin: tick 0, not a wrap
}

}  // namespace
