#pragma once
// sin(2 pi x) for an oscillator's phase, without a library call: the argument
// is reduced exactly (x less its nearest whole number, then folded onto a
// quarter turn) and an odd polynomial of degree 9, fitted for the least
// largest error, does the rest. Absolute error below 4e-9 for every finite x;
// a value that is not a number stays one.

#include <cmath>

// x in turns. Above 2^22 in size a float has no part below one half, so the
// sine is 0 there (and for an infinite x).
inline double sinTurns(float x) {
  if (std::fabs(x) >= 4194304.0f) return 0.0;
  // Adding and removing 1.5 x 2^23 rounds to the nearest whole number; the
  // difference is exact.
  const float whole = (x + 12582912.0f) - 12582912.0f;
  float r = x - whole;  // [-0.5, 0.5]
  if (r > 0.25f) {
    r = 0.5f - r;
  } else if (r < -0.25f) {
    r = -0.5f - r;
  }
  const double z = r;
  const double z2 = z * z;
  return z * (6.2831851600897224 +
              z2 * (-41.341655031479419 + z2 * (81.601004077356549 + z2 * (-76.549782387613462 + z2 * 39.536706762014838))));
}
