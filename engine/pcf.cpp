#include "engine/pcf.h"

#include <cmath>

namespace {
constexpr double kTwoPi = 6.283185307179586;
constexpr double kRate = 44100.0;
}  // namespace

PCF::PCF() { name[0] = '\0'; }

// Inlined into the step: it runs once per sample.
[[gnu::always_inline]] inline double PCF::biquad(double x, double freq, double qf, double gain, int type) {
  if (freq != cachedFreq || qf != cachedQ || gain != cachedGain || type != cachedType)
    updateCoefficients(freq, qf, gain, type);

  double y;
  switch (type) {
    case 0:
      y = x;
      break;
    case 1:
    case 2:
    case 4:
      y = b0 * x + b1 * x1 + b0 * x2 - a1 * y1 - a2 * y2;
      break;
    case 3:
      y = b0 * x - b0 * x2 - a1 * y1 - a2 * y2;
      break;
    case 5:
    case 6:
      y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
      break;
    case 7:
      y = b0 * x + a1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
      break;
    default:
      y = x;
      break;
  }

  y2 = y1;
  y1 = y;
  x2 = x1;
  x1 = x;
  return y;
}

// `value` is written by this step only: it is worked on as a local and
// stored once.
int PCF::process() {
  float out = value;
  if (power != 0) {
    const Shared<float>* in = source;
    if (in == nullptr) {
      out = 0.0f;
    } else {
      const float x = *in;
      if (bypass != 0) {
        out = x;
      } else {
        float m = mix;
        float f = static_cast<float>(cutoff.load());
        if (INPUT* mod = modAmp)
          if (mod->connected()) m = m + m * mod->read();
        if (INPUT* mod = modFreq)
          if (mod->connected()) f = f + f * mod->read();

        int type = filterType;
        if (type > 7) filterType = type = 0;
        if (type < 0) filterType = type = 7;

        if (x == 0.0f) {
          out = 0.0f;
        } else {
          float v = static_cast<float>(biquad(x, f, q, gainDb, type));
          v = v + v * level;
          out = m * v + (1.0f - m) * x;
          if (!std::isfinite(out)) {
            // A cut-off or mix that is not a number, or a filter driven
            // unstable: silence, and a clean history to start again from.
            x1 = x2 = y1 = y2 = 0.0;
            out = 0.0f;
          }
        }
      }
    }
  }

  if (out > 1.0f) out = 1.0f;
  if (!(out >= -1.0f)) out = -1.0f;
  value = out;
  return 1;
}

void PCF::updateCoefficients(double freq, double qf, double gain, int type) {
  cachedFreq = freq;
  cachedQ = qf;
  cachedGain = gain;
  cachedType = type;

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
}
