#include "engine/vco.h"

#include <cmath>

#include "engine/random.h"

namespace {
constexpr double kTwoPi = 6.283185307179586;
constexpr float kRate = 44100.0f;
}  // namespace

VCO::VCO(float amplitude_, float frequency_, int waveType_)
    : phaseOffset(static_cast<float>(randomInt() % 360)),
      amplitude(amplitude_),
      frequency(frequency_),
      waveType(waveType_) {
  copyName(name, "Emptynamed_VCO");
}

// `value` and `phase` are written by this step only: it works on locals and
// stores each once.
int VCO::process() {
  float out = value;
  if (power == 0) {
    out = 0.0f;
  } else {
    float ph = phase;
    if (const Shared<int>* sync = syncSource; sync != nullptr && *sync != 0) ph = 0.0f;

    float a = amplitude;
    float f = frequency;
    float p = phaseOffset;
    float w = pulseWidth;

    if (const Shared<float>* in = source) {
      f = *in * f / 44.0f;
      trackedFrequency = f;
    }
    if (INPUT* m = modAmp) if (m->connected()) a = a + a * m->read();
    if (INPUT* m = modFreq) if (m->connected()) f = f + f * m->read();
    if (INPUT* m = modPhase) if (m->connected()) p = p + p * m->read();
    if (INPUT* m = modPwm) if (m->connected()) w = w + w * m->read();

    if (a > 1.0f) a = 1.0f;

    // The phase runs from -1 to 1 and wraps by subtracting the span, keeping
    // the overshoot, so the frequency is exact and changes smoothly.
    ph = ph + f / kRate;
    bool wrapped = false;
    if (ph > 1.0f) {
      ph -= 2.0f;
      wrapped = true;
      // More than one span in a step (a very high modulated rate).
      if (ph > 1.0f) ph -= 2.0f * std::floor((ph + 1.0f) * 0.5f);
    }
    if (!std::isfinite(ph)) {
      // A rate that is not a number or infinite: silence, and start again
      // from 0 once the rate is sound.
      phase = 0.0f;
      value = 0.0f;
      return 1;
    }
    phase = ph;

    switch (waveType.load()) {
      case 1:
        out = static_cast<float>(a * std::sin(kTwoPi * (ph + p)));
        break;
      case 2:
        out = (ph >= -1.0f && ph <= 1.0f) ? 2.0f * a * std::fabs(ph) - a : -a;
        break;
      case 3:
        out = a * ph;
        break;
      case 4: {
        const double s = std::sin(kTwoPi * (ph + p));
        out = s >= 0.5 ? a : (s < -0.5 ? -a : 0.0f);
        break;
      }
      case 5:
        if (a != 0.0f) {
          float noise = noiseValue;
          if (wrapped) {
            // The integer part of A * 32767 + 1, held within int (a large
            // modulated amplitude must not overflow the conversion).
            double span = std::trunc(static_cast<double>(a) * 32767.0 + 1.0);
            if (std::isnan(span)) span = 0.0;  // no amplitude: silence
            span = std::fmax(std::fmin(span, 2147483647.0), -2147483647.0);
            const int range = static_cast<int>(span);
            noise = range != 0 ? static_cast<float>(randomInt() % range) : 0.0f;
          }
          if (randomInt() % 2 == 1) noise = -noise;
          noiseValue = noise;
          out = noise / 32767.0f;
        }
        break;
      case 6:
        out = (ph + p <= w) ? a : -a;
        break;
      default:
        out = 0.0f;
        break;
    }
  }

  // Held within [-1, 1]; a value that is not a number is silence.
  if (out >= 1.0f) {
    out = 1.0f;
  } else if (out <= -1.0f) {
    out = -1.0f;
  } else if (std::isnan(out)) {
    out = 0.0f;
  }
  value = out;
  return 1;
}
