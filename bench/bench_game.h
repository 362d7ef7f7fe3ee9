// bench_game.h: the demo folder the benchmarks load (--game DIR, else the build's).
#pragma once

#include <string>

#include "platform/null/null_platform.h"

const std::string& BenchGameDir();
