// Oscillator: pitch of each wave, pitch tracking, sync, power, modulation and
// the output clamp.

#include <gtest/gtest.h>

#include <algorithm>

#include "engine_test_util.h"

namespace {

// Steps per trip of the phase from -1 to 1: the overshoot past 1 is dropped
// at the wrap, so a trip lasts a whole number of steps.
double tripSteps(double freq) { return std::floor(2.0 * 44100.0 / freq) + 1.0; }

VCO makeOsc(int wave, float freq = 110.0f, float amp = 1.0f) {
  VCO osc(amp, freq, wave);
  osc.phaseOffset = 0.0f;
  return osc;
}

TEST(Oscillator, PeriodOfEachWaveAt110Hz) {
  // The phase spans two sine turns per trip: sine and square sound at F, the
  // ramps at F / 2.
  struct Case {
    int wave;
    double period;
  };
  for (Case c : {Case{1, tripSteps(110) / 2}, Case{2, tripSteps(110)}, Case{3, tripSteps(110)},
                 Case{4, tripSteps(110) / 2}}) {
    VCO osc = makeOsc(c.wave);
    auto out = run(osc, 44100);
    EXPECT_NEAR(meanPeriod(out), c.period, 0.05) << "wave " << c.wave;
    EXPECT_NEAR(c.period, c.wave == 1 || c.wave == 4 ? 400.9 : 801.8, 0.5);
    for (float v : out) ASSERT_TRUE(v >= -1.0f && v <= 1.0f) << "wave " << c.wave;
  }
}

TEST(Oscillator, SquareHasDeadBandAndPulseFollowsWidth) {
  VCO square = makeOsc(4);
  auto out = run(square, 4410);
  const auto zeros = std::count(out.begin(), out.end(), 0.0f);
  const auto highs = std::count(out.begin(), out.end(), 1.0f);
  EXPECT_GT(zeros, 1000);  // |sin| < 0.5 for a third of each turn
  EXPECT_NEAR(static_cast<double>(highs) / out.size(), 1.0 / 3.0, 0.02);

  VCO pulse = makeOsc(6);
  pulse.pulseWidth = 0.1f;
  out = run(pulse, 44100);
  const auto high = std::count(out.begin(), out.end(), 1.0f);
  EXPECT_NEAR(static_cast<double>(high) / out.size(), 0.55, 0.01);

  VCO offset = makeOsc(6);
  offset.phaseOffset = 90.0f;  // a whole-number offset keeps the pulse low
  out = run(offset, 1000);
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float v) { return v == -1.0f; }));
}

TEST(Oscillator, UnknownWaveIsSilent) {
  for (int wave : {0, 7, -3}) {
    VCO osc = makeOsc(wave);
    auto out = run(osc, 200);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float v) { return v == 0.0f; })) << wave;
  }
}

TEST(Oscillator, PitchInputScalesByFrequencyOver44) {
  NoteTableFilled table;
  ConstantSource pitch(220.0f);
  VCO follow = makeOsc(1, 44.0f);
  follow.connect(&pitch);
  EXPECT_NEAR(meanPeriod(run(follow, 44100)), tripSteps(220) / 2, 0.05);
  EXPECT_FLOAT_EQ(follow.trackedFrequency, 220.0f);

  VCO deflt = makeOsc(1, 110.0f);  // 2.5 times the input
  deflt.connect(&pitch);
  EXPECT_NEAR(meanPeriod(run(deflt, 44100)), tripSteps(550) / 2, 0.05);
}

TEST(Oscillator, SyncResetsPhaseBeforeTheAdvance) {
  VCO osc = makeOsc(3, 441.0f);
  OUTPUT_SYNC sync;
  osc.connectSync(&sync);
  run(osc, 37);
  sync.fired = 1;
  osc.process();
  EXPECT_FLOAT_EQ(osc.phase, 441.0f / 44100.0f);
  EXPECT_FLOAT_EQ(osc.value, 441.0f / 44100.0f);
}

TEST(Oscillator, PowerOffGivesZeroAndFreezesPhase) {
  VCO osc = makeOsc(3, 500.0f);
  run(osc, 50);
  const float held = osc.phase;
  osc.power = 0;
  auto out = run(osc, 100);
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float v) { return v == 0.0f; }));
  EXPECT_EQ(osc.phase, held);
  osc.power = 1;
  osc.process();
  EXPECT_FLOAT_EQ(osc.phase, held + 500.0f / 44100.0f);
}

TEST(Oscillator, AmplitudeLimitedAboveOneButNotBelowZero) {
  VCO loud = makeOsc(3, 110.0f, 3.0f);
  auto out = run(loud, 10);
  EXPECT_FLOAT_EQ(out[9], 10 * 110.0f / 44100.0f);  // A limited to 1, not 3 x phase

  // Through modAmp the amplitude can go negative: the ramp is inverted.
  ConstantSource m(-3.0f);
  INPUT mod;
  mod.connect(&m);
  VCO inverted = makeOsc(3, 441.0f, 0.5f);
  inverted.modAmp = &mod;
  inverted.process();  // phase 0.01 with A = 0.5 - 1.5 = -1.0
  EXPECT_FLOAT_EQ(inverted.value, -0.01f);
}

TEST(Oscillator, NegativeFrequencyRunsPhaseDownWithoutWrap) {
  ConstantSource m(-2.0f);
  INPUT mod;
  mod.connect(&m);
  VCO tri = makeOsc(2, 4410.0f);
  tri.modFreq = &mod;
  auto out = run(tri, 30);
  EXPECT_LT(tri.phase, -1.0f);
  EXPECT_FLOAT_EQ(out.back(), -1.0f);  // the triangle gives -A below -1
}

TEST(Oscillator, RelativeModulationIsNotStored) {
  ConstantSource m(1.0f);
  INPUT mod;
  mod.connect(&m);
  VCO osc = makeOsc(1, 100.0f);
  osc.modFreq = &mod;
  EXPECT_NEAR(meanPeriod(run(osc, 44100)), tripSteps(200) / 2, 0.05);
  EXPECT_FLOAT_EQ(osc.frequency, 100.0f);
}

TEST(Oscillator, NoiseRedrawsOncePerTripAndHoldsAtZeroAmplitude) {
  seedRandom(7);
  VCO noise = makeOsc(5, 4410.0f, 0.5f);
  auto out = run(noise, 4410);
  double peak = 0;
  int magnitudeChanges = 0;
  for (size_t i = 1; i < out.size(); ++i) {
    peak = std::max(peak, static_cast<double>(std::fabs(out[i])));
    if (std::fabs(out[i]) != std::fabs(out[i - 1])) ++magnitudeChanges;
  }
  EXPECT_LE(peak, 0.5 + 1e-6);
  EXPECT_GT(peak, 0.0);
  // 4410 Hz: a trip of 20 samples, so about 220 redraws in 4410 steps.
  EXPECT_NEAR(magnitudeChanges, 220, 5);

  noise.amplitude = 0.0f;
  const float last = noise.value;
  out = run(noise, 100);
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [&](float v) { return v == last; }));
}

TEST(Oscillator, NotANumberClampsToMinusOne) {
  ConstantSource m(std::nanf(""));
  INPUT mod;
  mod.connect(&m);
  VCO osc = makeOsc(1);
  osc.modAmp = &mod;
  osc.process();
  EXPECT_EQ(osc.value, -1.0f);
}

}  // namespace
