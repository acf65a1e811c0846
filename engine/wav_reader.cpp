#include "engine/wav_reader.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

int readWavData(int16_t* buffer, const char* path) {
  SF_INFO info{};
  SNDFILE* file = path != nullptr ? sf_open(path, SFM_READ, &info) : nullptr;
  if (file == nullptr || info.channels < 1) {
    if (file != nullptr) sf_close(file);
    std::printf("Error load [%s]\n", path != nullptr ? path : "(null)");
    return -1;
  }

  // Every format is read as normalised floats (16-bit PCM maps exactly) and
  // converted here, so float files keep their level and loud ones clip
  // instead of wrapping.

  const int channels = info.channels;
  constexpr long kMaxFrames = kWavCapacityBytes / 4;
  std::vector<float> chunk(static_cast<size_t>(4096) * channels);
  auto to16 = [](float x) {
    const long v = std::lrint(static_cast<double>(x) * 32768.0);
    return static_cast<int16_t>(std::clamp(v, -32768L, 32767L));
  };
  long frames = 0;
  while (frames < kMaxFrames) {
    const sf_count_t want = std::min<sf_count_t>(4096, kMaxFrames - frames);
    const sf_count_t got = sf_readf_float(file, chunk.data(), want);
    if (got <= 0) break;
    for (sf_count_t i = 0; i < got; ++i) {
      const int16_t left = to16(chunk[i * channels]);
      const int16_t right = channels > 1 ? to16(chunk[i * channels + 1]) : left;
      buffer[2 * (frames + i)] = left;
      buffer[2 * (frames + i) + 1] = right;
    }
    frames += got;
  }
  sf_close(file);
  return static_cast<int>(frames * 4);
}
