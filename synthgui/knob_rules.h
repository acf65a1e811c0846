#pragma once
// How a knob step changes a module value: the relative step sizes of the
// panels, as pure functions of the value and the step. A step "Down" is the
// pointer moving down ("SLD_DOWN"), "Up" moving up.

#include "gui/messages.h"

// The band step rule (oscillator frequency, volume and pulse width, sampler
// volume): "Down" raises the value, "Up" lowers it, by 1, 0.5, 0.025,
// 0.0125, 0.00625 or 0.003125 depending on the band the value is in; the
// bands are tried from the top, each on the value the previous one left, so
// a value that falls into a lower band is stepped again there. A value at or
// above 22050 never moves.
//   Frequency: fine bands 0.1 <= v < 1 and 0.00001 (raising) or 0.01
//     (lowering) < v < 0.1; never below 0.001 afterwards.
//   Volume: fine bands 0.1 <= v < 1 and 0.001 (raising) or 0.01 (lowering)
//     <= v < 0.1; raising 0 gives 0.01, lowering below 0.01 gives 0.
enum class FineBands { Frequency, Volume };
float bandStep(float value, KnobStep step, FineBands fine);

// The filter cut-off in Hz: "Down" lowers it by 100 / 50 / 25 / 10 / 2 / 1
// from at most 12000 down to 2, "Up" raises it the same way from 1 up to
// 10000 (so to at most 10099).
int cutoffStep(int cutoff, KnobStep step);

// The sampler's playback speed: bands on the whole part of |speed|, then a
// further 0.003125 every step; no floor (the speed may turn negative).
float speedStep(float speed, KnobStep step);

// A phase in degrees: "Down" takes 1 off, "Up" adds 1, then the whole part
// is kept, wrapped to -359 ... 359 with the sign of the value (359 + 1 gives
// 0, 0 - 1 gives -1). A value that is not finite gives 0.
float phaseStep(float phase, KnobStep step);

// A value as a knob angle: its whole part, held within int (0 for not a
// number), so that no stored value makes the conversion undefined.
int wholeAngle(float value);
