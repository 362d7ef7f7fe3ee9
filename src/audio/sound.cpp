// sound.cpp: the sound device and the sound records: loading, picking the
// voice for a start, play, stop and release.
#include "audio/sound.h"

#include <cstdio>
#include <iterator>
#include <utility>

#include "common/binary_reader.h"
#include "common/limits.h"
#include "common/module_state.h"
#include "common/regular_file.h"

AudioState Audio;

void ResetAudio() { Audio = {}; }
const ModuleReset kAudioReset(ResetAudio);

namespace {

using platform::SoundResult;

struct ErrorName {
  SoundResult code;
  const char* name;
};
// The names the error box shows, one per kind of device failure.
constexpr ErrorName kErrorNames[] = {
    {SoundResult::Unsupported, "DSERR_UNSUPPORTED"},
    {SoundResult::Generic, "DSERR_GENERIC"},
    {SoundResult::NoAggregation, "DSERR_NOAGGREGATION"},
    {SoundResult::OutOfMemory, "DSERR_OUTOFMEMORY"},
    {SoundResult::InvalidParam, "DSERR_INVALIDPARAM"},
    {SoundResult::Allocated, "DSERR_ALLOCATED"},
    {SoundResult::ControlUnavail, "DSERR_CONTROLUNAVAIL"},
    {SoundResult::InvalidCall, "DSERR_INVALIDCALL"},
    {SoundResult::PrioLevelNeeded, "DSERR_PRIOLEVELNEEDED"},
    {SoundResult::BadFormat, "DSERR_BADFORMAT"},
    {SoundResult::NoDriver, "DSERR_NODRIVER"},
    {SoundResult::AlreadyInitialized, "DSERR_ALREADYINITIALIZED"},
    {SoundResult::BufferLost, "DSERR_BUFFERLOST"},
    {SoundResult::OtherAppHasPrio, "DSERR_OTHERAPPHASPRIO"},
    {SoundResult::Uninitialized, "DSERR_UNINITIALIZED"},
};
static_assert(std::size(kErrorNames) == 15);

const char* ErrorNameOf(SoundResult code) {
  for (const ErrorName& e : kErrorNames)
    if (e.code == code) return e.name;
  return "Unknown Error";
}

}  // namespace

void InitSound() {
  // Registered first: whatever happens, the records go before the device.
  platform::SetExitHandler(ReleaseSoundSystem);
  SoundResult result = platform::SoundOpen();
  if (result != SoundResult::Ok) {
    ReportSoundError(result);
    return;
  }
  Audio.SoundSystem.open = true;
}

void ReportSoundError(SoundResult code) {
  platform::MessageBox(std::string("DirectSound Error ") + ErrorNameOf(code), "Error", platform::BoxIcon::None);
  platform::PostQuit(0);
}

bool LoadSound(const std::string& path, Sound_typ& record, const std::string& fallback) {
  ReleaseSound(record);
  std::string name = path;
  auto in = BinaryReader::Open(name, kMaxWaveFileBytes);
  if (!in && !LastOpenRefused()) {
    // Any sound that is missing is replaced by effect 0's file; one that is
    // not a file (a FIFO, ...) was refused with its line and stays empty.
    name = fallback;
    in = BinaryReader::Open(name, kMaxWaveFileBytes);
  }
  if (!in) return false;
  return LoadWave(record, Audio.SoundSystem, *in, name);
}

bool LoadWave(Sound_typ& record, DXSound& soundSystem, BinaryReader& in, const std::string& name) {
  ReleaseSound(record);
  std::optional<DecodedWave> wave = DecodeWave(in, name);
  if (!wave) return false;
  // Buffer 0 holds the sample; the others are voices sharing its memory.
  record.buffers[0] = platform::SoundCreateBuffer(std::move(wave->frames));
  if (!record.buffers[0]) {
    std::fprintf(stderr, "%s: no sound buffer could be made\n", name.c_str());
    return false;
  }
  for (size_t i = 1; i < record.buffers.size(); ++i)
    record.buffers[i] = platform::SoundDuplicateBuffer(record.buffers[0]);
  record.format = wave->format;
  record.soundSystem = &soundSystem;
  return true;
}

platform::SoundBuffer PickBuffer(Sound_typ& record) {
  if (record.bufferCount <= 0 || record.bufferCount > kSoundBuffers || record.nextBuffer < 0 ||
      record.nextBuffer >= record.bufferCount)
    return 0;
  platform::SoundBuffer b = record.buffers[size_t(record.nextBuffer)];
  if (!b) return 0;
  platform::SoundStatus status;
  if (!platform::SoundGetStatus(b, status)) status = {};
  if (status.playing) {
    // Try the next one; if that plays too, its start is the one cut off.
    if (++record.nextBuffer == record.bufferCount) record.nextBuffer = 0;
    b = record.buffers[size_t(record.nextBuffer)];
    if (!platform::SoundGetStatus(b, status)) {
      status = {};
    } else if (status.playing) {
      platform::SoundStop(b);
      platform::SoundSetPosition(b, 0);
    }
  }
  if (status.lost && !platform::SoundRestore(b)) return 0;
  return b;
}

bool PlaySound(Sound_typ& record, uint32_t flags) {
  if (!record.soundSystem) return false;
  platform::SoundBuffer b = PickBuffer(record);
  if (!b) return false;
  return platform::SoundPlay(b, (flags & kPlayLooping) != 0);
}

bool PlaySoundLooping(Sound_typ& record) { return PlaySound(record, kPlayLooping); }

bool StopSound(Sound_typ& record) {
  if (!record.soundSystem) return false;
  for (int32_t i = 0; i < record.bufferCount && i < kSoundBuffers; ++i) {
    platform::SoundBuffer b = record.buffers[size_t(i)];
    if (!platform::SoundStop(b) || !platform::SoundSetPosition(b, 0)) return false;
  }
  return true;
}

void ReleaseSound(Sound_typ& record) {
  for (platform::SoundBuffer& b : record.buffers)
    if (b) platform::SoundReleaseBuffer(std::exchange(b, 0));
  record.soundSystem = nullptr;
}

void ReleaseSoundSystem() {
  for (Sound_typ& r : Audio.SoundEffects) ReleaseSound(r);
  for (Sound_typ& r : Audio.MusicTracks) ReleaseSound(r);
  ReleaseSound(Audio.ThemeMusic);
  if (Audio.SoundSystem.open) platform::SoundClose();
  Audio.SoundSystem.open = false;
}
