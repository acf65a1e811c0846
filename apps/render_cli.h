#pragma once
// morvel-render's command line and output: reads the arguments, builds the
// synthesizer from the patch, renders it offline and streams 16-bit stereo
// 44100 Hz sound to disk.

#include <cstdint>
#include <string>
#include <vector>

#include "patch/render.h"

struct RenderOptions {
  std::string patch;
  std::string output;
  double seconds = 10.0;
  unsigned seed = 1;
  std::vector<KeyPress> presses;
  bool help = false;  // --help: print the usage and do nothing else
};

extern const char kRenderUsage[];

// Reads `morvel-render PATCH -o OUT.wav [-s SECONDS] [--seed N]
// [--press T:KEY:NOTE:DUR]... | --help`. False with `error` set on a usage
// error.
bool parseRenderArguments(int argc, const char* const* argv, RenderOptions& options, std::string& error);

// A WAV file holds at most 4 GiB: a render whose data would pass that is
// written as RF64 (the same samples, 64-bit sizes) instead.
bool needsRf64(long frames);

// Renders `frames` frames of `synth` into `path`, streamed through a unique
// temporary file (created exclusively beside it, flushed to disk, renamed
// over `path` only when complete). False (message printed) on failure; the
// target is then untouched.
bool renderToFile(GENERATOR& synth, long frames, const std::vector<KeyPress>& presses, const std::string& path);

// The whole tool; returns the exit status: 0 done (or --help), 1 a file that
// cannot be read or written or a press without its keyboard, 2 a usage
// error, -1 a fatal error in the patch (as the synthesizer's start-up).
int renderMain(int argc, const char* const* argv);
