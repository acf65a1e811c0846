#include "synthgui/vca_gui.h"

VCA_GUI::VCA_GUI(VCA* m, float x0, float y0, const char* number)
    : MODULE_PANEL(x0, y0, number, "VCA_%s", m), module(m) {

  loadLayout(altList, "RC/BACK_VCA.RC");
  setInList(altList, "label_NAME", m->name);
  loadLayout(mainList, "RC/VCA.RC");
  setLabel("label_NAME", "%s", m->name);
  setLabel("LABEL_ATTACK", "%2.1f", static_cast<double>(m->attackTime));
  setLabel("LABEL_DECAY", "%2.1f", static_cast<double>(m->decayTime));
  setLabel("LABEL_SUSTAIN", "%2.2f", static_cast<double>(m->sustainLevel));
  if (m->sustainLevel < 0.01f) m->sustainLevel = 0;
  setLabel("LABEL_RELEASE", "%2.1f", static_cast<double>(m->releaseTime));
  markChildren(1);
  update();
}

bool VCA_GUI::handle(const WIDGET_MESSAGE& m) {
  const KnobStep step = knobStep(m);
  if (step == KnobStep::None) return false;
  const float sign = step == KnobStep::Down ? 1.0f : -1.0f;
  // Times in milliseconds, one per step, never below 0.
  const std::pair<const char*, Shared<float>*> times[] = {
      {"ATTACK", &module->attackTime}, {"DECAY", &module->decayTime}, {"RELEASE", &module->releaseTime}};
  for (const auto& [part, field] : times) {
    if (!targetNameHas(m, part)) continue;
    float v = *field + sign;
    if (v < 0) v = 0;
    *field = v;
  }
  if (targetNameHas(m, "SUSTAIN")) {
    float v = module->sustainLevel;
    if (step == KnobStep::Down) {
      if (v == 0) v = 0.05f;
      v += 0.01f;
    } else if (v >= 0.05f) {
      v -= 0.01f;
    }
    if (v < 0.01f) v = 0;
    module->sustainLevel = v;
  }
  setLabel("LABEL_ATTACK", "%4.1f", static_cast<double>(module->attackTime));
  setLabel("LABEL_DECAY", "%4.1f", static_cast<double>(module->decayTime));
  setLabel("LABEL_SUSTAIN", "%4.1f", static_cast<double>(module->sustainLevel));
  setLabel("LABEL_RELEASE", "%4.1f", static_cast<double>(module->releaseTime));
  return false;
}
