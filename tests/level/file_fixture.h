// file_fixture.h: a scratch folder per test and builders for the bytes of
// tile and level files, so each test spells out the file it reads.
#pragma once

#include <unistd.h>

#include <array>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "common/binary_reader.h"
#include "test_support.h"

using Bytes = std::vector<uint8_t>;
using Frame = std::array<uint8_t, 64>;

class FileTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           ("tarn-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    if (!home_.empty()) std::filesystem::current_path(home_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
    EngineTest::TearDown();
  }
  // Makes `folder` (the scratch folder by default) the current one until the
  // test ends, for code that reads or writes beside the program.
  void WorkIn(const std::filesystem::path& folder = {}) {
    if (home_.empty()) home_ = std::filesystem::current_path();
    std::filesystem::current_path(folder.empty() ? dir_ : folder);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // A copy of the demo folder, made once, to damage or save into: its path.
  std::string DemoCopy() const {
    if (!std::filesystem::exists(dir_ / "game"))
      std::filesystem::copy(TARN_GAME_DIR, dir_ / "game", std::filesystem::copy_options::recursive);
    return Path("game");
  }
  void Write(const std::string& name, const Bytes& bytes) const {
    std::filesystem::create_directories((dir_ / name).parent_path());
    ASSERT_TRUE(WriteFileAtomic(Path(name), bytes));
  }
  Bytes Read(const std::string& name) const { return ReadWholeFile(Path(name)).value_or(Bytes{}); }
  std::filesystem::path dir_, home_;
};

// Out of line: inlined, GCC 12 warns wrongly on appends to short vectors.
[[gnu::noinline]] inline Bytes& operator+=(Bytes& a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
inline Bytes operator+(Bytes a, const Bytes& b) { return a += b; }

inline Frame Filled(uint8_t v) {
  Frame f;
  f.fill(v);
  return f;
}

// A tile record: slope, floor, frame and step counts, delays, 64 pixels a frame.
inline Bytes TileRec(const std::vector<Frame>& frames = {}, const Bytes& delays = {}, uint8_t slope = 0,
                     uint8_t floor = 0) {
  Bytes out = {slope, floor, uint8_t(frames.size()), uint8_t(delays.size())};
  for (uint8_t d : delays) out.push_back(d);  // not +=: GCC 12 warns of a bound the copy never passes
  for (const Frame& f : frames) out.insert(out.end(), f.begin(), f.end());
  return out;
}

// A palette cycle: (r, g, b, delay) per step, then rotate-with and its delay.
inline Bytes CycleRec(const std::vector<std::array<uint8_t, 4>>& steps, uint8_t with = 0, uint8_t delay = 0) {
  Bytes out = {uint8_t(steps.size())};
  for (const auto& s : steps) out.insert(out.end(), s.begin(), s.end());
  return out + Bytes{with, delay};
}

// A body of versions 0 and 2: the given tiles then empty records up to 2000,
// the given cycles then one-step black ones up to 64, then the tint.
inline Bytes FixedBody(const std::vector<Bytes>& tiles, const std::vector<Bytes>& cycles = {}) {
  Bytes out;
  const Bytes emptyTile = TileRec(), blackCycle = CycleRec({{0, 0, 0, 0}});
  for (size_t i = 0; i < 2000; ++i) out += i < tiles.size() ? tiles[i] : emptyTile;
  for (size_t i = 0; i < 64; ++i) out += i < cycles.size() ? cycles[i] : blackCycle;
  out += {1, 2, 3};
  return out;
}

inline Bytes TilHeader(uint8_t version) { return {0x53, 0x54, 0x49, 0x4C, version}; }
inline Bytes LevHeader(uint8_t version) { return {0x53, 0x4C, 0x45, 0x56, version}; }

// The values at the given indices, to compare many fields in one line.
using Ints = std::vector<int>;
template <class C>
Ints Pick(const C& v, std::initializer_list<size_t> at) {
  Ints out;
  for (size_t i : at) out.push_back(int(v.at(i)));
  return out;
}

// Two-byte value of the older level files: first x 254 + second.
inline void PutOld(Bytes& out, int v) { out += Bytes{uint8_t(v / 254), uint8_t(v % 254)}; }
