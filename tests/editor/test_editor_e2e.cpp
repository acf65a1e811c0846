// The layout editor end to end: `morvel` runs on a private Xvfb display (so
// that no other test moves the same pointer) from a data directory written
// here, and xdotool drives it as a user would.

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "gui/fixtures.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Written by the writer's own formats; the background is the last line so
// that it is drawn first, under the others.
const std::string kLayout =
    "BUTTON\tB_ON\tBTN_ON\t0\tBTN_OFF\t100\t40\t0\t0\t0\t1.000000\t0\r\n"
    "SLIDER\tKNOB\tKNOB\t200\t40\t0\t0\t0\t1.000000\t0\r\n"
    "LABEL\tTITLE\tTEST\t10\t150\t0\t6\t16777215\t\r\n"
    "SPRITE\tLAMP\tLAMP\t0\t40\t40\t0\t0\t0\t1.000000\t0\t255\r\n"
    "SPRITE\tIMAGE_FOND\tPANEL_BG\t0\t0\t0\t0\t0\t0\t1.000000\t0\t255\r\n";

pid_t spawn(const std::vector<std::string>& args, const std::string& cwd, const std::string& out,
            const std::string& display) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
    std::FILE* o = std::freopen(out.c_str(), "w", stdout);
    if (!o) _exit(126);
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

// Waits up to `limit` for the process; returns its wait status, or -1.
int waitFor(pid_t pid, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return status;
    std::this_thread::sleep_for(20ms);
  }
  return -1;
}

template <typename F>
bool eventually(F condition, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(50ms);
  }
  return condition();
}

// The X=... and Y=... lines of xdotool's --shell output.
bool shellPair(const std::string& text, int& x, int& y) {
  const std::size_t ax = text.find("X="), ay = text.find("Y=");
  if (ax == std::string::npos || ay == std::string::npos) return false;
  x = std::atoi(text.c_str() + ax + 2);
  y = std::atoi(text.c_str() + ay + 2);
  return true;
}

class EditorSession : public testing::Test {
 protected:
  void SetUp() override {
    font_ = testFontPath();
    ASSERT_FALSE(font_.empty()) << "no TrueType font for the editor";
    startDisplay();
    ASSERT_FALSE(display_.empty()) << "cannot start Xvfb";

    fs::copy_file(MORVEL_EXE, dir_ / "morvel");
    fs::permissions(dir_ / "morvel", fs::perms::owner_all);
    saveBmp(solidSurface(320, 240, 0x203040), dir_ / "Zod_Engine/SnapShot.bmp");
    saveBmp(solidSurface(64, 64, 0x101018), dir_ / "grfx/fond.bmp");
    saveBmp(solidSurface(300, 200, 0x505860), dir_ / "grfx/panel.bmp");
    saveBmp(solidSurface(16, 16, 0xFF3000), dir_ / "grfx/lamp.bmp");
    saveBmp(solidSurface(20, 20, 0x00C000), dir_ / "grfx/on.bmp");
    saveBmp(solidSurface(20, 20, 0x004000), dir_ / "grfx/off.bmp");
    saveBmp(solidSurface(24, 24, 0xE0E0D0), dir_ / "grfx/knob.bmp");
    writeFile(dir_ / "grfx/opengl.mim", "TEST 1\n"
                                        "FOND_GLOBAL grfx/fond.bmp SIMPLEPART\n"
                                        "PANEL_BG grfx/panel.bmp SIMPLEPART\n"
                                        "LAMP grfx/lamp.bmp SIMPLEPART\n"
                                        "BTN_ON grfx/on.bmp SIMPLEPART\n"
                                        "BTN_OFF grfx/off.bmp SIMPLEPART\n"
                                        "KNOB grfx/knob.bmp SIMPLEPART\n"
                                        "END\n");
    fs::create_directories(dir_ / "Fonts");
    fs::copy_file(font_, dir_ / "Fonts/04b_03b_.ttf");
    writeFile(dir_ / "RC/T.RC", kLayout);
    fs::create_directories(dir_ / "elsewhere");
  }

  void TearDown() override {
    if (editor_ > 0 && waitFor(editor_, 0ms) == -1) {
      kill(editor_, SIGKILL);
      waitpid(editor_, nullptr, 0);
    }
    if (xvfb_ > 0) {
      kill(xvfb_, SIGTERM);
      waitpid(xvfb_, nullptr, 0);
    }
  }

  // Xvfb picks a free display itself and writes its number to a pipe
  // (-displayfd), so tests running side by side never race for one.
  void startDisplay() {
    int fds[2];
    if (pipe(fds) != 0) return;
    xvfb_ = fork();
    if (xvfb_ == 0) {
      close(fds[0]);
      if (!std::freopen((dir_ / "xvfb.log").c_str(), "w", stderr)) _exit(126);
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
    if (!number.empty()) display_ = ":" + number;
  }

  // Runs xdotool on the private display and returns what it printed. A
  // connection the X server drops during its handshake (it happens under
  // Xvfb on a busy machine) is tried again: nothing was sent yet.
  std::string xdotool(const std::string& args) {
    const std::string cmd = "DISPLAY=" + display_ + " xdotool " + args + " 2>&1";
    std::string out;
    for (int attempt = 0; attempt < 8; ++attempt) {
      out.clear();
      std::unique_ptr<FILE, int (*)(FILE*)> p(popen(cmd.c_str(), "r"), pclose);
      char buf[256];
      while (p && std::fgets(buf, sizeof buf, p.get())) out += buf;
      if (out.find("open display") == std::string::npos) break;
      std::this_thread::sleep_for(100ms);
    }
    return out;
  }

  std::string output() const { return readFile(dir_ / "out.txt"); }

  TempDir dir_;
  std::string font_, display_;
  pid_t xvfb_ = -1, editor_ = -1;
};

}  // namespace

