// sound.h: the sound device and the sound records.
#pragma once

enum class SoundSlot { Effect0, Theme };

// Starts the sound device (silent until the sound work lands).
void InitSound();
// Loads a WAV file into a sound record.
void LoadSound(const char* path, SoundSlot slot);
