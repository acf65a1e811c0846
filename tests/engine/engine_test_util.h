#pragma once
// Helpers for engine tests: a constant source, running a module, and measuring
// what it produced.

#include <cmath>
#include <vector>

#include "engine/engine.h"

// An OUTPUT whose value the test sets.
class ConstantSource : public OUTPUT {
 public:
  explicit ConstantSource(float v = 0.0f) : OUTPUT(v) {}
  int process() override { return 1; }
};

// A gate the test opens and closes.
class TestGate : public OUTPUT_GATE {};

// Steps `module` n times and returns its values.
template <typename Module>
std::vector<float> run(Module& module, int n) {
  std::vector<float> out;
  out.reserve(n);
  for (int i = 0; i < n; ++i) {
    module.process();
    out.push_back(module.value);
  }
  return out;
}

// Times of the rising zero crossings, in samples, placed between the two
// samples around each crossing by linear interpolation.
inline std::vector<double> risingCrossings(const std::vector<float>& s) {
  std::vector<double> ups;
  for (size_t i = 1; i < s.size(); ++i) {
    if (s[i - 1] < 0.0f && s[i] >= 0.0f) {
      const double a = s[i - 1], b = s[i];
      ups.push_back(static_cast<double>(i - 1) + (0.0 - a) / (b - a));
    }
  }
  return ups;
}

// Mean distance in samples between rising zero crossings, skipping the first.
inline double meanPeriod(const std::vector<float>& s) {
  const std::vector<double> ups = risingCrossings(s);
  if (ups.size() < 3) return 0.0;
  return (ups.back() - ups[1]) / static_cast<double>(ups.size() - 2);
}

inline double rms(const std::vector<float>& s) {
  double sum = 0;
  for (float v : s) sum += static_cast<double>(v) * v;
  return s.empty() ? 0.0 : std::sqrt(sum / s.size());
}

struct NoteTableFilled {
  NoteTableFilled() { fillNoteTable(); }
};
