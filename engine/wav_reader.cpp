#include "engine/wav_reader.h"

#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "util/regular_file.h"

int readWavData(int16_t* buffer, const char* path) {
  SF_INFO info{};
  // Only a regular file: a named pipe or a device would block the reader.
  std::string reason;
  const int fd = openRegularFile(path, reason);
  // The descriptor stays ours (close_desc 0), closed here whatever happens.
  SNDFILE* file = fd >= 0 ? sf_open_fd(fd, SFM_READ, &info, 0) : nullptr;
  if (file == nullptr || info.channels < 1) {
    if (file != nullptr) sf_close(file);
    if (fd >= 0) ::close(fd);
    std::printf("Error load [%s]\n", path != nullptr ? path : "(null)");
    // A path that is there but is no file (a directory, a pipe, a device) says what it is.
    struct stat st;
    if (fd < 0 && path != nullptr && ::stat(path, &st) == 0)
      std::printf("Cannot open the sample [%s]: %s\n", path, reason.c_str());
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
  ::close(fd);
  return static_cast<int>(frames * 4);
}
