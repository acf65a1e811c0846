#include "util/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace {

std::string directoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

void syncDirectory(const std::string& dir) {
  const int d = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (d < 0) return;
  ::fsync(d);
  ::close(d);
}

}  // namespace

SafeFile::SafeFile(std::string target) : target_(std::move(target)) {
  if (target_.empty()) return;
  std::string pattern = target_ + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  fd_ = ::mkstemp(name.data());
  if (fd_ < 0) return;
  temporary_ = name.data();
  struct stat old;
  if (::stat(target_.c_str(), &old) == 0) {
    ::fchmod(fd_, old.st_mode & 07777);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
  }
}

SafeFile::~SafeFile() {
  if (!committed_) discard();
}

std::FILE* SafeFile::stream() {
  if (!stream_ && fd_ >= 0) stream_ = ::fdopen(fd_, "w");
  return stream_;
}

void SafeFile::discard() {
  if (stream_) {
    std::fclose(stream_);
  } else if (fd_ >= 0) {
    ::close(fd_);
  }
  stream_ = nullptr;
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

bool SafeFile::commit() {
  if (fd_ < 0 || committed_) return false;
  bool good = true;
  if (stream_) good = std::fflush(stream_) == 0 && !std::ferror(stream_);
  good = good && ::fsync(fd_) == 0;
  const bool closed = stream_ ? std::fclose(stream_) == 0 : ::close(fd_) == 0;
  stream_ = nullptr;
  fd_ = -1;
  if (!good || !closed || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
    discard();
    return false;
  }
  committed_ = true;
  syncDirectory(directoryOf(target_));
  return true;
}

bool writeFileSafely(const std::string& path, const std::function<bool(std::FILE*)>& write) {
  SafeFile file(path);
  std::FILE* f = file.ok() ? file.stream() : nullptr;
  if (!f) return false;
  if (!write(f)) return false;
  return file.commit();
}
