// The remote button panel driven through the button word, against modules of
// a synthesizer built in memory.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/generator.h"
#include "remote/buttons.h"

namespace {

class RemoteButtons : public ::testing::Test {
 protected:
  void SetUp() override {
    remoteButtons = RemoteButtonState{};
    resetRemoteButtons();
    currentGenerator = &synth_;
  }
  void TearDown() override {
    currentGenerator = nullptr;
    buttonWord = 0;
  }

  VCO* addOscillator(float frequency) {
    oscillators_.push_back(std::make_unique<VCO>(1.0f, frequency, 1));
    synth_.oscillators.push_back(oscillators_.back().get());
    return oscillators_.back().get();
  }
  VCA* addAmplifier() {
    amplifiers_.push_back(std::make_unique<VCA>());
    synth_.amplifiers.push_back(amplifiers_.back().get());
    return amplifiers_.back().get();
  }
  PCF* addFilter() {
    filters_.push_back(std::make_unique<PCF>());
    synth_.filters.push_back(filters_.back().get());
    return filters_.back().get();
  }
  SEQUENCER* addSequencer() {
    sequencers_.push_back(std::make_unique<SEQUENCER>());
    synth_.sequencers.push_back(sequencers_.back().get());
    return sequencers_.back().get();
  }

  // Holds `word` for `calls` polls; returns how many of them acted.
  static int hold(int word, int calls = 1) {
    buttonWord = word;
    int acted = 0;
    for (int i = 0; i < calls; ++i) acted += pollButtons();
    return acted;
  }
  // Makes the F buttons' steps 0.01 again, as a released remote does.
  static void release() { hold(0); }

  GENERATOR synth_;
  std::vector<std::unique_ptr<VCO>> oscillators_;
  std::vector<std::unique_ptr<VCA>> amplifiers_;
  std::vector<std::unique_ptr<PCF>> filters_;
  std::vector<std::unique_ptr<SEQUENCER>> sequencers_;
};

TEST_F(RemoteButtons, OscillatorFrequencySweepsFasterWhileHeld) {
  VCO* vco = addOscillator(440.0f);
  release();
  testing::internal::CaptureStdout();
  const float expected[] = {440.01f, 440.025f, 440.0475f};
  for (float f : expected) {
    EXPECT_EQ(hold(kButtonF1), 1);
    EXPECT_NEAR(vco->frequency, f, 1e-4);
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "F1 [0.010000]\nF1 [0.015000]\nF1 [0.022500]\n");

  release();
  hold(kButtonF2, 3);
  EXPECT_NEAR(vco->frequency, 440.0f, 1e-4);

  // F3 and F4 move the amplitude by 0.01 per call; their counts only print.
  release();
  testing::internal::CaptureStdout();
  hold(kButtonF3, 2);
  EXPECT_NEAR(vco->amplitude, 1.02f, 1e-5);
  hold(kButtonF4 | kButtonF3);
  EXPECT_NEAR(vco->amplitude, 1.02f, 1e-5);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "F3 [0.010000]\nF3 [1.010000]\nF3 [2.010000]\nF4 [0.010000]\n");
}

TEST_F(RemoteButtons, FStepsAreZeroUntilTheFirstRelease) {
  VCO* vco = addOscillator(440.0f);
  testing::internal::CaptureStdout();
  EXPECT_EQ(hold(kButtonF1 | kButtonF2, 3), 3);
  EXPECT_EQ(vco->frequency, 440.0f);
  EXPECT_EQ(testing::internal::GetCapturedStdout().substr(0, 28), "F1 [0.000000]\nF2 [0.000000]\n");
  release();
  hold(kButtonF1);
  EXPECT_NEAR(vco->frequency, 440.01f, 1e-4);
  // The start-up reset zeroes the steps again.
  resetRemoteButtons();
  hold(kButtonF1);
  EXPECT_NEAR(vco->frequency, 440.01f, 1e-4);
}

