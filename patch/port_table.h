#pragma once
// The ports of every module kind, in one table that the links reader, the
// patch-cord rules and the links writer all read: what a plug is called on a
// panel's back, what the links section of a patch file calls the same input,
// which family it belongs to, and the binding it reads and writes. A port is
// thereby named the same way on screen and in a file.
//
// Families: a binding always joins an output and an input of one family.
//   signal  "OUTPUT"       -> "INPUT", "INPUT_MOD_*", the mixer's "INPUT_%d"
//   gate    "OUTPUT_GATE"  -> "INPUT_GATE"
//   sync    "OUTPUT_SYNC"  -> "INPUT_SYNC"
//
// Binding and unbinding change the module's pointers while the audio thread
// may be reading them: call them from the thread that makes structural
// changes (the main thread); a replaced modulation input is freed under the
// audio lock, once no render can be reading it.

#include <cstdint>
#include <span>

#include "engine/generator.h"

enum class ModuleKind { Sequencer, Keyboard, Oscillator, Sampler, Amplifier, Filter, Mixer };

// The word a module name of each kind contains ("SEQUENCER", "KEY", "VCO",
// "SAMPLER", "VCA", "PCF", "MIXER"), as patch files name modules.
const char* kindWord(ModuleKind kind);
bool nameHasKind(const char* name, ModuleKind kind);

// A module of any kind: its kind and its signal output (every kind has one),
// from which the typed module is recovered.
struct ModuleRef {
  ModuleKind kind = ModuleKind::Sequencer;
  OUTPUT* output = nullptr;

  ModuleRef() = default;
  ModuleRef(SEQUENCER* m) : kind(ModuleKind::Sequencer), output(m) {}
  ModuleRef(KEYBOARD* m) : kind(ModuleKind::Keyboard), output(m) {}
  ModuleRef(VCO* m) : kind(ModuleKind::Oscillator), output(m) {}
  ModuleRef(SAMPLER* m) : kind(ModuleKind::Sampler), output(static_cast<VCO*>(m)) {}
  ModuleRef(VCA* m) : kind(ModuleKind::Amplifier), output(m) {}
  ModuleRef(PCF* m) : kind(ModuleKind::Filter), output(m) {}
  ModuleRef(MIXER* m) : kind(ModuleKind::Mixer), output(m) {}

  explicit operator bool() const { return output != nullptr; }
  bool operator==(const ModuleRef& o) const { return output == o.output; }

  // The typed module, or null when it is of another kind (a sampler is not
  // an oscillator here, although its class derives from one).
  SEQUENCER* sequencer() const;
  KEYBOARD* keyboard() const;
  VCO* oscillator() const;
  SAMPLER* sampler() const;
  VCA* amplifier() const;
  PCF* filter() const;
  MIXER* mixer() const;

  const char* name() const;
  // Keyboards and sequencers only; null for the other kinds.
  OUTPUT_GATE* gateOutput() const;
  OUTPUT_SYNC* syncOutput() const;
};

// The module of `kind` named `name` (the kind's GENERATOR lookup), or none
// when the name lacks the kind's word or no such module exists.
ModuleRef findModule(const GENERATOR& synth, ModuleKind kind, const char* name);

enum class PortFamily { Signal, Gate, Sync };

// Cord colour values, 0xRRGGBB.
uint32_t familyColour(PortFamily family);
// The output plug of a family: "OUTPUT", "OUTPUT_GATE", "OUTPUT_SYNC".
const char* outputPlug(PortFamily family);
// A plug's family from its name: "_GATE" gate, else "_SYNC" sync, else signal.
PortFamily plugFamily(const char* plugName);

// The inputs a module may have. `Channel` is a mixer channel.
enum class PortSlot { Main, ModAmp, ModFreq, ModPhase, ModPwm, Sync, Gate, Channel };

struct PortSpec {
  ModuleKind target;
  PortSlot slot;
  const char* plug;     // item name of its plug; the mixer's is "INPUT_%d"
  const char* linkKey;  // key of the links section ("IN", "MOD_FREQ", "ADD_CHANELL", ...)
  PortFamily family;
  // Kinds the links reader binds from, in the order it tries them.
  std::span<const ModuleKind> readerSources;
  // False for an input with no plug on its module's back (a sequencer's
  // sync input, bound only from a patch file).
  bool plugged;
  // False for an input a cord released on its plug does not bind (a
  // filter's sync input: a patch file binds it, and its cord is shown).
  bool cordBinds;
};

// The inputs of `kind`, in the order the cords of a panel are built: main,
// amplitude, frequency, phase, pulse width, sync, gate (a mixer: its
// channels). Empty for keyboards.
std::span<const PortSpec> portsOf(ModuleKind kind);
// The input of `kind` in `slot`, or null.
const PortSpec* findPort(ModuleKind kind, PortSlot slot);
// The signal input a plug name denotes on a module of `kind`, by containment
// in the order "INPUT_MOD_FREQ", "INPUT_MOD_PHASE", "INPUT_MOD_PWM"
// (oscillators only), "INPUT_MOD_AMP", else the main input (a mixer: a new
// channel).
PortSlot signalSlotOfPlug(ModuleKind kind, const char* plugName);

// The field of `source` that an input of `family` is bound to: the address
// of its value, gate or sync word; null when the module has no such output.
const void* outputField(ModuleRef source, PortFamily family);
// The field an input of `target` is bound to (for a mixer, channel
// `channel`), null when unbound.
const void* boundField(ModuleRef target, PortSlot slot, int channel = 0);

// Binds the input to `source`'s output of the input's family. A mixer gets a
// new channel, or with `channel` >= 0 that channel (one in use) is bound
// anew. False when nothing was bound: the source lacks the family's output,
// the mixer's channels are all in use, or the channel is not in use.
bool bindPort(ModuleRef target, PortSlot slot, ModuleRef source, int channel = -1);
// Unbinds the input; a mixer's channel `channel` is emptied (the count stays).
void unbindPort(ModuleRef target, PortSlot slot, int channel = 0);

// Frees the modules of `synth` (and the modulation inputs they hold), then
// `synth` itself; step events still queued are dropped first. Only for a
// synthesizer nothing can reach any more: not the render callback, not a
// panel, not the remote buttons. Main thread.
void releaseSynth(GENERATOR* synth);
