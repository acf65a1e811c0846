#pragma once
// KEYBOARD: turns key presses into a pitch, a gate and a one-step sync pulse.

#include "engine/ports.h"

class KEYBOARD final : public OUTPUT, public OUTPUT_GATE, public OUTPUT_SYNC {
 public:
  KEYBOARD();
  int process() override;

  // Safe from any thread: sets the note, opens the gate and, with `retrigger`,
  // arms one sync pulse. Release is OUTPUT_GATE::gateOff.
  void press(int semitone, int retrigger);

  Shared<int> power{1};  // panel state only
  Shared<int> note{1};
  Shared<int> octave{4};
  char name[800];

  void setName(const char* text) { copyName(name, text); }
};
