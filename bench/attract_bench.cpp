// attract_bench.cpp: the attract frame as the window form draws it: level 5
// with its card and the frame-rate text, expanded to 32-bit pixels, against
// its memory floor (a memset of the clear, of each shown plane and of the
// 32-bit frame).
#include <benchmark/benchmark.h>

#include "bench_game.h"
#include "modes/attract.h"
#include "objects/object_list.h"
#include "shell/display.h"
#include "shell/main_loop.h"
#include "shell/startup.h"
#include "shell/window.h"

bool StartAttract() {
  StartInWindow();
  int code = 0;
  while (Attract.AttractStep < 11)
    if (!LoopPass(code)) return false;
  return Objects.ObjectCount > 0;
}

namespace {

int ShownPlanes() {
  int shown = 0;
  for (uint16_t k = 0; k < Objects.ObjectCount; ++k) {
    const GameObject& o = Objects.ObjectList[k];
    shown += o.type == kObjectPlane && o.plane->visible;
  }
  return shown;
}

void BM_AttractFrame(benchmark::State& state) {
  if (!StartAttract()) return state.SkipWithError("the attract sequence did not start");
  for (auto _ : state) RunBenchFrame();
}

void BM_AttractFloor(benchmark::State& state) {
  if (!StartAttract()) return state.SkipWithError("the attract sequence did not start");
  MemoryFloor(state, ShownPlanes());
}

BENCHMARK(BM_AttractFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AttractFloor)->Unit(benchmark::kMicrosecond);

}  // namespace
