#include "patch/port_table.h"

#include <array>
#include <cstring>
#include <type_traits>

#include "engine/audio_lock.h"

namespace {

using K = ModuleKind;
using S = PortSlot;
using F = PortFamily;

constexpr std::array kControllers{K::Sequencer, K::Keyboard};
constexpr std::array kKeyboardFirst{K::Keyboard, K::Sequencer};
constexpr std::array kKeyboardOnly{K::Keyboard};
constexpr std::array kModulators{K::Oscillator, K::Sampler, K::Amplifier};
constexpr std::array kSamplerModulators{K::Oscillator, K::Sampler};
constexpr std::array kAmplifierSources{K::Oscillator, K::Filter, K::Sampler, K::Mixer};
constexpr std::array kFilterSources{K::Filter,    K::Oscillator, K::Sampler, K::Mixer,
                                    K::Amplifier, K::Sequencer,  K::Keyboard};
constexpr std::array kChannelSources{K::Oscillator, K::Sampler, K::Amplifier, K::Filter, K::Mixer};

// Each kind's rows in cord order. The reader tries the rows of a statement's
// kind in this order too, which is the order its keys were always applied.
const PortSpec kOscillatorPorts[] = {
    {K::Oscillator, S::Main, "INPUT", "IN", F::Signal, kControllers, true, true},
    {K::Oscillator, S::ModAmp, "INPUT_MOD_AMP", "MOD_AMP", F::Signal, kModulators, true, true},
    {K::Oscillator, S::ModFreq, "INPUT_MOD_FREQ", "MOD_FREQ", F::Signal, kModulators, true, true},
    {K::Oscillator, S::ModPhase, "INPUT_MOD_PHASE", "MOD_PHASE", F::Signal, kModulators, true, true},
    {K::Oscillator, S::ModPwm, "INPUT_MOD_PWM", "MOD_PWM", F::Signal, kModulators, true, true},
    {K::Oscillator, S::Sync, "INPUT_SYNC", "SYNC", F::Sync, kControllers, true, true},
    {K::Oscillator, S::Gate, "INPUT_GATE", "GATE", F::Gate, kControllers, true, true},
};
const PortSpec kSamplerPorts[] = {
    {K::Sampler, S::Main, "INPUT", "IN", F::Signal, kControllers, true, true},
    {K::Sampler, S::ModAmp, "INPUT_MOD_AMP", "MOD_AMP", F::Signal, kSamplerModulators, true, true},
    {K::Sampler, S::ModFreq, "INPUT_MOD_FREQ", "MOD_FREQ", F::Signal, kSamplerModulators, true, true},
    {K::Sampler, S::ModPhase, "INPUT_MOD_PHASE", "MOD_PHASE", F::Signal, kSamplerModulators, true, true},
    {K::Sampler, S::Sync, "INPUT_SYNC", "SYNC", F::Sync, kControllers, true, true},
    {K::Sampler, S::Gate, "INPUT_GATE", "GATE", F::Gate, kControllers, true, true},
};
const PortSpec kFilterPorts[] = {
    {K::Filter, S::Main, "INPUT", "IN", F::Signal, kFilterSources, true, true},
    {K::Filter, S::ModAmp, "INPUT_MOD_AMP", "MOD_AMP", F::Signal, kModulators, true, true},
    {K::Filter, S::ModFreq, "INPUT_MOD_FREQ", "MOD_FREQ", F::Signal, kModulators, true, true},
    {K::Filter, S::ModPhase, "INPUT_MOD_PHASE", "MOD_PHASE", F::Signal, kModulators, true, true},
    {K::Filter, S::Sync, "INPUT_SYNC", "SYNC", F::Sync, kControllers, true, false},
    {K::Filter, S::Gate, "INPUT_GATE", "GATE", F::Gate, kKeyboardFirst, true, true},
};
const PortSpec kAmplifierPorts[] = {
    {K::Amplifier, S::Main, "INPUT", "IN", F::Signal, kAmplifierSources, true, true},
    {K::Amplifier, S::Gate, "INPUT_GATE", "GATE", F::Gate, kKeyboardFirst, true, true},
};
const PortSpec kMixerPorts[] = {
    {K::Mixer, S::Channel, "INPUT_%d", "ADD_CHANELL", F::Signal, kChannelSources, true, true},
};
const PortSpec kSequencerPorts[] = {
    {K::Sequencer, S::Sync, "INPUT_SYNC", "SYNC", F::Sync, kKeyboardOnly, false, false},
};

// The modulation slot of a module that has one, or null.
Shared<INPUT*>* modulationSlot(ModuleRef m, PortSlot slot) {
  VCO* osc = m.kind == K::Oscillator ? m.oscillator() : m.sampler();
  PCF* pcf = m.filter();
  switch (slot) {
    case S::ModAmp:
      return osc ? &osc->modAmp : pcf ? &pcf->modAmp : nullptr;
    case S::ModFreq:
      return osc ? &osc->modFreq : pcf ? &pcf->modFreq : nullptr;
    case S::ModPhase:
      return osc ? &osc->modPhase : pcf ? &pcf->modPhase : nullptr;
    case S::ModPwm:
      return m.kind == K::Oscillator ? &osc->modPwm : nullptr;
    default:
      return nullptr;
  }
}

// Calls `f` with the typed module.
template <typename F>
auto visit(const ModuleRef& m, F f) {
  switch (m.kind) {
    case K::Sequencer:
      return f(m.sequencer());
    case K::Keyboard:
      return f(m.keyboard());
    case K::Oscillator:
      return f(m.oscillator());
    case K::Sampler:
      return f(m.sampler());
    case K::Amplifier:
      return f(m.amplifier());
    case K::Filter:
      return f(m.filter());
    case K::Mixer:
      break;
  }
  return f(m.mixer());
}

// The module as one of its port interfaces (INPUT, INPUT_GATE, OUTPUT_SYNC,
// ...), or null when its kind has no such port.
template <typename Port>
Port* portOf(const ModuleRef& m) {
  if (!m) return nullptr;
  return visit(m, [](auto* module) -> Port* {
    if constexpr (std::is_base_of_v<Port, std::remove_pointer_t<decltype(module)>>) {
      return module;
    } else {
      return nullptr;
    }
  });
}

INPUT* mainInput(ModuleRef m) { return portOf<INPUT>(m); }
INPUT_GATE* gateInput(ModuleRef m) { return portOf<INPUT_GATE>(m); }
INPUT_SYNC* syncInput(ModuleRef m) { return portOf<INPUT_SYNC>(m); }

// Stores a new modulation input connected to `source` (null: none) and frees
// the one it replaces once no render can be reading it.
void replaceModulation(Shared<INPUT*>& slot, const OUTPUT* source) {
  INPUT* fresh = nullptr;
  if (source != nullptr) {
    fresh = new INPUT;
    fresh->connect(source);
  }
  INPUT* old = nullptr;
  {
    AudioLock lock;
    old = slot;
    slot = fresh;
  }
  delete old;
}

template <typename Module>
Module* typed(const ModuleRef& r, ModuleKind kind) {
  return r.kind == kind ? static_cast<Module*>(r.output) : nullptr;
}

}  // namespace

