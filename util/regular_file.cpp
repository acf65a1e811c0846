#include "util/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

const char* kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a directory, not a file";
  if (S_ISFIFO(mode)) return "a named pipe, not a file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device, not a file";
  if (S_ISSOCK(mode)) return "a socket, not a file";
  return "not a regular file";
}

}  // namespace

int openRegularFile(const char* path, std::string& reason) {
  if (path == nullptr || *path == '\0') {
    reason = "no file name";
    return -1;
  }
  // Non-blocking, so that opening a pipe with no writer returns at once.
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    reason = std::strerror(errno);
    return -1;
  }
  struct stat st;
  const bool known = ::fstat(fd, &st) == 0;
  if (!known || !S_ISREG(st.st_mode)) {
    reason = known ? kindOf(st.st_mode) : std::strerror(errno);
    ::close(fd);
    return -1;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags != -1) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

std::FILE* openRegularStream(const char* path, std::string& reason) {
  const int fd = openRegularFile(path, reason);
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, "r");
  if (file == nullptr) {
    reason = std::strerror(errno);
    ::close(fd);
  }
  return file;
}
