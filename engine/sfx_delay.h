#pragma once
// SFX_DELAY: the engine's effect-module class. It carries a delay line and four
// parameters for effects to come; its step passes the input straight through.

#include "engine/ports.h"

class SFX_DELAY final : public INPUT, public OUTPUT, public INPUT_SYNC {
 public:
  static constexpr int kLineLength = 5000;

  SFX_DELAY();
  // value <- input; an unconnected input gives 0.
  int process() override;

  int state = 0;
  float line[kLineLength];
  Shared<float> time{100.0f};
  Shared<float> length{100.0f};
  Shared<float> feedback{0.5f};
  Shared<float> wet{0.6f};
  int writeIndex = 0;
  int readIndex = 0;
  int flags = 0;
};
