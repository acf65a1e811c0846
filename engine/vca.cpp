#include "engine/vca.h"

#include <cmath>

namespace {
constexpr float kStep = 0.000022675737f;  // 1 / 44100 s

// The output is also the envelope level of the next step: a value that is not
// a number or infinite becomes silence there, and the envelope starts afresh
// at the next gate.
inline float finiteOrSilence(float v) { return std::isfinite(v) ? v : 0.0f; }
}  // namespace

VCA::VCA() { name[0] = '\0'; }

int VCA::process() {
  const Shared<float>* in = source;
  if (in == nullptr) return 0;

  const Shared<int>* gateWord = gateSource;
  bypass = gateWord == nullptr ? 1 : 0;
  if (gateWord == nullptr) {
    value = 1.0f;
    return 1;
  }

  const float x = *in;
  const int g = *gateWord;
  float v = value;
  const float attack = attackTime;
  const float peak = attackLevel;
  const float decay = decayTime;
  const float sustain = sustainLevel;

  if (g == 1) {
    releaseClock = 0.0f;
    const float t = 1000.0f * envClock;
    if (t < attack) {
      v = t * peak / attack;
      envClock = envClock + kStep;
      lastLevel = v;
    } else if (t < attack + decay) {
      if (sustain == 0.0f) {
        v = peak - (t - attack) * peak / decay;
        envClock = envClock + kStep;
      } else if (v > sustain) {
        v = v - v / 1000.0f;
      } else {
        v = peak * sustain;
      }
      lastLevel = v;
    }
    if (invert == 1) v = std::fabs(v - 1.0f);
    value = finiteOrSilence(v * x);  // the gate is 1 here
    return 1;
  }

  envClock = 0.0f;
  const float release = releaseTime;
  if (release != 0.0f && v != 0.0f && 1000.0f * releaseClock <= release) {
    releaseClock = releaseClock + kStep;
    v = lastLevel - 1000.0f * releaseClock * lastLevel / release;
  }
  if (invert == 1) v = std::fabs(v - 1.0f);
  value = finiteOrSilence(v * x);
  return 1;
}
