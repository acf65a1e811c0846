// Keyboard and step sequencer: pitch, gate and sync pulses, and the
// sequencer's timing in samples.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine_test_util.h"

namespace {

class KeyboardSequencer : public ::testing::Test {
 protected:
  void SetUp() override { fillNoteTable(); }
  void TearDown() override { setStepEventSink(nullptr); }
};

TEST_F(KeyboardSequencer, KeyboardDefaultsAndPress) {
  KEYBOARD key;
  key.process();
  EXPECT_NEAR(key.value, 261.6256, 1e-3);
  EXPECT_EQ(key.gate, 0);
  EXPECT_EQ(key.fired, 0);

  key.octave = 3;
  key.press(10, 1);
  std::vector<int> fired;
  for (int i = 0; i < 4; ++i) {
    key.process();
    fired.push_back(key.fired);
  }
  EXPECT_FLOAT_EQ(key.value, 220.0f);
  EXPECT_EQ(key.gate, 1);
  EXPECT_EQ(fired, (std::vector<int>{1, 0, 0, 0}));  // exactly one step

  key.press(0, 0);
  key.process();
  EXPECT_EQ(key.fired, 0);  // no retrigger, no pulse
  key.gateOff();
  key.process();
  EXPECT_EQ(key.gate, 0);
  EXPECT_FLOAT_EQ(key.value, static_cast<float>(noteTable[36]));  // keeps the last note
}

// Records the step events the sequencer posts.
std::vector<std::string> events;
void recordEvent(const char* text, SEQUENCER*) { events.emplace_back(text); }

// One step, then the events it posted handed to the receiver, as the main
// thread does once per frame.
void stepAndDispatch(SEQUENCER& seq) {
  seq.process();
  dispatchStepEvents();
}

TEST_F(KeyboardSequencer, FirstEventAfterHalfASecondThenEvery22050) {
  events.clear();
  setStepEventSink(recordEvent);
  SEQUENCER seq;
  seq.setName("SEQUENCER_1");
  std::vector<int> eventFrames, gateOpen, gateClose;
  int lastGate = 0;
  for (int frame = 1; frame <= 3 * 22050; ++frame) {
    const size_t before = events.size();
    stepAndDispatch(seq);
    if (events.size() != before) eventFrames.push_back(frame);
    if (seq.gate != lastGate) (seq.gate ? gateOpen : gateClose).push_back(frame);
    lastGate = seq.gate;
  }
  EXPECT_EQ(eventFrames, (std::vector<int>{22050, 44100, 66150}));
  EXPECT_EQ(gateOpen, (std::vector<int>{22050, 44100, 66150}));
  // Closed 22049 samples after each event, one sample before the next.
  EXPECT_EQ(gateClose, (std::vector<int>{22050 + 22049, 44100 + 22049}));
  EXPECT_FLOAT_EQ(seq.value, 220.0f);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events[0], "SEQ_TRIG_SEQUENCER_1");
}

TEST_F(KeyboardSequencer, HalfLengthClosesAfter11024) {
  SEQUENCER seq;
  for (auto& row : seq.stepLength)
    for (auto& cell : row) cell = 0.5f;
  int opened = 0, closed = 0;
  for (int frame = 1; frame <= 40000; ++frame) {
    const int was = seq.gate;
    seq.process();
    if (!was && seq.gate) opened = frame;
    if (was && !seq.gate) closed = frame;
  }
  EXPECT_EQ(opened, 22050);
  EXPECT_EQ(closed - opened, 11024);
}

TEST_F(KeyboardSequencer, PitchZeroHoldsUntilRestart) {
  events.clear();
  setStepEventSink(recordEvent);
  SEQUENCER seq;
  seq.stepOctave[0][1] = 0;
  seq.stepNote[0][1] = 0;
  for (int i = 0; i < 5 * 22050; ++i) stepAndDispatch(seq);
  EXPECT_EQ(events.size(), 1u);  // step 0 only
  EXPECT_EQ(seq.step, 1);
  EXPECT_EQ(seq.value, 0.0f);

  OUTPUT_SYNC restart;
  seq.connectSync(&restart);
  restart.fired = 1;
  stepAndDispatch(seq);
  restart.fired = 0;
  EXPECT_EQ(seq.step, 0);
  for (int i = 0; i < 22050; ++i) stepAndDispatch(seq);
  EXPECT_EQ(events.size(), 2u);
  EXPECT_FLOAT_EQ(seq.value, 220.0f);
}

