#pragma once
// GENERATOR: the synthesizer container. It holds every module in seven kind
// lists for the life of the patch and looks modules up by exact name.

#include <cstdio>
#include <utility>
#include <vector>

#include "engine/audio_lock.h"

#include "engine/keyboard.h"
#include "engine/mixer.h"
#include "engine/pcf.h"
#include "engine/ports.h"
#include "engine/sampler.h"
#include "engine/sequencer.h"
#include "engine/vca.h"
#include "engine/vco.h"

class GENERATOR : public OUTPUT {
 public:
  // An empty synthesizer.
  GENERATOR();
  // Built from a patch file: the objects pass, then (when it succeeded) the
  // links pass. A null path gives an empty synthesizer. Defined by the patch
  // subsystem (patch/), which owns the readers.
  explicit GENERATOR(const char* path);
  // The container never frees its modules: panels and the audio thread may
  // still hold them (see the ownership rules of the engine).
  ~GENERATOR() override = default;

  // Never stepped: value <- 0, returns 1.
  int process() override;

  // Patch readers and writer, defined in patch/.
  // loadObjects: 1 read, 0 could not open, -1 a fatal error in the file.
  // loadLinks: 1 read, 0 could not open or a fatal error in the file.
  // Neither ends the program: each prints its message and records the outcome
  // in `loadStatus`.
  int loadObjects(const char* path);
  int loadLinks(const char* path);
  int writeObjects(FILE* file);  // 1

  // What building from a patch file gave. Start-up ends the program with
  // status -1 on Broken (the readers have printed why) and goes on with an
  // empty synthesizer on CannotOpen; a reload keeps the running synthesizer
  // unless the new one is Loaded.
  enum class LoadStatus {
    None,        // built empty, no file read
    Loaded,      // objects and links read
    CannotOpen,  // "Must Specify a true filename"; no module created
    Broken,      // a fatal error in the file; the modules read so far remain
  };
  LoadStatus loadStatus = LoadStatus::None;

  // Exact, case-sensitive lookups; the first match in list order, or null.
  SEQUENCER* findSequencer(const char* name) const;
  // With exactly one keyboard, returns it whatever the name.
  KEYBOARD* findKeyboard(const char* name) const;
  VCO* findOscillator(const char* name) const;
  MIXER* findMixer(const char* name) const;
  SAMPLER* findSampler(const char* name) const;
  VCA* findAmplifier(const char* name) const;
  PCF* findFilter(const char* name) const;

  char patchPath[880];
  // Stepped in this order by stepFrame. The readers insert at the front; the
  // event loop appends. Changed only under the audio lock.
  std::vector<SEQUENCER*> sequencers;
  std::vector<KEYBOARD*> keyboards;
  std::vector<VCO*> oscillators;
  std::vector<MIXER*> mixers;
  std::vector<SAMPLER*> samplers;
  std::vector<VCA*> amplifiers;
  std::vector<PCF*> filters;

  // Total number of modules in the seven lists.
  size_t moduleCount() const;

  // Where `create` puts a new module in its kind's list: the patch reader
  // inserts at the front (a list holds the file's modules in reverse order),
  // the module dashboard appends.
  enum class Placement { Front, Back };

  // Creates a module of kind `Module` from `args`, names it and inserts it
  // into its kind's list. The module is built before the sound layer's lock
  // is taken (a sampler reads its sample file), so only the insertion keeps
  // a render of this synthesizer waiting. Main thread.
  template <typename Module, typename... Args>
  Module* create(const char* name, Placement where, Args&&... args) {
    auto* module = new Module(std::forward<Args>(args)...);
    module->setName(name);
    std::vector<Module*>& list = listOf(module);
    AudioLock lock;
    list.insert(where == Placement::Front ? list.begin() : list.end(), module);
    return module;
  }

 private:
  std::vector<SEQUENCER*>& listOf(SEQUENCER*) { return sequencers; }
  std::vector<KEYBOARD*>& listOf(KEYBOARD*) { return keyboards; }
  std::vector<VCO*>& listOf(VCO*) { return oscillators; }
  std::vector<MIXER*>& listOf(MIXER*) { return mixers; }
  std::vector<SAMPLER*>& listOf(SAMPLER*) { return samplers; }
  std::vector<VCA*>& listOf(VCA*) { return amplifiers; }
  std::vector<PCF*>& listOf(PCF*) { return filters; }
};

// The current synthesizer, used by the render callback, the panels, the event
// loop and the remote buttons. Replaced only under the audio lock.
extern GENERATOR* currentGenerator;

// The output: bound to the value of "MIXER_4" whenever a synthesizer is built.
extern INPUT* masterInput;

// Binds `masterInput` (created on first use) to the mixer named "MIXER_4" of
// `synth`, or leaves it unbound when there is none.
void connectMasterInput(GENERATOR& synth);

// Steps every module of `synth` once, in the fixed order sequencers,
// keyboards, oscillators, mixers, samplers, amplifiers, filters (each list
// front to back), and returns the master value, 0 while `masterInput` has no
// source. Audio thread only; the caller keeps the lists still (audio lock).
float stepFrame(GENERATOR& synth);
