#include "synthgui/sound_folder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::vector<std::string> soundFiles(const char* folder) {
  std::vector<std::string> files;
  std::error_code ec;
  fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    std::error_code typeError;
    if (it->path().extension() == ".wav" && it->is_regular_file(typeError)) files.push_back(it->path().string());
  }
  std::sort(files.begin(), files.end());
  for (const std::string& f : files) std::printf("[%s]\n", f.c_str());
  std::reverse(files.begin(), files.end());
  return files;
}

namespace {

std::string baseName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::optional<std::string> neighbourFile(const std::vector<std::string>& files, const char* current, int step) {
  const std::string wanted = baseName(current ? current : "");
  for (std::size_t j = 0; j < files.size(); ++j) {
    if (baseName(files[j]) != wanted) continue;
    if (step > 0) return files[j + 1 < files.size() ? j + 1 : j];
    return files[j > 0 ? j - 1 : 0];
  }
  return std::nullopt;
}
