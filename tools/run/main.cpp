// tarn-run: the engine on the null platform. Runs N due frames in a game
// folder with scripted input, writes screenshots and GIF recordings on
// request and prints one final state line as JSON.
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX  // windows.h without its min and max macros
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>
#endif
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/binary_reader.h"
#include "common/limits.h"
#include "common/regular_file.h"
#include "gfx/gif_record.h"
#include "gfx/screenshot.h"
#include "level/level.h"
#include "modes/attract.h"
#include "objects/object_list.h"
#include "platform/null/null_platform.h"
#include "png_shot.h"
#include "script.h"
#include "shell/main_loop.h"
#include "shell/startup.h"
#include "shell/window.h"

namespace fs = std::filesystem;

static void PrintState() {
  std::printf(
      "{\"frames\": %llu, \"GameMode\": %d, \"viewX\": %d, \"viewY\": %d, \"AttractStep\": %d, "
      "\"AttractCounter\": %d, \"planeCount\": %d, \"ObjectCount\": %d, \"FramesPerSecond\": %d}\n",
      (unsigned long long)Loop.FramesDue, Loop.GameMode, Level.viewX, Level.viewY, Attract.AttractStep,
      Attract.AttractCounter, Level.planeCount, Objects.ObjectCount, Loop.FramesPerSecond);
  std::fflush(stdout);
}

// Exit codes besides the program's own: a run asked for wrongly, a folder
// that is not a game folder, and a run whose screenshots were not all written.
constexpr int kExitUsage = 2, kExitNotGame = 3, kExitShotFailed = 4;

static bool shotFailed = false;

// A shot that cannot be written is said at once; the run goes on and ends
// with kExitShotFailed. A name ending in .png gives a PNG, any other a PCX.
static void WriteShot(const std::string& path) {
  if (IsPngName(path) ? WritePngShot(path) : WriteScreenshot(path)) return;
  std::fprintf(stderr, "tarn-run: cannot write %s: %s\n", path.c_str(), LastWriteError().c_str());
  shotFailed = true;
}

static bool ParseFrames(const char* text, uint64_t& out) { return text && ParseFrameNumber(text, out); }

// A --gif: frames first to last recorded into file.
struct GifRequest {
  uint64_t first = 0, last = 0;
  std::string file;
  GifRecording recording;
};
static std::vector<GifRequest> gifs;

static void WriteGif(GifRequest& g) {
  std::string problem;
  if (FinishRecording(std::move(g.recording), g.file, problem)) return;
  std::fprintf(stderr, "tarn-run: %s\n", problem.c_str());
  shotFailed = true;
}

// Each recording takes the frame just run while it is within its frames,
// and is written after its last. Encoded at once: the harness has no frame
// to keep.
static void RecordGifs(uint64_t frame) {
  for (GifRequest& g : gifs) {
    if (frame < g.first || frame > g.last) continue;
    if (!g.recording) g.recording = StartRecording(false);
    RecordScreenFrame(*g.recording);
    RecordingSlice(*g.recording, 1 << 30);
    if (frame == g.last) WriteGif(g);
  }
}

// A run that ends before a recording's last frame writes what it has.
static void FinishGifs() {
  for (GifRequest& g : gifs)
    if (g.recording) WriteGif(g);
}

// FIRST-LAST:FILE, frame numbers as --frames takes them, FIRST <= LAST.
static bool ParseGif(const char* v, GifRequest& out) {
  const char* dash = v ? std::strchr(v, '-') : nullptr;
  const char* colon = dash ? std::strchr(dash, ':') : nullptr;
  if (!colon || colon[1] == 0) return false;
  if (!ParseFrames(std::string(v, dash).c_str(), out.first) ||
      !ParseFrames(std::string(dash + 1, colon).c_str(), out.last) || out.first > out.last)
    return false;
  std::error_code ec;
  out.file = fs::absolute(colon + 1, ec).string();
  return !ec;
}

// The code the run ends with: a failed shot outranks a clean end.
static int ExitCode(int code) { return shotFailed && code == 0 ? kExitShotFailed : code; }