TEST_F(RemoteButtons, SelectionButtonsRepeatAtTheirOwnRates) {
  addOscillator(110.0f);
  // Next kind held from start-up: acts on the 7th and 14th calls only.
  for (int call = 1; call <= 14; ++call) {
    const int acted = hold(kButtonNextKind);
    EXPECT_EQ(acted, call == 7 || call == 14 ? 1 : 0) << call;
  }
  EXPECT_EQ(remoteButtons.kind, kKindSequencer);
  // Through the samplers and back to the oscillators.
  hold(kButtonNextKind, 21);
  EXPECT_EQ(remoteButtons.kind, kKindOscillator);

  // Up: every 13th call; after enough rest a press acts at once.
  hold(0, 12);
  EXPECT_EQ(hold(kButtonUp), 1);
  EXPECT_EQ(hold(kButtonUp, 12), 0);
  EXPECT_EQ(hold(kButtonUp), 1);
  EXPECT_EQ(remoteButtons.waveform, 2);
  // A short rest is not enough to act again.
  hold(0, 5);
  EXPECT_EQ(hold(kButtonUp), 0);
}

TEST_F(RemoteButtons, UpAndDownWalkTheWaveformsAndTheDivider) {
  VCO* vco = addOscillator(110.0f);
  SEQUENCER* seq = addSequencer();
  auto press = [](int button, int from) {
    remoteButtons.waveform = from;
    for (int& r : remoteButtons.repeat) r = 12;  // rested
    remoteButtons.repeat[0] = remoteButtons.repeat[1] = 6;
    hold(button);
    return remoteButtons.waveform;
  };
  const struct {
    int button, from, to;
  } cases[] = {{kButtonUp, 5, 1}, {kButtonUp, 0, 1}, {kButtonUp, 3, 4}, {kButtonDown, 0, 5},
               {kButtonDown, 1, 0}, {kButtonDown, 4, 3}};
  for (const auto& k : cases) {
    EXPECT_EQ(press(k.button, k.from), k.to);
    EXPECT_EQ(vco->waveType, k.to);
  }

  remoteButtons.kind = kKindSequencer;
  press(kButtonUp, 1);
  EXPECT_EQ(seq->divider, 4.0f);
  press(kButtonDown, 1);
  press(kButtonDown, 1);
  EXPECT_EQ(seq->divider, 1.0f);
  EXPECT_EQ(seq->pendingDivider, 2.0f);
  EXPECT_EQ(vco->waveType, 3);  // the oscillator is no longer selected
}

TEST_F(RemoteButtons, AmplifierTimesChangeByBands) {
  VCA* vca = addAmplifier();
  remoteButtons.kind = kKindAmplifier;
  release();

  vca->attackTime = 9.0f;
  hold(kButtonF3);
  EXPECT_EQ(vca->attackTime, 10.0f);
  hold(kButtonF3);
  EXPECT_EQ(vca->attackTime, 20.0f);
  vca->attackTime = 100.0f;
  hold(kButtonF4);
  EXPECT_EQ(vca->attackTime, 0.0f);
  hold(kButtonF4);
  EXPECT_EQ(vca->attackTime, -1.0f);  // no lower bound
  vca->attackTime = 100000.0f;
  hold(kButtonF3 | kButtonF4);
  EXPECT_EQ(vca->attackTime, 100000.0f);

  // F1 and F2 walk the selector 0 attack, 1 decay, 2 sustain, 3 release.
  hold(kButtonF1);
  EXPECT_EQ(remoteButtons.amplifierParam, 3);
  vca->releaseTime = 50.0f;
  hold(kButtonF3);
  EXPECT_EQ(vca->releaseTime, 60.0f);
  hold(kButtonF2);
  EXPECT_EQ(remoteButtons.amplifierParam, 0);
  hold(kButtonF2, 2);
  hold(kButtonF4);
  EXPECT_EQ(vca->sustainLevel, 0.0f);
  hold(kButtonF3);
  EXPECT_EQ(vca->sustainLevel, 1.0f);
  hold(kButtonF1);
  hold(kButtonF4);
  EXPECT_EQ(vca->decayTime, 900.0f);
  EXPECT_EQ(vca->attackTime, 100000.0f);
}

