#include "engine/pcf.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace {
constexpr double kTwoPi = 6.283185307179586;
constexpr double kRate = 44100.0;

inline bool sameBits(float a, float b) { return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b); }
}  // namespace

PCF::PCF() { name[0] = '\0'; }

// Inlined into the step: it runs once per sample. The settings are compared
// as raw bits (equal bits are equal values), and the general form needs no
// branch on the response.
[[gnu::always_inline]] inline double PCF::biquad(double x, Settings settings) {
  if (!sameBits(settings.freq, cached.freq) || !sameBits(settings.q, cached.q) ||
      !sameBits(settings.gain, cached.gain) || settings.type != cached.type)
    updateCoefficients(settings);
  const double y = s0 * x + s1 * x1 + s2 * x2 - a1 * y1 - a2 * y2;
  y2 = y1;
  y1 = y;
  x2 = x1;
  x1 = x;
  return y;
}

// `value` is written by this step only: it is worked on as a local and
// stored once.
int PCF::process() {
  float out;
  const Shared<float>* in = source;
  if (power == 0) {
    out = value;
  } else if (in == nullptr) {
    out = 0.0f;
  } else {
    const float x = *in;
    if (bypass != 0) {
      out = x;
    } else {
      float m = mix;
      float f = static_cast<float>(cutoff.load());
      const INPUT* mixLink = modAmp;
      const INPUT* freqLink = modFreq;
      if ((reinterpret_cast<uintptr_t>(mixLink) | reinterpret_cast<uintptr_t>(freqLink)) != 0) {
        if (mixLink != nullptr)
          if (const Shared<float>* mod = mixLink->source) m = m + m * *mod;
        if (freqLink != nullptr)
          if (const Shared<float>* mod = freqLink->source) f = f + f * *mod;
      }

      int type = filterType;
      if (static_cast<unsigned>(type) > 7u) filterType = type = type > 7 ? 0 : 7;

      if (x == 0.0f) {
        out = 0.0f;
      } else {
        float v = static_cast<float>(biquad(x, Settings{f, q, gainDb, type}));
        v = v + v * level;
        out = m * v + (1.0f - m) * x;
      }
    }
  }

  // Held within [-1, 1]. A value that is not a number or infinite (a cut-off
  // or mix gone bad, a filter driven unstable) is silence, and the history
  // starts clean.
  if (!(out >= -1.0f && out <= 1.0f)) {
    if (!std::isfinite(out)) {
      x1 = x2 = y1 = y2 = 0.0;
      out = 0.0f;
    } else {
      out = out > 1.0f ? 1.0f : -1.0f;
    }
  }
  value = out;
  return 1;
}

void PCF::updateCoefficients(Settings settings) {
  cached = settings;
  const double freq = settings.freq;
  const double qf = settings.q;
  const double gain = settings.gain;
  const int type = settings.type;

  const double w0 = kTwoPi * freq / kRate;
  const double sn = std::sin(w0);
  const double cs = std::cos(w0);
  const double alpha = sn / (2.0 * qf);
  // Types 0 to 4 scale the numerator by 10^(G/20); the shelves and the peak
  // use the amplitude 10^(G/40).
  const double a20 = type <= 4 ? std::pow(10.0, gain / 20.0) : 0.0;
  const double a40 = type >= 5 ? std::pow(10.0, gain / 40.0) : 0.0;

  switch (type) {
    case 0:
      b0 = a20;
      break;
    case 1:
    case 2:
    case 3:
    case 4:
      n = 1.0 / (1.0 + alpha);
      a1 = -2.0 * cs * n;
      a2 = (1.0 - alpha) * n;
      if (type == 1) {
        b1 = (1.0 - cs) * n * a20;
        b0 = b1 * 0.5;
      } else if (type == 2) {
        b1 = -(1.0 + cs) * n * a20;
        b0 = -b1 * 0.5;
      } else if (type == 3) {
        b0 = alpha * n * a20;
      } else {
        b0 = a20 * n;
        b1 = a20 * a1;
      }
      break;
    case 5:
    case 6: {
      const double A = a40;
      // Shelf slope 1; the written form of the slope term is kept as is.
      const double beta = std::sqrt((A * A + 1.0) / 1.0 - (A - 1.0) * (A - 1.0)) * sn;
      if (type == 5) {
        n = 1.0 / ((A + 1.0) + (A - 1.0) * cs + beta);
        a1 = -2.0 * ((A - 1.0) + (A + 1.0) * cs) * n;
        a2 = ((A + 1.0) + (A - 1.0) * cs - beta) * n;
        b0 = A * ((A + 1.0) - (A - 1.0) * cs + beta) * n;
        b1 = 2.0 * A * ((A - 1.0) - (A + 1.0) * cs) * n;
        b2 = A * ((A + 1.0) - (A - 1.0) * cs - beta) * n;
      } else {
        n = 1.0 / ((A + 1.0) - (A - 1.0) * cs + beta);
        a1 = 2.0 * ((A - 1.0) - (A + 1.0) * cs) * n;
        a2 = ((A + 1.0) - (A - 1.0) * cs - beta) * n;
        b0 = A * ((A + 1.0) + (A - 1.0) * cs + beta) * n;
        b1 = -2.0 * A * ((A - 1.0) + (A + 1.0) * cs) * n;
        b2 = A * ((A + 1.0) + (A - 1.0) * cs - beta) * n;
      }
      break;
    }
    case 7: {
      const double A = a40;
      n = 1.0 / (1.0 + alpha / A);
      a1 = -2.0 * cs * n;
      a2 = (1.0 - alpha / A) * n;
      b0 = (1.0 + alpha * A) * n;
      b2 = (1.0 - alpha * A) * n;
      break;
    }
    default:
      break;
  }

  // The step's form of the response's own formula.
  switch (type) {
    case 1:
    case 2:
    case 4:
      s0 = b0, s1 = b1, s2 = b0;
      break;
    case 3:  // b0 x - b0 x2
      s0 = b0, s1 = 0.0, s2 = -b0;
      break;
    case 5:
    case 6:
      s0 = b0, s1 = b1, s2 = b2;
      break;
    case 7:  // the first feed-forward term reuses a1
      s0 = b0, s1 = a1, s2 = b2;
      break;
    default:  // 0 and anything else: the input passes
      s0 = 1.0, s1 = s2 = 0.0, a1 = a2 = 0.0;
      break;
  }
}
