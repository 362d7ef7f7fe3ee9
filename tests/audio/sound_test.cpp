// Sound records and the device: loading with the fall-back to effect 0's
// file, which voice a start takes, stop, lost buffers, the error box, and
// the release of every record when the process ends.
#include "audio/sound_fixture.h"
#include "shell/main_loop.h"

namespace {

class SoundTest : public FileTest {
 protected:
  void Load(Sound_typ& r, size_t frames) {
    Write("s.wav", MonoWav(frames));
    ASSERT_TRUE(LoadSound(Path("s.wav"), r, Path("default/sfx/sfx000.wav")));
  }
};

TEST_F(SoundTest, AMissingFileIsReplacedByEffectZerosAndWithoutThatTheRecordStaysEmpty) {
  Write("default/sfx/sfx000.wav", MonoWav(100));
  Sound_typ& theme = Audio.ThemeMusic;
  ASSERT_TRUE(LoadSound(Path("music/none.wav"), theme, Path("default/sfx/sfx000.wav")));
  EXPECT_EQ(VoiceOf(theme, 0).length, 100u);
  EXPECT_EQ(theme.soundSystem, &Audio.SoundSystem);
  // Loading again lets go of the old buffers first.
  ASSERT_TRUE(LoadSound(Path("default/sfx/sfx000.wav"), theme, Path("default/sfx/sfx000.wav")));
  EXPECT_EQ(nullplat::LiveSoundBuffers(), 16);

  std::filesystem::remove(Path("default/sfx/sfx000.wav"));
  Sound_typ& track = Audio.MusicTracks[2];
  EXPECT_FALSE(LoadSound(Path("music/none.wav"), track, Path("default/sfx/sfx000.wav")));
  EXPECT_EQ(track.soundSystem, nullptr);
  EXPECT_EQ(nullplat::LiveSoundBuffers(), 16);
  EXPECT_FALSE(PlaySound(track, 0));
}

TEST_F(SoundTest, TheSeventeenthQuickStartCutsOffAndRestartsOneVoice) {
  Sound_typ& r = Audio.SoundEffects[0];
  Load(r, 44100);
  for (int start = 1; start <= 16; ++start) {
    ASSERT_TRUE(PlaySound(r, 0));
    // The first start finds buffer 0 free and leaves nextBuffer where it is.
    EXPECT_EQ(r.nextBuffer, start - 1);
    WaitCounts(1000);
  }
  EXPECT_EQ(nullplat::PlayingSoundBuffers(), 16);
  EXPECT_EQ(VoiceOf(r, 0).position, 16u * 735);
  ASSERT_TRUE(PlaySound(r, 0));
  EXPECT_EQ(r.nextBuffer, 0);
  EXPECT_EQ(nullplat::PlayingSoundBuffers(), 16);
  EXPECT_EQ(VoiceOf(r, 0).position, 0u) << "the oldest start begins again";
  EXPECT_EQ(VoiceOf(r, 1).position, 15u * 735);
}

TEST_F(SoundTest, StopSoundRewindsEveryVoiceAndAnEmptyRecordAnswersFalseTouchingNothing) {
  Sound_typ& loaded = Audio.SoundEffects[0];
  Load(loaded, 44100);
  for (int i = 0; i < 3; ++i) {
    PlaySoundLooping(loaded);
    WaitCounts(1000);
  }
  Sound_typ& empty = Audio.SoundEffects[1];
  empty.nextBuffer = 7;
  EXPECT_FALSE(StopSound(empty));
  EXPECT_EQ(empty.nextBuffer, 7);
  EXPECT_EQ(nullplat::PlayingSoundBuffers(), 3);

  EXPECT_TRUE(StopSound(loaded));
  EXPECT_EQ(nullplat::PlayingSoundBuffers(), 0);
  for (int i = 0; i < kSoundBuffers; ++i) EXPECT_EQ(VoiceOf(loaded, i).position, 0u) << i;
}

TEST_F(SoundTest, ALostBufferIsRestoredWhenPickedAndSkippedWhenThatFails) {
  Sound_typ& r = Audio.SoundEffects[0];
  Load(r, 44100);
  nullplat::LoseSoundBuffers();
  ASSERT_TRUE(PlaySound(r, 0));
  EXPECT_FALSE(VoiceOf(r, 0).lost);
  EXPECT_TRUE(VoiceOf(r, 0).playing);

  nullplat::LoseSoundBuffers();
  nullplat::SetSoundRestoreFails(true);
  EXPECT_FALSE(PlaySound(r, 0));
  EXPECT_EQ(nullplat::PlayingSoundBuffers(), 0);
}

TEST_F(SoundTest, ADeviceThatFailsShowsItsNameAndPostsTheQuitMessage) {
  using R = platform::SoundResult;
  const std::pair<R, const char*> cases[] = {{R::NoDriver, "DSERR_NODRIVER"},
                                             {R::Allocated, "DSERR_ALLOCATED"},
                                             {R::Uninitialized, "DSERR_UNINITIALIZED"},
                                             {R(99), "Unknown Error"}};
  for (const auto& [code, name] : cases) {
    nullplat::Reset();
    ResetAudio();
    nullplat::SetSoundOpenResult(code);
    ::testing::internal::CaptureStderr();
    InitSound();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), std::string("[box] Error: DirectSound Error ") + name + "\n");
    platform::Message m;
    ASSERT_TRUE(platform::PollMessage(m)) << name;
    EXPECT_EQ(m.kind, platform::MessageKind::Quit);
    EXPECT_EQ(m.value, 0);
    EXPECT_FALSE(Audio.SoundSystem.open);
  }
  nullplat::Reset();
  InitSound();
  EXPECT_TRUE(Audio.SoundSystem.open);
  platform::Message m;
  EXPECT_FALSE(platform::PollMessage(m));
}

TEST_F(SoundTest, QuittingReleasesEveryRecordAndThenTheDevice) {
  InitSound();
  for (Sound_typ* r : {&Audio.SoundEffects[0], &Audio.MusicTracks[10], &Audio.ThemeMusic}) Load(*r, 100);
  PlaySoundLooping(Audio.ThemeMusic);
  EXPECT_EQ(ExitCodeOf(QuitGame), 0);
  for (const Sound_typ* r : {&Audio.SoundEffects[0], &Audio.MusicTracks[10], &Audio.ThemeMusic}) {
    EXPECT_EQ(r->soundSystem, nullptr);
    EXPECT_EQ(r->buffers[0], 0);
  }
  EXPECT_EQ(nullplat::LiveSoundBuffers(), 0);
  EXPECT_FALSE(nullplat::SoundOpened());
}

}  // namespace
