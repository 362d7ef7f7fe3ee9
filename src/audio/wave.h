// wave.h: WAV files read into samples in the sound device's format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class BinaryReader;

// The buffer format made from a WAV header: what the record says it plays.
struct WaveFormat {
  uint16_t formatTag = 0;  // 1: PCM
  uint16_t channels = 0;   // 2 when the file has more than one, else 1
  uint32_t samplesPerSec = 0;
  uint32_t avgBytesPerSec = 0;  // blockAlign x samplesPerSec
  uint16_t blockAlign = 0;      // as the header gives it
  uint16_t bitsPerSample = 0;
};

struct DecodedWave {
  WaveFormat format;            // the buffer format the header asks for
  std::vector<int16_t> frames;  // left/right pairs at the device rate
};

// Reads a RIFF WAVE file chunk by chunk (the format and data chunks wherever
// they stand, any others skipped): PCM of 8 or 16 bits, any channel count
// (more than two mixed down to two), any rate, resampled to the device's.
// A data chunk that claims more than the file holds gives what it holds; a
// file with no playable sample gives nothing. Both print one line on stderr
// naming `name`. Sounds longer than ten minutes are cut there. Samples are
// converted as they are read, so a load holds the converted sound and one
// block of the file, never the file.
std::optional<DecodedWave> DecodeWave(BinaryReader& in, const std::string& name);
