#pragma once
// The sampler panel's stepping through the sound folder.

#include <optional>
#include <string>
#include <vector>

// The ".wav" files of `folder` and its subfolders, each once, as paths from
// the working directory ("Sounds/drums/kick.wav"), in reverse name order.
// Each path is printed as "[path]". A missing folder gives an empty list.
std::vector<std::string> soundFiles(const char* folder);

// The file after (`step` +1, "FILE_UP") or before (-1, "FILE_DOWN") the one
// whose base name is that of `current`, staying at the ends of the list;
// nothing when no file has that base name.
std::optional<std::string> neighbourFile(const std::vector<std::string>& files, const char* current, int step);