TEST_F(KeyboardSequencer, VolumeAndBypassCells) {
  events.clear();
  setStepEventSink(recordEvent);
  SEQUENCER seq;
  seq.stepNote[0][1] = 0;  // octave 3, semitone 0: 36
  seq.stepVolume[0][1] = 0.5f;
  seq.stepBypass[0][2] = 1;
  std::vector<float> valueAtEvent;
  std::vector<int> gateAtEvent;
  for (int i = 0; i < 3 * 22050; ++i) {
    const size_t before = events.size();
    stepAndDispatch(seq);
    if (events.size() != before) valueAtEvent.push_back(seq.value), gateAtEvent.push_back(seq.gate);
  }
  ASSERT_EQ(valueAtEvent.size(), 3u);
  EXPECT_FLOAT_EQ(valueAtEvent[1], 220.0f);  // volume 0.5 keeps the previous note
  EXPECT_EQ(gateAtEvent[1], 0);              // and its gate stays closed after the timed close
  EXPECT_EQ(valueAtEvent[2], 0.0f);          // bypass: silent, gate not reopened
  EXPECT_EQ(gateAtEvent[2], 0);
  EXPECT_EQ(seq.step, 3);
}

TEST_F(KeyboardSequencer, PendingPatternAndDividerWaitForTheEndOfThePass) {
  SEQUENCER seq;
  seq.stepCount = 2;
  seq.stepNote[5][0] = 2;  // row 5 plays octave 3, semitone 2
  seq.pendingPattern = 5;
  seq.pendingDivider = 4.0f;
  for (int i = 0; i < 2 * 22050; ++i) seq.process();
  EXPECT_EQ(seq.pattern, 0);
  EXPECT_FLOAT_EQ(seq.divider, 2.0f);
  seq.process();  // end of pass
  EXPECT_EQ(seq.pattern, 5);
  EXPECT_FLOAT_EQ(seq.divider, 4.0f);
  for (int i = 0; i < 11024; ++i) seq.process();
  EXPECT_FLOAT_EQ(seq.value, static_cast<float>(noteTable[38]));

  seq.pendingPattern = 40;  // beyond row 31: row 0
  for (int i = 0; i < 3 * 11025; ++i) seq.process();
  EXPECT_EQ(seq.pattern, 0);
}

TEST_F(KeyboardSequencer, LongStepExtendsTheWait) {
  events.clear();
  setStepEventSink(recordEvent);
  SEQUENCER seq;
  seq.stepLength[0][0] = 3.0f;  // 66150 samples > 44100
  int first = 0;
  for (int frame = 1; frame <= 100000 && !first; ++frame) {
    stepAndDispatch(seq);
    if (!events.empty()) first = frame;
  }
  EXPECT_EQ(first, 22050 + 66150);
}

TEST_F(KeyboardSequencer, ZeroStepsPlaysStepZeroAndGarbageIsHeldInTheGrid) {
  SEQUENCER seq;
  seq.stepCount = 0;
  for (int i = 0; i < 3 * 22050; ++i) seq.process();
  EXPECT_EQ(seq.step, 1);  // step 0 played, reset at the next frame
  seq.stepCount = 32;
  seq.pattern = 1000;  // out of the grid: reads stay inside it (row 63)
  seq.step = -5;
  for (int i = 0; i < 22050; ++i) seq.process();
  EXPECT_EQ(seq.step, -4);
  EXPECT_FLOAT_EQ(seq.value, 220.0f);
}

TEST_F(KeyboardSequencer, EventsAreQueuedOnlyForAReceiverAndBounded) {
  SEQUENCER seq;
  seq.setName(std::string(300, 'N').c_str());
  EXPECT_EQ(std::strlen(seq.name), 79u);
  // No receiver: nothing is queued for a receiver installed later.
  for (int i = 0; i < 22050; ++i) seq.process();
  EXPECT_EQ(seq.step, 1);
  static SEQUENCER* source;
  source = nullptr;
  events.clear();
  setStepEventSink([](const char* text, SEQUENCER* s) {
    events.emplace_back(text);
    source = s;
  });
  EXPECT_EQ(dispatchStepEvents(), 0);

  // A receiver that is not drained: the queue keeps the oldest events and
  // counts the others as lost.
  seq.divider = seq.pendingDivider = 44100.0f;  // an event every step
  const long lostBefore = droppedStepEvents();
  for (int i = 0; i < 300; ++i) seq.process();
  EXPECT_EQ(dispatchStepEvents(), 256);
  EXPECT_EQ(droppedStepEvents() - lostBefore, 300 - 256);
  ASSERT_EQ(events.size(), 256u);
  EXPECT_EQ(events[0], "SEQ_TRIG_" + std::string(70, 'N'));
  EXPECT_EQ(source, &seq);
}

}  // namespace
