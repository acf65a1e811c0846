// The module panels driven through widget messages, as the event loop will
// drive them, checked on the module fields and the labels afterwards.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "support/files.h"
#include "synthgui/panel_test_util.h"

TEST(OscillatorPanel, PowerWaveAndKnobs) {
  VCO vco(0.8f, 50.0f, 1);
  vco.setName("VCO_7");
  VCO_GUI panel(&vco, 0, 0, "3");
  EXPECT_STREQ(panel.image, "VCO_3");
  EXPECT_EQ(labelText(panel, "label_NAME"), "VCO_7");
  EXPECT_EQ(labelText(panel, "LABEL_VOLUME"), "0.800");

  // A flag button shows the inverse of its flag; a click sets the flag to the
  // button's state from before the click.
  auto* power = dynamic_cast<BUTTON*>(childOf(panel, "POWER"));
  EXPECT_EQ(power->state, 0);
  click(panel, "POWER");
  EXPECT_EQ(vco.power, 0);
  EXPECT_EQ(power->state, 1);
  click(panel, "POWER");
  EXPECT_EQ(vco.power, 1);
  EXPECT_EQ(power->state, 0);

  const int cycle[] = {2, 3, 4, 6, 5, 1};
  const char* images[] = {"DISP_TRI", "DISP_SAW", "DISP_SQR", "DISP_PULSE", "DISP_NOISE", "DISP_SIN"};
  for (int i = 0; i < 6; ++i) {
    click(panel, "AFFICHAGE_TYPE_ONDE");
    EXPECT_EQ(vco.waveType, cycle[i]);
    EXPECT_STREQ(childOf(panel, "AFFICHAGE_TYPE_ONDE")->image, images[i]);
  }

  turn(panel, "SLD_FREQUENCE", "SLD_UP");
  EXPECT_FLOAT_EQ(vco.frequency, 48.5f);
  EXPECT_EQ(labelText(panel, "LABEL_FREQUENCE"), "48.500");
  turn(panel, "SLD_PWM", "SLD_DOWN");
  EXPECT_NEAR(vco.pulseWidth, 0.10625f, 1e-6);

  // The phase knob wraps and never turns: its message stops at the panel.
  vco.phaseOffset = 359;
  SPRITE* phaseKnob = childOf(panel, "SLD_PHASE");
  const int angle = phaseKnob->angle;
  turn(panel, "SLD_PHASE", "SLD_UP");
  EXPECT_EQ(vco.phaseOffset, 0);
  EXPECT_EQ(labelText(panel, "LABEL_PHASE"), "0");
  EXPECT_EQ(phaseKnob->angle, angle);
  // The other knobs turn as their messages reach them.
  SPRITE* volume = childOf(panel, "SLD_VOLUME");
  const int volumeAngle = volume->angle;
  turn(panel, "SLD_VOLUME", "SLD_DOWN", 2);
  EXPECT_EQ(volume->angle, volumeAngle + 2);
}

TEST(OscillatorPanel, MessagesOutsideDisplayModeOneChangeNoField) {
  VCO vco(1.0f, 440.0f, 1);
  VCO_GUI panel(&vco, 0, 0, "0");
  panel.setDisplayMode(4);
  EXPECT_NE(plugOf(&panel, "INPUT_MOD_PWM"), nullptr);
  // The back is current: post to a front knob as a stale message would.
  SPRITE* knob = nullptr;
  for (SPRITE* c : panel.mainList)
    if (std::string(c->name) == "0_SLD_FREQUENCE") knob = c;
  ASSERT_NE(knob, nullptr);
  panel.post(WIDGET_MESSAGE::forText("SLD_DOWN", SDL_Event{}, knob));
  frame(panel);
  EXPECT_FLOAT_EQ(vco.frequency, 440.0f);
  knob->update();
  EXPECT_EQ(knob->angle, 441);  // forwarded to the knob all the same
}

