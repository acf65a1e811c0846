#include "engine/data_dir.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string executableDirectory() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return fs::current_path(ec).string();
  return exe.parent_path().string();
}

std::string enterDataDirectory(const char* path) {
  std::string result;
  if (path != nullptr) {
    std::error_code ec;
    // A path that exists from the caller's directory keeps that meaning;
    // anything else is taken from the data directory, as the data files are.
    if (fs::exists(path, ec)) {
      result = fs::absolute(path, ec).string();
      if (ec) result = path;
    } else {
      result = path;
    }
  }
  const std::string dir = executableDirectory();
  if (chdir(dir.c_str()) != 0) std::printf("Cannot enter the data directory [%s]\n", dir.c_str());
  return result;
}
