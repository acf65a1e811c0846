#include "engine/vco.h"

#include <cmath>
#include <cstdint>

#include "engine/fast_sine.h"
#include "engine/random.h"

namespace {
constexpr float kRate = 44100.0f;
}  // namespace

VCO::VCO(float amplitude_, float frequency_, int waveType_)
    : phaseOffset(static_cast<float>(randomInt() % 360)),
      amplitude(amplitude_),
      frequency(frequency_),
      waveType(waveType_) {
  copyName(name, "Emptynamed_VCO");
}

#if defined(__GNUC__) && !defined(__clang__)
#define VCO_WHOLE_STEP __attribute__((noipa))
#else
#define VCO_WHOLE_STEP
#endif

namespace {

// The linked value of a modulation input, or nothing. One read of each link.
inline const Shared<float>* modulation(const Shared<INPUT*>& input) {
  const INPUT* m = input;
  return m != nullptr ? m->source.load() : nullptr;
}

// p + p x m, the relative modulation of a parameter.
inline float modulate(float p, const Shared<float>* m) { return m != nullptr ? p + p * *m : p; }

}  // namespace

// Held noise: a new magnitude when the phase wrapped, a random sign every
// step. Kept out of line: it calls the random generator, the other waves
// call nothing.
[[gnu::noinline]] float VCO::stepNoise(float a, bool wrapped) {
  float noise = noiseValue;
  if (wrapped) {
    // The integer part of A * 32767 + 1, held within int (a large modulated
    // amplitude must not overflow the conversion).
    double span = std::trunc(static_cast<double>(a) * 32767.0 + 1.0);
    if (std::isnan(span)) span = 0.0;  // no amplitude: silence
    span = std::fmax(std::fmin(span, 2147483647.0), -2147483647.0);
    const int range = static_cast<int>(span);
    noise = range != 0 ? static_cast<float>(randomInt() % range) : 0.0f;
  }
  if (randomInt() % 2 == 1) noise = -noise;
  noiseValue = noise;
  return noise / 32767.0f;
}

// `value` and `phase` are written by this step only: it works on locals and
// stores each once. The offset and the pulse width (and their modulations)
// are read only by the waves that use them. Called only through the module
// lists, so GCC is told to keep it whole (not split into an inlinable head
// and a body called from it).
VCO_WHOLE_STEP int VCO::process() {
  if (power == 0) {
    value = 0.0f;
    return 1;
  }
  float ph = phase;
  float f = frequency;
  float a = amplitude;
  // Many oscillators have nothing linked (free-running sources and LFOs):
  // one test covers the four links read below.
  const Shared<int>* sync = syncSource;
  const Shared<float>* in = source;
  const INPUT* ampLink = modAmp;
  const INPUT* freqLink = modFreq;
  if ((reinterpret_cast<uintptr_t>(sync) | reinterpret_cast<uintptr_t>(in) | reinterpret_cast<uintptr_t>(ampLink) |
       reinterpret_cast<uintptr_t>(freqLink)) != 0) {
    if (sync != nullptr && *sync != 0) ph = 0.0f;
    if (in != nullptr) {
      f = *in * f / 44.0f;
      trackedFrequency = f;
    }
    if (ampLink != nullptr) a = modulate(a, ampLink->source);
    if (freqLink != nullptr) f = modulate(f, freqLink->source);
  }
  if (a > 1.0f) a = 1.0f;

  // The phase runs from -1 to 1 and wraps by subtracting the span, keeping
  // the overshoot, so the frequency is exact and changes smoothly.
  ph = ph + f / kRate;
  bool wrapped = false;
  if (!(std::fabs(ph) <= 1.0f)) {
    if (ph > 1.0f) {
      ph -= 2.0f;
      wrapped = true;
      // More than one span in a step (a very high modulated rate).
      if (ph > 1.0f) ph -= 2.0f * std::floor((ph + 1.0f) * 0.5f);
    }
    // Below -1 the phase runs on (a negative rate). A rate that is not a
    // number or infinite gives silence, and the phase starts again from 0
    // once the rate is sound.
    if (!std::isfinite(ph)) {
      phase = 0.0f;
      value = 0.0f;
      return 1;
    }
  }
  phase = ph;

  // The sine, the commonest wave, is tested first.
  float out;
  const int wave = waveType;
  if (wave == 1) {
    out = static_cast<float>(a * sinTurns(ph + modulate(phaseOffset, modulation(modPhase))));
  } else switch (wave) {
    case 2:
      out = (ph >= -1.0f && ph <= 1.0f) ? 2.0f * a * std::fabs(ph) - a : -a;
      break;
    case 3:
      out = a * ph;
      break;
    case 4: {
      const double s = sinTurns(ph + modulate(phaseOffset, modulation(modPhase)));
      out = s >= 0.5 ? a : (s < -0.5 ? -a : 0.0f);
      break;
    }
    case 5:
      out = a != 0.0f ? stepNoise(a, wrapped) : value.load();
      break;
    case 6: {
      const float p = modulate(phaseOffset, modulation(modPhase));
      const float w = modulate(pulseWidth, modulation(modPwm));
      out = (ph + p <= w) ? a : -a;
      break;
    }
    default:
      out = 0.0f;
      break;
  }

  // Held within [-1, 1]; a value that is not a number is silence.
  if (!(out > -1.0f && out < 1.0f)) out = out >= 1.0f ? 1.0f : (out <= -1.0f ? -1.0f : 0.0f);
  value = out;
  return 1;
}
