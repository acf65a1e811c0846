// morvel-synth [--headless] [--buffer FRAMES] [patch]: the synthesizer. It
// opens its window unless --headless asks for the console loop, driven by
// the remote box.

#include "apps/synth_cli.h"
#include "synthgui/front_end.h"

int main(int argc, char** argv) {
  SynthOptions options;
  if (const int status = parseSynthArguments(argc, argv, options); status >= 0) return status;
  return options.headless ? runHeadlessSynth(options) : runWindowedSynth(options.patch, options.bufferFrames);
}
