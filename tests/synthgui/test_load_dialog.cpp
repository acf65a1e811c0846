// The load dialog in a real window, driven by events pushed from another
// thread while its frame loop runs, as a user's pointer would send them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "patch/port_table.h"
#include "support/files.h"
#include "synthgui/cords.h"
#include "synthgui/panel_test_util.h"
#include "synthgui/patch_dialogs.h"

namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

// The dialog is centred in the 1024 x 768 window; its rows start 50 pixels
// below its top, 16 apart, its scroll keys are at (320, 112) and (320, 136).
constexpr int kLeft = (1024 - 512) / 2, kTop = (768 - 256) / 2;

void push(Uint8 type, int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
  SDL_Event e{};
  e.type = type;
  if (type == SDL_MOUSEMOTION) {
    e.motion.x = static_cast<Uint16>(x);
    e.motion.y = static_cast<Uint16>(y);
  } else {
    e.button.button = button;
    e.button.x = static_cast<Uint16>(x);
    e.button.y = static_cast<Uint16>(y);
  }
  SDL_PushEvent(&e);
}

void clickAt(int x, int y) {
  push(SDL_MOUSEMOTION, x, y);
  push(SDL_MOUSEBUTTONDOWN, x, y);
  push(SDL_MOUSEBUTTONUP, x, y);
}

void clickRow(int slot) { clickAt(kLeft + 250, kTop + 50 + 16 * slot + 4); }

void pressEscape() {
  SDL_Event e{};
  e.type = SDL_KEYUP;
  e.key.keysym.sym = SDLK_ESCAPE;
  SDL_PushEvent(&e);
}

int hookCalls = 0;

class LoadDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    ensureVideo();
    home_ = fs::current_path();
    fs::create_directory(dir_ / "MVL");
    fs::create_directory_symlink(home_ / "RC", dir_ / "RC");
    ASSERT_EQ(chdir(dir_.path().c_str()), 0);
    hookCalls = 0;
    setPatchReplacedHook([] { ++hookCalls; });
    // The running synthesizer: one oscillator at 50 Hz.
    writePatch("running.txt", 50);
    running_ = new GENERATOR((dir_ / "MVL/running.txt").c_str());
    currentGenerator = running_;
    InitGuiFromCurrent();
  }
  void TearDown() override {
    setPatchReplacedHook(nullptr);
    cordList.clear();
    objectList.clear();
    releaseSynth(currentGenerator);
    currentGenerator = nullptr;
    fs::current_path(home_);
  }

  void writePatch(const std::string& name, int hz) {
    writeFile(dir_ / ("MVL/" + name),
              "BEGIN_OBJECTS_DECLARE\nVCO_1;FREQ=" + std::to_string(hz) +
                  ";\nMIXER_4;;\nEND_OBJECTS_DECLARE\nBEGIN_LINKS_DECLARE\nMIXER_4;ADD_CHANELL=VCO_1;\n"
                  "END_LINKS_DECLARE\n");
  }

  // Runs the dialog while `user` sends its events; the dialog's result.
  static int runDialog(const std::function<void()>& user) {
    std::thread t([&] {
      std::this_thread::sleep_for(milliseconds(150));
      user();
    });
    testing::internal::CaptureStdout();
    const int result = loadPatchDialog();
    console() = testing::internal::GetCapturedStdout();
    t.join();
    return result;
  }
  static std::string& console() {
    static std::string text;
    return text;
  }
  static float playingHz() { return currentGenerator->findOscillator("VCO_1")->frequency; }

  TempDir dir_;
  fs::path home_;
  GENERATOR* running_ = nullptr;
};

}  // namespace

// 25 files: the window never scrolls past entry 15 (the last ten shown); the
// entries stand in reverse name order, so the first row then shows p09.
TEST_F(LoadDialogTest, ScrollStopsAtTheLastTenAndAClickLoadsTheEntryShown) {
  for (int i = 0; i < 25; ++i) writePatch((i < 10 ? "p0" : "p") + std::to_string(i) + ".mvl", 100 + i);
  const int result = runDialog([] {
    for (int i = 0; i < 40; ++i) push(SDL_MOUSEBUTTONDOWN, kLeft + 250, kTop + 100, SDL_BUTTON_WHEELDOWN);
    std::this_thread::sleep_for(milliseconds(300));
    clickRow(0);
  });
  ASSERT_EQ(result, 1) << console();
  EXPECT_NE(console().find("Load [p09.mvl]"), std::string::npos) << console();
  EXPECT_EQ(playingHz(), 109.0f);
  EXPECT_EQ(hookCalls, 1);
  ASSERT_EQ(objectList.size(), 2u);
  EXPECT_EQ(panelInfo(objectList[0]).module.oscillator(), currentGenerator->findOscillator("VCO_1"));
  EXPECT_EQ(cordList.size(), 1u);
}

// 3 files: holding the scroll key moves nothing, a click below the last
// entry chooses nothing, and the third row is a.mvl.
TEST_F(LoadDialogTest, FewFilesShowOnlyTheirEntries) {
  writePatch("a.mvl", 200);
  writePatch("b.mvl", 300);
  writePatch("c.MVL", 400);
  writePatch("d.txt", 500);
  const int result = runDialog([] {
    push(SDL_MOUSEMOTION, kLeft + 328, kTop + 144);
    push(SDL_MOUSEBUTTONDOWN, kLeft + 328, kTop + 144);
    std::this_thread::sleep_for(milliseconds(200));
    push(SDL_MOUSEBUTTONUP, kLeft + 328, kTop + 144);
    clickRow(5);
    std::this_thread::sleep_for(milliseconds(200));
    clickRow(2);
  });
  ASSERT_EQ(result, 1) << console();
  EXPECT_NE(console().find("Load [a.mvl]"), std::string::npos) << console();
  EXPECT_EQ(playingHz(), 200.0f);
}

// Escape leaves the dialog; a broken patch is refused. Either way the
// running synthesizer and its panels stay.
TEST_F(LoadDialogTest, LeavingOrABrokenFileChangesNothing) {
  writeFile(dir_ / "MVL/broken.mvl",
            "BEGIN_OBJECTS_DECLARE\nVCO_1;FREQ=1;\nEND_OBJECTS_DECLARE\n"
            "BEGIN_LINKS_DECLARE\nVCO_9;IN=KEY_1;\nEND_LINKS_DECLARE\n");
  const std::vector<OBJET*> panels = objectList;
  EXPECT_EQ(runDialog([] { pressEscape(); }), 0);
  EXPECT_NE(console().find("Load cancelled"), std::string::npos);
  EXPECT_EQ(runDialog([] { clickRow(0); }), 0);
  EXPECT_NE(console().find("Load failed [MVL/broken.mvl]"), std::string::npos) << console();
  EXPECT_EQ(currentGenerator, running_);
  EXPECT_EQ(objectList, panels);
  EXPECT_EQ(hookCalls, 0);
}
