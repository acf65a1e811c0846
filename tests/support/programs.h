#pragma once
// Running the programs under test as a user would: a private Xvfb display
// (so that tests running side by side never move each other's pointer),
// processes spawned with their output in a file, xdotool on that display,
// and waiting for things to happen.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// An Xvfb server on a display it picks itself (-displayfd), 1024 x 768 x 24,
// ended with the object.
class PrivateDisplay {
 public:
  // Xvfb's own messages go to `logPath`.
  explicit PrivateDisplay(const std::string& logPath);
  ~PrivateDisplay();
  PrivateDisplay(const PrivateDisplay&) = delete;
  PrivateDisplay& operator=(const PrivateDisplay&) = delete;

  // ":N", or empty when the server did not start.
  const std::string& name() const { return name_; }

  // Runs xdotool with `args` on this display and returns what it printed.
  // A connection the server drops during its handshake (it happens under
  // Xvfb on a busy machine) is tried again: nothing was sent yet.
  std::string xdotool(const std::string& args) const;
  // The pointer's place on the screen; false when xdotool cannot tell.
  bool pointer(int& x, int& y) const;
  // Writes the whole screen to `path` as a 24-bit BMP file.
  bool screenshot(const std::string& path) const;

 private:
  pid_t server_ = -1;
  std::string name_;
};

struct SpawnOptions {
  std::string cwd;          // working directory; empty: the test's own
  std::string out;          // standard output and error go there
  std::string display;      // DISPLAY; empty: unset
  std::vector<std::pair<std::string, std::string>> env;  // more variables
  int stdinFd = -1;         // becomes standard input; -1: /dev/null
};

// Runs `command` through the shell; fills `output` with what it printed on
// standard output and returns its exit status (-1000 when it could not be
// run or did not exit).
int runCommand(const std::string& command, std::string& output);

// Starts `args` (args[0] is the program). SDL_AUDIODRIVER is "dummy" unless
// `env` says otherwise. Returns the child's pid.
pid_t spawnProgram(const std::vector<std::string>& args, const SpawnOptions& options);

// Waits up to `limit` for the process to end; returns its wait status, or
// -1 when it is still running.
int waitForExit(pid_t pid, std::chrono::milliseconds limit);
// Kills the process (if still running) and reaps it.
void killProgram(pid_t pid);

// Polls `condition` every 50 ms until it holds or `limit` has passed.
template <typename F>
bool eventually(F condition, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return condition();
}

// The X=... and Y=... values of xdotool's --shell output.
bool shellPair(const std::string& text, int& x, int& y);
