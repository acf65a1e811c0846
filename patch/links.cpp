// The links section of a patch file: binds each module's inputs to the
// outputs of the modules named in it.


#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "engine/generator.h"
#include "engine/tokenizer.h"
#include "patch/patch_words.h"

namespace {

enum class Kind { Sequencer, Keyboard, Oscillator, Sampler, Amplifier, Filter, Mixer };

// A source of kind `kind` named `name`: the name must contain the kind's word
// and the kind's lookup must find it. Null otherwise, so that nothing is ever
// bound through a missing module.
const OUTPUT* signalSource(const GENERATOR& g, Kind kind, const char* name) {
  const std::string_view n(name);
  switch (kind) {
    case Kind::Sequencer: return contains(n, "SEQUENCER") ? g.findSequencer(name) : nullptr;
    case Kind::Keyboard: return contains(n, "KEY") ? g.findKeyboard(name) : nullptr;
    case Kind::Oscillator: return contains(n, "VCO") ? g.findOscillator(name) : nullptr;
    case Kind::Sampler: return contains(n, "SAMPLER") ? g.findSampler(name) : nullptr;
    case Kind::Amplifier: return contains(n, "VCA") ? g.findAmplifier(name) : nullptr;
    case Kind::Filter: return contains(n, "PCF") ? g.findFilter(name) : nullptr;
    case Kind::Mixer: return contains(n, "MIXER") ? g.findMixer(name) : nullptr;
  }
  return nullptr;
}

// Gate and sync outputs come from keyboards and sequencers only.
OUTPUT_GATE* gateSource(const GENERATOR& g, Kind kind, const char* name) {
  const std::string_view n(name);
  if (kind == Kind::Sequencer && contains(n, "SEQUENCER")) return g.findSequencer(name);
  if (kind == Kind::Keyboard && contains(n, "KEY")) return g.findKeyboard(name);
  return nullptr;
}

const OUTPUT_SYNC* syncSource(const GENERATOR& g, Kind kind, const char* name) {
  const std::string_view n(name);
  if (kind == Kind::Sequencer && contains(n, "SEQUENCER")) return g.findSequencer(name);
  if (kind == Kind::Keyboard && contains(n, "KEY")) return g.findKeyboard(name);
  return nullptr;
}

using Kinds = std::initializer_list<Kind>;

// Each accepted kind the source name calls for is bound in turn, so the last
// one in `kinds` order stays bound.
template <typename Bind>
void bindSignal(const GENERATOR& g, const std::string& source, Kinds kinds, Bind bind) {
  for (Kind k : kinds)
    if (const OUTPUT* s = signalSource(g, k, source.c_str())) bind(s);
}

template <typename Target>
void bindGate(const GENERATOR& g, const std::string& source, Kinds kinds, Target& target) {
  for (Kind k : kinds)
    if (OUTPUT_GATE* s = gateSource(g, k, source.c_str())) target.connectGate(s);
}

template <typename Target>
void bindSync(const GENERATOR& g, const std::string& source, Kinds kinds, Target& target) {
  for (Kind k : kinds)
    if (const OUTPUT_SYNC* s = syncSource(g, k, source.c_str())) target.connectSync(s);
}

// A modulation input gets an INPUT of its own, connected before it is
// stored so that the audio thread never sees it unbound. One it replaces is
// not freed: the audio thread may still be reading it.
void bindModulation(Shared<INPUT*>& slot, const OUTPUT* source) {
  auto* input = new INPUT;
  input->connect(source);
  slot = input;
}

// Applies `apply` to every parameter of a statement whose target matched a
// group, with the source name it gives (nothing without one). An empty
// parameter field is a fatal error of the file.
template <typename Apply>
bool forEachLink(const std::vector<std::optional<std::string>>& parameters, int line, Apply apply) {
  for (const auto& parameter : parameters) {
    if (!parameter) {
      std::printf("Erreur, au niveau des parametre ligne [%d]\n", line);
      return false;
    }
    if (const std::optional<std::string> source = parameterValue(*parameter)) apply(*parameter, *source);
  }
  return true;
}

const Kinds kModulators{Kind::Oscillator, Kind::Sampler, Kind::Amplifier};
const Kinds kControllers{Kind::Sequencer, Kind::Keyboard};

void linkOscillator(const GENERATOR& g, VCO& t, const std::string& p, const std::string& src) {
  if (contains(p, "MOD_FREQ")) bindSignal(g, src, kModulators, [&](const OUTPUT* s) { bindModulation(t.modFreq, s); });
  if (contains(p, "MOD_PHASE"))
    bindSignal(g, src, kModulators, [&](const OUTPUT* s) { bindModulation(t.modPhase, s); });
  if (contains(p, "MOD_AMP")) bindSignal(g, src, kModulators, [&](const OUTPUT* s) { bindModulation(t.modAmp, s); });
  if (contains(p, "MOD_PWM")) bindSignal(g, src, kModulators, [&](const OUTPUT* s) { bindModulation(t.modPwm, s); });
  if (contains(p, "IN")) bindSignal(g, src, kControllers, [&](const OUTPUT* s) { t.connect(s); });
  if (contains(p, "GATE")) bindGate(g, src, kControllers, t);
  if (contains(p, "SYNC")) bindSync(g, src, kControllers, t);
}

void linkMixer(const GENERATOR& g, MIXER& t, const std::string& p, const std::string& src) {
  // Only the key part names the link here: a source name may well contain
  // the word.
  if (!contains(parameterKey(p), "ADD_CHANELL")) return;
  bindSignal(g, src, {Kind::Oscillator, Kind::Sampler, Kind::Amplifier, Kind::Filter, Kind::Mixer},
             [&](const OUTPUT* s) { t.addChannel(s, -1); });
}

void linkAmplifier(const GENERATOR& g, VCA& t, const std::string& p, const std::string& src) {
  if (contains(p, "IN"))
    bindSignal(g, src, {Kind::Oscillator, Kind::Filter, Kind::Sampler, Kind::Mixer},
               [&](const OUTPUT* s) { t.connect(s); });
  if (contains(p, "GATE")) bindGate(g, src, {Kind::Keyboard, Kind::Sequencer}, t);
}

void linkFilter(const GENERATOR& g, PCF& t, const std::string& p, const std::string& src) {
  if (contains(p, "MOD_FREQ")) bindSignal(g, src, kModulators, [&](const OUTPUT* s) { bindModulation(t.modFreq, s); });
  if (contains(p, "MOD_PHASE"))
    bindSignal(g, src, kModulators, [&](const OUTPUT* s) { bindModulation(t.modPhase, s); });
  if (contains(p, "MOD_AMP")) bindSignal(g, src, kModulators, [&](const OUTPUT* s) { bindModulation(t.modAmp, s); });
  if (contains(p, "IN"))
    bindSignal(g, src,
               {Kind::Filter, Kind::Oscillator, Kind::Sampler, Kind::Mixer, Kind::Amplifier, Kind::Sequencer,
                Kind::Keyboard},
               [&](const OUTPUT* s) { t.connect(s); });
  if (contains(p, "GATE")) bindGate(g, src, {Kind::Keyboard, Kind::Sequencer}, t);
  if (contains(p, "SYNC")) bindSync(g, src, kControllers, t);
}

void linkSampler(const GENERATOR& g, SAMPLER& t, const std::string& p, const std::string& src) {
  const Kinds kSamplerModulators{Kind::Oscillator, Kind::Sampler};
  if (contains(p, "MOD_FREQ"))
    bindSignal(g, src, kSamplerModulators, [&](const OUTPUT* s) { bindModulation(t.modFreq, s); });
  if (contains(p, "MOD_PHASE"))
    bindSignal(g, src, kSamplerModulators, [&](const OUTPUT* s) { bindModulation(t.modPhase, s); });
  if (contains(p, "MOD_AMP"))
    bindSignal(g, src, kSamplerModulators, [&](const OUTPUT* s) { bindModulation(t.modAmp, s); });
  if (contains(p, "IN")) bindSignal(g, src, kControllers, [&](const OUTPUT* s) { t.connect(s); });
  if (contains(p, "GATE")) bindGate(g, src, kControllers, t);
  if (contains(p, "SYNC")) bindSync(g, src, kControllers, t);
}

// One statement of the links section. False after a fatal error.
bool readLinkStatement(const GENERATOR& g, const std::string& word, int line) {
  const Tokenizer fields(word, ';');
  const int separators = fields.fieldCount();
  if (separators < 2) {
    std::printf("Ligne %d semble avoir moins de 2 parametres\n", line);
    return true;
  }
  const std::string name = fields.field(0).value_or(std::string());
  std::vector<std::optional<std::string>> parameters;
  for (int i = 1; i < separators; ++i) parameters.push_back(fields.field(i));
  const char* target = name.c_str();

  // A target that its lookup does not find binds nothing; only a missing
  // oscillator is an error of the file.
  auto link = [&](auto* module, auto linkOne) {
    return forEachLink(parameters, line, [&](const std::string& p, const std::string& src) {
      if (module != nullptr) linkOne(g, *module, p, src);
    });
  };

  // Four independent groups of kind words.
  if (contains(name, "SEQUENCER")) {
    SEQUENCER* seq = g.findSequencer(target);
    if (!link(seq, [](const GENERATOR& gen, SEQUENCER& t, const std::string& p, const std::string& src) {
          if (contains(p, "SYNC")) bindSync(gen, src, {Kind::Keyboard}, t);
        }))
      return false;
  } else if (contains(name, "VCO")) {
    VCO* vco = g.findOscillator(target);
    if (vco == nullptr) {
      std::printf("Cannot Found VCO [%s]\n", target);
      return false;
    }
    if (!link(vco, linkOscillator)) return false;
  } else if (contains(name, "MIXER")) {
    if (!link(g.findMixer(target), linkMixer)) return false;
  }
  if (contains(name, "VCA") && !link(g.findAmplifier(target), linkAmplifier)) return false;
  if (contains(name, "PCF") && !link(g.findFilter(target), linkFilter)) return false;
  if (contains(name, "SAMPLER") && !link(g.findSampler(target), linkSampler)) return false;
  return true;
}

}  // namespace

int GENERATOR::loadLinks(const char* path) {
  PatchWords words(path);
  if (!words.isOpen()) {
    // The objects pass opened it a moment ago: the patch is half built.
    loadStatus = LoadStatus::Broken;
    return 0;
  }

  std::string word;
  bool inSection = false;
  bool closed = false;
  int result = 1;
  while (words.next(word)) {
    if (word == "BEGIN_LINKS_DECLARE") {
      inSection = true;
      continue;
    }
    if (word == "END_LINKS_DECLARE") {
      closed = true;
      break;
    }
    // The objects section, before the marker, is passed over.
    if (!inSection || isComment(word)) continue;
    if (!readLinkStatement(*this, word, words.counter())) {
      result = 0;
      break;
    }
  }
  // A section that opens and never closes is what a file cut short looks
  // like: the links after the cut are missing.
  if (result == 1 && inSection && !closed)
    std::printf("Warning: the links section of [%s] has no END_LINKS_DECLARE: the file may be truncated\n", path);
  loadStatus = result == 1 ? LoadStatus::Loaded : LoadStatus::Broken;
  return result;
}
