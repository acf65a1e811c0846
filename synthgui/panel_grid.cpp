#include "synthgui/panel_grid.h"

#include <cstdio>
#include <memory>

#include "gui/ui_state.h"
#include "synthgui/keyboard_gui.h"
#include "synthgui/mixer_gui.h"
#include "synthgui/sampler_gui.h"
#include "synthgui/seq_gui.h"
#include "synthgui/vca_gui.h"
#include "synthgui/vcf_gui.h"
#include "synthgui/vco_gui.h"

std::vector<SEQ_GUI*> sequencerPanels;

namespace {

// Every panel built. A later call drops them from the object list but
// keeps them alive: the event loop may still hold one during its frame.
std::vector<std::unique_ptr<OBJET>>& ownedPanels() {
  static std::vector<std::unique_ptr<OBJET>> dropped;
  return dropped;
}

constexpr float kRowScale = 1.5f;

struct Grid {
  int column = 0;
  int counter = 0;
};

// One group: `make` builds the panel of module i with its number.
template <typename Module, typename Make>
void placeGroup(Grid& grid, const char* heading, const std::vector<Module*>& modules, float rowStep,
                float top, float advance, bool numberFromIndex, Make make) {
  std::printf("%s", heading);
  const int count = static_cast<int>(modules.size());
  for (int i = 0; i < count; ++i) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", numberFromIndex ? i : i + grid.counter);
    OBJET* panel = make(modules[static_cast<std::size_t>(i)], number);
    panel->x = static_cast<float>(grid.column);
    panel->y = static_cast<float>(i) * rowStep * kRowScale + top;
    objectList.push_back(panel);
    ownedPanels().emplace_back(panel);
    // Oscillators and samplers number from their index; the counter then
    // holds the last index, and the group's count is added below.
    if (numberFromIndex) grid.counter = i;
  }
  if (count > 0) grid.column += static_cast<int>(advance);
  grid.counter += count;
}

}  // namespace

int InitGuiFromCurrent() {
  std::printf("Init Gui From Current()\n");
  objectList.clear();
  static GENERATOR none;
  GENERATOR& synth = currentGenerator ? *currentGenerator : none;
  Grid grid;
  placeGroup(grid, "Keyboards\n", synth.keyboards, 64, 50, 120, false,
             [](KEYBOARD* m, const char* n) { return new KEYBOARD_GUI(m, 0, 0, n); });
  placeGroup(grid, "Sequencers\n", synth.sequencers, 75, 50, 440, false, [](SEQUENCER* m, const char* n) {
    auto* panel = new SEQ_GUI(m, 0, 0, n);
    sequencerPanels.insert(sequencerPanels.begin(), panel);
    return panel;
  });
  placeGroup(grid, "Vcos\n", synth.oscillators, 95, 25, 210, true,
             [](VCO* m, const char* n) { return new VCO_GUI(m, 0, 0, n); });
  placeGroup(grid, "Samplers\n", synth.samplers, 70, 25, 280 * kRowScale, true,
             [](SAMPLER* m, const char* n) { return new SAMPLER_GUI(m, 0, 0, n); });
  placeGroup(grid, "Vcas\n", synth.amplifiers, 56, 50, 100 * kRowScale, false,
             [](VCA* m, const char* n) { return new VCA_GUI(m, 0, 0, n); });
  placeGroup(grid, "Pcfs\n", synth.filters, 84, 50, 160 * kRowScale, false,
             [](PCF* m, const char* n) { return new VCF_GUI(m, 0, 0, n); });
  placeGroup(grid, "Mixers\n", synth.mixers, 166, 50, 200 * kRowScale, false,
             [](MIXER* m, const char* n) { return new MIXER_GUI(m, 0, 0, n); });
  return 1;
}

void releasePanels(const std::vector<OBJET*>& panels) {
  auto& owned = ownedPanels();
  for (OBJET* p : panels) {
    if (auto* seq = dynamic_cast<SEQ_GUI*>(p)) std::erase(sequencerPanels, seq);
    std::erase_if(owned, [p](const std::unique_ptr<OBJET>& o) { return o.get() == p; });
  }
}

OBJET* panelByOutputField(const void* field, PortFamily family) {
  if (field == nullptr) return nullptr;
  auto owns = [&](OBJET* p) { return outputField(panelInfo(p).module, family) == field; };
  if (family == PortFamily::Sync) {
    for (OBJET* panel : objectList)
      if (owns(panel)) return panel;
    return nullptr;
  }
  for (auto it = objectList.rbegin(); it != objectList.rend(); ++it)
    if (owns(*it)) return *it;
  return nullptr;
}

OBJET* panelBySignalOutput(const OUTPUT* output) {
  return output ? panelByOutputField(&output->value, PortFamily::Signal) : nullptr;
}

OBJET* panelByGateOutput(const OUTPUT_GATE* output) {
  return output ? panelByOutputField(&output->gate, PortFamily::Gate) : nullptr;
}

OBJET* panelBySyncOutput(const OUTPUT_SYNC* output) {
  return output ? panelByOutputField(&output->fired, PortFamily::Sync) : nullptr;
}
