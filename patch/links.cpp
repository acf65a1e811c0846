// The links section of a patch file: binds each module's inputs to the
// outputs of the modules named in it.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "engine/generator.h"
#include "engine/tokenizer.h"
#include "patch/patch_words.h"
#include "patch/port_table.h"

namespace {

// Binds every accepted source kind the name calls for, in the table's order,
// so the last one found stays bound (for a mixer, each adds a channel).
void bindFromSources(const GENERATOR& g, const ModuleRef& target, const PortSpec& port, const std::string& source) {
  for (ModuleKind kind : port.readerSources)
    if (const ModuleRef s = findModule(g, kind, source.c_str())) bindPort(target, port.slot, s);
}

// Applies one parameter ("KEY=SOURCE") to every input of the target whose
// link key it contains: in the whole parameter for most kinds, in its key
// part for a mixer (a source name may well contain the word).
void applyLink(const GENERATOR& g, const ModuleRef& target, const std::string& parameter, const std::string& source) {
  const std::string_view tested = target.kind == ModuleKind::Mixer ? parameterKey(parameter) : parameter;
  for (const PortSpec& port : portsOf(target.kind))
    if (contains(tested, port.linkKey)) bindFromSources(g, target, port, source);
}

// Applies every parameter of a statement whose target matched a group. An
// empty parameter field is a fatal error of the file; a target its lookup
// does not find binds nothing.
bool linkStatement(const GENERATOR& g, const ModuleRef& target,
                   const std::vector<std::optional<std::string>>& parameters, int line) {
  for (const auto& parameter : parameters) {
    if (!parameter) {
      std::printf("Erreur, au niveau des parametre ligne [%d]\n", line);
      return false;
    }
    if (!target) continue;
    if (const std::optional<std::string> source = parameterValue(*parameter)) applyLink(g, target, *parameter, *source);
  }
  return true;
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

  // Four independent groups of kind words: sequencer, else oscillator, else
  // mixer; then amplifier; filter; sampler. Only a missing oscillator is an
  // error of the file.
  std::vector<ModuleKind> groups;
  if (nameHasKind(target, ModuleKind::Sequencer)) {
    groups.push_back(ModuleKind::Sequencer);
  } else if (nameHasKind(target, ModuleKind::Oscillator)) {
    if (g.findOscillator(target) == nullptr) {
      std::printf("Cannot Found VCO [%s]\n", target);
      return false;
    }
    groups.push_back(ModuleKind::Oscillator);
  } else if (nameHasKind(target, ModuleKind::Mixer)) {
    groups.push_back(ModuleKind::Mixer);
  }
  for (ModuleKind k : {ModuleKind::Amplifier, ModuleKind::Filter, ModuleKind::Sampler})
    if (nameHasKind(target, k)) groups.push_back(k);

  for (ModuleKind k : groups)
    if (!linkStatement(g, findModule(g, k, target), parameters, line)) return false;
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
