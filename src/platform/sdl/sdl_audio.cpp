// sdl_audio.cpp: the sound device on SDL's own audio: one 44,100 Hz 16-bit
// stereo stream filled by our voice mixer, and the buffer handles behind the
// engine's sound records. Our own mixer keeps SDL2_mixer out of the build.
#include <SDL2/SDL.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "platform/sdl/voice_mix.h"

namespace {

struct SdlAudio {
  bool subsystem = false;  // SDL's audio subsystem is up
  SDL_AudioDeviceID device = 0;
  std::vector<mix::Voice> voices;  // buffer handle h is slot h - 1
  std::vector<int32_t> acc;        // the mixer's sums, used on the audio thread

  // At static clean-up the audio thread must stop before the voices go.
  ~SdlAudio() { platform::SoundClose(); }
};
SdlAudio Mixer;

// Keeps the audio thread out while the main thread changes the voices.
class DeviceLock {
 public:
  DeviceLock() {
    if (Mixer.device) SDL_LockAudioDevice(Mixer.device);
  }
  ~DeviceLock() {
    if (Mixer.device) SDL_UnlockAudioDevice(Mixer.device);
  }
  DeviceLock(const DeviceLock&) = delete;
  DeviceLock& operator=(const DeviceLock&) = delete;
};

void Callback(void*, Uint8* stream, int len) {
  mix::MixVoices(Mixer.voices, reinterpret_cast<int16_t*>(stream), size_t(len) / 4, Mixer.acc);
}

mix::Voice* Find(platform::SoundBuffer b) {
  if (b < 1 || size_t(b) > Mixer.voices.size()) return nullptr;
  mix::Voice& v = Mixer.voices[size_t(b) - 1];
  return v.inUse ? &v : nullptr;
}

// Gives the sample a voice in the first free slot; the caller holds the lock.
platform::SoundBuffer AddVoice(std::shared_ptr<const std::vector<int16_t>> sample) {
  size_t slot = 0;
  while (slot < Mixer.voices.size() && Mixer.voices[slot].inUse) ++slot;
  if (slot == Mixer.voices.size()) Mixer.voices.emplace_back();
  Mixer.voices[slot] = mix::Voice{std::move(sample), 0, true};
  return platform::SoundBuffer(slot + 1);
}

// SDL reports failures as text; name the kind of failure where the text shows it.
platform::SoundResult FromSdlError(const char* message) {
  std::string m = message ? message : "";
  for (char& c : m) c = char(std::tolower(static_cast<unsigned char>(c)));
  auto has = [&](const char* word) { return m.find(word) != std::string::npos; };
  if (has("memory")) return platform::SoundResult::OutOfMemory;
  if (has("format")) return platform::SoundResult::BadFormat;
  if (has("busy") || has("in use")) return platform::SoundResult::Allocated;
  if (has("couldn't open") || has("no such") || has("no available") || has("not available") || has("no audio"))
    return platform::SoundResult::NoDriver;
  return platform::SoundResult::Generic;
}

}  // namespace

namespace platform {

SoundResult SoundOpen() {
  if (Mixer.device) return SoundResult::AlreadyInitialized;
  if (!Mixer.subsystem) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      std::fprintf(stderr, "tarn: cannot start audio: %s\n", SDL_GetError());
      return SoundResult::NoDriver;
    }
    Mixer.subsystem = true;
  }
  SDL_AudioSpec want{};
  want.freq = int(kSoundRate);
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;  // about 23 ms a block
  want.callback = Callback;
  SDL_AudioSpec have{};
  // No changes allowed: SDL converts to whatever the hardware wants.
  Mixer.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (!Mixer.device) {
    const char* why = SDL_GetError();
    std::fprintf(stderr, "tarn: cannot open the sound device: %s\n", why);
    return FromSdlError(why);
  }
  SDL_PauseAudioDevice(Mixer.device, 0);
  return SoundResult::Ok;
}

void SoundClose() {
  if (Mixer.device) SDL_CloseAudioDevice(Mixer.device);  // waits for the audio thread
  Mixer.device = 0;
  Mixer.voices.clear();
  if (Mixer.subsystem && SDL_WasInit(SDL_INIT_AUDIO)) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  Mixer.subsystem = false;
}

SoundBuffer SoundCreateBuffer(std::vector<int16_t> frames) {
  if (frames.size() % 2) frames.pop_back();
  auto sample = std::make_shared<const std::vector<int16_t>>(std::move(frames));
  DeviceLock lock;
  return AddVoice(std::move(sample));
}

SoundBuffer SoundDuplicateBuffer(SoundBuffer source) {
  DeviceLock lock;
  const mix::Voice* v = Find(source);
  return v ? AddVoice(v->sample) : 0;
}

void SoundReleaseBuffer(SoundBuffer buffer) {
  DeviceLock lock;
  if (mix::Voice* v = Find(buffer)) *v = mix::Voice{};
}

bool SoundPlay(SoundBuffer buffer, bool looping) {
  DeviceLock lock;
  mix::Voice* v = Find(buffer);
  if (!v || v->lost) return false;
  v->playing = true;
  v->looping = looping;
  return true;
}

bool SoundStop(SoundBuffer buffer) {
  DeviceLock lock;
  mix::Voice* v = Find(buffer);
  if (!v) return false;
  v->playing = false;
  return true;
}

bool SoundSetPosition(SoundBuffer buffer, uint32_t frame) {
  DeviceLock lock;
  mix::Voice* v = Find(buffer);
  if (!v) return false;
  v->position = frame < mix::FrameCount(*v) ? frame : 0;
  return true;
}

bool SoundGetStatus(SoundBuffer buffer, SoundStatus& out) {
  DeviceLock lock;
  const mix::Voice* v = Find(buffer);
  if (!v) return false;
  out = {v->playing, v->looping, v->lost};
  return true;
}

// SDL keeps our samples in our own memory, so a buffer is never lost.
bool SoundRestore(SoundBuffer buffer) {
  DeviceLock lock;
  mix::Voice* v = Find(buffer);
  if (!v) return false;
  v->lost = false;
  return true;
}

}  // namespace platform
