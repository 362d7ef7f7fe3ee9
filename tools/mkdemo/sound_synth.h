// sound_synth.h: the demo's sounds, made from simple waveforms and
// envelopes: the effect sfx/sfx000.wav and the looping theme music/theme.wav.
#pragma once

#include <cstdint>
#include <vector>

#include "demo_file.h"

constexpr uint32_t kSynthRate = 22050;  // both files: 22,050 Hz, 16-bit mono

// A short rising chime.
std::vector<int16_t> SynthEffect();

// The title theme: 16 bars in A minor at 126 beats a minute (about 30.5 s),
// melody, bass, arpeggio and drums. Every note's tail wraps round to the
// start, so the sample loops without a seam.
std::vector<int16_t> SynthTheme();

// The two files: sfx/sfx000.wav and music/theme.wav.
DemoFiles BuildSounds();

// A canonical 44-byte-header WAV file of 16-bit mono samples.
std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& samples, uint32_t rate);