static int Usage() {
  std::fprintf(stderr,
               "usage: tarn-run [--game DIR] [--frames N] [--input FILE] [--shot N:FILE.pcx|png]... "
               "[--gif FIRST-LAST:FILE.gif]... [--bench] [--memory-every N]\n");
  return kExitUsage;
}

#ifdef _WIN32
// The C heap's blocks in use, counted by walking it: the process's private
// bytes, the other figure at hand, are not kept by Wine.
static long HeapKB() {
  _HEAPINFO block{};
  size_t used = 0;
  while (_heapwalk(&block) == _HEAPOK)
    if (block._useflag == _USEDENTRY) used += block._size;
  return long(used / 1024);
}

static long ResidentKB() {
  PROCESS_MEMORY_COUNTERS m{};
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &m, sizeof m);
  return long(m.WorkingSetSize / 1024);
}
#else
// Bytes the allocator has handed out and not had back: the sanitizers' own
// count when they are linked in, else the C library's.
extern "C" size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));
static long HeapKB() {
  if (__sanitizer_get_current_allocated_bytes) return long(__sanitizer_get_current_allocated_bytes() / 1024);
  const struct mallinfo2 m = mallinfo2();
  return long((m.uordblks + m.hblkhd) / 1024);
}

// The process's resident set in KB, from the kernel's status file; 0 where
// there is none.
static long ResidentKB() {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return 0;
  char line[256];
  long kb = 0;
  while (std::fgets(line, sizeof line, f))
    if (std::sscanf(line, "VmRSS: %ld", &kb) == 1) break;
  std::fclose(f);
  return kb;
}
#endif