const char* kindWord(ModuleKind kind) {
  switch (kind) {
    case K::Sequencer:
      return "SEQUENCER";
    case K::Keyboard:
      return "KEY";
    case K::Oscillator:
      return "VCO";
    case K::Sampler:
      return "SAMPLER";
    case K::Amplifier:
      return "VCA";
    case K::Filter:
      return "PCF";
    case K::Mixer:
      return "MIXER";
  }
  return "";
}

bool nameHasKind(const char* name, ModuleKind kind) {
  return name != nullptr && std::strstr(name, kindWord(kind)) != nullptr;
}

SEQUENCER* ModuleRef::sequencer() const { return typed<SEQUENCER>(*this, K::Sequencer); }
KEYBOARD* ModuleRef::keyboard() const { return typed<KEYBOARD>(*this, K::Keyboard); }
VCO* ModuleRef::oscillator() const { return typed<VCO>(*this, K::Oscillator); }
SAMPLER* ModuleRef::sampler() const {
  return kind == K::Sampler ? static_cast<SAMPLER*>(static_cast<VCO*>(output)) : nullptr;
}
VCA* ModuleRef::amplifier() const { return typed<VCA>(*this, K::Amplifier); }
PCF* ModuleRef::filter() const { return typed<PCF>(*this, K::Filter); }
MIXER* ModuleRef::mixer() const { return typed<MIXER>(*this, K::Mixer); }

