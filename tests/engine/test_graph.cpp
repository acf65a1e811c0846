// The container: lookups, note table, stepping order and the master output.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine_test_util.h"

namespace {

TEST(Graph, NoteTableValues) {
  fillNoteTable();
  EXPECT_NEAR(noteTable[0], 15.4339, 1e-4);
  EXPECT_NEAR(noteTable[46], 220.0, 1e-6);
  EXPECT_NEAR(noteTable[49], 261.6256, 1e-4);
  EXPECT_NEAR(noteTable[58], 440.0, 1e-6);
  EXPECT_NEAR(noteTable[70], 880.0, 1e-5);
  EXPECT_NEAR(noteTable[1999] / 2.16e51, 1.0, 0.01);
  EXPECT_EQ(noteFrequency(-1), 0.0);
  EXPECT_EQ(noteFrequency(2000), 0.0);
  EXPECT_EQ(noteFrequency(58), noteTable[58]);
}

TEST(Graph, LookupsAreExactAndFirstInListOrder) {
  GENERATOR g;
  auto* a = new VCO(1.0f, 100.0f, 1);
  auto* b = new VCO(1.0f, 200.0f, 1);
  a->setName("VCO_1");
  b->setName("VCO_1");
  g.oscillators.insert(g.oscillators.begin(), a);
  g.oscillators.insert(g.oscillators.begin(), b);  // declared later, found first
  EXPECT_EQ(g.findOscillator("VCO_1"), b);
  EXPECT_EQ(g.findOscillator("vco_1"), nullptr);
  EXPECT_EQ(g.findOscillator("VCO_"), nullptr);
  EXPECT_EQ(g.findMixer("MIXER_4"), nullptr);

  EXPECT_EQ(g.findKeyboard("KEY_1"), nullptr);
  auto* k1 = new KEYBOARD;
  k1->setName("KEY_1");
  g.keyboards.push_back(k1);
  EXPECT_EQ(g.findKeyboard("KEY_9"), k1);  // the only keyboard, whatever the name
  auto* k2 = new KEYBOARD;
  k2->setName("KEY_2");
  g.keyboards.push_back(k2);
  EXPECT_EQ(g.findKeyboard("KEY_9"), nullptr);
  EXPECT_EQ(g.findKeyboard("KEY_2"), k2);
  EXPECT_EQ(g.moduleCount(), 4u);
}

TEST(Graph, EmptyOrMasterlessSynthRendersSilence) {
  GENERATOR g;
  connectMasterInput(g);
  EXPECT_EQ(stepFrame(g), 0.0f);
  auto* osc = new VCO(1.0f, 440.0f, 3);
  auto* mix = new MIXER;
  mix->setName("MIXER_2");
  mix->addChannel(osc, -1);
  g.oscillators.push_back(osc);
  g.mixers.push_back(mix);
  connectMasterInput(g);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(stepFrame(g), 0.0f);
}

TEST(Graph, MasterIsMixer4OfTheCurrentFrame) {
  GENERATOR g;
  auto* osc = new VCO(1.0f, 441.0f, 3);
  osc->phaseOffset = 0.0f;
  auto* mix = new MIXER;
  mix->setName("MIXER_4");
  mix->addChannel(osc, -1);
  g.oscillators.push_back(osc);
  g.mixers.push_back(mix);
  connectMasterInput(g);
  EXPECT_FLOAT_EQ(stepFrame(g), 0.01f);  // oscillators are stepped before mixers
  EXPECT_FLOAT_EQ(stepFrame(g), 0.02f);
}

TEST(Graph, LaterKindsAreHeardOneFrameLate) {
  // The master mixer hears an amplifier (stepped after mixers) a frame late.
  GENERATOR g;
  ConstantSource one(1.0f);
  auto* vca = new VCA;  // no gate: constant 1.0
  vca->connect(&one);
  auto* mix = new MIXER;
  mix->setName("MIXER_4");
  mix->addChannel(vca, -1);
  g.amplifiers.push_back(vca);
  g.mixers.push_back(mix);
  connectMasterInput(g);
  EXPECT_EQ(stepFrame(g), 0.0f);
  EXPECT_EQ(stepFrame(g), 1.0f);
}

TEST(Graph, ListOrderDecidesWhoSeesWhomWithinAKind) {
  // A declared first, B second: B is at the front and stepped first, so B
  // hears A's previous frame while A hears B's current one.
  GENERATOR g;
  auto* a = new VCO(0.5f, 441.0f, 3);
  auto* b = new VCO(0.5f, 882.0f, 3);
  a->phaseOffset = b->phaseOffset = 0.0f;
  g.oscillators.insert(g.oscillators.begin(), a);
  g.oscillators.insert(g.oscillators.begin(), b);
  INPUT* bFromA = new INPUT;
  bFromA->connect(a);
  INPUT* aFromB = new INPUT;
  aFromB->connect(b);
  b->modAmp = bFromA;
  a->modAmp = aFromB;
  stepFrame(g);
  // Frame 1: B sees A = 0 -> B = 0.5 x 0.02; A sees B's 0.01 -> A = 0.505 x 0.01.
  EXPECT_FLOAT_EQ(b->value, 0.01f);
  EXPECT_FLOAT_EQ(a->value, 0.505f * 0.01f);
}

TEST(Graph, GatesAndSyncReachConsumersInTheSameFrame) {
  GENERATOR g;
  fillNoteTable();
  auto* key = new KEYBOARD;
  auto* osc = new VCO(1.0f, 441.0f, 3);
  osc->connectSync(key);
  g.keyboards.push_back(key);
  g.oscillators.push_back(osc);
  for (int i = 0; i < 50; ++i) stepFrame(g);
  key->press(10, 1);
  stepFrame(g);
  EXPECT_FLOAT_EQ(osc->phase, 441.0f / 44100.0f);
}

// A source gone bad (not a number, infinite) reaching a filter's cut-off, an
// amplifier's input and a mixer: each gives silence, not a stuck output, and
// plays again once the source is sound (the amplifier at its next gate).
TEST(Graph, BrokenValuesAreSilenceAndPassAway) {
  for (float broken : {std::nanf(""), std::numeric_limits<float>::infinity()}) {
    ConstantSource signal(0.5f), bad(broken);
    INPUT mod;
    mod.connect(&bad);
    PCF pcf;
    pcf.connect(&signal);
    pcf.bypass = 0;
    pcf.filterType = 1;
    pcf.modFreq = &mod;
    TestGate gate;
    gate.gateOn();
    VCA vca;
    vca.attackTime = 1.0f;
    vca.connect(&bad);
    vca.connectGate(&gate);
    MIXER mix;
    mix.addChannel(&bad, -1);
    for (int i = 0; i < 50; ++i) {
      pcf.process();
      vca.process();
      mix.process();
      ASSERT_EQ(pcf.value, 0.0f) << broken;
      ASSERT_EQ(vca.value, 0.0f) << broken;
      ASSERT_EQ(mix.value, 0.0f) << broken;
    }
    bad.value = 0.0f;  // the cut-off unmodulated again
    run(pcf, 2000);
    EXPECT_NEAR(pcf.value, 0.5f * 2.0f, 0.01f) << broken;  // low-pass at DC: input x (1 + level)

    vca.connect(&signal);
    gate.gateOff();
    vca.process();
    gate.gateOn();
    EXPECT_NEAR(run(vca, 100).back(), 0.5f, 1e-3f) << broken;  // 1 ms attack: full level
  }
}

TEST(Graph, DelayPassesItsInputThroughAndContainerIsNeverStepped) {
  ConstantSource src(0.3f);
  SFX_DELAY delay;
  delay.process();
  EXPECT_EQ(delay.value, 0.0f);
  delay.connect(&src);
  delay.process();
  EXPECT_FLOAT_EQ(delay.value, 0.3f);

  GENERATOR g;
  g.value = 5.0f;
  EXPECT_EQ(g.process(), 1);
  EXPECT_EQ(g.value, 0.0f);
}

}  // namespace
