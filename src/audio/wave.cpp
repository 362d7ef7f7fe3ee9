// wave.cpp: the WAV reader. Files are walked chunk by chunk and their PCM is
// converted once, at load, to the device's 16-bit stereo at its rate, so
// playing a sound never converts anything.
#include "audio/wave.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/binary_reader.h"
#include "common/limits.h"
#include "platform/platform.h"

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;  // the real tag is the sub-format's first two bytes
constexpr uint64_t kDeviceRate = platform::kSoundRate;
constexpr uint64_t kMaxFrames = uint64_t(kMaxSoundSeconds) * kDeviceRate;

uint32_t U32LE(BinaryReader& in) {
  uint32_t lo = in.U16LE();
  return lo | uint32_t(in.U16LE()) << 16;
}

bool TagIs(const uint8_t (&tag)[4], const char* want) { return std::memcmp(tag, want, 4) == 0; }

struct FormatChunk {
  bool found = false;
  uint16_t tag = 0, channels = 0, blockAlign = 0, bits = 0;
  uint32_t rate = 0;
};

struct Chunks {
  FormatChunk fmt;
  bool haveData = false;
  size_t dataAt = 0;        // offset of the sample data
  uint32_t dataClaimed = 0;  // what the chunk header says
  size_t dataHeld = 0;       // what the file really holds of it
};

void ReadFormat(BinaryReader& in, uint32_t size, FormatChunk& fmt) {
  fmt.found = true;
  fmt.tag = in.U16LE();
  fmt.channels = in.U16LE();
  fmt.rate = U32LE(in);
  U32LE(in);  // byte rate: follows from the others
  fmt.blockAlign = in.U16LE();
  fmt.bits = in.U16LE();
  if (fmt.tag == kFormatExtensible && size >= 40) {
    in.Skip(8);  // extension size, valid bits, channel mask
    fmt.tag = in.U16LE();
  }
}

// Walks the chunks after "RIFF", size, "WAVE". A chunk whose size runs past
// the end of the file is the last one read.
Chunks FindChunks(BinaryReader& in) {
  Chunks c;
  while (in.Remaining() >= 8 && !(c.fmt.found && c.haveData)) {
    uint8_t id[4];
    in.Bytes(id, 4);
    const uint32_t size = U32LE(in);
    const size_t start = in.Position();
    if (TagIs(id, "fmt ") && size >= 16) {
      ReadFormat(in, size, c.fmt);
    } else if (TagIs(id, "data") && !c.haveData) {
      c.haveData = true;
      c.dataAt = start;
      c.dataClaimed = size;
      c.dataHeld = std::min<size_t>(size, in.Size() - start);
    }
    // Chunks are padded to an even length.
    const uint64_t next = uint64_t(start) + size + (size & 1);
    if (next > in.Size()) break;
    in.Seek(size_t(next));
  }
  return c;
}

// One sample of channel `ch` in the frame at p, as a signed 16-bit value.
int32_t SampleAt(const uint8_t* p, uint32_t ch, uint32_t bytes) {
  if (bytes == 1) return (int32_t(p[ch]) - 128) * 256;  // 8-bit samples are unsigned
  const uint8_t* s = p + size_t(ch) * 2;
  return int16_t(uint16_t(s[0] | s[1] << 8));
}

// The frames as left/right pairs at the file's rate. Past two channels, the
// further ones (centre, rear, ...) are averaged and shared by both sides at
// half weight, so a surround file keeps all of its parts and cannot clip.
std::vector<int16_t> ToStereo(const std::vector<uint8_t>& raw, size_t frames, size_t stride, uint32_t channels,
                              uint32_t bytes) {
  std::vector<int16_t> out(frames * 2);
  for (size_t f = 0; f < frames; ++f) {
    const uint8_t* p = raw.data() + f * stride;
    int32_t left = SampleAt(p, 0, bytes);
    int32_t right = channels > 1 ? SampleAt(p, 1, bytes) : left;
    if (channels > 2) {
      int64_t sum = 0;
      for (uint32_t ch = 2; ch < channels; ++ch) sum += SampleAt(p, ch, bytes);
      const int32_t rest = int32_t(sum / int64_t(channels - 2));
      left = (left + rest) / 2;
      right = (right + rest) / 2;
    }
    out[f * 2] = int16_t(left);
    out[f * 2 + 1] = int16_t(right);
  }
  return out;
}

