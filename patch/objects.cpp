// The objects section of a patch file: its reader, which creates the modules
// and sets their fields, and its writer. Also the construction of a
// synthesizer from a patch file, which runs both readers.

#include <cmath>
#include <cstdarg>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "engine/generator.h"
#include "engine/notes.h"
#include "engine/tokenizer.h"
#include "patch/patch_words.h"

GENERATOR::GENERATOR(const char* path) : GENERATOR() {
  if (path == nullptr) return;
  if (loadObjects(path) == 1) loadLinks(path);
}

namespace {

// The readers insert at the front, so each list holds the file's modules in
// reverse order of declaration.
constexpr GENERATOR::Placement kReaderPlacement = GENERATOR::Placement::Front;

// Applies the parameters to one module, reporting an empty one (a fatal
// error of the file).
template <typename Apply>
bool applyParameters(const std::vector<std::optional<std::string>>& parameters, int line, Apply apply) {
  for (const auto& parameter : parameters) {
    if (!parameter) {
      std::printf("Erreur, au niveau des parametre ligne [%d]\n", line);
      return false;
    }
    const std::optional<std::string> value = parameterValue(*parameter);
    if (value) apply(*parameter, *value);
  }
  return true;
}

void applyOscillator(VCO& vco, const std::string& p, const std::string& v) {
  if (contains(p, "TYPE")) {
    const char c = v[0];
    vco.waveType = (c >= '1' && c <= '6') ? c - '0' : 1;
  }
  if (contains(p, "FREQ")) vco.frequency = static_cast<float>(readReal(v));
  if (contains(p, "AMOUNT")) vco.amplitude = static_cast<float>(readReal(v));
  if (contains(p, "NOTE")) {
    const int i = readWhole(v);
    if (i >= 0 && i < kNoteCount) vco.frequency = static_cast<float>(noteTable[i]);
  }
  if (contains(p, "PHASE")) vco.phaseOffset = static_cast<float>(readReal(v));
}

void applyAmplifier(VCA& vca, const std::string& p, const std::string& v) {
  // The envelope values are whole numbers: 'SUSTAIN=0.500000' reads as 0.
  if (contains(p, "ATTACK")) vca.attackTime = static_cast<float>(readWhole(v));
  if (contains(p, "INVERT")) vca.invert = readWhole(v);
  if (contains(p, "BYPASS")) vca.bypass = readWhole(v);
  if (contains(p, "DECAY")) vca.decayTime = static_cast<float>(readWhole(v));
  if (contains(p, "SUSTAIN")) vca.sustainLevel = static_cast<float>(readWhole(v));
  if (contains(p, "RELEASE")) vca.releaseTime = static_cast<float>(readWhole(v));
}

void applyFilter(PCF& pcf, const std::string& p, const std::string& v) {
  if (contains(p, "BYPASS")) pcf.bypass = readWhole(v);
  if (contains(p, "HICUT")) pcf.cutoff = readWhole(v);
  if (contains(p, "AMOUNT")) pcf.level = static_cast<float>(readReal(v));
  if (contains(p, "TYPE")) pcf.filterType = readWhole(v);
  if (contains(p, "GAIN")) {
    const int k = readWhole(v);
    pcf.gainDb = static_cast<float>(k);
    pcf.level = static_cast<float>(k / 10);
  }
  if (contains(p, "Q")) pcf.q = static_cast<float>(readReal(v));
}

void applySampler(SAMPLER& sampler, const std::string& p, const std::string& v) {
  if (contains(p, "FILE")) sampler.loadSample(v.c_str());
}

// The grid cell a step key names. The long form is PREFIX rrr _ sss: rrr is
// the three characters after the prefix and sss follows the next underscore.
// With `shortForm`, a key of fewer than 10 characters is PREFIX sss, a step
// of row 0. Cells outside the grid, and long-form keys shorter than their
// form, name nothing.
bool stepCell(const std::string& parameter, std::string_view prefix, bool shortForm, int& row, int& step) {
  const size_t at = parameter.find(prefix);
  if (at == std::string::npos) return false;
  const std::string_view key = parameterKey(std::string_view(parameter).substr(at));
  if (shortForm && key.size() < 10) {
    row = 0;
    step = readWhole(key.substr(prefix.size()));
  } else {
    if (key.size() < prefix.size() + 7) return false;
    row = readWhole(key.substr(prefix.size(), 3));
    const size_t underscore = key.find('_', prefix.size() + 3);
    if (underscore == std::string_view::npos) return false;
    step = readWhole(key.substr(underscore + 1));
  }
  return row >= 0 && row < SEQUENCER::kRows && step >= 0 && step < SEQUENCER::kSteps;
}

void applySequencer(SEQUENCER& seq, const std::string& p, const std::string& v) {
  int row = 0;
  int step = 0;
  if (contains(p, "DIVIDER")) {
    // Steps per second: a divider that is not a positive number would stop
    // the sequencer (0) or post a step event every frame (below 0).
    const float divider = static_cast<float>(readReal(v));
    if (divider > 0.0f && std::isfinite(divider)) {
      seq.divider = divider;
      seq.pendingDivider = divider;
    }
  }
  if (contains(p, "NBR_STEP")) {
    // The grid is 64 steps wide, and a pass needs at least one step.
    const int count = readWhole(v);
    seq.stepCount = count < 1 ? 1 : (count > SEQUENCER::kSteps ? SEQUENCER::kSteps : count);
  }
  if (contains(p, "NOTE") && stepCell(p, "NOTE_", false, row, step)) {
    const int n = readWhole(v);
    if (n >= 0 && n < kNoteCount) {
      seq.stepOctave[row][step] = n / 12;
      seq.stepNote[row][step] = n - 12 * (n / 12);
    }
  }
  if (contains(p, "BYPASS") && stepCell(p, "BYPASS_", true, row, step)) seq.stepBypass[row][step] = readWhole(v);
  if (contains(p, "VOLUME") && stepCell(p, "VOLUME_", true, row, step))
    seq.stepVolume[row][step] = static_cast<float>(readReal(v));
  if (contains(p, "LENGHT") && stepCell(p, "LENGHT_", true, row, step))
    seq.stepLength[row][step] = static_cast<float>(readReal(v));
}

// One statement of the objects section. False after a fatal error.
bool readObjectStatement(GENERATOR& synth, const std::string& word, int line) {
  const Tokenizer fields(word, ';');
  const int separators = fields.fieldCount();
  if (separators < 2) {
    std::printf("Ligne %d semble avoir moins de 2 parametres\n", line);
    return true;
  }
  const std::string name = fields.field(0).value_or(std::string());
  // Fields 1 to n-1; an empty one stays empty and is an error for the kinds
  // that read their parameters. Text after the last ";" is ignored.
  std::vector<std::optional<std::string>> parameters;
  for (int i = 1; i < separators; ++i) parameters.push_back(fields.field(i));

  // Four independent groups of kind words; a name may make several modules.
  if (contains(name, "SEQUENCER")) {
    auto* seq = synth.create<SEQUENCER>(name.c_str(), kReaderPlacement);
    if (!applyParameters(parameters, line, [&](auto& p, auto& v) { applySequencer(*seq, p, v); })) return false;
  }
  if (contains(name, "PCF")) {
    auto* pcf = synth.create<PCF>(name.c_str(), kReaderPlacement);
    if (!applyParameters(parameters, line, [&](auto& p, auto& v) { applyFilter(*pcf, p, v); })) return false;
  } else if (contains(name, "KEY")) {
    synth.create<KEYBOARD>(name.c_str(), kReaderPlacement);
  } else if (contains(name, "SAMPLER")) {
    auto* sampler = synth.create<SAMPLER>(name.c_str(), kReaderPlacement);
    if (!applyParameters(parameters, line, [&](auto& p, auto& v) { applySampler(*sampler, p, v); })) return false;
  } else if (contains(name, "VCO")) {
    auto* vco = synth.create<VCO>(name.c_str(), kReaderPlacement, 1.0f, 110.0f, 1);
    if (!applyParameters(parameters, line, [&](auto& p, auto& v) { applyOscillator(*vco, p, v); })) return false;
  }
  if (contains(name, "VCA")) {
    auto* vca = synth.create<VCA>(name.c_str(), kReaderPlacement);
    if (!applyParameters(parameters, line, [&](auto& p, auto& v) { applyAmplifier(*vca, p, v); })) return false;
  }
  if (contains(name, "MIXER")) {
    synth.create<MIXER>(name.c_str(), kReaderPlacement);
  }
  return true;
}

}  // namespace

