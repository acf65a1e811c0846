#include "engine/generator.h"

#include <cstring>

GENERATOR* currentGenerator = nullptr;
INPUT* masterInput = nullptr;

GENERATOR::GENERATOR() : OUTPUT(0.0f) { patchPath[0] = '\0'; }

int GENERATOR::process() {
  value = 0.0f;
  return 1;
}

namespace {

template <typename Module>
Module* findByName(const std::vector<Module*>& list, const char* name) {
  if (name == nullptr) return nullptr;
  for (Module* m : list) {
    if (std::strcmp(m->name, name) == 0) return m;
  }
  return nullptr;
}

template <typename Module>
void stepAll(const std::vector<Module*>& list) {
  for (Module* m : list) m->process();
}

}  // namespace

SEQUENCER* GENERATOR::findSequencer(const char* name) const { return findByName(sequencers, name); }

KEYBOARD* GENERATOR::findKeyboard(const char* name) const {
  if (keyboards.size() == 1) return keyboards.front();
  return findByName(keyboards, name);
}

VCO* GENERATOR::findOscillator(const char* name) const { return findByName(oscillators, name); }
MIXER* GENERATOR::findMixer(const char* name) const { return findByName(mixers, name); }
SAMPLER* GENERATOR::findSampler(const char* name) const { return findByName(samplers, name); }
VCA* GENERATOR::findAmplifier(const char* name) const { return findByName(amplifiers, name); }
PCF* GENERATOR::findFilter(const char* name) const { return findByName(filters, name); }

size_t GENERATOR::moduleCount() const {
  return sequencers.size() + keyboards.size() + oscillators.size() + mixers.size() + samplers.size() +
         amplifiers.size() + filters.size();
}

void connectMasterInput(GENERATOR& synth) {
  if (masterInput == nullptr) masterInput = new INPUT;
  masterInput->connect(synth.findMixer("MIXER_4"));
}

float stepFrame(GENERATOR& synth) {
  stepAll(synth.sequencers);
  stepAll(synth.keyboards);
  stepAll(synth.oscillators);
  stepAll(synth.mixers);
  stepAll(synth.samplers);
  stepAll(synth.amplifiers);
  stepAll(synth.filters);
  const INPUT* master = masterInput;
  if (master == nullptr || !master->connected()) return 0.0f;
  return master->read();
}
