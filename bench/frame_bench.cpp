// frame_bench.cpp: the cost of one frame of each demo level against its
// memory floor and against a per-tile SDL_RenderCopy peer.
//
//   tarn-bench [--game DIR] [benchmark flags]
//   tarn-bench [--game DIR] --profile FRAME COUNT   # FRAME: level1..level5, attract, editor
//
// --profile draws COUNT frames of one kind with no timing around them, for
// callgrind or perf to count or sample.
//
// Frame: clear, scroll tables, every plane of the level, expansion to 32-bit
// pixels. Floor: memset of the same bytes (64,000 for the clear and for each
// plane, 256,000 for the 32-bit frame). Peer: the same planes drawn with one
// SDL_RenderCopy per tile from an atlas by SDL's software renderer. The
// editor frame (level 1, panel shown) is measured against the floor of its
// one drawn plane.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench_game.h"
#include "gfx/draw.h"
#include "gfx/frame_buffer.h"
#include "gfx/palette_sets.h"
#include "gfx/pcx.h"
#include "gfx/plane_render.h"
#include "gfx/scroll.h"
#include "gfx/tile_blocks.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "modes/editor.h"
#include "platform/null/null_platform.h"
#include "sdl_peer.h"
#include "shell/display.h"
#include "shell/main_loop.h"
#include "shell/startup.h"
#include "shell/window.h"

namespace {

std::string gameDir = TARN_GAME_DIR;

}  // namespace

const std::string& BenchGameDir() { return gameDir; }

void StartInWindow() {
  std::filesystem::current_path(BenchGameDir());
  nullplat::Reset();
  ResetAllState();
  InitGame();
  ToggleFullScreen();  // the window form: frames are expanded to 32-bit pixels
  Loop.AppActive = 1;
}

[[gnu::noinline]] void RunBenchFrame() {  // kept whole for a profiler to collect
  LockBackSurface();
  RunFrame();
  UnlockBackSurface();
  benchmark::ClobberMemory();
}

void MemoryFloor(benchmark::State& state, int planes) {
  std::vector<uint8_t> frame(64000), rgb(256000);
  for (auto _ : state) {
    for (int k = 0; k <= planes; ++k) {
      std::memset(frame.data(), k, frame.size());
      benchmark::ClobberMemory();
    }
    std::memset(rgb.data(), 1, rgb.size());
    benchmark::DoNotOptimize(frame.data());
    benchmark::DoNotOptimize(rgb.data());
    benchmark::ClobberMemory();
  }
}

namespace {

std::vector<uint8_t> rgbFrame(320 * 200 * 4);

bool LoadDemoLevel(int n) {
  nullplat::Reset();
  ResetAllState();
  StartVideoMode(0);
  AllocateScratchPixels();
  LoadPcx(gameDir + "/default/art/globpal.pcx", ScratchImage, 1);
  std::string base = gameDir + "/" + std::to_string(n);
  LoadTileSet(base + ".til");
  SelectPaletteSet(0);
  LoadLevel(base + ".lev");
  Screen.PixelFormatCode = 32;
  for (uint16_t s = 0; s < 256; ++s) {
    uint8_t rgb[3];
    GetPaletteEntry(s, rgb);
    SetPaletteEntry(s, rgb);
  }
  Screen.ConvertDest = rgbFrame.data();
  Screen.ConvertCount = 64000;
  return Level.planeCount > 0;
}

// The view pans as in the attract sequence, so every frame differs.
void MoveView(int64_t i) {
  Level.viewX = int32_t(i * 4 % 512);
  Level.viewY = int32_t(i * 2 % 512);
}

// The level's planes in one run, as the game's object pass draws them: a
// plane leaves alone the lines the planes after it cover.
void DrawLevelPlanes() {
  static std::vector<const Plane*> planes;
  planes.clear();
  for (const Plane& p : Level.planes) planes.push_back(&p);
  PlaneRun run(CurrentTileBlocks(), Scroll, FrameCanvas(Screen.FrameBuffer));
  run.DrawInOrder(planes);
}

// Frame i of a level's pan; not inlined, so that a profiler can collect it alone.
[[gnu::noinline]] void LevelFrame(int64_t i) {
  MoveView(i);
  ClearFrameBuffer(0);
  BuildScrollTables(Level.viewX, Level.viewY);
  DrawLevelPlanes();
  ConvertFrameBuffer();
  benchmark::DoNotOptimize(rgbFrame.data());
  benchmark::ClobberMemory();
}

void BM_Frame(benchmark::State& state) {
  if (!LoadDemoLevel(int(state.range(0)))) return state.SkipWithError("level did not load");
  int64_t i = 0;
  for (auto _ : state) LevelFrame(i++);
}

void BM_Floor(benchmark::State& state) {
  if (!LoadDemoLevel(int(state.range(0)))) return state.SkipWithError("level did not load");
  MemoryFloor(state, Level.planeCount);
}

// The editor on level 1 as a level maker sees it in a window: the panel
// shown, tiles and colours animating, the pointer over the middle. Only the
// plane being edited is drawn.
bool StartEditor() {
  StartInWindow();
  LoadLevelFromKey("1.til", "1.lev");
  Loop.GameMode = kModeEditor;
  nullplat::SetPointer(160, 100);
  return Level.planeCount > 0 && Editor.panelShown;
}

void BM_EditorFrame(benchmark::State& state) {
  if (!StartEditor()) return state.SkipWithError("the editor did not start");
  for (auto _ : state) RunBenchFrame();
}

void BM_EditorFloor(benchmark::State& state) {
  if (!StartEditor()) return state.SkipWithError("the editor did not start");
  MemoryFloor(state, 1);
}

void BM_Peer(benchmark::State& state) {
  if (!LoadDemoLevel(int(state.range(0))) || !PeerInit()) return state.SkipWithError("set-up failed");
  int64_t i = 0;
  for (auto _ : state) {
    MoveView(i++);
    BuildScrollTables(Level.viewX, Level.viewY);
    PeerDrawLevel();
  }
  PeerShutdown();
}

BENCHMARK(BM_Frame)->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Floor)->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Peer)->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFloor)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's quickest repetition, in processor time: on a
// shared machine a neighbour's burst lengthens a run's wall-clock time but
// seldom its own time on the processor, and the quickest is the least
// disturbed.
class TableReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> micros;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
      const double us = r.GetAdjustedCPUTime();
      auto [it, added] = micros.emplace(r.benchmark_name(), us);
      if (!added) it->second = std::min(it->second, us);
    }
    ConsoleReporter::ReportRuns(runs);
  }
  // The time of a benchmark that ran; 0 for one that did not.
  double Get(const std::string& name) const {
    auto it = micros.find(name);
    return it == micros.end() ? 0.0 : it->second;
  }
};