TEST_F(EditorSession, DragSaveGridAndEscape) {
  // Started from another directory with a relative path: the file keeps the
  // meaning it has there.
  editor_ = spawn({dir_ / "morvel", "../RC/T.RC"}, dir_ / "elsewhere", dir_ / "out.txt", display_);
  ASSERT_TRUE(eventually([&] { return output().find("KK-2\n") != std::string::npos; }, 30000ms))
      << output();
  const std::string window = xdotool("search --sync --name \"Zod ENGINE & Morvel - Synthesizer\"");
  ASSERT_FALSE(window.empty());
  const std::string w = window.substr(0, window.find('\n'));

  // Drag the lamp (its top-left at 40, 40) to 10 right and 7 below the
  // panel's origin: grid 4 puts it at (8, 4).
  xdotool("mousemove --window " + w + " 48 48 sleep 0.1 mousedown 1 sleep 0.1 mousemove --window " + w +
          " 10 7 sleep 0.1 mouseup 1");
  // The release puts the pointer back where the button went down.
  int wx = 0, wy = 0;
  ASSERT_TRUE(shellPair(xdotool("getwindowgeometry --shell " + w), wx, wy));
  EXPECT_TRUE(eventually(
      [&] {
        int px = 0, py = 0;
        return shellPair(xdotool("getmouselocation --shell"), px, py) && px - wx == 48 && py - wy == 48;
      },
      5000ms));

  xdotool("key F2");
  std::string expected = kLayout;
  const std::string before = "LAMP\tLAMP\t0\t40\t40";
  expected.replace(expected.find(before), before.size(), "LAMP\tLAMP\t0\t8\t4");
  EXPECT_TRUE(eventually([&] { return readFile(dir_ / "RC/T.RC") == expected; }, 10000ms))
      << readFile(dir_ / "RC/T.RC");

  // What is drawn is where the pointer hits: the lamp (16 x 16, now at 8, 4)
  // covers exactly its hit rectangle in the window, the button (20 x 20 at
  // 100, 40) its own.
  const std::string shot = dir_ / "shot.bmp";
  ASSERT_EQ(std::system(("DISPLAY=" + display_ + " import -window root BMP3:" + shot).c_str()), 0);
  SDL_Surface* screen = SDL_LoadBMP(shot.c_str());
  ASSERT_NE(screen, nullptr);
  int lamp = 0, button = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 130; ++x) {
      const Uint32 c = pixelAt(screen, wx + x, wy + y);
      const bool inLamp = x >= 8 && x < 24 && y >= 4 && y < 20;
      const bool inButton = x >= 100 && x < 120 && y >= 40 && y < 60;
      EXPECT_EQ(c == 0xFF3000u, inLamp) << x << "," << y;
      EXPECT_EQ(c == 0x004000u, inButton) << x << "," << y;
      lamp += c == 0xFF3000u;
      button += c == 0x004000u;
    }
  }
  EXPECT_EQ(lamp, 16 * 16);
  EXPECT_EQ(button, 20 * 20);
  SDL_FreeSurface(screen);

  xdotool("key F6 F6 F6 F6 F6");
  xdotool("key Escape");
  const int status = waitFor(editor_, 20000ms);
  ASSERT_NE(status, -1) << "the editor did not end on Escape";
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  editor_ = -1;

  const std::string out = output();
  EXPECT_NE(out.find("*[0]****************************\n"), std::string::npos);
  EXPECT_NE(out.find("LEFT CLICK DOWN [48][48]\n"), std::string::npos);
  std::string grid;
  const std::string marker = "Grid Sensitivity [";
  for (std::size_t at = out.find(marker); at != std::string::npos; at = out.find(marker, at + 1)) {
    grid += out.substr(at + marker.size(), out.find(']', at) - at - marker.size()) + " ";
  }
  EXPECT_EQ(grid, "3 2 1 1 1 ");
  EXPECT_EQ(directoryEntries(dir_ / "RC"), std::vector<std::string>{"T.RC"});
}

TEST_F(EditorSession, NoArgumentIsRefused) {
  editor_ = spawn({dir_ / "morvel"}, dir_.path(), dir_ / "out.txt", display_);
  const int status = waitFor(editor_, 10000ms);
  editor_ = -1;
  ASSERT_NE(status, -1);
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(output(), "Specify a .RC file\n");
}

TEST_F(EditorSession, SignalsEndItCleanly) {
  for (int sig : {SIGTERM, SIGINT}) {
    writeFile(dir_ / "out.txt", "");  // no "KK-2" left from the previous run
    editor_ = spawn({dir_ / "morvel", "RC/T.RC"}, dir_.path(), dir_ / "out.txt", display_);
    ASSERT_TRUE(eventually([&] { return output().find("KK-2\n") != std::string::npos; }, 30000ms)) << output();
    kill(editor_, sig);
    const int status = waitFor(editor_, 20000ms);
    editor_ = -1;
    ASSERT_NE(status, -1) << "the editor did not end on signal " << sig;
    EXPECT_TRUE(WIFEXITED(status)) << sig;
    EXPECT_EQ(WEXITSTATUS(status), 0) << sig;
  }
}
