// sound_fixture.h: builders for the bytes of WAV files, so each test spells
// out the chunks it reads, and a look at a record's voices on the null platform.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "level/file_fixture.h"

inline void PutU32LE(Bytes& out, uint32_t v) {
  PutU16LE(out, v & 0xFFFF);
  PutU16LE(out, v >> 16);
}

// A chunk: four-letter id, size (the payload's unless claimed), payload padded to even.
inline Bytes Chunk(const std::string& id, const Bytes& payload, uint32_t claimedSize = 0) {
  Bytes out(id.begin(), id.end());
  PutU32LE(out, claimedSize ? claimedSize : uint32_t(payload.size()));
  out += payload;
  if (payload.size() % 2) out.push_back(0);
  return out;
}

// A 16-byte format payload; the block align defaults to channels x bytes per sample.
inline Bytes Fmt(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t tag = 1, int align = -1) {
  const uint16_t blockAlign = align < 0 ? uint16_t(channels * (bits / 8)) : uint16_t(align);
  Bytes out;
  PutU16LE(out, tag);
  PutU16LE(out, channels);
  PutU32LE(out, rate);
  PutU32LE(out, rate * blockAlign);
  PutU16LE(out, blockAlign);
  PutU16LE(out, bits);
  return out;
}

inline Bytes Samples16(const std::vector<int16_t>& s) {
  Bytes out;
  for (int16_t v : s) PutU16LE(out, uint16_t(v));
  return out;
}

// "RIFF", size, "WAVE", then the chunks.
inline Bytes Riff(const Bytes& chunks) {
  Bytes out = {'R', 'I', 'F', 'F'};
  PutU32LE(out, uint32_t(chunks.size() + 4));
  return out + Bytes{'W', 'A', 'V', 'E'} + chunks;
}

// The canonical file: format chunk, then data.
inline Bytes Wav(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& data) {
  return Riff(Chunk("fmt ", Fmt(channels, rate, bits)) + Chunk("data", data));
}

// n frames of 16-bit mono at `rate`.
inline Bytes MonoWav(size_t n, uint32_t rate = 44100) {
  return Wav(1, rate, 16, Samples16(std::vector<int16_t>(n, 1)));
}

// Voice i of a record as the null platform keeps it.
inline nullplat::VoiceState VoiceOf(const Sound_typ& r, int i) {
  return nullplat::Voice(r.buffers[size_t(i)]).value_or(nullplat::VoiceState{});
}

// Moves the virtual clock on; 1000 counts are a 60th of a second, 735 sound frames.
inline void WaitCounts(uint64_t counts) { platform::WaitUntil(nullplat::Now() + counts); }