// --profile FRAME COUNT: 0 when the frame is known and started.
int Profile(const std::string& frame, int64_t count) {
  bool started = false;
  if (frame.size() == 6 && frame.starts_with("level") && frame[5] >= '1' && frame[5] <= '5') {
    started = LoadDemoLevel(frame[5] - '0');
    for (int64_t i = 0; started && i < count; ++i) LevelFrame(i);
  } else if (frame == "attract" || frame == "editor") {
    started = frame == "attract" ? StartAttract() : StartEditor();
    for (int64_t i = 0; started && i < count; ++i) RunBenchFrame();
  }
  if (!started) std::fprintf(stderr, "tarn-bench: cannot profile frame '%s'\n", frame.c_str());
  return started ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--game") == 0) {
      // Absolute: each benchmark starts in the folder, the next one from there.
      gameDir = std::filesystem::absolute(argv[i + 1]).string();
      for (int j = i; j + 2 <= argc; ++j) argv[j] = argv[j + 2];
      argc -= 2;
      break;
    }
  if (argc == 4 && std::strcmp(argv[1], "--profile") == 0) return Profile(argv[2], std::atoll(argv[3]));
  benchmark::Initialize(&argc, argv);
  TableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n| level | planes | frame (us) | floor (us) | frame / floor | peer (us) | peer / frame |\n");
  std::printf("|---|---|---|---|---|---|---|\n");
  for (int n = 1; n <= 5; ++n) {
    const std::string k = std::to_string(n);
    const double frame = reporter.Get("BM_Frame/" + k), floor = reporter.Get("BM_Floor/" + k);
    const double peer = reporter.Get("BM_Peer/" + k);
    if (frame <= 0 || floor <= 0) continue;
    LoadDemoLevel(n);
    std::printf("| %d | %d | %.1f | %.1f | %.1f | %.1f | %.1f |\n", n, Level.planeCount, frame, floor, frame / floor,
                peer, peer > 0 ? peer / frame : 0.0);
  }
  // One line a frame, for a quick look (CI prints them).
  std::printf("\n");
  const auto ratio = [&](const char* label, const std::string& frameName, const std::string& floorName) {
    const double frame = reporter.Get(frameName), floor = reporter.Get(floorName);
    if (frame > 0 && floor > 0)
      std::printf("frame / floor  %-8s %5.2f   (%.1f us / %.1f us)\n", label, frame / floor, frame, floor);
  };
  for (int n = 1; n <= 5; ++n) {
    const std::string k = std::to_string(n);
    ratio(("level " + k).c_str(), "BM_Frame/" + k, "BM_Floor/" + k);
  }
  ratio("attract", "BM_AttractFrame", "BM_AttractFloor");
  ratio("editor", "BM_EditorFrame", "BM_EditorFloor");
  benchmark::Shutdown();
  return 0;
}
