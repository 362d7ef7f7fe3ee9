// sound_synth.cpp: the demo's effect and theme, synthesised sample by sample
// from pulse, triangle, sine and noise voices shaped by envelopes.
#include "sound_synth.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "art.h"
#include "common/binary_reader.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kRate = float(kSynthRate);
// 126 beats a minute makes a beat a whole number of samples, so every bar,
// and the loop, ends exactly on a sample.
constexpr size_t kBeat = 10500;
constexpr size_t kEighth = kBeat / 2, kSixteenth = kBeat / 4, kBar = kBeat * 4;
constexpr int kBars = 16;
constexpr float kPeak = 0.70f;  // about -3 dB: headroom, and no clipping anywhere

float NoteHz(int midi) { return 440.0f * std::pow(2.0f, float(midi - 69) / 12.0f); }

// Softens the jumps of a pulse wave so its upper partials do not fold back
// into the audible band at 22 kHz.
float Blep(float t, float dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0f;
  }
  if (t > 1.0f - dt) {
    t = (t - 1.0f) / dt;
    return t * t + t + t + 1.0f;
  }
  return 0.0f;
}

// A pulse of the given duty, centred on 0 so a narrow one carries no offset.
float Pulse(float phase, float duty, float dt) {
  float v = (phase < duty ? 1.0f : -1.0f) + 1.0f - 2.0f * duty;
  float shifted = phase + 1.0f - duty;
  return v + Blep(phase, dt) - Blep(shifted - std::floor(shifted), dt);
}

float Triangle(float phase) { return 4.0f * std::fabs(phase - 0.5f) - 1.0f; }

enum class Wave { Lead, Bass, Pluck };

// Attack, decay to sustain while the gate is open, then release; seconds.
struct Envelope {
  float attack, decay, sustain, release;
  float At(float t, float gate) const {
    float level = t < attack ? t / attack : sustain + (1.0f - sustain) * std::exp(-(t - attack) / decay);
    if (t < gate) return level;
    float held = gate < attack ? gate / attack : sustain + (1.0f - sustain) * std::exp(-(gate - attack) / decay);
    return std::max(0.0f, held * (1.0f - (t - gate) / release));
  }
};

// The whole loop; writes past its end wrap to the start.
class Loop {
 public:
  explicit Loop(size_t length) : s_(length, 0.0f) {}
  void Add(size_t at, float v) { s_[at % s_.size()] += v; }
  size_t Size() const { return s_.size(); }
  float operator[](size_t i) const { return s_[i % s_.size()]; }
  std::vector<float>& Samples() { return s_; }

 private:
  std::vector<float> s_;
};

// One pitched note: `start` and `gate` in samples, the tail after the gate
// is the envelope's release.
void Tone(Loop& out, size_t start, size_t gate, int midi, Wave wave, const Envelope& env, float volume) {
  const float hz = NoteHz(midi), gateS = float(gate) / kRate;
  const size_t length = gate + size_t(env.release * kRate);
  float phase = 0.0f;
  for (size_t i = 0; i < length; ++i) {
    const float t = float(i) / kRate;
    float f = hz;
    // The lead sings: a vibrato that grows in after the attack.
    if (wave == Wave::Lead) f *= 1.0f + 0.004f * std::min(1.0f, t / 0.25f) * std::sin(2 * kPi * 5.5f * t);
    const float dt = f / kRate;
    float v;
    switch (wave) {
      case Wave::Lead: v = 0.6f * Pulse(phase, 0.25f, dt) + 0.4f * Triangle(phase); break;
      case Wave::Bass: v = 0.8f * Triangle(phase) + 0.25f * Pulse(phase, 0.25f, dt); break;
      default: v = Pulse(phase, 0.5f, dt); break;
    }
    out.Add(start + i, v * env.At(t, gateS) * volume);
    phase += dt;
    phase -= std::floor(phase);
  }
}

// Drums: a sine that drops in pitch, noise with a body, and filtered noise.
void Kick(Loop& out, size_t start, float volume) {
  float phase = 0.0f;
  for (size_t i = 0; i < size_t(0.32f * kRate); ++i) {
    const float t = float(i) / kRate;
    out.Add(start + i, std::sin(2 * kPi * phase) * std::exp(-t / 0.11f) * volume);
    phase += (45.0f + 95.0f * std::exp(-t / 0.03f)) / kRate;
  }
}

