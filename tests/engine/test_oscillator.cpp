// Oscillator: pitch of each wave, pitch tracking, sync, power, modulation and
// the output clamp.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <limits>

#include "engine_test_util.h"

namespace {

// Samples per trip of the phase from -1 to 1.
double tripSteps(double freq) { return 2.0 * 44100.0 / freq; }

double cents(double measured, double expected) { return 1200.0 * std::log2(measured / expected); }

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
    EXPECT_NEAR(c.period, c.wave == 1 || c.wave == 4 ? 400.9 : 801.8, 0.05);
    for (float v : out) ASSERT_TRUE(v >= -1.0f && v <= 1.0f) << "wave " << c.wave;
  }
}

// Every note of the keyboard's eight octaves, on every pitched wave, played
// as a keyboard drives an oscillator: within a cent of the note table.
TEST(Oscillator, InTuneOverTheKeyboardRange) {
  NoteTableFilled table;
  // Sine and square sound at the tracked frequency, the others an octave
  // lower: FREQ 44 and 88 put each on the note.
  struct Case {
    int wave;
    float freq;
  };
  for (Case c : {Case{1, 44.0f}, Case{2, 88.0f}, Case{3, 88.0f}, Case{4, 44.0f}, Case{6, 88.0f}}) {
    double worst = 0.0;
    for (int note = 0; note < 8 * 12; ++note) {
      ConstantSource pitch(static_cast<float>(noteTable[note]));
      VCO osc = makeOsc(c.wave, c.freq);
      osc.connect(&pitch);
      const double measured = 44100.0 / meanPeriod(run(osc, 44100));
      const double off = cents(measured, noteTable[note]);
      EXPECT_LT(std::fabs(off), 1.0) << "wave " << c.wave << " note " << note << ": " << measured << " Hz";
      worst = std::max(worst, std::fabs(off));
    }
    std::printf("wave %d: worst %.3f cents over notes 0-95\n", c.wave, worst);
  }
}

// A slow vibrato moves the period smoothly, not in whole-sample jumps.
TEST(Oscillator, VibratoChangesThePeriodSmoothly) {
  VCO lfo = makeOsc(1, 3.0f, 0.01f);  // +-1 % of the rate, 3 times a second
  INPUT mod;
  mod.connect(&lfo);
  VCO saw = makeOsc(3, 880.0f);  // 440 Hz: 100.2 samples
  saw.modFreq = &mod;
  std::vector<float> out;
  for (int i = 0; i < 44100; ++i) {
    lfo.process();
    saw.process();
    out.push_back(saw.value);
  }
  const std::vector<double> ups = risingCrossings(out);
  ASSERT_GT(ups.size(), 400u);
  double shortest = 1e9, longest = 0, biggestStep = 0, previous = 0;
  for (size_t k = 2; k < ups.size(); ++k) {
    const double period = ups[k] - ups[k - 1];
    shortest = std::min(shortest, period);
    longest = std::max(longest, period);
    if (k > 2) biggestStep = std::max(biggestStep, std::fabs(period - previous));
    previous = period;
  }
  EXPECT_NEAR(shortest, 100.227 / 1.01, 0.05);
  EXPECT_NEAR(longest, 100.227 / 0.99, 0.05);
  EXPECT_LT(biggestStep, 0.05);
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
  EXPECT_NEAR(meanPeriod(run(follow, 44100)), tripSteps(220) / 2, 0.01);
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

// A modulation that is not a number gives silence, not a stuck oscillator:
// it plays in tune again as soon as the modulation is sound.
TEST(Oscillator, NotANumberIsSilenceAndPassesAway) {
  for (bool onRate : {false, true}) {
    ConstantSource m(std::nanf(""));
    INPUT mod;
    mod.connect(&m);
    VCO osc = makeOsc(1);
    (onRate ? osc.modFreq : osc.modAmp) = &mod;
    auto out = run(osc, 100);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float v) { return v == 0.0f; })) << onRate;
    m.value = 0.0f;
    EXPECT_NEAR(meanPeriod(run(osc, 44100)), tripSteps(110) / 2, 0.05) << onRate;
  }
  // An infinite rate too; a very high finite one keeps the phase in range.
  for (float m0 : {std::numeric_limits<float>::infinity(), 1e30f, 1e6f}) {
    ConstantSource m(m0);
    INPUT mod;
    mod.connect(&m);
    VCO osc = makeOsc(3);
    osc.modFreq = &mod;
    for (float v : run(osc, 50)) ASSERT_TRUE(v >= -1.0f && v <= 1.0f) << m0;
    EXPECT_TRUE(osc.phase >= -1.0f && osc.phase <= 1.0f) << m0;
  }
}

}  // namespace
