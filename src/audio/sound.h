// sound.h: the sound device, the sound records and the music.
#pragma once

#include <array>
#include <cstdint>

// One sound record: a sample and its playback voices (filled by the sound work).
struct Sound_typ {};

struct AudioState {
  std::array<Sound_typ, 71> SoundEffects;  // entry 0 is also the no-music value
  std::array<Sound_typ, 11> MusicTracks;
  Sound_typ ThemeMusic;
  int32_t MusicLoops = 0;  // 1: the next StartMusic plays looping
};
extern AudioState Audio;

// Starts the sound device.
void InitSound();
// Loads a WAV file into a sound record.
void LoadSound(const char* path, Sound_typ& record);
// Starts a music record (once, or looping when MusicLoops is 1), after
// stopping the music tracks; the no-music value only stops them.
void StartMusic(Sound_typ* record);