void Snare(Loop& out, size_t start, float volume, Rng& rng) {
  for (size_t i = 0; i < size_t(0.22f * kRate); ++i) {
    const float t = float(i) / kRate;
    const float onset = std::min(1.0f, t / 0.001f);  // a millisecond's rise, no step
    const float noise = (rng.Unit() * 2.0f - 1.0f) * std::exp(-t / 0.06f);
    const float body = 0.5f * std::sin(2 * kPi * 185.0f * t) * std::exp(-t / 0.045f);
    out.Add(start + i, (noise + body) * onset * volume);
  }
}

void HiHat(Loop& out, size_t start, float decay, float volume, Rng& rng) {
  float last = 0.0f;
  for (size_t i = 0; i < size_t(decay * 6.0f * kRate); ++i) {
    const float t = float(i) / kRate;
    const float n = rng.Unit() * 2.0f - 1.0f;
    // The difference of successive noise values keeps only the hiss.
    out.Add(start + i, (n - last) * 0.5f * std::min(1.0f, t / 0.002f) * std::exp(-t / decay) * volume);
    last = n;
  }
}

struct Chord {
  int bassRoot;              // MIDI, second octave
  std::array<int, 4> tones;  // arpeggio, around middle C
};
const Chord kAm{45, {57, 60, 64, 69}}, kF{41, {57, 60, 65, 69}}, kC{48, {55, 60, 64, 67}}, kG{43, {55, 59, 62, 67}},
    kE{40, {56, 59, 64, 68}}, kEm{40, {55, 59, 64, 67}}, kDm{38, {57, 62, 65, 69}};
const Chord* const kProgression[kBars] = {&kAm, &kF, &kC,  &kG,  &kAm, &kF, &kG,  &kE,
                                          &kF,  &kG, &kEm, &kAm, &kDm, &kE, &kAm, &kE};

struct Note {
  int midi;  // 0: rest
  int eighths;
};
// Eight eighths a bar. The last bar climbs down to G sharp, which leads
// back into the A the tune starts on.
const std::vector<Note> kMelody[kBars] = {
    {{69, 2}, {72, 2}, {76, 2}, {81, 2}}, {{79, 3}, {77, 1}, {76, 2}, {72, 2}}, {{76, 2}, {79, 2}, {84, 3}, {83, 1}},
    {{83, 2}, {81, 2}, {79, 4}},          {{81, 3}, {79, 1}, {76, 2}, {72, 2}}, {{77, 2}, {76, 2}, {74, 2}, {72, 2}},
    {{74, 2}, {76, 2}, {77, 2}, {74, 2}}, {{76, 3}, {74, 1}, {71, 2}, {68, 2}}, {{69, 2}, {72, 2}, {77, 3}, {76, 1}},
    {{74, 2}, {71, 2}, {67, 4}},          {{76, 2}, {79, 2}, {83, 3}, {81, 1}}, {{81, 6}, {0, 2}},
    {{74, 2}, {77, 2}, {81, 3}, {79, 1}}, {{80, 2}, {76, 2}, {71, 4}},          {{84, 3}, {83, 1}, {81, 2}, {76, 2}},
    {{74, 2}, {72, 2}, {71, 2}, {68, 2}},
};

void Melody(Loop& out) {
  // The lead goes through its own loop first for its echoes.
  Loop lead(out.Size());
  const Envelope env{0.008f, 0.15f, 0.75f, 0.06f};
  for (int bar = 0; bar < kBars; ++bar) {
    size_t at = size_t(bar) * kBar;
    for (const Note& n : kMelody[bar]) {
      const size_t length = size_t(n.eighths) * kEighth;
      if (n.midi) Tone(lead, at, length - length / 12, n.midi, Wave::Lead, env, 0.30f);
      at += length;
    }
  }
  // Two echoes, three and six eighths behind: space without a reverb.
  for (size_t i = 0; i < out.Size(); ++i)
    out.Add(i, lead[i] + 0.28f * lead[i + out.Size() - 3 * kEighth] + 0.12f * lead[i + out.Size() - 6 * kEighth]);
}

