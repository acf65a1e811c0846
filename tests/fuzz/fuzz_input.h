#pragma once
// What the harnesses share: the readers take file paths, so each input is
// written to a scratch file first; the readers' console messages go nowhere.
// (The working directory stays: libFuzzer reads its corpus paths from it.)

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

// The file each input is written to, in a scratch directory of its own.
inline const std::string& inputPath() {
  static const std::string path = [] {
    char dir[] = "/tmp/morvel-fuzz-XXXXXX";
    if (mkdtemp(dir) == nullptr) std::abort();
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
    return std::string(dir) + "/input";
  }();
  return path;
}

inline const char* writeInput(const uint8_t* data, size_t size) {
  const std::string& path = inputPath();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
  return path.c_str();
}

}  // namespace fuzz
