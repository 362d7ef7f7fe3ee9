// sound.h: the sound device, the sound records and the music.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "audio/wave.h"
#include "platform/platform.h"

class BinaryReader;

constexpr int32_t kSoundBuffers = 16;  // voices of one record
constexpr uint32_t kPlayLooping = 1;   // PlaySound flag

// The sound device.
struct DXSound {
  bool open = false;  // the platform's device is running
};

// One sound: a sample in buffer 0 and fifteen duplicates sharing its memory,
// so the same sound can start again while earlier starts still play.
struct DXWave {
  int32_t bufferCount = kSoundBuffers;
  int32_t nextBuffer = 0;          // the buffer the next start tries first
  DXSound* soundSystem = nullptr;  // null: nothing loaded, play and stop do nothing
  std::array<platform::SoundBuffer, kSoundBuffers> buffers{};
  WaveFormat format;
};
using Sound_typ = DXWave;

struct AudioState {
  DXSound SoundSystem;
  std::array<Sound_typ, 71> SoundEffects;  // entry 0 is also the no-music value
  std::array<Sound_typ, 11> MusicTracks;
  Sound_typ ThemeMusic;
  int32_t MusicLoops = 0;        // 1: the next StartMusic plays looping
  uint8_t MusicFileMissing = 0;  // 1: the theme was missing at start, music stays silent
};
extern AudioState Audio;

// Start values; does not touch the platform (tests reset it themselves).
void ResetAudio();

// Starts the sound device. On failure shows the error box and posts the quit
// message; start-up carries on and the main loop ends at its first message check.
void InitSound();
// The box "DirectSound Error <name>" / "Error", then the quit message.
void ReportSoundError(platform::SoundResult code);

// Loads a WAV file into a record, emptied first. A file that cannot be opened
// is replaced by the fallback (the default folder's sfx/sfx000.wav); when
// that fails too, or the file is not a regular file or holds no playable
// sample, the record stays empty. True when loaded.
bool LoadSound(const std::string& path, Sound_typ& record, const std::string& fallback);
// Reads the WAV in `in` (named `name` in messages) into the record's buffers.
bool LoadWave(Sound_typ& record, DXSound& soundSystem, BinaryReader& in, const std::string& name);

// The buffer to start next: nextBuffer when it is free, else the one after it
// (cut off and rewound if it still plays); a lost buffer is restored first.
// 0 when there is none.
platform::SoundBuffer PickBuffer(Sound_typ& record);
// Starts one buffer from its position, looping when flags has kPlayLooping.
// False for an empty record or when no buffer could start.
bool PlaySound(Sound_typ& record, uint32_t flags);
bool PlaySoundLooping(Sound_typ& record);
// Stops and rewinds every buffer; false for an empty record or at the first failure.
bool StopSound(Sound_typ& record);
// Frees every buffer and empties the record.
void ReleaseSound(Sound_typ& record);
// At process end: every record of the three tables, then the device.
void ReleaseSoundSystem();

// Starts a music record (once, or looping when MusicLoops is 1), after
// stopping the music tracks; the no-music value only stops them. Does
// nothing when the theme file was missing at start.
void StartMusic(Sound_typ* record);
