#pragma once
// Crash-safe saves: a file is written under a temporary name beside its
// target, flushed to disk, then renamed over the target in one step. A save
// that fails at any point leaves the old file as it was and removes the
// temporary file, so a crash or a full disk never leaves half a file.
//
// The temporary file is created exclusively with a unique name (mkstemp), so
// it never follows a link planted at a predictable name. The new file keeps
// the old one's permissions; a new target gets 0644 less the umask.

#include <cstdio>
#include <functional>
#include <string>

class SafeFile {
 public:
  // Creates the temporary file beside `target`. Check ok() before writing.
  explicit SafeFile(std::string target);
  // Removes the temporary file unless commit() succeeded.
  ~SafeFile();
  SafeFile(const SafeFile&) = delete;
  SafeFile& operator=(const SafeFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  // The temporary file's descriptor, for writers that take one (libsndfile's
  // sf_open_fd, with close_desc false). -1 when !ok().
  int fd() const { return fd_; }
  // A stdio stream on the temporary file, opened on first use; null when
  // !ok(). Owned by the SafeFile.
  std::FILE* stream();
  const std::string& temporaryPath() const { return temporary_; }

  // Flushes, fsyncs and closes the temporary file, renames it over the
  // target and syncs the directory. False when any step failed (the
  // temporary file is then removed and the target untouched).
  bool commit();

 private:
  void discard();

  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  std::FILE* stream_ = nullptr;
  bool committed_ = false;
};

// Writes `path` crash-safely: `write` fills the stream and returns false on
// a failure of its own. True when the whole file is in place.
bool writeFileSafely(const std::string& path, const std::function<bool(std::FILE*)>& write);
