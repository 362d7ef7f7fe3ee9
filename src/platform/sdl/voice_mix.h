// voice_mix.h: adds the playing voices into the device's 16-bit stereo output.
// Free of SDL, so the benchmark and the tests run the same code as the device.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace mix {

// One voice: a sample of interleaved left/right frames, shared by every
// voice made from it, and this voice's own place in it.
struct Voice {
  std::shared_ptr<const std::vector<int16_t>> sample;
  uint32_t position = 0;  // next frame to play
  bool inUse = false;     // the slot holds a buffer
  bool playing = false;
  bool looping = false;
  bool lost = false;
};

inline uint32_t FrameCount(const Voice& v) { return v.sample ? uint32_t(v.sample->size() / 2) : 0; }

// Adds `frames` frames of one voice into acc (two sums a frame) and moves it
// on. A looping voice wraps to its start; a voice played once stops at its
// end, rewound to 0, as a buffer that ran out does.
inline void AddVoice(Voice& v, int32_t* acc, size_t frames) {
  const uint32_t length = FrameCount(v);
  if (length == 0) {
    v.playing = false;  // nothing to play, and a loop of nothing never ends
    return;
  }
  if (v.position >= length) v.position = 0;
  const int16_t* data = v.sample->data();
  while (frames > 0 && v.playing) {
    size_t n = std::min<size_t>(frames, length - v.position);
    const int16_t* src = data + size_t(v.position) * 2;
    for (size_t i = 0; i < n * 2; ++i) acc[i] += src[i];
    acc += n * 2;
    frames -= n;
    v.position += uint32_t(n);
    if (v.position == length) {
      v.position = 0;
      v.playing = v.looping;
    }
  }
}

// Mixes every playing voice into out (`frames` stereo frames), clipped to
// 16 bits. acc is scratch kept by the caller, so the audio thread does not
// allocate once it has reached the device's block size.
inline void MixVoices(std::vector<Voice>& voices, int16_t* out, size_t frames, std::vector<int32_t>& acc) {
  const size_t n = frames * 2;
  if (acc.size() < n) acc.resize(n);
  std::fill_n(acc.data(), n, 0);
  for (Voice& v : voices)
    if (v.inUse && v.playing && !v.lost) AddVoice(v, acc.data(), frames);
  for (size_t i = 0; i < n; ++i) out[i] = int16_t(std::clamp(acc[i], -32768, 32767));
}

}  // namespace mix