TEST(FilterPanel, TypesCutoffAndFlags) {
  PCF pcf;
  pcf.filterType = 7;
  pcf.bypass = 0;
  VCF_GUI panel(&pcf, 0, 0, "1");
  EXPECT_EQ(labelText(panel, "LABEL_TYPE"), " PEAKING");
  EXPECT_EQ(dynamic_cast<BUTTON*>(childOf(panel, "BYPASS"))->state, 1);
  // The screen and the label name the response the filter plays.
  click(panel, "AFFICHAGE_TYPE_FILTRE");
  EXPECT_EQ(pcf.filterType, 0);
  EXPECT_EQ(labelText(panel, "LABEL_TYPE"), "    PASS");
  click(panel, "AFFICHAGE_TYPE_FILTRE");
  EXPECT_EQ(pcf.filterType, 1);
  EXPECT_EQ(labelText(panel, "LABEL_TYPE"), " LOWPASS");
  EXPECT_STREQ(childOf(panel, "AFFICHAGE_TYPE_FILTRE")->image, "DISP_FILTRE_LOWPASS");

  click(panel, "BYPASS");
  EXPECT_EQ(pcf.bypass, 1);
  pcf.cutoff = 12000;
  turn(panel, "SLD_HICUTOFF", "SLD_DOWN");
  EXPECT_EQ(pcf.cutoff, 11900);
  EXPECT_EQ(labelText(panel, "LABEL_HICUTOFF"), "11900");
  pcf.q = 0.05f;
  turn(panel, "SLD_QRATIO", "SLD_UP");
  EXPECT_FLOAT_EQ(pcf.q, 0.001f);
  pcf.level = 0.98f;
  turn(panel, "SLD_LEVEL", "SLD_DOWN");
  EXPECT_FLOAT_EQ(pcf.level, 1.0f);
  turn(panel, "SLD_GAIN", "SLD_DOWN", 3);
  EXPECT_NEAR(pcf.gainDb, 1.3f, 1e-5);
  EXPECT_EQ(labelText(panel, "LABEL_GAIN"), "1.3");
}

TEST(AmplifierPanel, EnvelopeSteps) {
  VCA vca;
  vca.attackTime = 0.5f;
  vca.sustainLevel = 0;
  VCA_GUI panel(&vca, 0, 0, "2");
  turn(panel, "SLD_ATTACK", "SLD_UP");
  EXPECT_EQ(vca.attackTime, 0);
  turn(panel, "SLD_SUSTAIN", "SLD_DOWN");  // 0 becomes 0.05, then + 0.01
  EXPECT_FLOAT_EQ(vca.sustainLevel, 0.06f);
  EXPECT_EQ(labelText(panel, "LABEL_SUSTAIN"), " 0.1");
  turn(panel, "SLD_SUSTAIN", "SLD_UP");
  EXPECT_NEAR(vca.sustainLevel, 0.05f, 1e-6);
  vca.sustainLevel = 0.02f;
  turn(panel, "SLD_SUSTAIN", "SLD_UP");  // lowered only from 0.05
  EXPECT_FLOAT_EQ(vca.sustainLevel, 0.02f);
  turn(panel, "SLD_RELEASE", "SLD_DOWN");
  EXPECT_FLOAT_EQ(vca.releaseTime, 1001.0f);
  EXPECT_EQ(labelText(panel, "LABEL_RELEASE"), "1001.0");
}

TEST(MixerPanel, AKnobSetsItsGainOnlyWhileHeld) {
  MIXER mixer;
  MIXER_GUI panel(&mixer, 0, 0, "4");
  EXPECT_EQ(labelText(panel, "LABEL_CANAL_21_TXT"), "21");
  SPRITE* knob = childOf(panel, "SLD_CANAL_3");
  // The knob starts at the channel's gain (1800 steps for 1).
  press(panel, knob, kMouseDownType);
  turn(panel, "SLD_CANAL_3", "SLD_UP", 180);
  press(panel, knob, kMouseUpType);
  EXPECT_NEAR(mixer.channelGain[2], 0.9f, 1e-6);
  EXPECT_EQ(labelText(panel, "LABEL_CANAL_3"), "0.9");
  turn(panel, "SLD_CANAL_3", "SLD_UP", 180);
  EXPECT_NEAR(mixer.channelGain[2], 0.9f, 1e-6);
  EXPECT_FLOAT_EQ(mixer.channelGain[3], 1.0f);

  click(panel, "BYPASS_CANAL_5");
  EXPECT_EQ(mixer.channelMute[4], 0.0f);  // read before the click reached the key
  frame(panel);
  EXPECT_EQ(mixer.channelMute[4], 1.0f);
}

TEST(KeyboardPanel, OctaveKeysStopAtTheEnds) {
  KEYBOARD keyboard;
  keyboard.octave = 6;
  KEYBOARD_GUI panel(&keyboard, 0, 0, "0");
  EXPECT_STREQ(childOf(panel, "SPRITE_OCT")->image, "LED_NUMERIC_1_7");
  click(panel, "BUTTON_OCT_UP");
  click(panel, "BUTTON_OCT_UP");
  EXPECT_EQ(keyboard.octave, 7);
  EXPECT_STREQ(childOf(panel, "SPRITE_OCT")->image, "LED_NUMERIC_1_8");
  for (int i = 0; i < 9; ++i) click(panel, "BUTTON_OCT_DOWN");
  EXPECT_EQ(keyboard.octave, 0);
  click(panel, "POWER");
  EXPECT_EQ(keyboard.power, 0);
}

