// wav_fuzz.cpp: a WAV file loaded into a sound record as start-up loads the
// effect, then its voices started, looped, cut off, stopped and lost while
// the virtual clock runs a few frames.
#include "audio/sound.h"
#include "fuzz_support.h"

namespace {

// One frame of the virtual clock: voices move on and sounds played once end.
void Tick() { platform::WaitUntil(nullplat::Now() + 1000); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ResetEngine();
  InitSound();
  const std::string path = fuzz::WriteFile("s.wav", std::string_view(reinterpret_cast<const char*>(data), size));
  Sound_typ& record = Audio.SoundEffects[1];
  LoadSound(path, record, "");
  // Seventeen quick starts cut one voice off; loops and stops in between.
  for (int f = 0; f < 20; ++f) {
    if (f % 5 == 4)
      PlaySoundLooping(record);
    else
      PlaySound(record, 0);
    if (f == 9) StopSound(record);
    if (f == 12) nullplat::LoseSoundBuffers();
    Tick();
  }
  Audio.MusicLoops = 1;
  StartMusic(&record);
  for (int f = 0; f < 3; ++f) Tick();
  ReleaseSoundSystem();
  fuzz::ResetEngine();
  return 0;
}
