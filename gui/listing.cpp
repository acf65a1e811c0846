#include "gui/listing.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string folded(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

struct Entry {
  fs::path path;
  std::string key;  // the name, case-folded
  bool directory;
};

// The entries of one directory, directories first, each group by name.
std::vector<Entry> sortedEntries(const fs::path& dir) {
  std::vector<Entry> out;
  std::error_code ec;
  fs::directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec);
  if (ec) return out;
  for (const fs::directory_entry& e : it) {
    std::error_code typeError;
    const bool isDir = e.is_directory(typeError) && !e.is_symlink(typeError);
    out.push_back({e.path(), folded(e.path().filename().string()), isDir});
  }
  std::sort(out.begin(), out.end(), [](const Entry& a, const Entry& b) {
    if (a.directory != b.directory) return a.directory;
    return a.key < b.key;
  });
  return out;
}

void walk(const fs::path& dir, const std::string& suffix, const std::string& marker,
          std::vector<std::string>& found) {
  const std::vector<Entry> entries = sortedEntries(dir);
  for (const Entry& e : entries) {
    const std::string& key = e.key;
    if (key.size() >= suffix.size() && key.compare(key.size() - suffix.size(), suffix.size(), suffix) == 0) {
      const std::string path = e.path.string();
      if (path.find(marker) != std::string::npos) found.push_back(path);
    }
  }
  for (const Entry& e : entries) {
    if (e.directory) walk(e.path, suffix, marker, found);
  }
}

}  // namespace

std::vector<std::string> listFiles(const char* directory, const char* extension) {
  std::vector<std::string> list;
  if (!directory || !extension) return list;
  std::error_code ec;
  const fs::path root = fs::absolute(directory, ec);
  if (ec || !fs::is_directory(root, ec)) return list;

  std::vector<std::string> walked;
  walk(root, folded(std::string(".") + extension), std::string(".") + extension, walked);
  for (const std::string& path : walked) {
    std::printf("[%s]\n", path.c_str());
    list.insert(list.begin(), path);
  }
  return list;
}
