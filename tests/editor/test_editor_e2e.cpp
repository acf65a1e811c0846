// The layout editor end to end: `morvel` runs on a private Xvfb display (so
// that no other test moves the same pointer) from a data directory written
// here, and xdotool drives it as a user would.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "gui/fixtures.h"
#include "support/programs.h"

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

// The editor with its output in out.txt, on the private display.
pid_t spawnEditor(const std::vector<std::string>& args, const std::string& cwd, const std::string& out,
                  const std::string& display) {
  return spawnProgram(args, SpawnOptions{cwd, out, display, {}, -1});
}

class EditorSession : public testing::Test {
 protected:
  void SetUp() override {
    font_ = testFontPath();
    ASSERT_FALSE(font_.empty()) << "no TrueType font for the editor";
    display_ = xvfb_.name();
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

  void TearDown() override { killProgram(editor_); }

  std::string xdotool(const std::string& args) { return xvfb_.xdotool(args); }

  std::string output() const { return readFile(dir_ / "out.txt"); }

  TempDir dir_;
  PrivateDisplay xvfb_{dir_ / "xvfb.log"};
  std::string font_, display_;
  pid_t editor_ = -1;
};

}  // namespace

TEST_F(EditorSession, DragSaveGridAndEscape) {
  // Started from another directory with a relative path: the file keeps the
  // meaning it has there.
  editor_ = spawnEditor({dir_ / "morvel", "../RC/T.RC"}, dir_ / "elsewhere", dir_ / "out.txt", display_);
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
        return xvfb_.pointer(px, py) && px - wx == 48 && py - wy == 48;
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
  ASSERT_TRUE(xvfb_.screenshot(shot));
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
  const int status = waitForExit(editor_, 20000ms);
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
  editor_ = spawnEditor({dir_ / "morvel"}, dir_.path(), dir_ / "out.txt", display_);
  const int status = waitForExit(editor_, 10000ms);
  editor_ = -1;
  ASSERT_NE(status, -1);
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(output(), "Specify a .RC file\n");
}

TEST_F(EditorSession, SignalsEndItCleanly) {
  for (int sig : {SIGTERM, SIGINT}) {
    writeFile(dir_ / "out.txt", "");  // no "KK-2" left from the previous run
    editor_ = spawnEditor({dir_ / "morvel", "RC/T.RC"}, dir_.path(), dir_ / "out.txt", display_);
    ASSERT_TRUE(eventually([&] { return output().find("KK-2\n") != std::string::npos; }, 30000ms)) << output();
    kill(editor_, sig);
    const int status = waitForExit(editor_, 20000ms);
    editor_ = -1;
    ASSERT_NE(status, -1) << "the editor did not end on signal " << sig;
    EXPECT_TRUE(WIFEXITED(status)) << sig;
    EXPECT_EQ(WEXITSTATUS(status), 0) << sig;
  }
}
