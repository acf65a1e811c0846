#include "synthgui/dashboards.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "audio/load_meter.h"
#include "engine/generator.h"
#include "gui/messages.h"
#include "gui/ui_state.h"
#include "gui/video.h"
#include "synthgui/event_loop.h"
#include "synthgui/keyboard_gui.h"
#include "synthgui/mixer_gui.h"
#include "synthgui/panel_grid.h"
#include "synthgui/sampler_gui.h"
#include "synthgui/seq_gui.h"
#include "synthgui/vca_gui.h"
#include "synthgui/vcf_gui.h"
#include "synthgui/vco_gui.h"

INFO_DASH* infoDash = nullptr;

DASHBOARD::DASHBOARD(const char* number, const char* rcPath) : OBJET(0, 0, number) { load(rcPath); }

int DASHBOARD::setDisplayMode(int) { return 1; }

void DASHBOARD::finish() {
  computeSize();
  markChildren(1);
  draw(displaySurface);
  dirty = 1;
}

template <typename F>
void DASHBOARD::consumeClicks(F onClick) {
  // post() inserts at the front: the oldest message is the last.
  while (!queue.empty()) {
    const WIDGET_MESSAGE m = queue.back();
    queue.pop_back();
    if (isClick(m) && m.target) onClick(m.target->name);
  }
  // A key lights while the pointer holds it down; its state never changes.
  for (SPRITE* c : mainList) {
    if (auto* key = dynamic_cast<BUTTON*>(c)) key->setImage(key->pressed ? key->imageOn : key->imageOff);
  }
  OBJET::update();
  dirty = 1;
}

// System dashboard.

SYSTEM_DASH::SYSTEM_DASH() : DASHBOARD("60", "RC/SYSTEM_DASH.RC") {
  loadLabel = dynamic_cast<LABEL*>(childByName("LABEL_LOAD"));
  finish();
}

int SYSTEM_DASH::update() {
  consumeClicks([](const char* name) {
    SynthEventState& s = synthEvents;
    if (std::strstr(name, "LOAD")) s.request = DashRequest::Load;
    if (std::strstr(name, "SAVE")) s.request = DashRequest::Save;
    if (std::strstr(name, "FILS")) {
      s.backView = s.backView ? 0 : 1;
      showAllPanels(objectList, s.backView != 0, false);
    }
  });
  if (loadLabel) {
    const LoadReading r = loadReading();
    setLabelText(loadLabel, "LOAD %4.1f%%  LATE %ld", static_cast<double>(r.recent), r.late);
  }
  return 0;
}

// Module dashboard.

MODULE_DASH::MODULE_DASH() : DASHBOARD("59", "RC/MODULE_DASH.RC") { finish(); }

int MODULE_DASH::update() {
  consumeClicks([](const char* name) {
    static const std::pair<const char*, NewModule> kKeys[] = {
        {"KEY", NewModule::Keyboard},   {"VCO", NewModule::Oscillator}, {"VCA", NewModule::Amplifier},
        {"VCF", NewModule::Filter},     {"MIXER", NewModule::Mixer},    {"SEQ", NewModule::Sequencer},
        {"SAMPLER", NewModule::Sampler},
    };
    for (const auto& [part, kind] : kKeys)
      if (std::strstr(name, part)) addModule(kind);
  });
  return 0;
}

namespace {

template <typename Module>
bool nameTaken(const std::vector<Module*>& list, const char* name) {
  for (const Module* m : list)
    if (std::strcmp(m->name, name) == 0) return true;
  return false;
}

// "<word>_n" with n the list's count plus one, or the next number free.
template <typename Module>
std::string freeName(const char* word, const std::vector<Module*>& list) {
  char name[kNameSize];
  for (std::size_t n = list.size() + 1;; ++n) {
    std::snprintf(name, sizeof name, "%s_%zu", word, n);
    if (!nameTaken(list, name)) return name;
  }
}

// Creates the module at the end of its list and its panel (number: the
// module's index), placed at (10, i x 64 + 50) at the end of the object
// list.
template <typename Panel, typename Module, typename... Args>
OBJET* addOne(const char* line, const char* word, std::vector<Module*>& list, Args&&... args) {
  if (line) std::printf("%s", line);
  const std::string name = freeName(word, list);
  Module* module =
      currentGenerator->create<Module>(name.c_str(), GENERATOR::Placement::Back, std::forward<Args>(args)...);
  const int i = static_cast<int>(list.size()) - 1;
  char number[16];
  std::snprintf(number, sizeof number, "%d", i);
  auto* panel = new Panel(module, 0, 0, number);
  panel->x = 10;
  panel->y = static_cast<float>(i * 64 + 50);
  adoptPanel(panel);
  objectList.push_back(panel);
  return panel;
}

}  // namespace

