// The sound layer's calling conventions: what fails, with which code, and
// that closing is safe in any state. NoSound and SDL's dummy driver need no
// sound card.

#include <cstdlib>

#include <gtest/gtest.h>

#include "audio/audio.h"

namespace {
int silentCallback(FSOUND_STREAM*, void*, int, void*) { return 1; }
FSOUND_STREAM* create(int length = kStreamBufferBytes, unsigned int mode = kStreamMode, int rate = kMixingRate) {
  return FSOUND_Stream_Create(silentCallback, length, mode, rate, nullptr);
}
}  // namespace

TEST(Layer, OrderOfCallsAndClosingInAnyState) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  // What the layout editor does without ever opening anything.
  EXPECT_EQ(FSOUND_Stream_Close(nullptr), 0);
  FSOUND_Close();
  EXPECT_EQ(create(), nullptr);
  EXPECT_EQ(FSOUND_GetError(), kErrorNotInitialised);

  for (int output : {kOutputNoSound, kOutputDirectSound}) {
    ASSERT_EQ(FSOUND_SetOutput(output), 1);
    for (int round = 0; round < 2; ++round) {  // a second init after a close works
      ASSERT_EQ(FSOUND_Init(kMixingRate, kSoftwareChannels, kInitFlags), 1) << output;
      EXPECT_EQ(FSOUND_Init(kMixingRate, kSoftwareChannels, kInitFlags), 0);
      EXPECT_EQ(FSOUND_GetError(), kErrorAlreadyInitialised);
      EXPECT_EQ(FSOUND_SetOutput(kOutputNoSound), 0);
      EXPECT_EQ(FSOUND_GetError(), kErrorAlreadyInitialised);
      ASSERT_NE(create(), nullptr);
      FSOUND_Close();  // closes the stream too
      EXPECT_EQ(FSOUND_GetOutput(), output) << "the choice outlives a close";
    }
  }
}

TEST(Layer, UnusableArgumentsAreRefused) {
  EXPECT_EQ(FSOUND_SetOutput(3), 0);
  EXPECT_EQ(FSOUND_GetError(), kErrorInvalidParam);
  ASSERT_EQ(FSOUND_SetOutput(kOutputNoSound), 1);
  EXPECT_EQ(FSOUND_GetDriverName(1), nullptr);
  EXPECT_EQ(FSOUND_SetDriver(1), 0);
  ASSERT_EQ(FSOUND_Init(kMixingRate, kSoftwareChannels, kInitFlags), 1);

  struct Bad {
    int length;
    unsigned int mode;
    int rate;
  };
  const unsigned int eightBit = kModeStereo | kModeSigned, mono = kModeBits16 | kModeSigned;
  for (const Bad b : {Bad{0, kStreamMode, kMixingRate}, Bad{12290, kStreamMode, kMixingRate},
                      Bad{kStreamBufferBytes, eightBit, kMixingRate}, Bad{kStreamBufferBytes, mono, kMixingRate},
                      Bad{kStreamBufferBytes, kStreamMode, 22050}}) {
    EXPECT_EQ(create(b.length, b.mode, b.rate), nullptr) << b.length << " " << b.mode << " " << b.rate;
    EXPECT_EQ(FSOUND_GetError(), kErrorInvalidParam);
  }
  FSOUND_STREAM* s = create();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(create(), nullptr) << "one stream at a time";
  EXPECT_EQ(FSOUND_GetError(), kErrorDeviceBusy);
  EXPECT_EQ(FSOUND_Stream_Play(32, s), -1);
  EXPECT_EQ(FSOUND_Stream_Play(kPlayChannel, s), kPlayChannel);
  EXPECT_EQ(FSOUND_Stream_Close(s), 1);
  EXPECT_EQ(FSOUND_Stream_Close(s), 0) << "closed twice";
  FSOUND_Close();
}
