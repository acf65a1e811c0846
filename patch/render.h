#pragma once
// Offline rendering: builds nothing itself, but runs a synthesizer built from
// a patch (note table, synthesizer, master input; no menus, no network, no
// window) through the render callback as fast as the CPU allows. Renders are
// repeatable: the process-wide random generator is seeded with the chosen
// seed at the start and after every reseed the engine makes.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class GENERATOR;

// At `time` seconds press `note` (retriggered) on the keyboard that
// findKeyboard(keyboard) returns, release it `duration` seconds later.
struct KeyPress {
  double time = 0.0;
  std::string keyboard;
  int note = 0;
  double duration = 0.0;
};

// Makes renders repeatable: seeds the random generator with `seed` now and
// after every reseed the engine makes from then on.
void holdRandomSeed(unsigned seed);

// Receives each rendered stretch: `frames` frames of interleaved left/right
// 16-bit samples. Returns false to stop the render (a failed write).
using RenderSink = std::function<bool(const int16_t* samples, long frames)>;

// Renders `frames` frames of `synth` (made the current synthesizer, with the
// master input bound to its "MIXER_4") through the render callback, in
// buffers of 12288 bytes handed to `sink` one by one, so that a render of
// any length holds one buffer in memory; a buffer is filled in pieces where
// a key event falls inside it, so that presses land on their exact frame.
// False when a press names no keyboard (message printed) or the sink
// stopped the render.
bool renderFrames(GENERATOR& synth, long frames, const std::vector<KeyPress>& presses, const RenderSink& sink);

// The same, appending the samples to `out`.
bool renderFrames(GENERATOR& synth, long frames, const std::vector<KeyPress>& presses, std::vector<int16_t>& out);
