#include "engine/mixer.h"

#include <cmath>
#include <cstdio>

MIXER::MIXER() {
  name[0] = '\0';
  for (int i = 0; i < kChannels; ++i) {
    channelGain[i] = 1.0f;
    channelMute[i] = 0.0f;
  }
}

int MIXER::addChannel(const OUTPUT* module, int index) {
  const int count = channelCount;
  if (index == -1) index = count;
  if (index < 0 || index >= kChannels || count >= kChannels) {
    std::printf("Mixer [%s] has no free channel: the %d channels are in use\n", name, kChannels);
    return 0;
  }
  channelInput[index].connect(module);
  channelCount = count + 1;
  return 1;
}

int MIXER::process() {
  float sum = 0.0f;
  const int count = channelCount;
  if (enabled != 0 && count != 0) {
    // One read of each binding and value, so the count and the sum agree
    // even while the GUI rebinds a channel.
    const int used = count < kChannels ? count : kChannels;
    int channel[kChannels];
    float input[kChannels];
    int sounding = 0;
    for (int j = 0; j < used; ++j) {
      const Shared<float>* src = channelMute[j] != 1.0f ? channelInput[j].source.load() : nullptr;
      if (src == nullptr) continue;
      channel[sounding] = j;
      input[sounding] = *src;
      ++sounding;
    }
    const float n = static_cast<float>(sounding);
    for (int k = 0; k < sounding; ++k) {
      const int j = channel[k];
      if (sounding <= 1) {
        sum = sum + input[k] / n * channelGain[j];
      } else {
        sum = sum + input[k] / n * 1.5f * channelGain[j];
      }
    }
  }
  value = std::isfinite(sum) ? sum : 0.0f;  // a broken input is silence here
  return 1;
}
