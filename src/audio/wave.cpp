// wave.cpp: the WAV reader. Files are walked chunk by chunk and their PCM is
// converted once, at load and a block at a time, to the device's 16-bit
// stereo at its rate, so playing a sound never converts anything.
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
  size_t dataAt = 0;         // offset of the sample data
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

struct Stereo {
  int16_t left = 0, right = 0;
};

// The data chunk's frames as left/right pairs at the file's rate, read a
// block at a time as the conversion asks for them (never all at once), so a
// load holds the converted sound and one block. Past two channels, the
// further ones (centre, rear, ...) are averaged and shared by both sides at
// half weight, so a surround file keeps all of its parts and cannot clip.
class StereoFrames {
 public:
  StereoFrames(BinaryReader& in, size_t dataAt, size_t stride, uint32_t channels, uint32_t bytes)
      : in_(in), dataAt_(dataAt), stride_(stride), channels_(channels), bytes_(bytes),
        blockFrames_(std::max<size_t>(1, kBlockBytes / stride)) {}

  // Frame k; k is never before the frame asked for last but one.
  Stereo At(size_t k) {
    if (k < first_ || k >= first_ + frames_.size()) Load(k);
    return frames_[k - first_];
  }

 private:
  static constexpr size_t kBlockBytes = 64 * 1024;

  // The block from frame k on; the frame before it stays, for interpolation.
  void Load(size_t k) {
    const bool keepLast = !frames_.empty() && k == first_ + frames_.size();
    const Stereo last = keepLast ? frames_.back() : Stereo{};
    frames_.clear();
    first_ = k;
    if (keepLast) {
      frames_.push_back(last);
      first_ = k - 1;
    }
    raw_.resize(blockFrames_ * stride_);
    in_.Seek(dataAt_ + k * stride_);
    in_.Bytes(raw_.data(), raw_.size());  // frames past the data are never asked for
    for (size_t f = 0; f < blockFrames_; ++f) frames_.push_back(Convert(raw_.data() + f * stride_));
  }

  Stereo Convert(const uint8_t* p) const {
    int32_t left = SampleAt(p, 0, bytes_);
    int32_t right = channels_ > 1 ? SampleAt(p, 1, bytes_) : left;
    if (channels_ > 2) {
      int64_t sum = 0;
      for (uint32_t ch = 2; ch < channels_; ++ch) sum += SampleAt(p, ch, bytes_);
      const int32_t rest = int32_t(sum / int64_t(channels_ - 2));
      left = (left + rest) / 2;
      right = (right + rest) / 2;
    }
    return {int16_t(left), int16_t(right)};
  }

  BinaryReader& in_;
  const size_t dataAt_, stride_;
  const uint32_t channels_, bytes_;
  const size_t blockFrames_;
  std::vector<uint8_t> raw_;
  std::vector<Stereo> frames_;  // frames first_.. of the data
  size_t first_ = 0;
};

// Fills out (outFrames pairs at the device rate) from `frames` frames at
// `rate`: linear interpolation, the last frame holding to the end rather
// than reaching for a frame that is not there.
void Convert(StereoFrames& source, size_t frames, uint32_t rate, std::vector<int16_t>& out) {
  const size_t outFrames = out.size() / 2;
  for (size_t i = 0; i < outFrames; ++i) {
    const uint64_t at = uint64_t(i) * rate;
    const size_t a = std::min<size_t>(at / kDeviceRate, frames - 1);
    const size_t b = std::min(a + 1, frames - 1);
    const int64_t frac = int64_t(at % kDeviceRate);
    const Stereo x = source.At(a), y = source.At(b);
    out[i * 2] = int16_t(x.left + (y.left - x.left) * frac / int64_t(kDeviceRate));
    out[i * 2 + 1] = int16_t(x.right + (y.right - x.right) * frac / int64_t(kDeviceRate));
  }
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

  DecodedWave out;
  out.format.formatTag = kFormatPcm;
  out.format.channels = fmt.channels > 1 ? 2 : 1;
  out.format.samplesPerSec = fmt.rate;
  out.format.blockAlign = fmt.blockAlign;
  out.format.avgBytesPerSec = uint32_t(fmt.blockAlign) * fmt.rate;
  out.format.bitsPerSample = fmt.bits;
  // Converted as it is read: the load holds the sound at the device's
  // format and one block of the file.
  out.frames.assign(size_t(outFrames) * 2, 0);
  StereoFrames source(in, c.dataAt, stride, fmt.channels, bytes);
  Convert(source, frames, fmt.rate, out.frames);
  return out;
}