// Sampler file stepping works in a directory of its own; the panel is built
// beside the layouts first.
class SamplerPanel : public testing::Test {
 protected:
  void SetUp() override {
    home_ = std::filesystem::current_path();
    for (const char* f : {"Sounds/a.wav", "Sounds/b.wav", "Sounds/drums/c.wav", "Sounds/notes.txt", "elsewhere/x.wav"}) {
      ASSERT_TRUE(writeTestWav(dir_ / f, 441));
    }
  }
  void TearDown() override { std::filesystem::current_path(home_); }

  TempDir dir_;
  std::filesystem::path home_;
};

TEST_F(SamplerPanel, ViewsPlayModesAndFiles) {
  SAMPLER sampler;
  SAMPLER_GUI panel(&sampler, 0, 0, "0");
  EXPECT_EQ(panel.children, &panel.miniList);
  EXPECT_EQ(labelText(panel, "label_NAME"), "SAMPLER_0");
  click(panel, "VIEW");
  ASSERT_EQ(panel.children, &panel.mainList);

  for (int mode : {1, 2, 3, 0}) {
    click(panel, "AFFICHAGE_TYPE_LOOP");
    EXPECT_EQ(sampler.playMode, mode);
  }
  EXPECT_STREQ(childOf(panel, "AFFICHAGE_TYPE_LOOP")->image, "SMP_PLAY_AV");

  std::filesystem::current_path(dir_.path());
  testing::internal::CaptureStdout();
  // Reverse name order: drums/c, b, a. "FILE_UP" moves towards the end.
  EXPECT_EQ(soundFiles("Sounds"),
            (std::vector<std::string>{"Sounds/drums/c.wav", "Sounds/b.wav", "Sounds/a.wav"}));
  sampler.loadSample("Sounds/b.wav");
  sampler.playMode = 2;
  click(panel, "FILE_UP");
  EXPECT_STREQ(sampler.samplePath, "Sounds/a.wav");
  EXPECT_EQ(sampler.playMode, 0);
  sampler.playMode = 3;
  click(panel, "FILE_UP");  // the last file reloads itself
  EXPECT_STREQ(sampler.samplePath, "Sounds/a.wav");
  EXPECT_EQ(sampler.playMode, 0);
  EXPECT_EQ(labelText(panel, "LABEL_FILENAME"), "Sounds/a.wav");
  click(panel, "FILE_DOWN");
  click(panel, "FILE_DOWN");
  click(panel, "FILE_DOWN");
  EXPECT_STREQ(sampler.samplePath, "Sounds/drums/c.wav");
  sampler.loadSample("elsewhere/x.wav");  // a file outside the folder: the buttons do nothing
  click(panel, "FILE_UP");
  testing::internal::GetCapturedStdout();
  EXPECT_STREQ(sampler.samplePath, "elsewhere/x.wav");
}

