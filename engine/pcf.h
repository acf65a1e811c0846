#pragma once
// PCF: biquad filter (double precision) with eight responses, a modulated
// cut-off, an extra output level and a modulated dry/wet mix.

#include "engine/ports.h"

class PCF final : public INPUT, public OUTPUT, public INPUT_GATE, public INPUT_SYNC {
 public:
  PCF();
  int process() override;

  // What a set of coefficients is made for.
  struct Settings {
    float freq;
    float q;
    float gain;
    int type;
  };

  // The biquad proper: updates the coefficients when a setting changed,
  // returns the filtered sample and moves the history.
  double biquad(double x, Settings settings);
  // Coefficients for `settings`, which become the cached settings.
  void updateCoefficients(Settings settings);

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
  // Each response's own coefficients.
  double n = 0, a1 = 0, a2 = 0, b0 = 0, b1 = 0, b2 = 0;
  // The same response in the one form every step uses:
  // y = s0 x + s1 x1 + s2 x2 - a1 y1 - a2 y2, term for term as each
  // response's own formula.
  double s0 = 0, s1 = 0, s2 = 0;
  // The settings of the coefficients, compared bit for bit at every step.
  Settings cached{-1.0f, -1.0f, -1.0f, -1};

  void setName(const char* text) { copyName(name, text); }
};
