// Music: start-up's probes and loads of the effect and the theme, the theme
// started looping by the attract sequence's set-up frame, what a level key
// and a restart do to it, and the values that start nothing.
#include "audio/sound_fixture.h"
#include "input/input.h"
#include "shell/main_loop.h"

namespace {

class MusicTest : public FileTest {
 protected:
  // Start-up in the scratch folder with the given files present: a 100-frame
  // effect and a one-second theme at 22,050 Hz.
  void Start(bool effect, bool theme) {
    if (effect) Write("default/sfx/sfx000.wav", MonoWav(100));
    if (theme) Write("default/music/theme.wav", MonoWav(22050, 22050));
    WorkIn();
    InitSound();
    ::testing::internal::CaptureStderr();  // start-up's complaints about the missing art
    InitGame();
    ::testing::internal::GetCapturedStderr();
    Loop.AppActive = 1;
  }
};

TEST_F(MusicTest, TheThemeStartsOnTheAttractSetUpFrameLoopsThroughALevelKeyAndARestartAddsACopy) {
  Start(true, true);
  EXPECT_EQ(VoiceOf(Audio.ThemeMusic, 0).length, 44100u);
  RunFrames(121);
  EXPECT_EQ(nullplat::PlayingSoundBuffers(), 0) << "silent while the attract sequence waits";
  RunFrames(1);
  EXPECT_TRUE(VoiceOf(Audio.ThemeMusic, 0).playing) << "frame 122 sets up the demo level";
  EXPECT_TRUE(VoiceOf(Audio.ThemeMusic, 0).looping);

  // Level key 6 held over two frames, then well past the theme's length.
  nullplat::SetKey(kKey6, true);
  RunFrames(2);
  nullplat::SetKey(kKey6, false);
  WaitCounts(150000);  // 2.5 s
  EXPECT_TRUE(VoiceOf(Audio.ThemeMusic, 0).playing);
  EXPECT_EQ(nullplat::PlayingSoundBuffers(), 1);

  // Key 5 restarts the sequence; its set-up starts a second copy, offset in time.
  nullplat::TapKey(kKey5);
  RunFrames(122);
  EXPECT_EQ(nullplat::PlayingSoundBuffers(), 2);
  EXPECT_TRUE(VoiceOf(Audio.ThemeMusic, 1).looping);
  EXPECT_NE(VoiceOf(Audio.ThemeMusic, 0).position, VoiceOf(Audio.ThemeMusic, 1).position);
}

TEST_F(MusicTest, AMissingThemeSilencesTheProgramAndAMissingEffectLoadsNothing) {
  Start(true, false);
  EXPECT_EQ(Audio.MusicFileMissing, 1);
  EXPECT_EQ(VoiceOf(Audio.ThemeMusic, 0).length, 100u) << "the theme holds the effect's sample";
  RunFrames(122);  // the attract sequence's set-up frame starts the theme
  EXPECT_EQ(nullplat::PlayingSoundBuffers(), 0);

  RestartEngine();
  std::filesystem::remove(Path("default/sfx/sfx000.wav"));
  Start(false, true);
  EXPECT_EQ(Startup.SoundFileMissing, 1);
  EXPECT_EQ(nullplat::LiveSoundBuffers(), 0);
  RunFrames(122);
  EXPECT_EQ(nullplat::PlayingSoundBuffers(), 0);
}

TEST_F(MusicTest, EffectZeroOnlyStopsTheTracksAndMusicLoopsZeroPlaysOnce) {
  Start(true, true);
  ASSERT_TRUE(LoadSound(Path("default/sfx/sfx000.wav"), Audio.MusicTracks[4], Path("default/sfx/sfx000.wav")));
  ASSERT_TRUE(PlaySoundLooping(Audio.MusicTracks[4]));
  ASSERT_TRUE(PlaySoundLooping(Audio.ThemeMusic));
  StartMusic(&Audio.SoundEffects[0]);
  EXPECT_FALSE(VoiceOf(Audio.MusicTracks[4], 0).playing);
  EXPECT_EQ(nullplat::PlayingSoundBuffers(), 1) << "the theme is not a track";

  Audio.MusicLoops = 0;
  StartMusic(&Audio.MusicTracks[4]);
  EXPECT_TRUE(VoiceOf(Audio.MusicTracks[4], 0).playing);
  EXPECT_FALSE(VoiceOf(Audio.MusicTracks[4], 0).looping);
}

}  // namespace
