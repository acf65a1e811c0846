// morvel-synth [--headless] [--buffer FRAMES] [patch]: the synthesizer front
// end. Until the windowed front end exists both forms run the console frame
// loop, which plays the patch and serves the remote box.

#include "apps/synth_cli.h"

int main(int argc, char** argv) {
  SynthOptions options;
  if (const int status = parseSynthArguments(argc, argv, options); status >= 0) return status;
  return runHeadlessSynth(options);
}
