#pragma once
// VCO: oscillator with six waveforms, pitch tracking, hard sync and four
// relative modulation inputs. Also the base of SAMPLER.

#include "engine/ports.h"

class VCO : public OUTPUT, public INPUT, public INPUT_GATE, public INPUT_SYNC {
 public:
  VCO(float amplitude, float frequency, int waveType);
  // One frame. Audio thread only.
  int process() override;

  // Parameters: panels, the remote box and the readers write them.
  Shared<int> power{1};
  // Modulation inputs, each an INPUT of its own; null = unconnected.
  Shared<INPUT*> modPhase{nullptr};
  Shared<INPUT*> modFreq{nullptr};
  Shared<INPUT*> modAmp{nullptr};
  Shared<INPUT*> modPwm{nullptr};
  char name[80];
  float phase = 0.0f;  // audio thread only
  Shared<float> phaseOffset;
  Shared<float> amplitude;
  Shared<float> frequency;
  Shared<float> pulseWidth{0.1f};
  float noiseValue = 0.0f;  // audio thread only
  Shared<float> trackedFrequency{0.0f};  // audio thread writes, panels read
  Shared<int> waveType;

  void setName(const char* text) { copyName(name, text); }

 private:
  float stepNoise(float a, bool wrapped);
};