void Backing(Loop& out) {
  const Envelope bassEnv{0.003f, 0.12f, 0.6f, 0.015f}, pluckEnv{0.002f, 0.06f, 0.3f, 0.02f};
  // Root, root, octave, root, fifth, root, octave, root.
  const int bassSteps[8] = {0, 0, 12, 0, 7, 0, 12, 0};
  const int arpSteps[16] = {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 1, 2, 1};
  for (int bar = 0; bar < kBars; ++bar) {
    const Chord& chord = *kProgression[bar];
    const size_t at = size_t(bar) * kBar;
    for (int e = 0; e < 8; ++e)
      Tone(out, at + e * kEighth, kEighth * 9 / 10, chord.bassRoot + bassSteps[e], Wave::Bass, bassEnv, 0.34f);
    for (int s = 0; s < 16; ++s)
      Tone(out, at + s * kSixteenth, kSixteenth * 3 / 4, chord.tones[arpSteps[s]], Wave::Pluck, pluckEnv, 0.07f);
  }
}

void Drums(Loop& out) {
  Rng rng(0x7A4E);
  for (int bar = 0; bar < kBars; ++bar) {
    const size_t at = size_t(bar) * kBar;
    Kick(out, at, 0.55f);
    Kick(out, at + 2 * kBeat, 0.55f);
    if (bar % 2) Kick(out, at + 2 * kBeat + kEighth + kBeat, 0.4f);  // a push into the next bar
    Snare(out, at + kBeat, 0.22f, rng);
    // Every eighth bar ends on a roll of sixteenths instead of the last snare.
    if (bar % 8 == 7)
      for (int s = 0; s < 4; ++s) Snare(out, at + 3 * kBeat + s * kSixteenth, 0.12f + 0.04f * s, rng);
    else
      Snare(out, at + 3 * kBeat, 0.22f, rng);
    for (int e = 0; e < 8; ++e) HiHat(out, at + e * kEighth, e == 7 ? 0.06f : 0.02f, e % 2 ? 0.10f : 0.14f, rng);
  }
}

// Scales to the peak and rounds to 16 bits.
std::vector<int16_t> Finish(const std::vector<float>& s) {
  float peak = 0.0f;
  for (float v : s) peak = std::max(peak, std::fabs(v));
  const float gain = peak > 0.0f ? kPeak * 32767.0f / peak : 0.0f;
  std::vector<int16_t> out(s.size());
  for (size_t i = 0; i < s.size(); ++i) out[i] = int16_t(std::lround(s[i] * gain));
  return out;
}

}  // namespace

std::vector<int16_t> SynthTheme() {
  Loop mix(size_t(kBars) * kBar);
  Melody(mix);
  Backing(mix);
  Drums(mix);
  return Finish(mix.Samples());
}

std::vector<int16_t> SynthEffect() {
  // Two quick notes a fifth apart, the second ringing out: a pick-up chime.
  Loop chime(size_t(0.30f * kRate) + 1);  // long enough that nothing wraps
  const Envelope env{0.002f, 0.08f, 0.4f, 0.12f};
  Tone(chime, 0, size_t(0.05f * kRate), 88, Wave::Pluck, env, 0.5f);
  Tone(chime, size_t(0.06f * kRate), size_t(0.10f * kRate), 95, Wave::Pluck, env, 0.5f);
  return Finish(chime.Samples());
}

std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& samples, uint32_t rate) {
  const uint32_t dataBytes = uint32_t(samples.size() * 2);
  std::vector<uint8_t> out;
  out.reserve(44 + dataBytes);
  auto text = [&](const char* t) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(t[i]));
  };
  auto u32 = [&](uint32_t v) {
    PutU16LE(out, v & 0xFFFF);
    PutU16LE(out, v >> 16);
  };
  text("RIFF");
  u32(36 + dataBytes);
  text("WAVE");
  text("fmt ");
  u32(16);
  PutU16LE(out, 1);  // PCM
  PutU16LE(out, 1);  // mono
  u32(rate);
  u32(rate * 2);     // bytes a second
  PutU16LE(out, 2);  // block align
  PutU16LE(out, 16);
  text("data");
  u32(dataBytes);
  for (int16_t s : samples) PutU16LE(out, uint16_t(s));
  return out;
}

DemoFiles BuildSounds() {
  return {{"sfx/sfx000.wav", EncodeWav(SynthEffect(), kSynthRate)},
          {"music/theme.wav", EncodeWav(SynthTheme(), kSynthRate)}};
}
