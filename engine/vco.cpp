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

int VCO::process() {
  if (power == 0) {
    value = 0.0f;
  } else {
    if (const Shared<int>* sync = syncSource; sync != nullptr && *sync != 0) phase = 0.0f;

    float a = amplitude;
    float f = frequency;
    float p = phaseOffset;
    float w = pulseWidth;

    if (connected()) {
      f = read() * frequency / 44.0f;
      trackedFrequency = f;
    }
    if (INPUT* m = modAmp) if (m->connected()) a = a + a * m->read();
    if (INPUT* m = modFreq) if (m->connected()) f = f + f * m->read();
    if (INPUT* m = modPhase) if (m->connected()) p = p + p * m->read();
    if (INPUT* m = modPwm) if (m->connected()) w = w + w * m->read();

    if (a > 1.0f) a = 1.0f;

    phase = phase + f / kRate;
    if (phase > 1.0f) phase = -1.0f;

    switch (waveType.load()) {
      case 1:
        value = static_cast<float>(a * std::sin(kTwoPi * (phase + p)));
        break;
      case 2:
        value = (phase >= -1.0f && phase <= 1.0f) ? 2.0f * a * std::fabs(phase) - a : -a;
        break;
      case 3:
        value = a * phase;
        break;
      case 4: {
        const double s = std::sin(kTwoPi * (phase + p));
        value = s >= 0.5 ? a : (s < -0.5 ? -a : 0.0f);
        break;
      }
      case 5:
        if (a != 0.0f) {
          if (phase == -1.0f) {
            // The integer part of A * 32767 + 1, held within int (a large
            // modulated amplitude must not overflow the conversion).
            double span = std::trunc(static_cast<double>(a) * 32767.0 + 1.0);
            span = std::fmax(std::fmin(span, 2147483647.0), -2147483647.0);
            const int range = static_cast<int>(span);
            noiseValue = range != 0 ? static_cast<float>(randomInt() % range) : 0.0f;
          }
          if (randomInt() % 2 == 1) noiseValue = -noiseValue;
          value = noiseValue / 32767.0f;
        }
        break;
      case 6:
        value = (phase + p <= w) ? a : -a;
        break;
      default:
        value = 0.0f;
        break;
    }
  }

  float v = value;
  if (v >= 1.0f) v = 1.0f;
  if (!(v > -1.0f)) v = -1.0f;
  value = v;
  return 1;
}
