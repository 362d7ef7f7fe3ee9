// attract_bench.cpp: the attract frame as the window form draws it: level 5
// with its card and the frame-rate text, expanded to 32-bit pixels, against
// its memory floor (a memset of the clear, of each shown plane and of the
// 32-bit frame), and what a GIF recording (F12) costs the game thread.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
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

// The game thread's processor time now, in microseconds.
double ThreadMicroseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

double Median(std::vector<double>& t) {
  if (t.empty()) return 0;
  std::nth_element(t.begin(), t.begin() + ptrdiff_t(t.size() / 2), t.end());
  return t[t.size() / 2];
}

// A thread that, woken, computes for a given time without touching memory:
// what the encoder's work on the other core does to the game thread's next
// frame apart from anything the recording shares with it.
struct BusyCore {
  std::mutex lock;
  std::condition_variable wake;
  double micros = 0;  // the next turn's length; 0 when none is asked
  bool quit = false;
  std::atomic<bool> busy{false};
  std::thread thread{[this] { Run(); }};

  ~BusyCore() {
    {
      std::lock_guard<std::mutex> hold(lock);
      quit = true;
    }
    wake.notify_one();
    thread.join();
  }
  void Run() {
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
      wake.wait(hold, [this] { return quit || micros > 0; });
      if (quit) return;
      const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double, std::micro>(micros);
      micros = 0;
      hold.unlock();
      uint64_t x = 1;
      while (std::chrono::steady_clock::now() < end)
        for (int k = 0; k < 1000; ++k) x = x * 6364136223846793005u + 1;
      benchmark::DoNotOptimize(x);
      busy = false;
      hold.lock();
    }
  }
  // Computes for micros and waits for it, spinning as WaitForEncoder does.
  void Work(double us) {
    if (us <= 0) return;
    busy = true;
    {
      std::lock_guard<std::mutex> hold(lock);
      micros = us;
    }
    wake.notify_one();
    while (busy) {
    }
  }
};

// The game thread's share of a recording, frames back to back, in turns of
// fifty: unrecorded; recorded, waiting (untimed) between frames for the
// worker to encode what the frame handed it, so each frame follows a burst
// of encoding on the other core, as no frame at 60 a second does; and
// unrecorded beside the busy core, which computes between frames for as
// long as the worker took. The figures are each kind's middle frame, the
// game thread's own time: the recorded frame against the busy-core one is
// what the recording itself costs the game thread; the busy-core frame
// against the unrecorded one is what this machine charges a frame that
// follows work on the other core, whatever the work.
void BM_AttractRecordingBackToBack(benchmark::State& state) {
  if (!StartAttract()) return state.SkipWithError("the attract sequence did not start");
  RestartDumpWhenFull();
  BusyCore other;
  constexpr int64_t kTurn = 50;
  enum { kPlain, kRecorded, kBusy };
  std::vector<double> times[3];
  std::vector<double> encoding(kTurn, 0.0);  // the last recorded turn's waits
  int64_t frame = 0;
  for (auto _ : state) {
    const int kind = int(frame / kTurn % 3);
    const size_t at = size_t(frame++ % kTurn);
    const double start = ThreadMicroseconds();
    if (kind == kRecorded)
      RecordedFrame();
    else
      RunBenchFrame();
    times[kind].push_back(ThreadMicroseconds() - start);
    state.PauseTiming();
    if (kind == kRecorded) {
      const auto begin = std::chrono::steady_clock::now();
      WaitForEncoder(*Dump.recording);
      encoding[at] = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - begin).count();
      RestartDumpWhenFull();
    } else if (kind == kBusy) {
      other.Work(encoding[at]);
    }
    state.ResumeTiming();
  }
  ResetFrameDump();
  const double plain = Median(times[kPlain]), busy = Median(times[kBusy]), recorded = Median(times[kRecorded]);
  if (plain <= 0) return;
  state.counters["plain_us"] = plain;
  state.counters["busy_us"] = busy;
  state.counters["recorded_us"] = recorded;
  state.counters["recorded_pct"] = 100.0 * (recorded - plain) / plain;
  state.counters["busy_pct"] = 100.0 * (busy - plain) / plain;
  state.counters["own_pct"] = 100.0 * (recorded - busy) / plain;
}

// The recording's own calls alone: taking the frame, and handing it over
// before the next frame draws. Holds the pause's own cost of about 3 us.
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

// At the game's pace: a frame every 1/60 s, the thread asleep between, as
// the main loop waits, so a recording's encoding falls between frames where
// it does in the game. Half seconds recorded and not take turns, so that the
// machine's slow spells, which stretch single frames at this pace by more
// than a recording does, fall on both alike; the figures are the middle
// frames of each (the game thread's time).
void BM_AttractRecordingPaced(benchmark::State& state) {
  if (!StartAttract()) return state.SkipWithError("the attract sequence did not start");
  RestartDumpWhenFull();
  constexpr int64_t kTurn = 30;
  std::vector<double> times[2];
  int64_t frame = 0;
  auto next = std::chrono::steady_clock::now();
  for (auto _ : state) {
    const bool recorded = frame++ / kTurn % 2 == 1;
    const double start = ThreadMicroseconds();
    if (recorded)
      RecordedFrame();
    else
      RunBenchFrame();
    times[recorded].push_back(ThreadMicroseconds() - start);
    state.PauseTiming();
    next += std::chrono::microseconds(16667);
    std::this_thread::sleep_until(next);
    RestartDumpWhenFull();
    state.ResumeTiming();
  }
  ResetFrameDump();
  const double plain = Median(times[0]), recorded = Median(times[1]);
  if (plain <= 0) return;
  state.counters["plain_us"] = plain;
  state.counters["recorded_us"] = recorded;
  state.counters["recorded_pct"] = 100.0 * (recorded - plain) / plain;
}

void BM_AttractFloor(benchmark::State& state) {
  if (!StartAttract()) return state.SkipWithError("the attract sequence did not start");
  MemoryFloor(state, ShownPlanes());
}

BENCHMARK(BM_AttractFrame)->Unit(benchmark::kMicrosecond);
// Fixed counts: the untimed encoding would otherwise stretch the runs to minutes.
BENCHMARK(BM_AttractRecordingBackToBack)->Unit(benchmark::kMicrosecond)->Iterations(4500);
BENCHMARK(BM_AttractRecordCall)->Unit(benchmark::kMicrosecond)->Iterations(3000);
// Twenty seconds.
BENCHMARK(BM_AttractRecordingPaced)->Unit(benchmark::kMicrosecond)->Iterations(1200);
BENCHMARK(BM_AttractFloor)->Unit(benchmark::kMicrosecond);

}  // namespace
