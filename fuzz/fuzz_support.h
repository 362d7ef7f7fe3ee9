// fuzz_support.h: what every fuzz target shares: a clean engine per input,
// inputs written to files (the loaders read files), and inputs split into
// the several files a loader reads together.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/draw.h"
#include "gfx/pcx.h"
#include "platform/null/null_platform.h"
#include "shell/startup.h"
#include "shell/window.h"

namespace fuzz {

// Parts of one input are joined by this line; seeds and the dictionaries use it too.
constexpr std::string_view kSeparator = "\n--tarn-part--\n";

// The engine at its start values in video mode 0, with the scratch image.
// Targets call it again at their end, so that an input leaves nothing
// allocated behind it and libFuzzer's leak check need not run it twice.
inline void ResetEngine() {
  nullplat::Reset();
  ResetAllState();
  StartVideoMode(0);
  AllocateScratchPixels();
}

// A folder of this process's own for the files of one input.
inline const std::string& WorkDir() {
  static const std::string dir = [] {
    const char* base = std::getenv("TMPDIR");
    std::string d = std::string(base && *base ? base : "/tmp") + "/tarn-fuzz-" + std::to_string(::getpid());
    std::filesystem::create_directories(d);
    return d;
  }();
  return dir;
}

inline std::string WriteFile(const std::string& name, std::string_view bytes) {
  const std::string path = WorkDir() + "/" + name;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

// The input cut at each separator into at most `count` parts; missing parts are empty.
inline std::vector<std::string_view> Split(const uint8_t* data, size_t size, size_t count) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < count) {
    const size_t at = rest.find(kSeparator);
    if (at == std::string_view::npos) break;
    parts.push_back(rest.substr(0, at));
    rest.remove_prefix(at + kSeparator.size());
  }
  parts.push_back(rest);
  parts.resize(count);
  return parts;
}

}  // namespace fuzz
