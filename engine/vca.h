#pragma once
// VCA: multiplies its input by a gated attack / decay-or-hold / release
// envelope. The envelope level and the output share `value`.

#include "engine/ports.h"

class VCA final : public OUTPUT, public INPUT_GATE, public INPUT {
 public:
  VCA();
  // One frame; returns 0 (and changes nothing) without a signal input.
  int process() override;

  float releaseClock = 0.0f;  // seconds since the gate closed; audio thread only
  float envClock = 0.0f;      // seconds since the gate opened; audio thread only
  Shared<int> invert{0};
  char name[88];
  // Times in milliseconds. Panels and the remote box write them.
  Shared<float> attackTime{1000.0f};
  Shared<float> attackLevel{1.0f};
  Shared<float> decayTime{1000.0f};
  Shared<float> sustainLevel{1.0f};
  Shared<float> releaseTime{1000.0f};
  float lastLevel = 0.0f;  // audio thread only
  Shared<int> bypass{0};   // recomputed by every step: 1 without a gate

  void setName(const char* text) { copyName(name, text); }
};
