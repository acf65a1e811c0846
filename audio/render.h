#pragma once
// The render callback and the flags the main thread uses to steer it.

#include <cstdint>

#include "audio/fsound.h"
#include "engine/shared.h"

// 0: the callback renders nothing and leaves the buffer untouched. Main
// thread (editor, load dialog) writes; the audio thread reads per buffer.
extern Shared<int> audioEnabled;
// 1: every rendered frame is handed to the output-trace hook. Main thread
// writes; the audio thread reads per frame. 0 at start.
extern Shared<int> scopeEnabled;
// Horizontal speed of the output trace; 1.0 at start. Main thread writes,
// the trace reads.
extern Shared<float> scopeZoom;

// Multiplies scopeZoom by `factor` (the zoom keys: 2 or 0.5), keeping it
// within 1/1024 .. 1024 however often a key is pressed. Main thread.
void scaleScopeZoom(float factor);

// Output-trace hook: called on the audio thread with each frame's master
// value v and the callback's frame count n while scopeEnabled is 1. It must
// not block or do I/O. Default: none.
using ScopeHook = void (*)(float v, int n);
void setScopeHook(ScopeHook hook);  // any thread; null removes it
ScopeHook scopeHook();

// The master value as a 16-bit sample: v x 32767 truncated toward zero,
// saturated to +-32767 beyond +-1; not-a-number gives 0.
int16_t masterToSample(float v);

// The stream callback: while audioEnabled is set, steps the current
// synthesizer (currentGenerator; null renders silence) once per frame of
// `length` / 4 frames and writes the master value to both channels.
// Always returns 1. Audio thread only: takes no lock, does no I/O.
int renderCallback(FSOUND_STREAM* stream, void* buffer, int length, void* userData);