TEST(SequencerPanel, StepDisplaysAndClamps) {
  SEQUENCER seq;
  seq.setName("SEQUENCER_1");
  seq.stepCount = 4;
  seq.stepNote[0][0] = 11;
  seq.stepNote[0][1] = 12;
  seq.stepOctave[0][2] = 10;
  seq.stepNote[0][3] = 0;
  SEQ_GUI panel(&seq, 0, 0, "2");
  EXPECT_STREQ(panel.image, "SEQUEN_2");
  ASSERT_EQ(panel.children, &panel.miniList);
  click(panel, "VIEW");
  ASSERT_EQ(panel.children, &panel.mainList);

  auto image = [&](const char* item) { return std::string(childOf(panel, item)->image); };
  EXPECT_EQ(image("SPRITE_NOTE_1_0"), "LED_NUMERIC_1_2");  // 11: tens "1"
  EXPECT_EQ(image("SPRITE_NOTE_1"), "LED_NUMERIC_1_2");    // units "1"
  EXPECT_EQ(image("SPRITE_NOTE_2"), "LED_NUMERIC_1_3");    // 12: units "2"
  EXPECT_EQ(image("SPRITE_NOTE_4_0"), "LED_NUMERIC_1_0");  // 0: no tens
  EXPECT_EQ(image("SPRITE_OCT_5"), "LED_NUMERIC_2_4");     // past the step count: dimmed
  EXPECT_EQ(dynamic_cast<LABEL*>(childOf(panel, "LABEL_TXT_5_VOL"))->color, 0x808080);
  EXPECT_EQ(dynamic_cast<LABEL*>(childOf(panel, "LABEL_TXT_4_VOL"))->color, 0);

  click(panel, "BUTTON_NOTE_2_UP");
  click(panel, "BUTTON_NOTE_4_DOWN");
  click(panel, "BUTTON_OCT_3_UP");
  EXPECT_EQ(seq.stepNote[0][1], 12);
  EXPECT_EQ(seq.stepNote[0][3], 0);
  EXPECT_EQ(seq.stepOctave[0][2], 10);
  click(panel, "BUTTON_NOTE_1_DOWN");
  EXPECT_EQ(seq.stepNote[0][0], 10);
  EXPECT_EQ(image("SPRITE_NOTE_1"), "LED_NUMERIC_1_1");  // 10: units "0"

  for (int i = 0; i < 3; ++i) click(panel, "BUTTON_MAX_STEP_DOWN");
  EXPECT_EQ(seq.stepCount, 1);
  EXPECT_EQ(labelText(panel, "LABEL_MAX_STEP"), " 1");
  EXPECT_EQ(image("SPRITE_NOTE_2"), "LED_NUMERIC_2_3");
  for (int i = 0; i < 40; ++i) click(panel, "BUTTON_MAX_STEP_UP");
  EXPECT_EQ(seq.stepCount, 32);

  // Knobs edit their own step only; volumes keep to tenths, so a step turned
  // up and back is exactly 1 again (the sequencer plays only that).
  turn(panel, "SLD_VOL_12", "SLD_DOWN", 3);
  EXPECT_FLOAT_EQ(seq.stepVolume[0][11], 1.3f);
  EXPECT_FLOAT_EQ(seq.stepVolume[0][0], 1.0f);
  EXPECT_EQ(labelText(panel, "LABEL_TXT_12_VOL"), "1.3");
  turn(panel, "SLD_VOL_12", "SLD_UP", 3);
  EXPECT_EQ(seq.stepVolume[0][11], 1.0f);
  turn(panel, "SLD_LENGHT_2", "SLD_DOWN", 200);
  EXPECT_TRUE(std::isfinite(seq.stepLength[0][1]));
  EXPECT_GT(seq.stepLength[0][1], 1e38f);

  click(panel, "BUTTON_BYPASS_3");
  EXPECT_EQ(seq.stepBypass[0][2], 1);
  EXPECT_EQ(dynamic_cast<BUTTON*>(childOf(panel, "BUTTON_BYPASS_3"))->state, 0);
}

TEST(SequencerPanel, DividerPatternAndPower) {
  SEQUENCER seq;
  seq.pendingDivider = 4;
  // A panel number past 99 is matched exactly all the same.
  SEQ_GUI panel(&seq, 0, 0, "100");
  click(panel, "VIEW");
  click(panel, "BUTTON_DIVIDER_UP");
  EXPECT_FLOAT_EQ(seq.pendingDivider, 2.0f);
  EXPECT_EQ(labelText(panel, "LABEL_WISHED_DIVIDER"), "2.000");
  EXPECT_EQ(labelText(panel, "LABEL_DIVIDER"), "2.000");  // the playing divider
  for (int i = 0; i < 200; ++i) click(panel, "BUTTON_DIVIDER_UP");
  EXPECT_GT(seq.pendingDivider, 0.0f);

  click(panel, "BUTTON_PATTERN_5");
  EXPECT_EQ(seq.pendingPattern, 5);
  EXPECT_EQ(seq.pattern, 0);  // the sequencer switches rows at the end of its pass
  auto* key = dynamic_cast<BUTTON*>(childOf(panel, "BUTTON_PATTERN_5"));
  EXPECT_STREQ(key->image, key->imageOff);
  EXPECT_STREQ(dynamic_cast<BUTTON*>(childOf(panel, "BUTTON_PATTERN_0"))->image,
               dynamic_cast<BUTTON*>(childOf(panel, "BUTTON_PATTERN_0"))->imageOn);

  click(panel, "POWER");
  EXPECT_EQ(seq.noteEnabled, 0);
  click(panel, "VIEW");
  EXPECT_EQ(panel.children, &panel.miniList);
}
