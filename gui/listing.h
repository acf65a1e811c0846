#pragma once
// Directory listing for the panels that step through files (the sampler
// panel steps through the "wav" files of "Sounds").

#include <string>
#include <vector>

// Every file or directory under `directory` (recursively, hidden ones
// included) whose name matches "*.<extension>" (case-insensitive) and whose
// absolute path contains ".<extension>" (case-sensitive). The walk takes each
// directory's matches (directories first, then by name, case-insensitive)
// before descending into its subdirectories (by name). Each path is printed
// as "[path]" in walk order; the list returned holds them in the reverse
// order (each new path goes to the front). A missing directory gives an
// empty list.
std::vector<std::string> listFiles(const char* directory, const char* extension);
