// Patch files: both passes of the readers, then the objects writer.

#include <cstdio>

#include "engine/engine.h"
#include "fuzz_input.h"
#include "patch/patch.h"

namespace {

template <typename List>
void freeAll(List& list) {
  for (auto* module : list) delete module;
  list.clear();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = (fillNoteTable(), true);
  (void)ready;
  const char* path = fuzz::writeInput(data, size);
  GENERATOR synth(path);
  if (std::FILE* out = std::fopen("/dev/null", "w")) {
    synth.writeObjects(out);
    std::fclose(out);
  }
  // Modules are never freed by the engine; the harness frees its own.
  freeAll(synth.sequencers);
  freeAll(synth.keyboards);
  freeAll(synth.oscillators);
  freeAll(synth.mixers);
  freeAll(synth.samplers);
  freeAll(synth.amplifiers);
  freeAll(synth.filters);
  return 0;
}
