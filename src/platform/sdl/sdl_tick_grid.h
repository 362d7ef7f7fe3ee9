// sdl_tick_grid.h: the browser clock's 60 Hz grid. Pure arithmetic, free of
// Emscripten, so it is tested.
#pragma once

#include <cmath>
#include <cstdint>

namespace sdlplat {

// A browser shows frames only at its own ticks, whose timestamps jitter by a
// millisecond or two, while the frame timer wants a whole sixtieth of a second
// between due frames. Reading the nearest tick of a 60 Hz grid whose phase
// follows the browser's ticks, a 60 Hz display finds a frame due at every
// tick; a faster one at 60 of its ticks a second; a slower one at each.
struct TickGrid {
  static constexpr double kTickMs = 1000.0 / 60.0;
  double origin = -1;  // time in ms of tick 0; set by the first reading
  double lastMs = -1;  // the previous browser frame

  // The tick nearest to the time, without moving the grid. The first reading
  // lies a quarter tick past its tick: a 120 Hz display's frames then fall
  // a quarter tick either side of the grid's half-ticks, never on them.
  uint64_t Nearest(double ms) {
    if (origin < 0) origin = ms - kTickMs / 4;
    double ticks = (ms - origin) / kTickMs;
    return ticks <= 0 ? 0 : uint64_t(std::llround(ticks));
  }

  // The tick nearest to a browser frame at the time. When the browser's
  // frames come about a tick apart, the grid moves a quarter of the way
  // toward this one, so its ticks settle on the browser's; other rates leave
  // it fixed, which keeps their 60 due frames a second exact.
  uint64_t Follow(double ms) {
    uint64_t tick = Nearest(ms);
    if (lastMs >= 0 && std::fabs(ms - lastMs - kTickMs) < kTickMs / 4)
      origin += (ms - origin - double(tick) * kTickMs) * 0.25;
    lastMs = ms;
    return tick;
  }
};

}  // namespace sdlplat
