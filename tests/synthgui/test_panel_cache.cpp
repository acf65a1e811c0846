// Panels drawn from their cached pictures look exactly as panels drawn
// directly, pixel for pixel, and a picture is made again exactly when what
// its panel shows changed.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <vector>

#include "engine/notes.h"
#include "support/files.h"
#include "synthgui/panel_test_util.h"

namespace {

template <typename Draw>
std::vector<Uint32> drawAndRead(Draw draw) {
  glClearColor(0.2f, 0.1f, 0.3f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  push2D(0, 0, 1024, 768);
  draw();
  pop2D();
  return readBackBuffer();
}

int differing(const std::vector<Uint32>& a, const std::vector<Uint32>& b) {
  int n = 0;
  for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

}  // namespace

TEST(PanelCache, PicturesMatchTheDirectDrawingAndFollowChanges) {
  ensureVideo();
  smallFont.loadFont("Fonts/04b_03b_.ttf", 6);
  fillNoteTable();
  TempDir dir;
  // Every kind, on half-pixel rows as the grid places them, scrolled.
  writeFile(dir / "p.mvl",
            "BEGIN_OBJECTS_DECLARE\nKEY_1;;\nSEQUENCER_1;DIVIDER=2;\nVCO_1;TYPE=3;FREQ=88;AMOUNT=0.5;PHASE=0;\n"
            "VCO_2;TYPE=1;FREQ=8;AMOUNT=0.5;PHASE=0;\nSAMPLER_1;FILE=Sounds/phaser.wav;\n"
            "VCA_1;BYPASS=0;ATTACK=5;DECAY=50;SUSTAIN=1;RELEASE=50;INVERT=0;\n"
            "PCF_1;HICUT=1200;Q=2;GAIN=0;TYPE=1;BYPASS=0;\nMIXER_4;;\nEND_OBJECTS_DECLARE\n"
            "BEGIN_LINKS_DECLARE\nEND_LINKS_DECLARE\n");
  testing::internal::CaptureStdout();
  currentGenerator = new GENERATOR((dir / "p.mvl").c_str());
  InitGuiFromCurrent();
  testing::internal::GetCapturedStdout();
  scrollOffset = {100, 10};
  sequencerPanels.front()->setDisplayMode(1);

  PanelCache cache;
  auto compare = [&](const char* what) {
    const auto direct = drawAndRead([] { drawPanelsInView(objectList, scrollOffset); });
    const auto cached = drawAndRead([&] {
      cache.updatePanels(objectList, scrollOffset);
      cache.drawPanels(scrollOffset);
    });
    EXPECT_EQ(differing(direct, cached), 0) << what;
  };
  compare("as built");
  EXPECT_GE(cache.redraws(), 3);  // the panels wholly on the screen
  const long made = cache.redraws();
  compare("unchanged");
  EXPECT_EQ(cache.redraws(), made);
  // What the panels show, as one number: the same until a panel moves.
  const uint64_t shown = cache.updatePanels(objectList, scrollOffset);
  EXPECT_EQ(cache.updatePanels(objectList, scrollOffset), shown);
  objectList[2]->x += 40;
  EXPECT_NE(cache.updatePanels(objectList, scrollOffset), shown);
  objectList[2]->x -= 40;

  // A knob turned (its angle and its label) makes that panel's picture
  // again, and only that one; a turn to the back makes them all again, and
  // so does a scroll.
  OBJET* vco = objectList[2];
  turn(*vco, "SLD_FREQUENCE", "SLD_DOWN", 5);
  compare("knob turned");
  EXPECT_EQ(cache.redraws(), made + 1);
  for (OBJET* p : objectList) p->setDisplayMode(4);
  compare("backs");
  scrollOffset = {0, 0};
  compare("scrolled");
  currentGenerator = nullptr;
}
