#pragma once
// The offline renderer behind morvel-render: builds the synthesizer from a
// patch as the start-up does (note table, synthesizer, master input; no
// menus, no network, no window), runs the render callback as fast as the CPU
// allows and writes 16-bit stereo 44100 Hz WAV. Renders are repeatable: the
// process-wide random generator is seeded with the chosen seed at the start
// and after every reseed the engine makes.

#include <cstdint>
#include <string>
#include <vector>

class GENERATOR;

// --press T:KEY:NOTE:DUR: at T seconds press NOTE (retriggered) on the
// keyboard that findKeyboard(KEY) returns, release it DUR seconds later.
struct KeyPress {
  double time = 0.0;
  std::string keyboard;
  int note = 0;
  double duration = 0.0;
};

struct RenderOptions {
  std::string patch;
  std::string output;
  double seconds = 10.0;
  unsigned seed = 1;
  std::vector<KeyPress> presses;
};

// Reads `morvel-render PATCH -o OUT.wav [-s SECONDS] [--seed N]
// [--press T:KEY:NOTE:DUR]...`. False with `error` set on a usage error.
bool parseRenderArguments(int argc, const char* const* argv, RenderOptions& options, std::string& error);

// Makes renders repeatable: seeds the random generator with `seed` now and
// after every reseed the engine makes from then on.
void holdRandomSeed(unsigned seed);

// Renders `frames` frames of `synth` (made the current synthesizer, with the
// master input bound to its "MIXER_4") through the render callback, in
// buffers of 12288 bytes; a buffer is filled in pieces where a key event
// falls inside it, so that presses land on their exact frame. Appends the
// interleaved left/right samples to `out`. False (message printed) when a
// press names no keyboard.
bool renderFrames(GENERATOR& synth, long frames, const std::vector<KeyPress>& presses, std::vector<int16_t>& out);

// Writes interleaved 16-bit stereo samples as a 44100 Hz WAV file, through a
// temporary file renamed over `path`. False (message printed) on failure.
bool writeWav(const std::string& path, const std::vector<int16_t>& samples);

// The whole tool; returns the exit status: 0 done, 1 a file that cannot be
// read or written or a press without its keyboard, 2 a usage error, -1 a
// fatal error in the patch (as the synthesizer's start-up).
int renderMain(int argc, const char* const* argv);
