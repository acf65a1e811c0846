#pragma once
// SEQUENCER: plays one row of a 64 x 64 step grid, timed in samples. At each
// step it sets its pitch, opens its gate and posts a "SEQ_TRIG_<name>" event
// to the main thread.

#include "engine/ports.h"

class SEQUENCER;

// Step events. The audio thread posts each one as a fixed record to a
// preallocated lock-free queue (it never allocates, locks or prints for it),
// and only while a receiver is installed; the main thread hands the queued
// events to the receiver. Each event's text is "SEQ_TRIG_<name>", the name
// cut to 70 characters.
//
// The receiver gets the text (valid during the call only) and the sequencer.
using StepEventSink = void (*)(const char* text, SEQUENCER* source);
// Installs the receiver, or removes it (null); either way the events still
// queued are dropped. Main thread.
void setStepEventSink(StepEventSink sink);
// Hands every queued event to the receiver, oldest first; returns how many.
// Call from one thread only (the main thread), e.g. once per frame.
int dispatchStepEvents();
// Drops the queued events, e.g. before their sequencers are freed, so that
// no receiver is handed a freed sequencer. Main thread (the consumer).
void dropStepEvents();
// Events lost because the queue was full (a receiver not drained for long).
long droppedStepEvents();

class SEQUENCER final : public OUTPUT, public OUTPUT_GATE, public OUTPUT_SYNC, public INPUT_SYNC {
 public:
  static constexpr int kRows = 64;
  static constexpr int kSteps = 64;
  static constexpr int kEventTextSize = 80;

  // Reseeds the process-wide random generator from the millisecond clock.
  SEQUENCER();
  int process() override;

  Shared<int> pendingPattern{0};
  Shared<int> pattern{0};
  Shared<int> noteEnabled{1};
  Shared<float> divider{2.0f};
  Shared<float> pendingDivider{2.0f};
  Shared<int> stepCount{32};  // held within 1..64 by the readers and panels
  Shared<int> step{0};        // next step to play
  // The grid, [row][step]. Panels edit cells while the audio thread reads them.
  Shared<float> stepLength[kRows][kSteps];
  Shared<int> stepBypass[kRows][kSteps];
  Shared<int> stepNote[kRows][kSteps];
  Shared<int> stepOctave[kRows][kSteps];
  Shared<float> stepVolume[kRows][kSteps];
  Shared<float> sampleClock{0.0f};
  char name[800];
  Shared<int> noteSounding{0};

  void setName(const char* text) { copyName(name, text); }

 private:
  void postStepEvent();
};
