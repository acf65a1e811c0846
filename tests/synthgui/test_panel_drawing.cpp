// Panels drawn in a real window (under Xvfb in the test runs) from the
// project's own archive, read back from the back buffer.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <vector>

#include "synthgui/panel_test_util.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;

// Pixels of the back buffer, 0xRRGGBB, y from the top.
std::vector<Uint32> drawAndRead(OBJET& panel) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  push2D(0, 0, kWidth, kHeight);
  std::vector<OBJET*> list{&panel};
  drawPanelsInView(list, scrollOffset);
  pop2D();
  return readBackBuffer(kWidth, kHeight);
}

}  // namespace

// The sampler's main view draws the loaded sample over its screen, in
// white; the mini view draws none. The panel stands on a half pixel, as the
// grid places it.
TEST(PanelDrawing, TheSamplerDrawsItsWaveformOverItsScreen) {
  ensureVideo();
  SAMPLER sampler;
  ASSERT_GT(sampler.frameCount, 0) << "Sounds/phaser.wav is missing";
  SAMPLER_GUI panel(&sampler, 100, 200.5f, "0");
  panel.setDisplayMode(1);
  SPRITE* screen = panel.childByName("AFFWAVE");
  ASSERT_NE(screen, nullptr);
  const int left = 100 + static_cast<int>(screen->x), top = 200 + static_cast<int>(screen->y);

  auto whiteIn = [&](const std::vector<Uint32>& px, int x0, int y0, int w, int h) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x) n += px[static_cast<std::size_t>(y) * kWidth + x] == 0xFFFFFFu;
    return n;
  };
  std::vector<Uint32> px = drawAndRead(panel);
  const int onScreen = whiteIn(px, left, top, 304, 66);
  EXPECT_GE(onScreen, 300);  // at least one pixel per column
  EXPECT_EQ(whiteIn(px, left, top - 40, 304, 40), 0);
  EXPECT_EQ(whiteIn(px, left + 304, top, 20, 66), 0);

  panel.setDisplayMode(2);
  px = drawAndRead(panel);
  EXPECT_EQ(whiteIn(px, left, top, 304, 66), 0);
}
