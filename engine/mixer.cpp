#include "engine/mixer.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {
constexpr uint32_t kOneBits = std::bit_cast<uint32_t>(1.0f);
}

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

// One pass: each channel's binding, mute and value are read once, so the
// count and the sum agree even while the GUI rebinds a channel. Every
// sounding channel contributes x * gain * (1.5 / n) (1 / n for one), taken
// once out of the sum.
int MIXER::process() {
  float sum = 0.0f;
  const int count = channelCount;
  if (enabled != 0 && count > 0) {
    const int used = count < kChannels ? count : kChannels;
    int sounding = 0;
#pragma GCC unroll 4
    for (int j = 0; j < used; ++j) {
      const Shared<float>* src = channelInput[j].source;
      // Muted means exactly 1.0: compared as bits, one integer test.
      if (src == nullptr || std::bit_cast<uint32_t>(channelMute[j].load()) == kOneBits) continue;
      sum += *src * channelGain[j];
      ++sounding;
    }
    if (sounding > 1) sum *= 1.5f / static_cast<float>(sounding);
  }
  value = std::isfinite(sum) ? sum : 0.0f;  // a broken input is silence here
  return 1;
}
