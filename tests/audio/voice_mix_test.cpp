// The device's mixer: voices add up and clip, a loop wraps inside a block,
// a sound played once stops rewound and leaves the rest of the block silent,
// and voices that do not play add nothing.
#include <gtest/gtest.h>

#include "platform/sdl/voice_mix.h"

namespace {

using Samples = std::vector<int16_t>;

mix::Voice Make(Samples frames, bool looping, uint32_t position = 0) {
  mix::Voice v;
  v.sample = std::make_shared<const Samples>(std::move(frames));
  v.inUse = v.playing = true;
  v.looping = looping;
  v.position = position;
  return v;
}

Samples Mix(std::vector<mix::Voice>& voices, size_t frames) {
  Samples out(frames * 2, 123);
  std::vector<int32_t> acc;
  mix::MixVoices(voices, out.data(), frames, acc);
  return out;
}

TEST(VoiceMix, VoicesAddAndClipToSixteenBits) {
  std::vector<mix::Voice> v = {Make({30000, -30000, 100, -5}, true), Make({30000, -30000, 1, 2}, true)};
  EXPECT_EQ(Mix(v, 2), (Samples{32767, -32768, 101, -3}));
}

TEST(VoiceMix, ALoopWrapsAndAOnceVoiceStopsRewound) {
  // Three frames of (1, -1), (2, -2), (3, -3).
  const Samples three = {1, -1, 2, -2, 3, -3};
  std::vector<mix::Voice> v = {Make(three, true, 1)};
  EXPECT_EQ(Mix(v, 5), (Samples{2, -2, 3, -3, 1, -1, 2, -2, 3, -3}));
  EXPECT_TRUE(v[0].playing);
  EXPECT_EQ(v[0].position, 0u);

  // A once voice, beside voices that are stopped, lost, free, or empty (a
  // loop of nothing must not spin).
  v = {Make(three, false, 1), Make({7, 7}, true), Make({7, 7}, true), Make({7, 7}, true), Make({}, true)};
  v[1].playing = false;
  v[2].lost = true;
  v[3].inUse = false;
  EXPECT_EQ(Mix(v, 4), (Samples{2, -2, 3, -3, 0, 0, 0, 0}));
  EXPECT_FALSE(v[0].playing);
  EXPECT_EQ(v[0].position, 0u);
  EXPECT_FALSE(v[4].playing);
}

}  // namespace
