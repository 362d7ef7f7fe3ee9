// The WAV reader: the record's format, conversion to 16-bit stereo at the
// device rate, chunks in any order, and broken files that load what they
// hold or nothing, with one line on stderr.
#include <algorithm>

#include "audio/sound_fixture.h"
#include "audio/wave.h"
#include "common/binary_reader.h"
#include "common/limits.h"

namespace {

using Samples = std::vector<int16_t>;

std::optional<DecodedWave> Decode(const Bytes& file) {
  BinaryReader in(file);
  return DecodeWave(in, "t.wav");
}

// Decodes while catching stderr; `lines` gets the number of lines written.
std::optional<DecodedWave> DecodeQuiet(const Bytes& file, int& lines) {
  ::testing::internal::CaptureStderr();
  auto out = Decode(file);
  std::string err = ::testing::internal::GetCapturedStderr();
  lines = int(std::count(err.begin(), err.end(), '\n'));
  return out;
}

using WaveTest = EngineTest;

TEST_F(WaveTest, MonoAt22050GivesTheRecordItsFormatAndSixteenVoicesOfOneSampleUntilABadFileEmptiesIt) {
  Sound_typ record;
  DXSound device;
  BinaryReader in(MonoWav(22050, 22050));
  ASSERT_TRUE(LoadWave(record, device, in, "t.wav"));
  const WaveFormat& f = record.format;
  EXPECT_EQ((std::vector<uint32_t>{f.formatTag, f.channels, f.samplesPerSec, f.blockAlign, f.avgBytesPerSec,
                                   f.bitsPerSample}),
            (std::vector<uint32_t>{1, 1, 22050, 2, 44100, 16}));
  EXPECT_EQ(record.soundSystem, &device);
  EXPECT_EQ(nullplat::LiveSoundBuffers(), 16);
  EXPECT_EQ(VoiceOf(record, 0).length, 44100u);  // one second at the device rate
  for (int i = 1; i < kSoundBuffers; ++i) EXPECT_EQ(VoiceOf(record, i).sample, VoiceOf(record, 0).sample) << i;

  BinaryReader bad(Wav(0, 44100, 16, {1, 2}));
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(LoadWave(record, device, bad, "bad.wav"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "bad.wav: no channels\n");
  EXPECT_EQ(record.soundSystem, nullptr);
  EXPECT_EQ(nullplat::LiveSoundBuffers(), 0);  // the earlier sample went too
}

TEST_F(WaveTest, SixChannelsPlayAsTwoWithTheHeadersBlockAlignAndEveryChannelMixedIn) {
  // Front left, front right, then four channels of 400 shared by both sides.
  auto w = Decode(Wav(6, 44100, 16, Samples16({1000, 2000, 400, 400, 400, 400, -1000, 0, 0, 0, 0, 0})));
  ASSERT_TRUE(w);
  EXPECT_EQ(w->format.channels, 2);
  EXPECT_EQ(w->format.blockAlign, 12);
  EXPECT_EQ(w->format.avgBytesPerSec, 12u * 44100);
  EXPECT_EQ(w->frames, (Samples{700, 1200, -500, 0}));
}

TEST_F(WaveTest, SamplesBecomeSixteenBitStereoAtTheDeviceRate) {
  // 8-bit samples are unsigned around 128.
  auto eight = Decode(Wav(1, 44100, 8, {0, 128, 255}));
  ASSERT_TRUE(eight);
  EXPECT_EQ(eight->frames, (Samples{-32768, -32768, 0, 0, 32512, 32512}));
  // Stereo at the device rate passes through untouched.
  auto stereo = Decode(Wav(2, 44100, 16, Samples16({-5, 7, 32767, -32768})));
  ASSERT_TRUE(stereo);
  EXPECT_EQ(stereo->frames, (Samples{-5, 7, 32767, -32768}));
  // Half the rate: every other frame lies halfway; the last one holds.
  auto half = Decode(Wav(1, 22050, 16, Samples16({0, 1000, 2000})));
  ASSERT_TRUE(half);
  EXPECT_EQ(half->frames, (Samples{0, 0, 500, 500, 1000, 1000, 1500, 1500, 2000, 2000, 2000, 2000}));
  // Twice the rate: every other frame is dropped.
  auto twice = Decode(Wav(1, 88200, 16, Samples16({10, 20, 30, 40})));
  ASSERT_TRUE(twice);
  EXPECT_EQ(twice->frames, (Samples{10, 10, 30, 30}));
}

TEST_F(WaveTest, ChunksAreFoundWhereverTheyStand) {
  const Bytes data = Chunk("data", Samples16({1, 2}));
  const Bytes fmt = Chunk("fmt ", Fmt(1, 44100, 16));
  // An odd-sized chunk (padded) in front, and the data before the format.
  auto odd = Decode(Riff(Chunk("LIST", {'a', 'b', 'c'}) + data + fmt));
  ASSERT_TRUE(odd);
  EXPECT_EQ(odd->frames, (Samples{1, 1, 2, 2}));
  // The extensible header names PCM in its sub-format.
  Bytes ext = Fmt(1, 44100, 16, 0xFFFE);
  ext += Bytes{22, 0, 16, 0, 4, 0, 0, 0, 1, 0};  // size, valid bits, mask, sub-format tag 1
  ext.resize(40, 0);
  EXPECT_TRUE(Decode(Riff(Chunk("fmt ", ext) + data)));
  ext[24] = 3;  // floating point
  int lines = 0;
  EXPECT_FALSE(DecodeQuiet(Riff(Chunk("fmt ", ext) + data), lines));
}

TEST_F(WaveTest, BrokenFilesLoadWhatTheyHoldOrNothingWithOneLine) {
  const Bytes fmt = Chunk("fmt ", Fmt(1, 44100, 16));
  Bytes truncated = Wav(1, 44100, 16, Samples16({5, 6, 7, 8}));
  truncated.resize(truncated.size() - 3);  // two and a half frames left of four
  const struct {
    const char* what;
    Bytes file;
    size_t frames;  // 0: nothing loads
  } cases[] = {
      {"empty", {}, 0},
      {"header cut short", {'R', 'I', 'F', 'F', 9, 0}, 0},
      {"not RIFF", Bytes(64, 'x'), 0},
      {"truncated data", truncated, 2},
      {"data claims 4 GB", Riff(fmt + Chunk("data", Samples16({1, 2, 3}), 0xFFFFFFFF)), 3},
      {"huge odd chunk before the format", Riff(Chunk("junk", {1}, 0xFFFFFFF1) + fmt), 0},
      {"format chunk too small", Riff(Chunk("fmt ", Bytes(10, 1)) + Chunk("data", {1, 2})), 0},
      {"no data chunk", Riff(fmt), 0},
      {"zero channels", Riff(Chunk("fmt ", Fmt(0, 44100, 16)) + Chunk("data", {1, 2})), 0},
      {"zero rate", Wav(1, 0, 16, {1, 2}), 0},
      {"not PCM", Riff(Chunk("fmt ", Fmt(1, 44100, 32, 3)) + Chunk("data", Bytes(8))), 0},
      {"24-bit", Wav(1, 44100, 24, Bytes(6)), 0},
      {"empty data", Wav(1, 44100, 16, {}), 0},
      {"block align 0", Riff(Chunk("fmt ", Fmt(2, 44100, 16, 1, 0)) + Chunk("data", Bytes(8))), 2},
      // A 1 Hz rate turns 660 samples into eleven minutes: cut at ten (about 100 MB).
      {"longer than ten minutes", Wav(1, 1, 16, Samples16(std::vector<int16_t>(660, 3))), 600 * 44100},
  };
  for (const auto& c : cases) {
    int lines = 0;
    auto w = DecodeQuiet(c.file, lines);
    EXPECT_EQ(w ? w->frames.size() / 2 : 0, c.frames) << c.what;
    EXPECT_EQ(lines, 1) << c.what;
  }
}

// A file many blocks long is read a block at a time: frames that straddle
// two blocks (half the rate: every frame is used twice) and blocks skipped
// into (ten times the rate, eight channels: every tenth frame) come out as
// a whole-file read would give them.
using WaveFileTest = FileTest;

TEST_F(WaveFileTest, ALongFileConvertsBlockByBlockAsOneWholeRead) {
  auto value = [](size_t f) { return int16_t(uint16_t(f * 37)); };
  auto decode = [&](const std::string& name, uint16_t channels, uint32_t rate, size_t frames) {
    std::vector<int16_t> samples;
    for (size_t f = 0; f < frames; ++f) samples.insert(samples.end(), channels, value(f));
    Write(name, Wav(channels, rate, 16, Samples16(samples)));
    auto in = BinaryReader::Open(Path(name), kMaxWaveFileBytes);
    EXPECT_TRUE(in);
    return in ? DecodeWave(*in, name) : std::nullopt;
  };
  // Half the rate with a ramp that steps by 0 or 1: each frame twice.
  const size_t n = 100000;  // three blocks and more
  auto half = decode("half.wav", 1, 22050, n);
  ASSERT_TRUE(half);
  ASSERT_EQ(half->frames.size(), 4 * n);
  size_t wrong = 0;
  for (size_t i = 0; i < 2 * n; ++i) {
    const int16_t x = value(i / 2), y = value(std::min(i / 2 + 1, n - 1));
    const int16_t want = i % 2 ? int16_t(x + (y - x) / 2) : x;
    wrong += half->frames[2 * i] != want || half->frames[2 * i + 1] != want;
  }
  EXPECT_EQ(wrong, 0u);
  // Ten times the rate, eight equal channels (16 bytes a frame): every tenth frame.
  auto tenth = decode("tenth.wav", 8, 441000, n);
  ASSERT_TRUE(tenth);
  ASSERT_EQ(tenth->frames.size(), 2 * (n / 10));
  wrong = 0;
  for (size_t i = 0; i < n / 10; ++i)
    wrong += tenth->frames[2 * i] != value(10 * i) || tenth->frames[2 * i + 1] != value(10 * i);
  EXPECT_EQ(wrong, 0u);
}

}  // namespace
