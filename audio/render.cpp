#include "audio/render.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/generator.h"

Shared<int> audioEnabled{0};
Shared<int> scopeEnabled{0};
Shared<float> scopeZoom{1.0f};

namespace {
Shared<ScopeHook> currentScopeHook{nullptr};
}

void scaleScopeZoom(float factor) {
  constexpr float kLeast = 1.0f / 1024, kMost = 1024;
  const float z = scopeZoom * factor;
  scopeZoom = std::isfinite(z) ? std::clamp(z, kLeast, kMost) : 1.0f;
}

void setScopeHook(ScopeHook hook) { currentScopeHook = hook; }

ScopeHook scopeHook() { return currentScopeHook; }

int16_t masterToSample(float v) {
  if (std::isnan(v)) return 0;
  // Compare before converting: a float beyond the int range must not reach
  // the conversion, and a loud passage must clip rather than wrap.
  float s = v * 32767.0f;
  if (s >= 32767.0f) return 32767;
  if (s <= -32767.0f) return -32767;
  return static_cast<int16_t>(static_cast<int>(s));
}

int renderCallback(FSOUND_STREAM*, void* buffer, int length, void*) {
  if (!audioEnabled) return 1;
  const int frames = length / 4;
  GENERATOR* synth = currentGenerator;
  ScopeHook hook = currentScopeHook;
  auto* out = static_cast<unsigned char*>(buffer);
  for (int i = 0; i < frames; ++i) {
    float v = synth != nullptr ? stepFrame(*synth) : 0.0f;
    int16_t s = masterToSample(v);
    // Little-endian left then right, the same value in both.
    const auto u = static_cast<uint16_t>(s);
    unsigned char* frame = out + 4 * i;
    frame[0] = frame[2] = static_cast<unsigned char>(u & 0xff);
    frame[1] = frame[3] = static_cast<unsigned char>(u >> 8);
    if (hook != nullptr && scopeEnabled == 1) hook(v, frames);
  }
  return 1;
}
