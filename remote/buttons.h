#pragma once
// The remote button panel: the eight buttons of a remote box, carried by
// `buttonWord`, become edits of the running synthesizer, one small change per
// call of `pollButtons` while a button is held.

#include "engine/shared.h"

// Bit k set = remote button k held. Written whole by the remote connection
// threads ("PORTA"), read by the thread that calls pollButtons.
extern Shared<int> buttonWord;

// Button bits.
enum RemoteButton : int {
  kButtonF1 = 1 << 0,
  kButtonF2 = 1 << 1,
  kButtonF3 = 1 << 2,
  kButtonF4 = 1 << 3,
  kButtonNextModule = 1 << 4,
  kButtonNextKind = 1 << 5,
  kButtonUp = 1 << 6,
  kButtonDown = 1 << 7,
};

// Selected kinds, in the order "next kind" walks them.
enum RemoteKind : int {
  kKindOscillator = 0,
  kKindAmplifier = 1,
  kKindSequencer = 2,
  kKindFilter = 3,
  kKindSampler = 4,
  kKindCount = 5,
};

// The panel's selection and step state. Owned by the thread that calls
// pollButtons (the front end's main loop); nothing else touches it.
struct RemoteButtonState {
  int kind = kKindOscillator;
  int index[kKindCount] = {};  // selected module of each kind, in list order
  int amplifierParam = 0;      // 0 attack, 1 decay, 2 sustain, 3 release
  int filterParam = 0;         // 0 cutoff, 1 q, 2 gain, 3 and 4 nothing
  int cursor = 0;              // step of the selected sequencer's pattern
  int waveform = 0;            // 0..5, given to the oscillator's waveType
  float f1Step = 0.0f;         // grows x1.5 per held call, 0.01 when up
  float f2Step = 0.0f;
  float f3Count = 0.0f;        // +1 per held call, 0.01 when up; only printed
  float f4Count = 0.0f;
  bool fHeld[4] = {};          // F1..F4 held at the last call
  int repeat[4] = {};          // repeat counters of next module, next kind, up, down
};

extern RemoteButtonState remoteButtons;

// What the synthesizer start-up does first: the F1/F2 steps and F3/F4 counts
// to 0, the F-button flags cleared, the selected oscillator and amplifier back
// to 0, and `buttonWord` to 0. The rest of the selection is kept.
void resetRemoteButtons();

// One poll of the button word against `currentGenerator`. Returns 1 when any
// button acted. Call from the thread that makes structural changes to the
// synthesizer (the main loop), so the lists stay still while it reads them.
int pollButtons();
