// Sound files as the sampler loads them.

#include <memory>

#include "engine/wav_reader.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::unique_ptr<int16_t[]> buffer(new int16_t[kWavCapacityBytes / 2]);
  const int bytes = readWavData(buffer.get(), fuzz::writeInput(data, size));
  if (bytes < -1 || bytes > kWavCapacityBytes || (bytes > 0 && bytes % 4 != 0)) std::abort();
  return 0;
}
