// The editor's event handling, driven with synthetic SDL events through the
// real queue (SDL's dummy video driver: no display needed).

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "audio/audio.h"
#include "editor/editor.h"
#include "gui/fixtures.h"
#include "support/events.h"
#include "gui/gui.h"

namespace {

class EditorEvents : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  }
  static void TearDownTestSuite() { SDL_Quit(); }

  void SetUp() override {
    editor = EditorState{};
    running = 1;
    selectedObject = -1;
    mousePosition = {0, 0};
    imageStore = &store_;
    store_.put("PANEL_BG", solidSurface(300, 200, 0x404040), 300, 200);
    panel_ = makePanel(0, 0);
    objects_ = {panel_};
  }
  void TearDown() override { imageStore = nullptr; }

  // A panel "1" with a background, a lamp at (40, 40) and a button at
  // (100, 40), as the RC reader would build it.
  OBJET* makePanel(float x, float y) {
    auto* p = new OBJET(x, y, "1");
    auto* fond = new SPRITE("PANEL_BG", 0, 0, 0, 0, 0, 1, 0, 0);
    fond->setName("1_IMAGE_FOND");
    auto* lamp = new SPRITE("LAMP", 40, 40, 0, 0, 0, 1, 0, 0);
    lamp->setName("1_LAMP");
    lamp->w = lamp->h = 16;
    auto* button = new BUTTON("1_B_ON", "B_ON", "B_TOUCH", "B_OFF", nullptr);
    button->setPosition(100, 40, 0);
    button->w = button->h = 20;
    p->mainList = {fond, lamp, button};
    p->computeSize();
    return p;
  }

  static void motion(int x, int y) { pushMotion(x, y); }
  static void button(Uint8 type, Uint8 which, int x, int y) { pushButton(type, which, x, y); }
  static void key(Uint8 type, SDLKey sym) { pushKey(type, sym); }
  std::string handle() {
    testing::internal::CaptureStdout();
    handleEvents(objects_, 0, nullptr);
    return testing::internal::GetCapturedStdout();
  }

  IMAGE_STORE store_;
  OBJET* panel_ = nullptr;
  std::vector<OBJET*> objects_;
};

}  // namespace

TEST_F(EditorEvents, DraggingAChildSnapsItsOffsetToTheGrid) {
  SPRITE* lamp = panel_->childByName("LAMP");
  motion(48, 48);
  button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 48, 48);
  motion(10, 7);
  button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 10, 7);
  const std::string out = handle();
  EXPECT_FLOAT_EQ(lamp->x, 8);
  EXPECT_FLOAT_EQ(lamp->y, 4);
  EXPECT_NE(out.find("LEFT CLICK DOWN [48][48]"), std::string::npos);
  EXPECT_NE(out.find("Moving Stg to [10][7]\nArea of aisance [0][0][300][200]\n"), std::string::npos);
  EXPECT_NE(out.find("LEFT CLICK UP [0][0]"), std::string::npos);
  EXPECT_EQ(editor.pointer.heldWidget, nullptr);
  EXPECT_EQ(lamp->pressed, 0);

  // Offsets left of or above the reference panel snap toward zero: the
  // pointer is over a second panel behind it.
  panel_->x = panel_->y = 100;
  objects_.push_back(makePanel(0, 0));
  lamp->setPosition(40, 40, 0);
  motion(148, 148);
  button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 148, 148);
  motion(93, 90);
  button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 93, 90);
  handle();
  EXPECT_FLOAT_EQ(lamp->x, -4);
  EXPECT_FLOAT_EQ(lamp->y, -8);
}

TEST_F(EditorEvents, GridKeysAndArrowNudges) {
  std::string out;
  for (int i = 0; i < 5; ++i) key(SDL_KEYDOWN, SDLK_F6);
  out = handle();
  EXPECT_EQ(editor.gridStep, 1);
  EXPECT_EQ(out, "Grid Sensitivity [3]\nGrid Sensitivity [2]\nGrid Sensitivity [1]\n"
                 "Grid Sensitivity [1]\nGrid Sensitivity [1]\n");
  key(SDL_KEYDOWN, SDLK_F5);
  key(SDL_KEYDOWN, SDLK_F5);
  EXPECT_EQ(handle(), "Grid Sensitivity [2]\nGrid Sensitivity [3]\n");

  // Arrows move only a held child.
  SPRITE* lamp = panel_->childByName("LAMP");
  key(SDL_KEYDOWN, SDLK_RIGHT);
  handle();
  EXPECT_FLOAT_EQ(lamp->x, 40);
  motion(45, 45);
  button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 45, 45);
  for (SDLKey k : {SDLK_RIGHT, SDLK_RIGHT, SDLK_DOWN, SDLK_LEFT, SDLK_UP, SDLK_UP}) key(SDL_KEYDOWN, k);
  handle();
  EXPECT_FLOAT_EQ(lamp->x, 43);
  EXPECT_FLOAT_EQ(lamp->y, 37);

  const float zoom = scopeZoom;
  key(SDL_KEYDOWN, SDLK_KP_PLUS);
  key(SDL_KEYDOWN, SDLK_KP_PLUS);
  key(SDL_KEYDOWN, SDLK_KP_MINUS);
  handle();
  EXPECT_FLOAT_EQ(scopeZoom, zoom * 2);
  scopeZoom = zoom;
}

