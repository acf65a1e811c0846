#include "synthgui/knob_rules.h"

#include <cmath>
#include <cstdlib>

float bandStep(float v, KnobStep step, FineBands fine) {
  if (step == KnobStep::None) return v;
  const bool raise = step == KnobStep::Down;
  const float sign = raise ? 1.0f : -1.0f;
  if (v >= 50 && v < 22050) v += sign * 1.0f;
  if (v >= 20 && v < 50) v += sign * 0.5f;
  if (v >= 10 && v < 20) v += sign * 0.025f;
  if (v >= 1 && v < 10) v += sign * 0.0125f;
  // 0.1 belongs to the upper fine band and a volume of 0.01 to the lower
  // one: otherwise a pulse width of 0.1 (the default) or a volume of 0.01
  // (what raising 0 gives) would never move again.
  if (fine == FineBands::Frequency) {
    if (v >= 0.1f && v < 1) v += sign * 0.00625f;
    if (v > (raise ? 0.00001f : 0.01f) && v < 0.1f) v += sign * 0.003125f;
    if (v <= 0.001f) v = 0.001f;
  } else {
    if (v >= 0.1f && v < 1) v += sign * 0.00625f;
    if ((raise ? v >= 0.001f : v >= 0.01f) && v < 0.1f) v += sign * 0.003125f;
    if (raise && v == 0) v = 0.01f;
    if (!raise && v < 0.01f) v = 0;
  }
  return v;
}

int cutoffStep(int c, KnobStep step) {
  if (step == KnobStep::Down) {
    if (c >= 5000 && c <= 12000) c -= 100;
    if (c >= 2500 && c < 5000) c -= 50;
    if (c >= 1000 && c < 2500) c -= 25;
    if (c >= 100 && c < 1000) c -= 10;
    if (c >= 10 && c < 100) c -= 2;
    if (c >= 2 && c < 10) c -= 1;
  } else if (step == KnobStep::Up) {
    if (c >= 5000 && c < 10000) c += 100;
    if (c >= 2500 && c < 5000) c += 50;
    if (c >= 1000 && c < 2500) c += 25;
    if (c >= 100 && c < 1000) c += 10;
    if (c >= 10 && c < 100) c += 2;
    if (c >= 1 && c < 10) c += 1;
  }
  return c;
}

float speedStep(float speed, KnobStep step) {
  if (step == KnobStep::None) return speed;
  const float sign = step == KnobStep::Down ? 1.0f : -1.0f;
  // |whole part|, kept within range for any finite speed.
  auto whole = [](float s) { return std::fabs(std::trunc(s)); };
  if (whole(speed) >= 50 && whole(speed) < 22050) speed += sign * 1.0f;
  if (whole(speed) >= 20 && whole(speed) < 50) speed += sign * 0.5f;
  if (whole(speed) >= 10 && whole(speed) < 20) speed += sign * 0.025f;
  if (whole(speed) >= 1 && whole(speed) < 10) speed += sign * 0.0125f;
  return speed + sign * 0.003125f;
}

float phaseStep(float phase, KnobStep step) {
  if (step == KnobStep::Down) phase -= 1;
  if (step == KnobStep::Up) phase += 1;
  if (!std::isfinite(phase)) return 0;
  return std::fmod(std::trunc(phase), 360.0f);
}

int wholeAngle(float v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483520.0f) return 2147483520;
  if (v <= -2147483648.0f) return -2147483647 - 1;
  return static_cast<int>(v);
}
