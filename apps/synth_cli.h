#pragma once
// morvel-synth's command line and its console frame loop (the headless front
// end, driven by the remote box).

#include <string>

struct SynthOptions {
  bool headless = false;
  std::string patch;     // empty: start with an empty synthesizer
  int bufferFrames = 0;  // --buffer: frames per sound buffer (64 to 3072); 0 keeps the default
};

extern const char kSynthUsage[];

// Reads `morvel-synth [--headless] [--buffer FRAMES] [PATCH]`. Returns -1 to
// go on, or the exit status after printing: 0 for --help (the usage on
// standard output), 2 for a usage error (the error and the usage on the
// error stream).
int parseSynthArguments(int argc, const char* const* argv, SynthOptions& options);

// One pass of the console frame loop: rendering on, at most one waiting
// remote client accepted and served on its own thread, one poll of the
// remote buttons. Returns what pollButtons returned.
int synthFrame();

// Asks the frame loop to end after its current pass. Async-signal-safe.
void requestSynthStop();

// Runs synthFrame about 100 times a second until requestSynthStop (SIGINT
// and SIGTERM call it once the loop has installed its handlers). Returns the
// number of passes run.
long runSynthLoop();

// The headless front end: the stage message, the start-up, the frame loop,
// then the close-down (stopSynth: remote connections, listening socket,
// stream and sound library, the sound load printed). Returns the program's
// exit status.
int runHeadlessSynth(const SynthOptions& options);
