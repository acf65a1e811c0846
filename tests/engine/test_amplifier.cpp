// Amplifier: envelope ramps, hold, release, invert and the bypass rule.

#include <gtest/gtest.h>

#include "engine_test_util.h"

namespace {

struct Voice {
  ConstantSource in{1.0f};
  TestGate gate;
  VCA vca;
  Voice() {
    vca.connect(&in);
    vca.connectGate(&gate);
  }
};

TEST(Amplifier, NoSignalInputChangesNothing) {
  VCA vca;
  vca.value = 0.25f;
  EXPECT_EQ(vca.process(), 0);
  EXPECT_EQ(vca.value, 0.25f);
}

TEST(Amplifier, NoGateGivesConstantOneWhateverTheInput) {
  ConstantSource in(0.3f);
  VCA vca;
  vca.connect(&in);
  for (float v : run(vca, 100)) ASSERT_EQ(v, 1.0f);
  EXPECT_EQ(vca.bypass, 1);
}

TEST(Amplifier, DefaultAttackRampsToOneInASecondThenHolds) {
  Voice v;
  v.gate.gateOn();
  auto out = run(v.vca, 44100 + 2000);
  EXPECT_EQ(v.vca.bypass, 0);
  EXPECT_NEAR(out[441], 441 / 44100.0, 1e-4);   // 1/44.1 per millisecond
  EXPECT_NEAR(out[22050], 0.5, 1e-3);
  EXPECT_NEAR(out[44099], 1.0, 2e-3);
  EXPECT_NEAR(out.back(), 1.0, 1e-6);           // hold at attackLevel x sustain
  for (size_t i = 1; i < 44000; ++i) ASSERT_GT(out[i], out[i - 1]);
}

TEST(Amplifier, ZeroSustainDecaysLinearlyToSilence) {
  Voice v;
  v.vca.sustainLevel = 0.0f;
  v.gate.gateOn();
  auto out = run(v.vca, 3 * 44100);
  EXPECT_NEAR(out[44100 + 22050], 0.5, 3e-3);
  EXPECT_NEAR(out[2 * 44100 - 10], 0.0, 3e-3);
  EXPECT_NEAR(out.back(), 0.0, 3e-3);  // after the decay the output stays near 0
}

TEST(Amplifier, HoldDecaysTowardSustainFromAbove) {
  Voice v;
  v.vca.attackTime = 10.0f;
  v.vca.sustainLevel = 0.5f;
  v.gate.gateOn();
  auto out = run(v.vca, 441 + 20);
  // The attack ends near 1.0, then the hold lowers the previous output by
  // 1/1000 per step while it is above the sustain level.
  EXPECT_GT(out[445], 0.98f);
  EXPECT_NEAR(out[450] / out[449], 0.999, 1e-6);
  EXPECT_NEAR(v.vca.lastLevel, out.back(), 1e-7);
}

TEST(Amplifier, ReleaseFallsLinearlyFromLastLevel) {
  Voice v;
  v.vca.attackTime = 1000.0f;
  v.gate.gateOn();
  run(v.vca, static_cast<int>(0.6 * 44100));  // level about 0.6
  const float start = v.vca.lastLevel;
  EXPECT_NEAR(start, 0.6, 1e-3);
  v.gate.gateOff();
  auto out = run(v.vca, 44100 + 10);
  EXPECT_NEAR(out[22049], start * 0.5, 2e-3);
  EXPECT_NEAR(out[44098], 0.0, 2e-3);
  for (size_t i = 1; i < 44000; ++i) ASSERT_LT(out[i], out[i - 1]);
}

TEST(Amplifier, ZeroReleaseMultipliesThePreviousOutput) {
  Voice v;
  v.in.value = 0.5f;
  v.vca.releaseTime = 0.0f;
  v.vca.value = 0.8f;
  v.gate.gateOff();
  v.vca.process();
  EXPECT_FLOAT_EQ(v.vca.value, 0.4f);
  v.vca.process();
  EXPECT_FLOAT_EQ(v.vca.value, 0.2f);
}

TEST(Amplifier, InvertTurnsTheAttackUpsideDown) {
  Voice v;
  v.vca.invert = 1;
  v.gate.gateOn();
  auto out = run(v.vca, 44000);
  EXPECT_NEAR(out[0], 1.0, 1e-6);
  EXPECT_NEAR(out[22050], 0.5, 1e-3);
  EXPECT_LT(out.back(), 0.01);
}

TEST(Amplifier, GateOfTwoCountsAsClosedAndReopeningRestartsAttack) {
  Voice v;
  v.gate.gateOn();
  run(v.vca, 1000);
  v.gate.gate = 2;
  v.vca.process();
  EXPECT_EQ(v.vca.envClock, 0.0f);
  v.gate.gate = 1;
  v.vca.process();
  EXPECT_EQ(v.vca.value, 0.0f);  // t = 0 at the first attack step
}

}  // namespace