TEST_F(EditorEvents, BackgroundsCannotBeClicked) {
  SPRITE* fond = panel_->childByName("IMAGE_FOND");
  motion(250, 150);
  button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 250, 150);
  motion(20, 20);
  const std::string out = handle();
  EXPECT_NE(out.find("Was nothing to click"), std::string::npos);
  EXPECT_EQ(editor.pointer.heldWidget, nullptr);
  EXPECT_FLOAT_EQ(fond->x, 0);
}

TEST_F(EditorEvents, ButtonsReactToThePointer) {
  auto* b = panel_->buttonByName("B_ON");
  ASSERT_NE(b, nullptr);
  motion(110, 50);
  std::string out = handle();
  EXPECT_NE(out.find("INSTRUMENT TOUCHE [0][1]]\n"), std::string::npos);
  EXPECT_NE(out.find("TOUCH IN\n"), std::string::npos);
  EXPECT_EQ(editor.pointer.hoveredWidget, b);
  panel_->update();
  b->update();
  EXPECT_STREQ(b->image, "B_TOUCH");

  button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 110, 50);
  button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 110, 50);
  handle();
  panel_->update();
  b->update();
  EXPECT_EQ(b->state, 1);

  // Leaving the child for the background touches it out.
  motion(250, 150);
  out = handle();
  EXPECT_NE(out.find("TOUCH OUT\n"), std::string::npos);
  panel_->update();
  b->update();
  EXPECT_EQ(b->touched, 0);
  EXPECT_STREQ(b->image, "B_ON");
  EXPECT_EQ(editor.pointer.hoveredWidget, nullptr);
}

TEST_F(EditorEvents, RightButtonMovesThePanel) {
  button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 50, 60);
  motion(300, 400);
  std::string out = handle();
  EXPECT_EQ(selectedObject, 0);
  EXPECT_FLOAT_EQ(panel_->x, 300);
  EXPECT_FLOAT_EQ(panel_->y, 400);
  EXPECT_NE(out.find("MOVING OBJECT [0]"), std::string::npos);
  button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 300, 400);
  motion(500, 500);
  handle();
  EXPECT_FLOAT_EQ(panel_->x, 300);
  EXPECT_EQ(editor.draggedPanel, -1);

  // A right press on no panel drags nothing.
  button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 5, 5);
  motion(900, 700);
  handle();
  EXPECT_FLOAT_EQ(panel_->x, 300);
}

TEST_F(EditorEvents, KeyFiveTogglesHalfSizeAndEscapeEnds) {
  motion(10, 10);
  key(SDL_KEYDOWN, SDLK_5);
  handle();
  EXPECT_EQ(panel_->displayMode, 2u);
  EXPECT_FLOAT_EQ(panel_->w, 150);
  key(SDL_KEYDOWN, SDLK_5);
  handle();
  EXPECT_EQ(panel_->displayMode, 1u);
  EXPECT_FLOAT_EQ(panel_->w, 300);

  // Key 1 posts an untargeted release to the panel under the pointer.
  key(SDL_KEYDOWN, SDLK_1);
  handle();
  ASSERT_EQ(panel_->queue.size(), 1u);
  EXPECT_EQ(panel_->queue[0].event.type, SDL_MOUSEBUTTONUP);
  EXPECT_EQ(panel_->queue[0].target, nullptr);

  // A user event is passed over, whatever it carries (nothing is freed).
  char text[16] = "SEQ_TRIG_X";
  SDL_Event user{};
  user.type = SDL_USEREVENT;
  user.user.code = 1;
  user.user.data1 = text;
  SDL_PushEvent(&user);
  key(SDL_KEYDOWN, SDLK_ESCAPE);
  handle();
  EXPECT_EQ(running, 1);  // on release, not on press
  key(SDL_KEYUP, SDLK_ESCAPE);
  handle();
  EXPECT_EQ(running, 0);
}

TEST_F(EditorEvents, F2WritesEveryPanelToItsFile) {
  TempDir dir;
  std::snprintf(panel_->rcPath, sizeof panel_->rcPath, "%s", (dir / "A.RC").c_str());
  panel_->childByName("LAMP")->setPosition(8, 4, 0);
  key(SDL_KEYDOWN, SDLK_F2);
  EXPECT_EQ(handle(), "*[0]****************************\n");
  EXPECT_EQ(readFile(dir / "A.RC"),
            "BUTTON\tB_ON\tB_ON\tB_TOUCH\tB_OFF\t100\t40\t0\t0\t0\t1.000000\t0\r\n"
            "SPRITE\tLAMP\tLAMP\t0\t8\t4\t0\t0\t0\t1.000000\t0\t0\r\n"
            "SPRITE\tIMAGE_FOND\tPANEL_BG\t0\t0\t0\t0\t0\t0\t1.000000\t0\t0\r\n");
}