OBJET* addModule(NewModule kind) {
  GENERATOR* g = currentGenerator;
  if (!g) return nullptr;
  switch (kind) {
    case NewModule::Keyboard:
      return addOne<KEYBOARD_GUI>("Neo KEY\n", "KEY", g->keyboards);
    case NewModule::Oscillator:
      return addOne<VCO_GUI>("Neo VCO\n", "VCO", g->oscillators, 1.0f, 110.0f, 1);
    case NewModule::Amplifier:
      return addOne<VCA_GUI>("Neo VCA\n", "VCA", g->amplifiers);
    case NewModule::Filter:
      return addOne<VCF_GUI>("Neo VCF\n", "PCF", g->filters);
    case NewModule::Mixer:
      return addOne<MIXER_GUI>(nullptr, "MIXER", g->mixers);
    case NewModule::Sequencer:
      return addOne<SEQ_GUI>("Neo SEQUENCEUR\n", "SEQUENCER", g->sequencers);
    case NewModule::Sampler:
      return addOne<SAMPLER_GUI>("Neo SAMPLER\n", "SAMPLER", g->samplers);
  }
  return nullptr;
}

// Info dashboard.

namespace {

LABEL* addLabel(OBJET* dash, const char* item, const char* text, int y, int size, int colour) {
  auto* label = new LABEL(text, 0, 0, 50, 50, 2, size, colour);
  char name[kLongTextSize + kNameSize];
  std::snprintf(name, sizeof name, "%s_%s", dash->objName, item);
  label->setName(name);
  label->setPosition(80, static_cast<float>(y), 0);
  dash->mainList.push_back(label);
  return label;
}

const char* kindText(ModuleKind kind) {
  switch (kind) {
    case ModuleKind::Oscillator: return "VCO";
    case ModuleKind::Amplifier: return "VCA";
    case ModuleKind::Filter: return "VCF";
    case ModuleKind::Sequencer: return "SEQUENCEUR";
    case ModuleKind::Mixer: return "MIXER";
    case ModuleKind::Sampler: return "SAMPLER";
    case ModuleKind::Keyboard: return "KEYBOARD";
  }
  return "";
}

}  // namespace

INFO_DASH::INFO_DASH() : DASHBOARD("58", "RC/DASH.RC") {
  nameLabel = addLabel(this, "CIBLE_NAME", "CIBLE_NAME", 25, 12, 0);
  nameLabel->labelNumber = 1;
  typeLabel = addLabel(this, "LABEL_TYPE", "TYPE", 45, 14, 0);
  modeLabel = addLabel(this, "LABEL_VM", "VIEW_MODE", 65, 14, 0);
  blend = 0;
  finish();
}

int INFO_DASH::update() { return OBJET::update(); }

void INFO_DASH::showTarget(OBJET* panel) {
  dirty = 1;
  target = panel;
  if (!panel) return;
  setLabelText(nameLabel, "%p %s", static_cast<void*>(panel), panel->image);
  const PanelInfo info = panelInfo(panel);
  if (info.isModule()) {
    setLabelText(typeLabel, "%s", kindText(info.module.kind));
    setLabelText(nameLabel, "%s", info.moduleName);
  }
  setLabelText(modeLabel, "%d", static_cast<int>(panel->displayMode));
}

std::vector<OBJET*> dashboards() {
  static INFO_DASH* info = nullptr;
  static MODULE_DASH* modules = nullptr;
  static SYSTEM_DASH* system = nullptr;
  if (!info) {
    info = new INFO_DASH();
    modules = new MODULE_DASH();
    system = new SYSTEM_DASH();
    infoDash = info;
  }
  return {info, modules, system};
}
