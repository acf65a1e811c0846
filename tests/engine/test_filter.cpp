// Filter: bypass, power, settling, response shapes, type wrap, zero input and
// the output clamp.

#include <gtest/gtest.h>

#include <algorithm>

#include "engine_test_util.h"

namespace {

struct Chain {
  ConstantSource in{0.5f};
  PCF pcf;
  Chain() { pcf.connect(&in); }
};

// Steady-state gain of a filter of `type` for a sine of `freq` Hz.
double sineGain(int type, float cutoff, float freq, float gainDb = 0.0f, float amplitude = 0.3f) {
  VCO osc(amplitude, freq, 1);
  osc.phaseOffset = 0.0f;
  PCF pcf;
  pcf.connect(&osc);
  pcf.bypass = 0;
  pcf.filterType = type;
  pcf.cutoff = static_cast<int>(cutoff);
  pcf.gainDb = gainDb;
  pcf.level = 0.0f;
  std::vector<float> in, out;
  for (int i = 0; i < 44100; ++i) {
    osc.process();
    pcf.process();
    if (i > 22050) {
      in.push_back(osc.value);
      out.push_back(pcf.value);
    }
  }
  return rms(out) / rms(in);
}

TEST(Filter, NewFilterPassesInputUnchanged) {
  Chain c;
  EXPECT_EQ(c.pcf.bypass, 1);
  for (float x : {0.5f, -0.25f, 0.9f}) {
    c.in.value = x;
    c.pcf.process();
    EXPECT_EQ(c.pcf.value, x);
  }
}

TEST(Filter, UnconnectedGivesZeroAndPowerOffFreezes) {
  PCF lone;
  lone.value = 0.7f;
  lone.process();
  EXPECT_EQ(lone.value, 0.0f);

  Chain c;
  c.pcf.process();
  c.pcf.power = 0;
  c.in.value = -0.9f;
  for (float v : run(c.pcf, 10)) ASSERT_EQ(v, 0.5f);
}

TEST(Filter, LowPassSettlesAtUnityTimesLevel) {
  Chain c;
  c.pcf.bypass = 0;
  c.pcf.filterType = 1;
  c.pcf.gainDb = 0.0f;
  c.pcf.level = 0.5f;
  auto out = run(c.pcf, 5000);
  EXPECT_NEAR(out.back(), 0.75, 1e-4);  // 0.5 x (1 + 0.5)

  c.pcf.level = 1.0f;  // the default level doubles it; the clamp keeps 1
  out = run(c.pcf, 5000);
  EXPECT_EQ(out.back(), 1.0f);
}

TEST(Filter, ResponsesAttenuateWhereTheyShould) {
  EXPECT_NEAR(sineGain(1, 300, 100), 1.0, 0.15);
  EXPECT_LT(sineGain(1, 300, 5000), 0.01);
  EXPECT_LT(sineGain(2, 3000, 100), 0.01);
  EXPECT_NEAR(sineGain(2, 300, 8000), 1.0, 0.05);
  EXPECT_NEAR(sineGain(3, 1000, 1000), 1.0, 0.05);
  EXPECT_LT(sineGain(3, 1000, 50), 0.1);
  EXPECT_LT(sineGain(4, 1000, 1000), 0.05);
  EXPECT_NEAR(sineGain(4, 1000, 100), 1.0, 0.05);
  // Shelves and peak with +6 dB: A = 10^(6/40), and A^2 = 2 on their band.
  EXPECT_NEAR(sineGain(5, 1000, 50, 6.0f), 2.0, 0.15);
  EXPECT_NEAR(sineGain(5, 1000, 15000, 6.0f), 1.0, 0.1);
  EXPECT_NEAR(sineGain(6, 1000, 15000, 6.0f), 2.0, 0.15);
  EXPECT_NEAR(sineGain(7, 1000, 1000, 6.0f), 2.0, 0.15);
  EXPECT_NEAR(sineGain(0, 1000, 1000), 1.0, 1e-3);
}

TEST(Filter, GainScalesTypesOneToFourByTwentiethsOfDecibels) {
  // 20 dB: ten times louder in the pass band (before the clamp), so measure
  // with a small input.
  EXPECT_NEAR(sineGain(1, 1000, 50, 20.0f, 0.01f), 10.0, 1.0);
  EXPECT_NEAR(sineGain(3, 1000, 1000, 20.0f, 0.01f), 10.0, 1.0);
}

TEST(Filter, TypeWrapsAtTheNextFilteredStep) {
  Chain c;
  c.pcf.bypass = 0;
  c.pcf.filterType = 9;
  c.pcf.process();
  EXPECT_EQ(c.pcf.filterType, 0);
  c.pcf.filterType = -1;
  c.pcf.process();
  EXPECT_EQ(c.pcf.filterType, 7);
}

TEST(Filter, ExactZeroInputGivesExactZeroWhileRinging) {
  Chain c;
  c.pcf.bypass = 0;
  c.pcf.filterType = 3;
  c.pcf.q = 20.0f;
  c.in.value = 1.0f;
  run(c.pcf, 100);
  const double y1 = c.pcf.y1;
  c.in.value = 0.0f;
  for (float v : run(c.pcf, 50)) ASSERT_EQ(v, 0.0f);
  EXPECT_EQ(c.pcf.y1, y1);  // the history did not move
}

TEST(Filter, MixBlendsDryAndModulatedCutoffMoves) {
  Chain c;
  c.pcf.bypass = 0;
  c.pcf.filterType = 0;  // pass-through: wet = x (1 + level)
  c.pcf.level = 0.0f;
  ConstantSource m(-1.0f);
  INPUT mod;
  mod.connect(&m);
  c.pcf.modAmp = &mod;  // mix 1 + 1 x -1 = 0: dry only
  c.in.value = 0.3f;
  c.pcf.process();
  EXPECT_FLOAT_EQ(c.pcf.value, 0.3f);
  EXPECT_FLOAT_EQ(c.pcf.mix, 1.0f);

  c.pcf.modAmp = nullptr;
  c.pcf.filterType = 1;
  ConstantSource f(1.0f);
  INPUT fmod;
  fmod.connect(&f);
  c.pcf.modFreq = &fmod;
  c.pcf.process();
  EXPECT_FLOAT_EQ(c.pcf.cached.freq, 600.0f);  // 300 + 300 x 1
}

TEST(Filter, OutputsStayInRange) {
  VCO osc(1.0f, 300.0f, 4);
  PCF pcf;
  pcf.connect(&osc);
  pcf.bypass = 0;
  pcf.q = 30.0f;
  pcf.filterType = 7;
  pcf.gainDb = 40.0f;
  for (int i = 0; i < 20000; ++i) {
    osc.process();
    pcf.process();
    ASSERT_TRUE(pcf.value >= -1.0f && pcf.value <= 1.0f);
  }
}

}  // namespace
