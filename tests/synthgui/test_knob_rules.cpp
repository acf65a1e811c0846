// The relative step rules of the panel knobs, on their worked examples and
// band edges.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "synthgui/knob_rules.h"

namespace {
constexpr KnobStep Up = KnobStep::Up, Down = KnobStep::Down;
}

TEST(KnobRules, BandStepsFromTheTopBandDown) {
  struct Case {
    float from;
    KnobStep step;
    FineBands fine;
    float to;
  } cases[] = {
      {50, Up, FineBands::Frequency, 48.5f},          // 49 in the first band, then 0.5 in the second
      {22050, Up, FineBands::Frequency, 22050},       // outside every band
      {22050, Down, FineBands::Frequency, 22050},
      {0.001f, Down, FineBands::Frequency, 0.004125f},
      {0.0125f, Up, FineBands::Frequency, 0.009375f},
      {0.009f, Up, FineBands::Frequency, 0.009f},     // lowered only from above 0.01
      {0.0005f, Up, FineBands::Frequency, 0.001f},    // the floor
      {0.5f, Down, FineBands::Frequency, 0.50625f},
      {0.1f, Down, FineBands::Frequency, 0.10625f},   // 0.1 (the default pulse width) moves
      {0.1f, Up, FineBands::Frequency, 0.090625f},    // both ways
      {0, Down, FineBands::Volume, 0.01f},
      {0.012f, Up, FineBands::Volume, 0},
      {5, Down, FineBands::Volume, 5.0125f},
      {0.1f, Up, FineBands::Volume, 0.090625f},
      {0.01f, Up, FineBands::Volume, 0},              // back to silence from what raising 0 gave
      {12, Up, FineBands::Volume, 11.975f},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(bandStep(c.from, c.step, c.fine), c.to, 1e-6) << c.from << (c.step == Up ? " up" : " down");
  }
}

TEST(KnobRules, CutoffBandsAndEnds) {
  struct Case {
    int from;
    KnobStep step;
    int to;
  } cases[] = {// Each band sees the value the one above left: 10 - 2 = 8 is lowered again.
               {10, Down, 7},  {10, Up, 12},       {9, Up, 10},       {12000, Down, 11900}, {12001, Down, 12001},
               {1, Down, 1},   {2, Down, 1},       {10000, Up, 10000}, {9999, Up, 10099},  {5000, Down, 4850},
               {4950, Up, 5000}, {1000, Down, 965}};
  for (const Case& c : cases) EXPECT_EQ(cutoffStep(c.from, c.step), c.to) << c.from;
}

TEST(KnobRules, PhaseWrapsWithTheSignOfTheValue) {
  EXPECT_EQ(phaseStep(359, Up), 0);
  EXPECT_EQ(phaseStep(0, Down), -1);
  EXPECT_EQ(phaseStep(-359, Down), 0);
  EXPECT_EQ(phaseStep(12.7f, Up), 13);
  // Values a patch file may hold stay finite and inside a turn.
  EXPECT_EQ(phaseStep(std::numeric_limits<float>::quiet_NaN(), Up), 0);
  EXPECT_LT(std::fabs(phaseStep(1e30f, Up)), 360);
}

TEST(KnobRules, SpeedHasNoFloor) {
  float speed = 0.005f;
  for (int i = 0; i < 4; ++i) speed = speedStep(speed, Up);
  EXPECT_NEAR(speed, 0.005f - 4 * 0.003125f, 1e-6);
  EXPECT_NEAR(speedStep(1.0f, Down), 1.015625f, 1e-6);  // 0.0125 in the 1..10 band, then 0.003125
  EXPECT_NEAR(speedStep(-20.5f, Up), -21.003125f, 1e-5);  // bands follow |whole part|
  EXPECT_EQ(wholeAngle(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_GT(wholeAngle(1e30f), 2000000000);
}