int GENERATOR::loadObjects(const char* path) {
  PatchWords words(path);
  if (!words.isOpen()) {
    loadStatus = LoadStatus::CannotOpen;
    return 0;
  }
  std::snprintf(patchPath, sizeof patchPath, "%s", path);

  std::string word;
  int result = 1;
  while (words.next(word)) {
    if (word == "BEGIN_OBJECTS_DECLARE" || isComment(word)) continue;
    if (word == "END_OBJECTS_DECLARE") break;
    if (!readObjectStatement(*this, word, words.counter())) {
      result = -1;
      break;
    }
  }
  loadStatus = result == 1 ? LoadStatus::Loaded : LoadStatus::Broken;
  return result;
}

namespace {

void appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

void appendf(std::string& out, const char* format, ...) {
  char buffer[128];
  va_list args;
  va_start(args, format);
  const int needed = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (needed < 0) return;
  if (static_cast<size_t>(needed) < sizeof buffer) {
    out.append(buffer, static_cast<size_t>(needed));
    return;
  }
  std::string large(static_cast<size_t>(needed) + 1, '\0');
  va_start(args, format);
  std::vsnprintf(large.data(), large.size(), format, args);
  va_end(args);
  large.resize(static_cast<size_t>(needed));
  out += large;
}

// The whole part of a float for "%d", held within int (and 0 for not a
// number) so that no setting can make the conversion undefined.
int wholePart(float v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0f) return INT_MAX;
  if (v <= -2147483648.0f) return INT_MIN;
  return static_cast<int>(v);
}

