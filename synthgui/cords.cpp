#include "synthgui/cords.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gui/ui_state.h"
#include "synthgui/module_panel.h"
#include "synthgui/panel_grid.h"

std::vector<std::unique_ptr<CABLE>> cordList;

namespace {

constexpr int kMixerPlugs = 12;

bool isController(const ModuleRef& m) {
  return m.kind == ModuleKind::Keyboard || m.kind == ModuleKind::Sequencer;
}

// The item name of a plug of `panel` ("INPUT_7"), "" for anything else.
const char* plugItem(const OBJET* panel, const SPRITE* plug) {
  if (panel == nullptr || plug == nullptr) return "";
  const char* item = panel->ownItemName(plug->name);
  return item ? item : "";
}

// The mixer channel a plug "INPUT_n" shows (n - 1), or -1.
int channelOfPlug(const char* item) {
  if (std::strncmp(item, "INPUT_", 6) != 0) return -1;
  char* end = nullptr;
  const long n = std::strtol(item + 6, &end, 10);
  if (end == item + 6 || *end != '\0' || n < 1 || n > kMixerPlugs) return -1;
  return static_cast<int>(n - 1);
}

// An input of a module, as a plug of its panel names it.
struct InputAt {
  ModuleRef module;
  PortSlot slot = PortSlot::Main;
  int channel = -1;
  bool valid = false;
};

// The input the plug `plug` of `panel` stands for, of the plug's family.
InputAt inputAt(OBJET* panel, const SPRITE* plug) {
  InputAt at;
  const char* item = plugItem(panel, plug);
  if (std::strncmp(item, "INPUT", 5) != 0) return at;
  at.module = panelInfo(panel).module;
  if (!at.module) return at;
  switch (plugFamily(item)) {
    case PortFamily::Gate:
      at.slot = PortSlot::Gate;
      break;
    case PortFamily::Sync:
      at.slot = PortSlot::Sync;
      break;
    case PortFamily::Signal:
      at.slot = signalSlotOfPlug(at.module.kind, item);
      break;
  }
  if (at.slot == PortSlot::Channel) {
    at.channel = channelOfPlug(item);
    if (at.channel < 0) return at;
  }
  at.valid = findPort(at.module.kind, at.slot) != nullptr;
  return at;
}

void unbind(const InputAt& at) {
  if (at.valid) unbindPort(at.module, at.slot, at.channel);
}

// One cord from `plugItemName` of `panel` to the family's output plug of
// the panel that shows the bound source. False when the source has no panel
// or a plug is missing.
bool addCord(OBJET* panel, const char* plugItemName, const void* field, PortFamily family) {
  OBJET* source = panelByOutputField(field, family);
  if (source == nullptr) return false;
  SPRITE* startJack = plugOf(panel, plugItemName);
  SPRITE* endJack = plugOf(source, outputPlug(family));
  if (endJack == nullptr && family == PortFamily::Signal) {
    const ModuleKind kind = panelInfo(panel).module.kind;
    if (kind == ModuleKind::Amplifier) std::printf("DISH-VCA Output not found?!\n");
    if (kind == ModuleKind::Mixer)
      std::printf("Cannot find OUTPUT of Object connected [%s]\n", source->rcPath);
  }
  if (startJack == nullptr || endJack == nullptr) return false;
  cordList.push_back(
      std::make_unique<CABLE>(panel, source, startJack, endJack, static_cast<int32_t>(familyColour(family))));
  return true;
}

// What is said when a main input's or an amplifier's gate's source has no
// panel.
void reportMissingSource(ModuleKind kind, PortSlot slot) {
  if (slot == PortSlot::Main) {
    if (kind == ModuleKind::Sampler) std::printf("OOJOJOJ de Branchement SEQUENCEUR -> SAMPLER\n");
    if (kind == ModuleKind::Oscillator) std::printf("Sequenceur vers VCO on dirait qu'il aime pas\n");
    if (kind == ModuleKind::Amplifier) std::printf("DISH1\n");
  } else if (slot == PortSlot::Gate && kind == ModuleKind::Amplifier) {
    std::printf("Piti Probleme de GATE dans un VCA\n");
  }
}

void cordsOf(OBJET* panel) {
  const ModuleRef m = panelInfo(panel).module;
  if (!m) return;
  if (m.kind == ModuleKind::Filter && plugOf(panel, "INPUT") == nullptr) std::printf("GITSH in VCF??\n");
  for (const PortSpec& port : portsOf(m.kind)) {
    if (!port.plugged) continue;
    if (port.slot != PortSlot::Channel) {
      const void* field = boundField(m, port.slot);
      if (field != nullptr && !addCord(panel, port.plug, field, port.family))
        reportMissingSource(m.kind, port.slot);
      continue;
    }
    const int count = m.mixer()->channelCount;
    for (int j = 0; j < count && j < kMixerPlugs; ++j) {
      char plug[kNameSize];
      std::snprintf(plug, sizeof plug, port.plug, j + 1);
      addCord(panel, plug, boundField(m, PortSlot::Channel, j), PortFamily::Signal);
    }
  }
}

// A plug name's side.
bool isInputPlug(const char* item) { return std::strncmp(item, "INPUT", 5) == 0; }
bool isOutputPlug(const char* item) { return std::strncmp(item, "OUTPUT", 6) == 0; }

const char* const kWrongGate =
    "Mauvais branchment : Vous essayer de mettre une connexion INPUT_GATE dans une j'sais pas on s'en fout\n";

}  // namespace

