// attract_bench.cpp: the attract frame as the window form draws it: level 5
// with its card and the frame-rate text, expanded to 32-bit pixels, against
// its memory floor (a memset of the clear, of each shown plane and of the
// 32-bit frame), and the same frame while a GIF recording (F12) takes it.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

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

// A recording as the game runs one (F12): the frame taken from the frame
// buffer after it is drawn, handed to the worker thread when the next one
// starts. Dropped unwritten before its 60 seconds run out.
void RestartDumpWhenFull() {
  if (!Dump.recording || OfferedFrames(*Dump.recording) + 2 >= kMaxRecordedFrames) Dump.recording = StartRecording(true);
}

void RecordedFrame() {
  LockBackSurface();
  RunFrame();
  FrameDumpFrame();
  UnlockBackSurface();
  benchmark::ClobberMemory();
}

// The game thread's share of a recording, frames back to back: between them
// (untimed) the worker encodes what the frame handed it, so each frame
// follows a burst of encoding on the other core, as no frame at 60 a second
// does. Compare the CPU column: the game thread's own time.
void BM_AttractFrameRecorded(benchmark::State& state) {
  if (!StartAttract()) return state.SkipWithError("the attract sequence did not start");
  RestartDumpWhenFull();
  for (auto _ : state) {
    RecordedFrame();
    state.PauseTiming();
    WaitForEncoder(*Dump.recording);
    RestartDumpWhenFull();
    state.ResumeTiming();
  }
  ResetFrameDump();
}

// The recording's own calls alone: taking the frame, and handing it over
// before the next frame draws. Holds the pause's own cost, as the paused frame does.
void BM_AttractRecordCall(benchmark::State& state) {
  if (!StartAttract()) return state.SkipWithError("the attract sequence did not start");
  RestartDumpWhenFull();
  for (auto _ : state) {
    ReleaseDumpedFrame();
    state.PauseTiming();
    LockBackSurface();
    RunFrame();
    state.ResumeTiming();
    FrameDumpFrame();
    state.PauseTiming();
    UnlockBackSurface();
    WaitForEncoder(*Dump.recording);
    RestartDumpWhenFull();
    state.ResumeTiming();
  }
  ResetFrameDump();
}

// The game thread's processor time now, in microseconds.
double ThreadMicroseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

// At the game's pace: a frame every 1/60 s, the thread asleep between, as
// the main loop waits; recorded or not, the frames pay the same for the
// sleep, and a recording's encoding falls between frames where it does in
// the game. The machine's neighbours stretch single frames a lot at this
// pace, so the middle frame ("median", game thread's time) is the figure to compare.
template <bool recorded>
void PacedFrames(benchmark::State& state) {
  if (!StartAttract()) return state.SkipWithError("the attract sequence did not start");
  if (recorded) RestartDumpWhenFull();
  std::vector<double> times;
  times.reserve(size_t(state.max_iterations));
  auto next = std::chrono::steady_clock::now();
  for (auto _ : state) {
    const double start = ThreadMicroseconds();
    if (recorded)
      RecordedFrame();
    else
      RunBenchFrame();
    times.push_back(ThreadMicroseconds() - start);
    state.PauseTiming();
    next += std::chrono::microseconds(16667);
    std::this_thread::sleep_until(next);
    if (recorded) RestartDumpWhenFull();
    state.ResumeTiming();
  }
  ResetFrameDump();
  std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
  state.counters["median_us"] = times[times.size() / 2];
}
void BM_AttractFramePaced(benchmark::State& state) { PacedFrames<false>(state); }
void BM_AttractFrameRecordedPaced(benchmark::State& state) { PacedFrames<true>(state); }

void BM_AttractFloor(benchmark::State& state) {
  if (!StartAttract()) return state.SkipWithError("the attract sequence did not start");
  MemoryFloor(state, ShownPlanes());
}

BENCHMARK(BM_AttractFrame)->Unit(benchmark::kMicrosecond);
// A fixed count: the untimed encoding would otherwise stretch the run to minutes.
BENCHMARK(BM_AttractFramePaused)->Unit(benchmark::kMicrosecond)->Iterations(3000);
BENCHMARK(BM_AttractFrameRecorded)->Unit(benchmark::kMicrosecond)->Iterations(3000);
BENCHMARK(BM_AttractRecordCall)->Unit(benchmark::kMicrosecond)->Iterations(3000);
// Ten seconds each.
BENCHMARK(BM_AttractFramePaced)->Unit(benchmark::kMicrosecond)->Iterations(600);
BENCHMARK(BM_AttractFrameRecordedPaced)->Unit(benchmark::kMicrosecond)->Iterations(600);
BENCHMARK(BM_AttractFloor)->Unit(benchmark::kMicrosecond);

}  // namespace
