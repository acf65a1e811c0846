// The sound layer's calling conventions: what fails, with which code, and
// that closing is safe in any state. NoSound and SDL's dummy driver need no
// sound card.

#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "audio/audio.h"

namespace {

int silentCallback(FSOUND_STREAM*, void*, int, void*) { return 1; }

class LayerTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
  void TearDown() override { FSOUND_Close(); }
};

}  // namespace

TEST_F(LayerTest, ClosingWhatWasNeverOpenedIsHarmless) {
  EXPECT_EQ(FSOUND_Stream_Close(nullptr), 0);
  FSOUND_Close();
  FSOUND_Close();
  EXPECT_EQ(FSOUND_GetError(), kErrorNone);
}

TEST_F(LayerTest, StreamCallsNeedInit) {
  EXPECT_GE(FSOUND_GetVersion(), kMinimumVersion);
  EXPECT_EQ(FSOUND_Stream_Create(silentCallback, kStreamBufferBytes, kStreamMode, kMixingRate, nullptr), nullptr);
  EXPECT_EQ(FSOUND_GetError(), kErrorNotInitialised);
  EXPECT_EQ(FSOUND_Stream_Play(kPlayChannel, nullptr), -1);
  EXPECT_EQ(FSOUND_GetError(), kErrorNotInitialised);
}

TEST_F(LayerTest, ChoicesAreRefusedAfterInitAndKeptAcrossClose) {
  for (int output : {kOutputNoSound, kOutputDirectSound}) {
    ASSERT_EQ(FSOUND_SetOutput(output), 1);
    ASSERT_EQ(FSOUND_SetDriver(0), 1);
    ASSERT_EQ(FSOUND_Init(kMixingRate, kSoftwareChannels, kInitFlags), 1) << output;
    EXPECT_EQ(FSOUND_Init(kMixingRate, kSoftwareChannels, kInitFlags), 0);
    EXPECT_EQ(FSOUND_GetError(), kErrorAlreadyInitialised);
    EXPECT_EQ(FSOUND_SetOutput(kOutputNoSound), 0);
    EXPECT_EQ(FSOUND_GetError(), kErrorAlreadyInitialised);
    EXPECT_EQ(FSOUND_SetDriver(0), 0);
    FSOUND_Close();
    EXPECT_EQ(FSOUND_GetOutput(), output);
    ASSERT_EQ(FSOUND_Init(kMixingRate, kSoftwareChannels, kInitFlags), 1) << "again after close";
    FSOUND_Close();
  }
}

TEST_F(LayerTest, InvalidArgumentsAreRefused) {
  EXPECT_EQ(FSOUND_SetOutput(3), 0);
  EXPECT_EQ(FSOUND_GetError(), kErrorInvalidParam);
  ASSERT_EQ(FSOUND_SetOutput(kOutputNoSound), 1);
  EXPECT_EQ(FSOUND_GetNumDrivers(), 1);
  EXPECT_STREQ(FSOUND_GetDriverName(0), "NoSound");
  EXPECT_EQ(FSOUND_GetDriverName(1), nullptr);
  EXPECT_EQ(FSOUND_SetDriver(1), 0);
  EXPECT_EQ(FSOUND_GetError(), kErrorInvalidParam);
  EXPECT_EQ(FSOUND_Init(0, kSoftwareChannels, kInitFlags), 0);
  EXPECT_EQ(FSOUND_GetError(), kErrorInvalidParam);
  ASSERT_EQ(FSOUND_Init(kMixingRate, kSoftwareChannels, kInitFlags), 1);

  struct Bad {
    int length;
    unsigned int mode;
    int rate;
  };
  const unsigned int eightBitStereo = kModeStereo | kModeSigned;
  const unsigned int mono16 = kModeBits16 | kModeSigned;
  for (const Bad b : {Bad{0, kStreamMode, kMixingRate}, Bad{12290, kStreamMode, kMixingRate},
                      Bad{kStreamBufferBytes, eightBitStereo, kMixingRate},
                      Bad{kStreamBufferBytes, mono16, kMixingRate}, Bad{kStreamBufferBytes, kStreamMode, 22050}}) {
    EXPECT_EQ(FSOUND_Stream_Create(silentCallback, b.length, b.mode, b.rate, nullptr), nullptr)
        << b.length << " " << b.mode << " " << b.rate;
    EXPECT_EQ(FSOUND_GetError(), kErrorInvalidParam);
  }
  EXPECT_EQ(FSOUND_Stream_Create(nullptr, kStreamBufferBytes, kStreamMode, kMixingRate, nullptr), nullptr);

  FSOUND_STREAM* s = FSOUND_Stream_Create(silentCallback, kStreamBufferBytes, kStreamMode, kMixingRate, nullptr);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(FSOUND_Stream_Create(silentCallback, kStreamBufferBytes, kStreamMode, kMixingRate, nullptr), nullptr);
  EXPECT_EQ(FSOUND_GetError(), kErrorDeviceBusy);
  EXPECT_EQ(FSOUND_Stream_Play(32, s), -1);
  EXPECT_EQ(FSOUND_GetError(), kErrorInvalidParam);
  EXPECT_EQ(FSOUND_Stream_Play(kPlayChannel, s), kPlayChannel);
  EXPECT_EQ(FSOUND_Stream_Close(s), 1);
  EXPECT_EQ(FSOUND_Stream_Close(s), 0) << "a stream closed twice";
}

TEST_F(LayerTest, MissingDriverFailsAtInit) {
  setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
  ASSERT_EQ(FSOUND_SetOutput(kOutputWaveOut), 1);
  EXPECT_EQ(FSOUND_GetNumDrivers(), 1);
  EXPECT_NE(FSOUND_GetDriverName(0), nullptr);
  EXPECT_EQ(FSOUND_GetOutput(), kOutputWaveOut);
  EXPECT_EQ(FSOUND_Init(kMixingRate, kSoftwareChannels, kInitFlags), 0);
  EXPECT_EQ(FSOUND_GetError(), kErrorInit);
}
