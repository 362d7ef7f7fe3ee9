// bench_game.h: the demo folder the benchmarks load (--game DIR, else the build's).
#pragma once

#include <string>

#include "platform/null/null_platform.h"

const std::string& BenchGameDir();
// Starts the engine in the demo folder in the window form (frames expanded to
// 32-bit pixels), active, with nothing pressed.
void StartInWindow();
// One frame as the main loop runs it: lock, the frame's work, unlock.
void RunBenchFrame();
