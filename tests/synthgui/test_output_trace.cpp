// The output trace's picture: bars from the centre line, the speed, the
// restart past column 800 with the zoom text, and values it must survive.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "synthgui/output_trace.h"

namespace {

constexpr int kCentre = TracePicture::kHeight / 2;

TEST(OutputTrace, BarsFromTheCentreLineInTheirColours) {
  TracePicture p;
  p.step(0.5f, 3072, 1.0f);  // column 0.004: drawn in column 0, 64 down
  EXPECT_EQ(p.pixel(0, kCentre), TracePicture::kCentre);
  for (int j = 1; j < 64; ++j) EXPECT_EQ(p.pixel(0, kCentre + j), TracePicture::kBar) << j;
  EXPECT_EQ(p.pixel(0, kCentre + 64), TracePicture::kTip);
  EXPECT_EQ(p.pixel(0, kCentre + 65), 0u);
  EXPECT_EQ(p.pixel(0, kCentre - 1), 0u);
  // A negative value draws upwards; a value that rounds to no pixel draws
  // only the centre.
  for (int i = 0; i < 250; ++i) p.step(-0.25f, 3072, 1.0f);
  EXPECT_EQ(p.pixel(1, kCentre - 31), TracePicture::kBar);
  EXPECT_EQ(p.pixel(1, kCentre - 32), TracePicture::kTip);
  EXPECT_EQ(p.pixel(1, kCentre + 5), 0u);
  int left = 0, top = 0, right = 0, bottom = 0;
  ASSERT_TRUE(p.drawnArea(left, top, right, bottom));
  EXPECT_EQ(left, 0);
  EXPECT_EQ(right, 1);
  EXPECT_EQ(top, kCentre - 32);
  EXPECT_EQ(bottom, kCentre + 64);
}

TEST(OutputTrace, MovesByTheZoomAndStartsAgainPastColumn800) {
  TracePicture p;
  for (int i = 0; i < 1000; ++i) p.step(0.1f, 3072, 1.0f);
  EXPECT_NEAR(p.column(), 4.0f, 1e-3f);  // 0.004 a frame
  EXPECT_STREQ(p.zoomText(), "");
  // Frames of a smaller buffer move less: 700 frames or fewer do not move.
  const float before = p.column();
  p.step(0.1f, 699, 1.0f);
  EXPECT_EQ(p.column(), before);

  // At zoom 1024 a frame moves 4.096 columns: past 800, the next frame
  // clears the picture and starts at the left with the zoom text.
  while (static_cast<int>(p.column()) <= 800) p.step(0.1f, 3072, 1024.0f);
  EXPECT_EQ(p.pixel(3, kCentre), TracePicture::kCentre);
  p.step(0.0f, 3072, 1024.0f);
  EXPECT_STREQ(p.zoomText(), "ZOOM SIZE IS 1024.000");
  EXPECT_NEAR(p.column(), 4.096f, 1e-3f);
  EXPECT_EQ(p.pixel(3, kCentre), 0u);
  EXPECT_EQ(p.pixel(4, kCentre), TracePicture::kCentre);
  EXPECT_EQ(p.pixel(800, kCentre), 0u);
  int first = 0, last = 0;
  ASSERT_TRUE(p.takeChanges(first, last));
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, TracePicture::kWidth - 1);
  EXPECT_FALSE(p.takeChanges(first, last));
}

TEST(OutputTrace, ValuesOutOfRangeStayInsideThePicture) {
  TracePicture p;
  const float bad[] = {1e30f, -1e30f, std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity()};
  for (float v : bad) p.step(v, 3072, 1.0f);
  EXPECT_EQ(p.pixel(0, TracePicture::kHeight - 1), TracePicture::kBar);
  EXPECT_EQ(p.pixel(0, 1), TracePicture::kBar);
  EXPECT_EQ(p.pixel(0, 0), 0u);  // row 0 is never drawn
  // A zoom that is not a number does not move the trace.
  p.step(0.5f, 3072, std::numeric_limits<float>::quiet_NaN());
  EXPECT_NEAR(p.column(), 0.016f, 1e-4f);
}

}  // namespace
