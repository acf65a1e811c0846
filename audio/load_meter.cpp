#include "audio/load_meter.h"

#include <cmath>
#include <cstdio>

#include "engine/shared.h"

namespace {

// Written by the playback thread only (one writer), read by any thread.
Shared<double> busySeconds{0};
Shared<double> budgetSeconds{0};
Shared<float> recentLoad{0};
Shared<float> peakLoad{0};
Shared<long> lateBuffers{0};
Shared<long> bufferCount{0};

// The recent load follows each buffer with a weight that makes about one
// second of buffers count, whatever their size.
constexpr double kRecentSeconds = 1.0;

}  // namespace

void recordRender(double seconds, int frames, int rate) {
  if (frames <= 0 || rate <= 0 || !(seconds >= 0) || !std::isfinite(seconds)) return;
  const double budget = static_cast<double>(frames) / rate;
  const double load = seconds / budget * 100.0;
  busySeconds = busySeconds + seconds;
  budgetSeconds = budgetSeconds + budget;
  const double weight = std::fmin(1.0, budget / kRecentSeconds);
  recentLoad = static_cast<float>(recentLoad + (load - recentLoad) * weight);
  if (load > peakLoad) peakLoad = static_cast<float>(load);
  if (seconds > budget) lateBuffers = lateBuffers + 1;
  bufferCount = bufferCount + 1;
}

LoadReading loadReading() {
  LoadReading r;
  r.recent = recentLoad;
  const double budget = budgetSeconds;
  r.average = budget > 0 ? static_cast<float>(busySeconds / budget * 100.0) : 0.0f;
  r.peak = peakLoad;
  r.late = lateBuffers;
  r.buffers = bufferCount;
  return r;
}

void resetLoadMeter() {
  busySeconds = 0;
  budgetSeconds = 0;
  recentLoad = 0;
  peakLoad = 0;
  lateBuffers = 0;
  bufferCount = 0;
}

void printLoadSummary() {
  const LoadReading r = loadReading();
  std::printf("Sound load: %.1f%% on average, %.1f%% at most; %ld of %ld buffers late\n", r.average, r.peak,
              r.late, r.buffers);
}
