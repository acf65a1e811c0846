// Patch files: both passes of the readers, then the objects writer.

#include <cstdio>

#include "engine/engine.h"
#include "fuzz_input.h"
#include "patch/patch.h"
#include "patch/port_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = (fillNoteTable(), true);
  (void)ready;
  auto* synth = new GENERATOR(fuzz::writeInput(data, size));
  if (std::FILE* out = std::fopen("/dev/null", "w")) {
    synth->writeObjects(out);
    std::fclose(out);
  }
  releaseSynth(synth);
  return 0;
}