const char* ModuleRef::name() const {
  if (output == nullptr) return "";
  return visit(*this, [](auto* module) -> const char* { return module->name; });
}

OUTPUT_GATE* ModuleRef::gateOutput() const { return portOf<OUTPUT_GATE>(*this); }

OUTPUT_SYNC* ModuleRef::syncOutput() const { return portOf<OUTPUT_SYNC>(*this); }

ModuleRef findModule(const GENERATOR& g, ModuleKind kind, const char* name) {
  if (!nameHasKind(name, kind)) return {};
  switch (kind) {
    case K::Sequencer:
      if (SEQUENCER* m = g.findSequencer(name)) return m;
      break;
    case K::Keyboard:
      if (KEYBOARD* m = g.findKeyboard(name)) return m;
      break;
    case K::Oscillator:
      if (VCO* m = g.findOscillator(name)) return m;
      break;
    case K::Sampler:
      if (SAMPLER* m = g.findSampler(name)) return m;
      break;
    case K::Amplifier:
      if (VCA* m = g.findAmplifier(name)) return m;
      break;
    case K::Filter:
      if (PCF* m = g.findFilter(name)) return m;
      break;
    case K::Mixer:
      if (MIXER* m = g.findMixer(name)) return m;
      break;
  }
  return {};
}

uint32_t familyColour(PortFamily family) {
  switch (family) {
    case F::Gate:
      return 0xFF0000;
    case F::Sync:
      return 0x0000FF;
    case F::Signal:
      break;
  }
  return 0xFFFFFF;
}

const char* outputPlug(PortFamily family) {
  switch (family) {
    case F::Gate:
      return "OUTPUT_GATE";
    case F::Sync:
      return "OUTPUT_SYNC";
    case F::Signal:
      break;
  }
  return "OUTPUT";
}

PortFamily plugFamily(const char* plugName) {
  if (plugName == nullptr) return F::Signal;
  if (std::strstr(plugName, "_GATE")) return F::Gate;
  if (std::strstr(plugName, "_SYNC")) return F::Sync;
  return F::Signal;
}

std::span<const PortSpec> portsOf(ModuleKind kind) {
  switch (kind) {
    case K::Oscillator:
      return kOscillatorPorts;
    case K::Sampler:
      return kSamplerPorts;
    case K::Filter:
      return kFilterPorts;
    case K::Amplifier:
      return kAmplifierPorts;
    case K::Mixer:
      return kMixerPorts;
    case K::Sequencer:
      return kSequencerPorts;
    case K::Keyboard:
      break;
  }
  return {};
}

const PortSpec* findPort(ModuleKind kind, PortSlot slot) {
  for (const PortSpec& p : portsOf(kind))
    if (p.slot == slot) return &p;
  return nullptr;
}

PortSlot signalSlotOfPlug(ModuleKind kind, const char* plug) {
  if (kind == K::Mixer) return S::Channel;
  if (plug != nullptr) {
    if (std::strstr(plug, "INPUT_MOD_FREQ")) return S::ModFreq;
    if (std::strstr(plug, "INPUT_MOD_PHASE")) return S::ModPhase;
    if (kind == K::Oscillator && std::strstr(plug, "INPUT_MOD_PWM")) return S::ModPwm;
    if (std::strstr(plug, "INPUT_MOD_AMP")) return S::ModAmp;
  }
  return S::Main;
}

const void* outputField(ModuleRef source, PortFamily family) {
  if (!source) return nullptr;
  switch (family) {
    case F::Signal:
      return &source.output->value;
    case F::Gate: {
      OUTPUT_GATE* g = source.gateOutput();
      return g ? &g->gate : nullptr;
    }
    case F::Sync: {
      OUTPUT_SYNC* s = source.syncOutput();
      return s ? &s->fired : nullptr;
    }
  }
  return nullptr;
}

