// music.cpp: music rides on the sound records; the theme is one of them,
// started looping by the attract sequence and never stopped.
#include "audio/sound.h"

void StartMusic(Sound_typ* record) {
  if (Audio.MusicFileMissing == 1) return;
  // The theme is not a track, so a second start of it plays over the first.
  for (Sound_typ& track : Audio.MusicTracks) StopSound(track);
  if (!record || record == &Audio.SoundEffects[0]) return;  // the no-music value
  if (Audio.MusicLoops == 1)
    PlaySoundLooping(*record);
  else
    PlaySound(*record, 0);
}
