#pragma once
// File helpers shared by every test folder: a scratch directory and small
// text files.

#include <string>
#include <vector>

// A fresh directory under /tmp, removed with its contents at destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Writes `text` (creating parent directories).
void writeFile(const std::string& path, const std::string& text);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
// The names of the entries of `dir`, sorted.
std::vector<std::string> directoryEntries(const std::string& dir);

// A 16-bit stereo 44100 Hz WAV file of `frames` frames of a 440 Hz sine at
// 12000 (creating parent directories). False when it cannot be written.
bool writeTestWav(const std::string& path, int frames);
