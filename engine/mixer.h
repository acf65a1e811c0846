#pragma once
// MIXER: sums up to 24 channels, divided by the number sounding and boosted by
// 1.5 when two or more sound. "MIXER_4" is the synthesizer's output.

#include "engine/ports.h"

class MIXER final : public OUTPUT {
 public:
  static constexpr int kChannels = 24;

  MIXER();
  int process() override;

  // Connects channel `index` (-1: the next free one) to the module's value and
  // raises `channelCount`. Returns 1; with every channel in use, adds nothing,
  // prints a message and returns 0. The input is bound before the count is
  // raised, so the audio thread never steps an unbound new channel.
  int addChannel(const OUTPUT* module, int index);

  Shared<int> enabled{1};
  char name[800];
  Shared<int> channelCount{0};
  Shared<float> channelGain[kChannels];
  Shared<float> channelMute[kChannels];  // exactly 1.0 = muted
  INPUT channelInput[kChannels];

  void setName(const char* text) { copyName(name, text); }
};