// Rows 0 and 1, steps 0 to 31 of each run: what the sequencer panel shows.
constexpr int kWrittenRows = 2;
constexpr int kWrittenSteps = 32;

std::string sequencerLine(const SEQUENCER& seq) {
  std::string line;
  appendf(line, "%s;*DIVIDER=%f;NBR_STEP=%d;", seq.name, static_cast<double>(seq.divider.load()),
          seq.stepCount.load());
  for (int r = 0; r < kWrittenRows; ++r)
    for (int s = 0; s < kWrittenSteps; ++s)
      appendf(line, "NOTE_%03d_%03d=%02d;", r, s, seq.stepOctave[r][s].load() * 12 + seq.stepNote[r][s].load());
  for (int r = 0; r < kWrittenRows; ++r)
    for (int s = 0; s < kWrittenSteps; ++s)
      appendf(line, "VOLUME_%03d_%03d=%03.3f;", r, s, static_cast<double>(seq.stepVolume[r][s].load()));
  for (int r = 0; r < kWrittenRows; ++r)
    for (int s = 0; s < kWrittenSteps; ++s)
      appendf(line, "LENGHT_%03d_%03d=%03.3f;", r, s, static_cast<double>(seq.stepLength[r][s].load()));
  for (int r = 0; r < kWrittenRows; ++r)
    for (int s = 0; s < kWrittenSteps; ++s) appendf(line, "BYPASS_%03d_%03d=%01d;", r, s, seq.stepBypass[r][s].load());
  return line;
}

}  // namespace

int GENERATOR::writeObjects(FILE* file) {
  std::fprintf(file, "BEGIN_OBJECTS_DECLARE\n\n");
  for (const VCO* m : oscillators)
    std::fprintf(file, "%s;TYPE=%d;FREQ=%f;AMOUNT=%3.2f;PHASE=%d;\n", m->name, m->waveType.load(),
                 static_cast<double>(m->frequency.load()), static_cast<double>(m->amplitude.load()),
                 wholePart(m->phaseOffset));
  for (const VCA* m : amplifiers)
    std::fprintf(file, "%s;BYPASS=%d;ATTACK=%f;DECAY=%f;SUSTAIN=%f;RELEASE=%f;INVERT=%d;\n", m->name,
                 m->bypass.load(), static_cast<double>(m->attackTime.load()),
                 static_cast<double>(m->decayTime.load()), static_cast<double>(m->sustainLevel.load()),
                 static_cast<double>(m->releaseTime.load()), m->invert.load());
  for (const MIXER* m : mixers) std::fprintf(file, "%s;;\n", m->name);
  for (const SEQUENCER* m : sequencers) std::fprintf(file, "%s\n", sequencerLine(*m).c_str());
  for (const PCF* m : filters)
    std::fprintf(file, "%s;HICUT=%d;Q=%f;GAIN=%f;TYPE=%d;BYPASS=%d;\n", m->name, m->cutoff.load(),
                 static_cast<double>(m->q.load()), static_cast<double>(m->gainDb.load()), m->filterType.load(),
                 m->bypass.load());
  for (const KEYBOARD* m : keyboards) std::fprintf(file, "%s;;\n", m->name);
  for (const SAMPLER* m : samplers) std::fprintf(file, "%s;FILE=%s;\n", m->name, m->samplePath);
  std::fprintf(file, "END_OBJECTS_DECLARE\n\n");
  return 1;
}