TEST_F(RemoteButtons, FilterSelectorPicksCutoffQOrGain) {
  PCF* pcf = addFilter();
  remoteButtons.kind = kKindFilter;
  release();
  hold(kButtonF3);
  EXPECT_EQ(pcf->cutoff, 400);
  hold(kButtonF2);
  hold(kButtonF3);
  EXPECT_EQ(pcf->q, 0.5f);
  hold(kButtonF2);
  hold(kButtonF3);
  EXPECT_EQ(pcf->gainDb, 0.5f);
  // 3 and 4 select nothing, F4 does nothing to a filter.
  for (int sel : {3, 4}) {
    hold(kButtonF2);
    EXPECT_EQ(remoteButtons.filterParam, sel);
    hold(kButtonF3);
    hold(kButtonF4);
  }
  hold(kButtonF2);
  EXPECT_EQ(remoteButtons.filterParam, 0);
  hold(kButtonF1);
  EXPECT_EQ(remoteButtons.filterParam, 4);
  EXPECT_EQ(pcf->cutoff, 400);
  EXPECT_EQ(pcf->q, 0.5f);
  EXPECT_EQ(pcf->gainDb, 0.5f);
}

TEST_F(RemoteButtons, SequencerCursorWrapsAndEditsTheCurrentPattern) {
  SEQUENCER* seq = addSequencer();
  remoteButtons.kind = kKindSequencer;
  release();
  hold(kButtonF3);
  EXPECT_EQ(remoteButtons.cursor, 31);
  hold(kButtonF4);
  EXPECT_EQ(remoteButtons.cursor, 0);
  hold(kButtonF4, 3);
  seq->pattern = 5;
  hold(kButtonF2, 2);
  hold(kButtonF1);
  EXPECT_EQ(seq->stepNote[5][3], 11);
  EXPECT_EQ(seq->stepNote[0][3], 10);

  // Whatever the step count and pattern hold, the cursor and the edits stay
  // inside the grid.
  for (int count : {0, -4, 1, 64, 200}) {
    seq->stepCount = count;
    for (int i = 0; i < 70; ++i) {
      hold(i % 3 == 0 ? kButtonF3 : kButtonF4 | kButtonF2);
      EXPECT_GE(remoteButtons.cursor, 0);
      EXPECT_LT(remoteButtons.cursor, SEQUENCER::kSteps);
    }
  }
  seq->pattern = 90;
  hold(kButtonF2, 3);
  seq->pattern = -1;
  hold(kButtonF1, 3);
}

TEST_F(RemoteButtons, NextModuleWalksTheListAndStaleIndicesWrap) {
  VCO* a = addOscillator(100.0f);
  VCO* b = addOscillator(200.0f);
  VCO* c = addOscillator(300.0f);
  release();
  for (int expected : {1, 2, 0, 1}) {
    hold(kButtonNextModule, 7);
    EXPECT_EQ(remoteButtons.index[kKindOscillator], expected);
  }
  release();
  hold(kButtonF1);
  EXPECT_NEAR(b->frequency, 200.01f, 1e-4);

  // A reload leaves the index beyond a shorter list: the first module acts.
  remoteButtons.index[kKindOscillator] = 2;
  synth_.oscillators.pop_back();
  release();
  hold(kButtonF1);
  EXPECT_NEAR(a->frequency, 100.01f, 1e-4);
  EXPECT_EQ(remoteButtons.index[kKindOscillator], 0);
  EXPECT_EQ(c->frequency, 300.0f);

  // The start-up reset selects the first oscillator and amplifier again, and
  // keeps the other selections.
  remoteButtons.index[kKindOscillator] = 1;
  remoteButtons.index[kKindFilter] = 1;
  remoteButtons.kind = kKindFilter;
  buttonWord = 5;
  resetRemoteButtons();
  EXPECT_EQ(buttonWord.load(), 0);
  EXPECT_EQ(remoteButtons.index[kKindOscillator], 0);
  EXPECT_EQ(remoteButtons.index[kKindFilter], 1);
  EXPECT_EQ(remoteButtons.kind, kKindFilter);
}

TEST_F(RemoteButtons, EmptyListsAndNoSynthesizerAreSafe) {
  for (GENERATOR* g : {&synth_, static_cast<GENERATOR*>(nullptr)}) {
    currentGenerator = g;
    for (int kind = 0; kind < kKindCount; ++kind) {
      remoteButtons.kind = kind;
      remoteButtons.index[kind] = 3;
      EXPECT_EQ(hold(0xFF, 14), 14);
    }
  }
}

}  // namespace
