#pragma once
// PCF: biquad filter (double precision) with eight responses, a modulated
// cut-off, an extra output level and a modulated dry/wet mix.

#include "engine/ports.h"

class PCF final : public INPUT, public OUTPUT, public INPUT_GATE, public INPUT_SYNC {
 public:
  PCF();
  int process() override;

  // The biquad proper: updates the coefficients when a parameter changed,
  // returns the filtered sample and moves the history.
  double biquad(double x, double freq, double q, double gain, int type);
  // Coefficients of `type` for the cut-off, Q and gain; they become the cache.
  void updateCoefficients(double freq, double q, double gain, int type);

  Shared<int> power{1};
  Shared<INPUT*> modPhase{nullptr};  // linkable, never read
  Shared<INPUT*> modFreq{nullptr};   // modulates the cut-off
  Shared<INPUT*> modAmp{nullptr};    // modulates the mix
  char name[800];
  Shared<float> mix{1.0f};
  Shared<int> filterType{3};
  Shared<int> bypass{1};
  Shared<int> cutoff{300};
  Shared<float> gainDb{1.0f};
  Shared<float> level{1.0f};
  Shared<float> q{1.0f};

  // Biquad state, audio thread only.
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  double n = 0, a1 = 0, a2 = 0, b0 = 0, b1 = 0, b2 = 0;
  double cachedFreq = -1, cachedQ = -1, cachedGain = -1;
  int cachedType = -1;

  void setName(const char* text) { copyName(name, text); }
};