int rebuildCords() {
  cordList.clear();
  for (OBJET* panel : objectList) cordsOf(panel);
  return static_cast<int>(cordList.size());
}

void drawCords() {
  for (const auto& cord : cordList) cord->drawCable(nullptr);
}

bool connectCord(const HeldCord& held, OBJET* panel, SPRITE* plug, bool keepConnections, bool disconnect) {
  CABLE* cord = held.cord;
  if (cord == nullptr || panel == nullptr || plug == nullptr || disconnect) return false;
  const bool inputHeld = held.end == CordEnd::Input;
  if (plug == (inputHeld ? cord->startJack : cord->endJack)) return false;
  const char* item = plugItem(panel, plug);
  if (plugFamily(item) != held.family) return false;
  const ModuleRef under = panelInfo(panel).module;
  if (!under) return false;

  if (inputHeld) {
    if (!isInputPlug(item)) return false;
    // The source is whatever the cord's other end is plugged into: an output.
    if (!isOutputPlug(plugItem(cord->endPanel, cord->endJack))) return false;
    const ModuleRef source = panelInfo(cord->endPanel).module;
    if (!source) return false;
    if (held.family != PortFamily::Signal && source.kind == ModuleKind::Sampler) {
      std::printf("Va y avoir un probleme\n");
      return false;
    }
    if (held.family != PortFamily::Signal && !isController(source)) return false;
    const InputAt target = inputAt(panel, plug);
    if (!target.valid) return false;
    const PortSpec* port = findPort(target.module.kind, target.slot);
    if (!port->cordBinds) return false;
    // A mixer plug adds a channel, whichever plug it was dropped on. The
    // input left is unbound only once the new one is bound.
    if (!bindPort(target.module, target.slot, source)) return false;
    if (!keepConnections && cord->startPanel != nullptr) unbind(inputAt(cord->startPanel, cord->startJack));
    return true;
  }

  // The output end: the cord's input is fed by the module under the pointer.
  if (!isOutputPlug(item)) return false;
  if (held.family != PortFamily::Signal && !isController(under)) return false;
  const InputAt input = inputAt(cord->startPanel, cord->startJack);
  if (!input.valid || keepConnections) return false;
  return bindPort(input.module, input.slot, under, input.channel);
}

bool unplugCord(const HeldCord& held, SPRITE* heldPlug, bool keepConnections) {
  CABLE* cord = held.cord;
  if (cord == nullptr || heldPlug == nullptr) return false;
  const char* name = heldPlug->name;
  const char* need = nullptr;
  const char* done = nullptr;
  const char* wrong = nullptr;
  bool unbinds = true;
  if (held.end == CordEnd::Input) {
    switch (held.family) {
      case PortFamily::Sync:
        need = "INPUT_SYNC", done = "Branchement OUTPUT_SYNC vers INPUT_SYNC\n", wrong = kWrongGate;
        break;
      case PortFamily::Gate:
        need = "INPUT_GATE", done = "Branchement OUTPUT_GATE vers INPUT_GATE\n", wrong = kWrongGate;
        break;
      case PortFamily::Signal:
        need = "INPUT", done = "Branchement OUTPUT vers INPUT\n",
        wrong = "Mauvais branchment : Vous essayer de mettre une connexion INPUT dans une OUTPUT\n";
        break;
    }
  } else {
    switch (held.family) {
      case PortFamily::Gate:
      case PortFamily::Sync:
        need = held.family == PortFamily::Gate ? "OUTPUT_GATE" : "OUTPUT_SYNC";
        wrong = kWrongGate;
        unbinds = false;
        break;
      case PortFamily::Signal:
        need = "OUTPUT", done = "Branchement INPUT vers OUTPUT\n",
        wrong = "Mauvais branchment : Vous essayer de mettre une connexion OUTPUT dans une INPUT\n";
        break;
    }
  }
  if (std::strstr(name, need) == nullptr) {
    std::printf("%s", wrong);
    return false;
  }
  if (done != nullptr) std::printf("%s", done);
  if (!unbinds || keepConnections || cord->startPanel == nullptr) return false;
  const InputAt input = inputAt(cord->startPanel, cord->startJack);
  if (!input.valid) return false;
  unbind(input);
  return true;
}
