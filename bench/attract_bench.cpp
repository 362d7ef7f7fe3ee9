// attract_bench.cpp: the attract frame as the window form draws it: level 5
// with its card and the frame-rate text, expanded to 32-bit pixels, against
// its memory floor (a memset of the clear, of each shown plane and of the
// 32-bit frame), and the same frame while a GIF recording (F12) takes it.
#include <benchmark/benchmark.h>

#include "bench_game.h"
#include "modes/attract.h"
#include "objects/object_list.h"
#include "shell/display.h"
#include "shell/frame_dump.h"
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

// The same with the pause the recorded frame has, so the two compare.
void BM_AttractFramePaused(benchmark::State& state) {
  if (!StartAttract()) return state.SkipWithError("the attract sequence did not start");
  for (auto _ : state) {
    RunBenchFrame();
    state.PauseTiming();
    state.ResumeTiming();
  }
}

// The game thread's share of a recording: every second frame copied and
// handed to the worker thread, which encodes on the other core. Between
// frames (untimed) the worker catches up, as it does at 60 frames a second.
// The recording is discarded unwritten, and restarted before its 60 seconds
// run out. Compare the CPU column: the game thread's own time.
void BM_AttractFrameRecorded(benchmark::State& state) {
  if (!StartAttract()) return state.SkipWithError("the attract sequence did not start");
  GifRecording recording = StartRecording(true);
  for (auto _ : state) {
    LockBackSurface();
    RunFrame();
    RecordScreenFrame(*recording);
    UnlockBackSurface();
    state.PauseTiming();
    WaitForEncoder(*recording);
    if (OfferedFrames(*recording) >= kMaxRecordedFrames) recording = StartRecording(true);
    state.ResumeTiming();
  }
}

// The game thread's call alone, the frame and the encoding untimed: the
// recorded frame above also pays for the caches the worker's encoding
// evicted between frames, which back-to-back frames make look larger than
// a frame every 16.7 ms does. Holds the pause's own cost, as the paused frame does.
void BM_AttractRecordCall(benchmark::State& state) {
  if (!StartAttract()) return state.SkipWithError("the attract sequence did not start");
  GifRecording recording = StartRecording(true);
  for (auto _ : state) {
    state.PauseTiming();
    LockBackSurface();
    RunFrame();
    state.ResumeTiming();
    RecordScreenFrame(*recording);
    state.PauseTiming();
    UnlockBackSurface();
    WaitForEncoder(*recording);
    if (OfferedFrames(*recording) >= kMaxRecordedFrames) recording = StartRecording(true);
    state.ResumeTiming();
  }
}

void BM_AttractFloor(benchmark::State& state) {
  if (!StartAttract()) return state.SkipWithError("the attract sequence did not start");
  MemoryFloor(state, ShownPlanes());
}

BENCHMARK(BM_AttractFrame)->Unit(benchmark::kMicrosecond);
// A fixed count: the untimed encoding would otherwise stretch the run to minutes.
BENCHMARK(BM_AttractFramePaused)->Unit(benchmark::kMicrosecond)->Iterations(3000);
BENCHMARK(BM_AttractFrameRecorded)->Unit(benchmark::kMicrosecond)->Iterations(3000);
BENCHMARK(BM_AttractRecordCall)->Unit(benchmark::kMicrosecond)->Iterations(3000);
BENCHMARK(BM_AttractFloor)->Unit(benchmark::kMicrosecond);

}  // namespace
