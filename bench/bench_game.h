// bench_game.h: the demo folder the benchmarks load (--game DIR, else the build's).
#pragma once

#include <benchmark/benchmark.h>

#include <string>

#include "platform/null/null_platform.h"

const std::string& BenchGameDir();
// Starts the engine in the demo folder in the window form (frames expanded to
// 32-bit pixels), active, with nothing pressed.
void StartInWindow();
// One frame as the main loop runs it: lock, the frame's work, unlock.
void RunBenchFrame();
// The bytes a frame of n planes must write at the least, as memsets: the
// clear, each plane, the 32-bit frame.
void MemoryFloor(benchmark::State& state, int planes);
// Starts the engine in the demo folder in a window and runs it into the
// attract sequence's endless diagonal pan, where every plane but the station
// is shown.
bool StartAttract();