int main(int argc, char** argv) {
  const auto processStart = std::chrono::steady_clock::now();
  double firstFrameMs = 0;
  std::string game = ".", inputFile;
  uint64_t frames = 1, memoryEvery = 0;
  bool bench = false, framesGiven = false;
  std::vector<ScriptEvent> events;
  std::vector<std::pair<uint64_t, std::string>> shots;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    if (a == "--game") {
      const char* v = next();
      if (!v) return Usage();
      game = v;
    } else if (a == "--frames") {
      if (!ParseFrames(next(), frames)) return Usage();
      framesGiven = true;
    } else if (a == "--input") {
      const char* v = next();
      if (!v) return Usage();
      inputFile = v;
    } else if (a == "--shot") {
      const char* v = next();
      const char* colon = v ? std::strchr(v, ':') : nullptr;
      if (!colon || colon[1] == 0) return Usage();
      uint64_t at;
      if (!ParseFrames(std::string(v, colon).c_str(), at)) return Usage();
      std::error_code ec;
      fs::path file = fs::absolute(colon + 1, ec);
      if (ec) return Usage();
      shots.emplace_back(at, file.string());
    } else if (a == "--gif") {
      GifRequest g;
      if (!ParseGif(next(), g)) return Usage();
      gifs.push_back(std::move(g));
    } else if (a == "--bench") {
      bench = true;
    } else if (a == "--memory-every") {
      if (!ParseFrames(next(), memoryEvery)) return Usage();
    } else {
      return Usage();
    }
  }
  if (bench && !framesGiven) frames = 600;
  // A shot after the last frame would never be taken.
  for (const auto& shot : shots)
    if (shot.first > frames) return Usage();
  for (const GifRequest& g : gifs)
    if (g.last > frames) return Usage();
  if (!inputFile.empty()) {
    bool cut = false;
    auto text = ReadWholeFile(inputFile, kMaxScriptBytes, &cut);
    if (!text) {
      if (!LastOpenRefused()) std::fprintf(stderr, "tarn-run: cannot read %s\n", inputFile.c_str());
      return 2;
    }
    // Half a script would run a session nobody wrote.
    if (cut) {
      std::fprintf(stderr, "tarn-run: %s: longer than the %zu bytes a script may hold\n", inputFile.c_str(),
                   kMaxScriptBytes);
      return 2;
    }
    int line = 0;
    std::string error;
    if (!ParseScript(std::string(text->begin(), text->end()), events, line, error)) {
      std::fprintf(stderr, "tarn-run: %s:%d: %s\n", inputFile.c_str(), line, error.c_str());
      return 2;
    }
    for (auto& e : events) {
      std::error_code ec;
      if (e.kind == ScriptEvent::Shot) e.file = fs::absolute(e.file, ec).string();
    }
    // In frame order (a frame's events in script order), so each frame finds
    // its own with one step along the list, however long the script.
    std::stable_sort(events.begin(), events.end(),
                     [](const ScriptEvent& x, const ScriptEvent& y) { return x.frame < y.frame; });
  }
  for (const ScriptEvent& e : events)
    if (e.kind == ScriptEvent::Shot && e.frame > frames) {
      std::fprintf(stderr, "tarn-run: %s:%d: shot after the last frame (%llu)\n", inputFile.c_str(), e.line,
                   (unsigned long long)frames);
      return kExitUsage;
    }
  std::error_code entered;
  fs::current_path(game, entered);
  if (entered) {
    std::fprintf(stderr, "tarn-run: cannot enter %s\n", game.c_str());
    return kExitUsage;
  }

  nullplat::SetExitHook([](int code) {
    FinishGifs();
    PrintState();
    if (ExitCode(code) != code) std::exit(ExitCode(code));
  });
  int code = 0;
  // The box that says why is on stderr already.
  if (!StartProgram(code)) return code != 0 ? code : kExitNotGame;

  std::vector<double> frameMicros;
  size_t first = 0;  // the first event of frame f
  for (uint64_t f = 1; f <= frames; ++f) {
    while (first < events.size() && events[first].frame < f) ++first;
    size_t end = first;
    while (end < events.size() && events[end].frame == f) ++end;
    for (size_t i = first; i < end; ++i) {
      const ScriptEvent& e = events[i];
      switch (e.kind) {
        case ScriptEvent::KeyDown: nullplat::SetKey(uint8_t(e.a), true); break;
        case ScriptEvent::KeyUp: nullplat::SetKey(uint8_t(e.a), false); break;
        case ScriptEvent::KeyTap: nullplat::TapKey(uint8_t(e.a)); break;
        case ScriptEvent::Mouse: nullplat::SetPointer(e.a, e.b); break;
        case ScriptEvent::ButtonDown: nullplat::SetButton(e.a, true); break;
        case ScriptEvent::ButtonUp: nullplat::SetButton(e.a, false); break;
        default: break;
      }
    }
    // Passes until this frame has been due; the virtual clock makes that the
    // next pass or the one after.
    auto start = std::chrono::steady_clock::now();
    while (Loop.FramesDue < f) {
      if (!LoopPass(code)) {
        FinishGifs();
        PrintState();
        return ExitCode(code);
      }
    }
    if (bench) {
      const auto done = std::chrono::steady_clock::now();
      frameMicros.push_back(std::chrono::duration<double, std::micro>(done - start).count());
      if (f == 1) firstFrameMs = std::chrono::duration<double, std::milli>(done - processStart).count();
    }
    for (size_t i = first; i < end; ++i) {
      const ScriptEvent& e = events[i];
      if (e.kind == ScriptEvent::Menu) RunMenuCommand(uint32_t(e.a));
      if (e.kind == ScriptEvent::Shot) WriteShot(e.file);
    }
    for (const auto& [n, file] : shots)
      if (n == f) WriteShot(file);
    RecordGifs(f);
    if (memoryEvery && f % memoryEvery == 0)
      std::fprintf(stderr, "memory %llu %ld %ld\n", (unsigned long long)f, ResidentKB(), HeapKB());
  }
  if (bench && !frameMicros.empty()) {
    std::sort(frameMicros.begin(), frameMicros.end());
    double total = 0;
    for (double us : frameMicros) total += us;
    double median = frameMicros[frameMicros.size() / 2];
    double p99 = frameMicros[std::min(frameMicros.size() - 1, frameMicros.size() * 99 / 100)];
    std::printf("frames per second: %.0f  microseconds per frame: median %.1f, 99th percentile %.1f\n",
                frameMicros.size() / (total / 1e6), median, p99);
    std::printf("start to first frame: %.1f ms\n", firstFrameMs);
  }
  PrintState();
  return ExitCode(0);
}
