// sound_bench.cpp: the device's mixer at work on sixteen voices of the demo
// theme, in the blocks SDL asks for, and the one-time cost of reading the
// theme into the device format.
//
//   tarn-sound-bench [benchmark flags]
//
// items_per_second counts frames mixed per second of CPU: 44,100 divided by
// it is the share of one core that mixing takes to keep up with playback.
#include <benchmark/benchmark.h>

#include <string>

#include "audio/wave.h"
#include "common/binary_reader.h"
#include "common/limits.h"
#include "platform/sdl/voice_mix.h"

namespace {

const std::string kTheme = std::string(TARN_GAME_DIR) + "/default/music/theme.wav";
constexpr size_t kBlock = 1024;  // frames per callback, as the SDL device opens

void BM_MixVoices(benchmark::State& state) {
  auto in = BinaryReader::Open(kTheme, kMaxWaveFileBytes);
  if (!in) return state.SkipWithError("no theme.wav: build the demo folder first");
  auto wave = DecodeWave(*in, kTheme);
  if (!wave) return state.SkipWithError("theme.wav did not load");
  auto sample = std::make_shared<const std::vector<int16_t>>(std::move(wave->frames));
  const size_t count = size_t(state.range(0));
  // Every voice loops, each started a little later than the one before.
  std::vector<mix::Voice> voices(count);
  for (size_t i = 0; i < count; ++i) {
    voices[i].sample = sample;
    voices[i].inUse = voices[i].playing = voices[i].looping = true;
    voices[i].position = uint32_t(i * sample->size() / 2 / count);
  }
  std::vector<int16_t> out(kBlock * 2);
  std::vector<int32_t> acc;
  for (auto _ : state) {
    mix::MixVoices(voices, out.data(), kBlock, acc);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(kBlock));
}

void BM_DecodeTheme(benchmark::State& state) {
  auto bytes = ReadWholeFile(kTheme);
  if (!bytes) return state.SkipWithError("no theme.wav: build the demo folder first");
  for (auto _ : state) {
    BinaryReader in(*bytes);
    auto wave = DecodeWave(in, kTheme);
    benchmark::DoNotOptimize(wave);
  }
}

}  // namespace

BENCHMARK(BM_MixVoices)->Arg(1)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeTheme)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
