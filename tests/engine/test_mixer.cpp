// Mixer: division by the sounding channels, the 1.5 boost, mutes and the
// channel limit.

#include <gtest/gtest.h>

#include "engine_test_util.h"

namespace {

TEST(Mixer, SumsDividedBySoundingChannelsWithBoost) {
  ConstantSource a(0.8f), b(0.8f), c(0.6f);
  MIXER mix;
  mix.process();
  EXPECT_EQ(mix.value, 0.0f);  // no channels

  mix.addChannel(&a, -1);
  mix.process();
  EXPECT_FLOAT_EQ(mix.value, 0.8f);

  mix.addChannel(&b, -1);
  mix.process();
  EXPECT_FLOAT_EQ(mix.value, 1.2f);  // 2 x 0.75 x 0.8: no clamp here

  mix.addChannel(&c, -1);
  mix.channelGain[2] = 0.5f;
  mix.process();
  EXPECT_FLOAT_EQ(mix.value, 0.5f * 0.8f + 0.5f * 0.8f + 0.5f * 0.6f * 0.5f);
}

TEST(Mixer, MuteIsExactlyOneAndDisabledGivesZero) {
  ConstantSource a(0.8f), b(0.4f);
  MIXER mix;
  mix.addChannel(&a, -1);
  mix.addChannel(&b, -1);
  mix.channelMute[0] = 1.0f;
  mix.channelGain[1] = 0.5f;
  mix.process();
  EXPECT_FLOAT_EQ(mix.value, 0.2f);  // the other passes at its gain, undivided

  mix.channelMute[0] = 0.5f;  // not a mute
  mix.process();
  EXPECT_FLOAT_EQ(mix.value, 0.8f * 0.75f + 0.4f * 0.75f * 0.5f);

  mix.enabled = 0;
  mix.process();
  EXPECT_EQ(mix.value, 0.0f);
}

TEST(Mixer, AllTwentyFourChannelsStartAtUnityAndNoMore) {
  ConstantSource src(0.24f);
  MIXER mix;
  for (int i = 0; i < MIXER::kChannels; ++i) EXPECT_EQ(mix.addChannel(&src, -1), 1);
  EXPECT_EQ(mix.addChannel(&src, -1), 0);
  EXPECT_EQ(mix.channelCount, MIXER::kChannels);
  mix.process();
  // Channels 12 to 23 sound like 0 to 11: 24 x 1.5 / 24 x 0.24.
  EXPECT_FLOAT_EQ(mix.value, 1.5f * 0.24f);
}

TEST(Mixer, UnconnectedChannelDoesNotCount) {
  ConstantSource a(0.5f);
  MIXER mix;
  mix.addChannel(nullptr, -1);
  mix.addChannel(&a, -1);
  mix.process();
  EXPECT_FLOAT_EQ(mix.value, 0.5f);
}

}  // namespace