// Linear interpolation from `rate` to the device rate; the last frame holds
// to the end rather than reaching for a frame that is not there.
std::vector<int16_t> Resample(const std::vector<int16_t>& in, uint32_t rate, size_t outFrames) {
  const size_t inFrames = in.size() / 2;
  std::vector<int16_t> out(outFrames * 2);
  for (size_t i = 0; i < outFrames; ++i) {
    const uint64_t at = uint64_t(i) * rate;
    const size_t a = std::min<size_t>(at / kDeviceRate, inFrames - 1);
    const size_t b = std::min(a + 1, inFrames - 1);
    const int64_t frac = int64_t(at % kDeviceRate);
    for (size_t ch = 0; ch < 2; ++ch) {
      const int64_t x = in[a * 2 + ch], y = in[b * 2 + ch];
      out[i * 2 + ch] = int16_t(x + (y - x) * frac / int64_t(kDeviceRate));
    }
  }
  return out;
}

}  // namespace

std::optional<DecodedWave> DecodeWave(BinaryReader& in, const std::string& name) {
  auto refuse = [&](const std::string& why) -> std::optional<DecodedWave> {
    std::fprintf(stderr, "%s: %s\n", name.c_str(), why.c_str());
    return std::nullopt;
  };
  uint8_t riff[4], wave[4];
  in.Bytes(riff, 4);
  U32LE(in);  // the RIFF size: often wrong in the wild, and the chunks say it all
  in.Bytes(wave, 4);
  if (!TagIs(riff, "RIFF") || !TagIs(wave, "WAVE")) return refuse("not a RIFF WAVE file");

  const Chunks c = FindChunks(in);
  const FormatChunk& fmt = c.fmt;
  if (!fmt.found) return refuse("no format chunk");
  if (!c.haveData) return refuse("no data chunk");
  if (fmt.tag != kFormatPcm) return refuse("not PCM (format " + std::to_string(fmt.tag) + ")");
  if (fmt.channels == 0) return refuse("no channels");
  if (fmt.rate == 0) return refuse("a sample rate of 0");
  if (fmt.bits != 8 && fmt.bits != 16) return refuse(std::to_string(fmt.bits) + "-bit samples are not supported");

  // A block align too small for the channels cannot be the frame size; the
  // channels and sample size decide it then. A larger one is padding.
  const uint32_t bytes = fmt.bits / 8;
  const size_t frameBytes = size_t(fmt.channels) * bytes;
  const size_t stride = std::max<size_t>(fmt.blockAlign, frameBytes);
  size_t frames = c.dataHeld / stride;
  if (frames == 0) return refuse("no sample data");

  // Frames at the device rate, rounded up so a short sound keeps its last frame.
  uint64_t outFrames = (uint64_t(frames) * kDeviceRate + fmt.rate - 1) / fmt.rate;
  const char* note = nullptr;
  if (c.dataHeld < c.dataClaimed) note = "the data chunk claims more bytes than the file holds; playing what is there";
  if (outFrames > kMaxFrames) {
    if (!note) note = "longer than ten minutes; cut there";
    outFrames = kMaxFrames;
    frames = std::min<size_t>(frames, size_t(outFrames * fmt.rate / kDeviceRate) + 1);
  }
  if (!note && fmt.blockAlign < frameBytes) note = "block align smaller than a frame; using the channels' size";
  if (note) std::fprintf(stderr, "%s: %s\n", name.c_str(), note);

  std::vector<uint8_t> raw(frames * stride);
  in.Seek(c.dataAt);
  in.Bytes(raw.data(), raw.size());

  DecodedWave out;
  out.format.formatTag = kFormatPcm;
  out.format.channels = fmt.channels > 1 ? 2 : 1;
  out.format.samplesPerSec = fmt.rate;
  out.format.blockAlign = fmt.blockAlign;
  out.format.avgBytesPerSec = uint32_t(fmt.blockAlign) * fmt.rate;
  out.format.bitsPerSample = fmt.bits;
  std::vector<int16_t> stereo = ToStereo(raw, frames, stride, fmt.channels, bytes);
  out.frames = fmt.rate == kDeviceRate ? std::move(stereo) : Resample(stereo, fmt.rate, size_t(outFrames));
  out.frames.resize(size_t(outFrames) * 2);
  return out;
}
