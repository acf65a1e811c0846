#include "engine/wav_reader.h"

#include <sndfile.h>

#include <algorithm>
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

  // Float sources are converted by libsndfile with clipping, not wrap-around.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);

  const int channels = info.channels;
  constexpr long kMaxFrames = kWavCapacityBytes / 4;
  std::vector<int16_t> chunk(static_cast<size_t>(4096) * channels);
  long frames = 0;
  while (frames < kMaxFrames) {
    const sf_count_t want = std::min<sf_count_t>(4096, kMaxFrames - frames);
    const sf_count_t got = sf_readf_short(file, chunk.data(), want);
    if (got <= 0) break;
    for (sf_count_t i = 0; i < got; ++i) {
      const int16_t left = chunk[i * channels];
      const int16_t right = channels > 1 ? chunk[i * channels + 1] : left;
      buffer[2 * (frames + i)] = left;
      buffer[2 * (frames + i) + 1] = right;
    }
    frames += got;
  }
  sf_close(file);
  return static_cast<int>(frames * 4);
}
