// The remote button panel driven through the button word, against modules of
// a synthesizer built in memory.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <utility>

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

  template <typename Module, typename List, typename... Args>
  Module* add(List& list, Args... args) {
    owned_.push_back(std::make_shared<Module>(args...));
    list.push_back(static_cast<Module*>(owned_.back().get()));
    return list.back();
  }
  VCO* addOscillator(float frequency) { return add<VCO>(synth_.oscillators, 1.0f, frequency, 1); }

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
  std::vector<std::shared_ptr<void>> owned_;
};

TEST_F(RemoteButtons, OscillatorFrequencySweepsFasterWhileHeld) {
  VCO* vco = addOscillator(440.0f);
  // Right after start-up the steps are 0: nothing moves until a release.
  EXPECT_EQ(hold(kButtonF1 | kButtonF2, 3), 3);
  EXPECT_EQ(vco->frequency, 440.0f);
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
  resetRemoteButtons();  // the start-up reset zeroes the steps again
  hold(kButtonF1 | kButtonF2);
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
  SEQUENCER* seq = add<SEQUENCER>(synth_.sequencers);
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

// Presses a button once, then checks a value: one row per press.
struct Press {
  int word;
  std::function<float()> value;
  float expected;
};

void runPresses(const std::vector<Press>& presses) {
  for (size_t i = 0; i < presses.size(); ++i) {
    buttonWord = presses[i].word;
    pollButtons();
    EXPECT_EQ(presses[i].value(), presses[i].expected) << "press " << i;
  }
}

TEST_F(RemoteButtons, AmplifierTimesChangeByBandsAndTheSelectorWraps) {
  VCA* vca = add<VCA>(synth_.amplifiers);
  remoteButtons.kind = kKindAmplifier;
  release();
  vca->attackTime = 9.0f;
  const auto attack = [&] { return float(vca->attackTime); };
  const auto selector = [] { return float(remoteButtons.amplifierParam); };
  runPresses({{kButtonF3, attack, 10}, {kButtonF3, attack, 20}, {kButtonF3, attack, 30},
              {kButtonF4, attack, 20}, {kButtonF4, attack, 10}, {kButtonF4, attack, 0},
              {kButtonF4, attack, 0},  // held at 0, as the panel holds it
              {kButtonF1, selector, 3}, {kButtonF3, [&] { return float(vca->releaseTime); }, 1100},
              {kButtonF2, selector, 0}, {kButtonF2, selector, 1}, {kButtonF4, [&] { return float(vca->decayTime); }, 900},
              {kButtonF2, selector, 2}, {kButtonF4, [&] { return float(vca->sustainLevel); }, 0},
              {kButtonF3, [&] { return float(vca->sustainLevel); }, 1}, {kButtonF3, attack, 0}});
  remoteButtons.amplifierParam = 0;
  vca->attackTime = 100.0f;
  runPresses({{kButtonF4, attack, 0}});
  vca->attackTime = 100000.0f;
  runPresses({{kButtonF3, attack, 100000}, {kButtonF4, attack, 100000}});
}

TEST_F(RemoteButtons, FilterSelectorPicksCutoffQOrGain) {
  PCF* pcf = add<PCF>(synth_.filters);
  remoteButtons.kind = kKindFilter;
  release();
  const auto selector = [] { return float(remoteButtons.filterParam); };
  const auto sum = [&] { return float(pcf->cutoff) + pcf->q * 10 + pcf->gainDb * 100; };  // 300 + 10 + 100
  runPresses({{kButtonF3, sum, 510},   {kButtonF4, sum, 510},      {kButtonF2, selector, 1}, {kButtonF3, sum, 505},
              {kButtonF2, selector, 2}, {kButtonF3, sum, 455},      {kButtonF2, selector, 3}, {kButtonF3 | kButtonF4, sum, 455},
              {kButtonF2, selector, 4}, {kButtonF3 | kButtonF4, sum, 455}, {kButtonF2, selector, 0},
              {kButtonF1, selector, 4}});
}

TEST_F(RemoteButtons, SequencerCursorWrapsAndEditsTheCurrentPattern) {
  SEQUENCER* seq = add<SEQUENCER>(synth_.sequencers);
  remoteButtons.kind = kKindSequencer;
  seq->pattern = 5;
  const auto cursor = [] { return float(remoteButtons.cursor); };
  const auto note = [&] { return float(seq->stepNote[5][31]); };
  runPresses({{kButtonF3, cursor, 31}, {kButtonF2, note, 11}, {kButtonF1, note, 10}, {kButtonF1, note, 9},
              {kButtonF4, cursor, 0},  {kButtonF2, [&] { return float(seq->stepNote[0][0]); }, 10}});

  // Whatever the step count and pattern hold, the cursor and the edits stay
  // inside the grid.
  for (int count : {0, -4, 1, 64, 200}) {
    seq->stepCount = count;
    seq->pattern = count;
    for (int i = 0; i < 70; ++i) {
      hold(i % 3 == 0 ? kButtonF3 | kButtonF1 : kButtonF4 | kButtonF2);
      EXPECT_GE(remoteButtons.cursor, 0);
      EXPECT_LT(remoteButtons.cursor, SEQUENCER::kSteps);
    }
  }
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

// A button held for minutes (a remote box that vanished with it down) keeps
// every value inside the range its panel allows, and finite.
TEST_F(RemoteButtons, LongHoldsStayInsideThePanelsRanges) {
  VCO* vco = addOscillator(440.0f);
  VCA* vca = add<VCA>(synth_.amplifiers);
  PCF* pcf = add<PCF>(synth_.filters);
  SEQUENCER* seq = add<SEQUENCER>(synth_.sequencers);
  // Each case starts its value somewhere inside the range.
  const struct {
    int kind, param, word;
    Shared<float>* field;
    float start, bound;
  } cases[] = {
      {kKindOscillator, 0, kButtonF1, &vco->frequency, 440.0f, 22050.0f},
      {kKindOscillator, 0, kButtonF2, &vco->frequency, 440.0f, 0.001f},
      {kKindOscillator, 0, kButtonF3, &vco->amplitude, 22000.0f, 22050.0f},
      {kKindOscillator, 0, kButtonF4, &vco->amplitude, 1.0f, 0.0f},
      {kKindAmplifier, 1, kButtonF3, &vca->decayTime, 5.0f, 100000.0f},
      {kKindAmplifier, 1, kButtonF4, &vca->decayTime, 99999.0f, 0.0f},
      {kKindFilter, 1, kButtonF3, &pcf->q, 2.0f, 0.001f},
      {kKindFilter, 2, kButtonF3, &pcf->gainDb, 6.0f, -96.0f},
      {kKindSequencer, 0, kButtonUp, &seq->divider, 4.0f, 44100.0f},
      {kKindSequencer, 0, kButtonDown, &seq->divider, 4.0f, 1.0f / 1024.0f},
  };
  auto holdLong = [](int word) {
    testing::internal::CaptureStdout();
    hold(word, 30000);  // five minutes of calls
    testing::internal::GetCapturedStdout();
  };
  for (const auto& k : cases) {
    release();
    remoteButtons.kind = k.kind;
    remoteButtons.amplifierParam = remoteButtons.filterParam = k.param;
    *k.field = k.start;
    holdLong(k.word);
    EXPECT_EQ(k.field->load(), k.bound) << "case " << &k - cases;
    EXPECT_TRUE(std::isfinite(remoteButtons.f1Step) && std::isfinite(remoteButtons.f2Step));
  }
  // The integer fields: the cut-off and the notes of the sequencer.
  remoteButtons.kind = kKindFilter;
  remoteButtons.filterParam = 0;
  holdLong(kButtonF3);
  EXPECT_EQ(pcf->cutoff, 12000);
  remoteButtons.kind = kKindSequencer;
  for (const auto& [word, bound] : {std::pair{kButtonF1, 0}, std::pair{kButtonF2, 12}}) {
    holdLong(word);
    EXPECT_EQ(seq->stepNote[0][remoteButtons.cursor], bound);
  }
  // A value a patch set beyond the range is not pushed further out.
  release();
  remoteButtons.kind = kKindFilter;
  remoteButtons.filterParam = 0;
  pcf->cutoff = 15000;
  testing::internal::CaptureStdout();
  hold(kButtonF3, 3);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(pcf->cutoff, 15000);
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
