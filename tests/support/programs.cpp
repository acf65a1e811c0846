#include "support/programs.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace std::chrono_literals;

PrivateDisplay::PrivateDisplay(const std::string& logPath) {
  int fds[2];
  if (pipe(fds) != 0) return;
  server_ = fork();
  if (server_ == 0) {
    close(fds[0]);
    if (!std::freopen(logPath.c_str(), "w", stderr)) _exit(126);
    const std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  while (poll(&p, 1, 10000) > 0) {
    char c = 0;
    if (read(fds[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (!number.empty()) name_ = ":" + number;
}

PrivateDisplay::~PrivateDisplay() {
  if (server_ > 0) {
    kill(server_, SIGTERM);
    waitpid(server_, nullptr, 0);
  }
}

int runCommand(const std::string& command, std::string& output) {
  output.clear();
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return -1000;
  for (int c; (c = std::fgetc(pipe)) != EOF;) output.push_back(static_cast<char>(c));
  const int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1000;
}

std::string PrivateDisplay::xdotool(const std::string& args) const {
  const std::string cmd = "DISPLAY=" + name_ + " xdotool " + args + " 2>&1";
  std::string out;
  for (int attempt = 0; attempt < 8; ++attempt) {
    runCommand(cmd, out);
    if (out.find("open display") == std::string::npos) break;
    std::this_thread::sleep_for(100ms);
  }
  return out;
}

bool PrivateDisplay::pointer(int& x, int& y) const { return shellPair(xdotool("getmouselocation --shell"), x, y); }

bool PrivateDisplay::screenshot(const std::string& path) const {
  return std::system(("DISPLAY=" + name_ + " import -window root BMP3:" + path).c_str()) == 0;
}

pid_t spawnProgram(const std::vector<std::string>& args, const SpawnOptions& o) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (!o.cwd.empty() && chdir(o.cwd.c_str()) != 0) _exit(126);
    if (!o.out.empty()) {
      if (!std::freopen(o.out.c_str(), "w", stdout)) _exit(126);
      dup2(fileno(stdout), 2);
    }
    const int in = o.stdinFd >= 0 ? o.stdinFd : open("/dev/null", O_RDONLY);
    if (in < 0 || dup2(in, 0) < 0) _exit(126);
    if (o.display.empty()) {
      unsetenv("DISPLAY");
    } else {
      setenv("DISPLAY", o.display.c_str(), 1);
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    for (const auto& [name, value] : o.env) setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

int waitForExit(pid_t pid, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return status;
    if (std::chrono::steady_clock::now() >= end) return -1;
    std::this_thread::sleep_for(20ms);
  }
}

void killProgram(pid_t pid) {
  if (pid <= 0) return;
  if (waitForExit(pid, 0ms) == -1) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
}

bool shellPair(const std::string& text, int& x, int& y) {
  const std::size_t ax = text.find("X="), ay = text.find("Y=");
  if (ax == std::string::npos || ay == std::string::npos) return false;
  x = std::atoi(text.c_str() + ax + 2);
  y = std::atoi(text.c_str() + ay + 2);
  return true;
}
