// The demo's sounds as tarn-mkdemo writes them: 22,050 Hz 16-bit mono, a
// theme of 20 to 40 seconds that never clips and whose loop point is no
// bigger a step than the music itself takes, and a short effect.
#include <algorithm>
#include <filesystem>

#include "common/binary_reader.h"
#include "common/limits.h"
#include "test_support.h"

namespace {

using Samples = std::vector<int16_t>;

// The samples of a file in the writer's canonical layout; empty unless it
// is 22,050 Hz 16-bit mono.
Samples ReadMono(const std::string& name) {
  auto in = BinaryReader::Open((std::filesystem::path(TARN_GAME_DIR) / name).string(), kMaxWaveFileBytes);
  if (!in) return {};
  in->Seek(22);
  const uint16_t channels = in->U16LE(), rate = in->U16LE();
  in->Seek(34);
  if (channels != 1 || rate != 22050 || in->U16LE() != 16) return {};
  in->Seek(44);
  Samples out(in->Remaining() / 2);
  for (int16_t& s : out) s = int16_t(in->U16LE());
  return out;
}

int Peak(const Samples& s) {
  return s.empty() ? 0 : std::abs(int(*std::max_element(s.begin(), s.end(), [](int a, int b) {
    return std::abs(a) < std::abs(b);
  })));
}

TEST(DemoSound, TheThemeLoopsCleanlyForHalfAMinuteAndTheEffectIsShort) {
  const Samples theme = ReadMono("default/music/theme.wav");
  ASSERT_FALSE(theme.empty());
  EXPECT_GE(theme.size(), 20u * 22050);
  EXPECT_LE(theme.size(), 40u * 22050);
  EXPECT_LT(Peak(theme), 32000) << "headroom below full scale";
  EXPECT_GT(Peak(theme), 16000) << "loud enough to hear";
  // The step from the last sample back to the first is an ordinary one.
  std::vector<int> steps;
  for (size_t i = 1; i < theme.size(); ++i) steps.push_back(std::abs(theme[i] - theme[i - 1]));
  std::nth_element(steps.begin(), steps.begin() + long(steps.size() * 9 / 10), steps.end());
  EXPECT_LE(std::abs(theme.front() - theme.back()), steps[steps.size() * 9 / 10]);

  const Samples effect = ReadMono("default/sfx/sfx000.wav");
  ASSERT_FALSE(effect.empty());
  EXPECT_LT(effect.size(), 22050u);
  EXPECT_LT(Peak(effect), 32000);
  EXPECT_LT(std::abs(effect.back()), 64) << "it ends in silence";
}

}  // namespace