const void* boundField(ModuleRef target, PortSlot slot, int channel) {
  if (!target) return nullptr;
  switch (slot) {
    case S::Main: {
      const INPUT* in = mainInput(target);
      return in ? in->source.load() : nullptr;
    }
    case S::Gate: {
      const INPUT_GATE* in = gateInput(target);
      return in ? in->gateSource.load() : nullptr;
    }
    case S::Sync: {
      const INPUT_SYNC* in = syncInput(target);
      return in ? in->syncSource.load() : nullptr;
    }
    case S::Channel: {
      const MIXER* m = target.mixer();
      if (m == nullptr || channel < 0 || channel >= MIXER::kChannels) return nullptr;
      return m->channelInput[channel].source.load();
    }
    default: {
      const Shared<INPUT*>* mod = modulationSlot(target, slot);
      const INPUT* in = mod ? mod->load() : nullptr;
      return in ? in->source.load() : nullptr;
    }
  }
}

bool bindPort(ModuleRef target, PortSlot slot, ModuleRef source, int channel) {
  if (!target || !source) return false;
  switch (slot) {
    case S::Main:
      if (INPUT* in = mainInput(target)) {
        in->connect(source.output);
        return true;
      }
      return false;
    case S::Gate: {
      INPUT_GATE* in = gateInput(target);
      OUTPUT_GATE* out = source.gateOutput();
      if (in == nullptr || out == nullptr) return false;
      in->connectGate(out);
      return true;
    }
    case S::Sync: {
      INPUT_SYNC* in = syncInput(target);
      OUTPUT_SYNC* out = source.syncOutput();
      if (in == nullptr || out == nullptr) return false;
      in->connectSync(out);
      return true;
    }
    case S::Channel: {
      MIXER* m = target.mixer();
      if (m == nullptr) return false;
      if (channel < 0) return m->addChannel(source.output, -1) == 1;
      if (channel >= m->channelCount || channel >= MIXER::kChannels) return false;
      m->channelInput[channel].connect(source.output);
      return true;
    }
    default:
      if (Shared<INPUT*>* mod = modulationSlot(target, slot)) {
        replaceModulation(*mod, source.output);
        return true;
      }
      return false;
  }
}

void unbindPort(ModuleRef target, PortSlot slot, int channel) {
  if (!target) return;
  switch (slot) {
    case S::Main:
      if (INPUT* in = mainInput(target)) in->connect(nullptr);
      break;
    case S::Gate:
      if (INPUT_GATE* in = gateInput(target)) in->connectGate(nullptr);
      break;
    case S::Sync:
      if (INPUT_SYNC* in = syncInput(target)) in->connectSync(nullptr);
      break;
    case S::Channel:
      if (MIXER* m = target.mixer(); m != nullptr && channel >= 0 && channel < MIXER::kChannels)
        m->channelInput[channel].connect(nullptr);
      break;
    default:
      if (Shared<INPUT*>* mod = modulationSlot(target, slot)) replaceModulation(*mod, nullptr);
      break;
  }
}

void releaseSynth(GENERATOR* synth) {
  if (synth == nullptr) return;
  auto dropModulations = [](ModuleRef m) {
    for (PortSlot s : {S::ModAmp, S::ModFreq, S::ModPhase, S::ModPwm}) {
      if (Shared<INPUT*>* mod = modulationSlot(m, s)) {
        delete mod->load();
        *mod = nullptr;
      }
    }
  };
  for (VCO* m : synth->oscillators) dropModulations(m);
  for (SAMPLER* m : synth->samplers) dropModulations(m);
  for (PCF* m : synth->filters) dropModulations(m);
  // Queued step events name their sequencer: none may outlive it.
  if (!synth->sequencers.empty()) dropStepEvents();
  for (auto* m : synth->sequencers) delete m;
  for (auto* m : synth->keyboards) delete m;
  for (auto* m : synth->oscillators) delete m;
  for (auto* m : synth->mixers) delete m;
  for (auto* m : synth->samplers) delete m;
  for (auto* m : synth->amplifiers) delete m;
  for (auto* m : synth->filters) delete m;
  delete synth;
}
