#include "synthgui/vco_gui.h"

#include <cstring>

#include "synthgui/knob_rules.h"

const char* waveImage(int waveType) {
  switch (waveType) {
    case 1: return "DISP_SIN";
    case 2: return "DISP_TRI";
    case 3: return "DISP_SAW";
    case 4: return "DISP_SQR";
    case 5: return "DISP_NOISE";
    case 6: return "DISP_PULSE";
    default: return nullptr;
  }
}

VCO_GUI::VCO_GUI(VCO* m, float x0, float y0, const char* number)
    : MODULE_PANEL(x0, y0, number, "VCO_%s", m), module(m) {

  loadLayout(altList, "RC/BACK_VCO.RC");
  setInList(altList, "label_NAME", m->name);
  loadLayout(mainList, "RC/VCO.RC");

  const std::pair<const char*, float> knobs[] = {{"SLD_FREQUENCE", m->frequency},
                                                 {"SLD_VOLUME", m->amplitude},
                                                 {"SLD_PHASE", m->phaseOffset},
                                                 {"SLD_PWM", m->pulseWidth}};
  for (const auto& [item, value] : knobs) {
    if (SLIDER* k = knobNamed(item)) k->angle = wholeAngle(value);
  }
  setLabel("LABEL_FREQUENCE", "%5.3f", static_cast<double>(m->frequency));
  if (SPRITE* l = child("LABEL_FREQUENCE")) l->dirty = 1;
  setLabel("LABEL_VOLUME", "%5.3f", static_cast<double>(m->amplitude));
  setLabel("LABEL_PHASE", "%3.0f", static_cast<double>(m->phaseOffset));
  setLabel("label_NAME", "%s", m->name);
  setLabel("LABEL_PWM", "%5.3f", static_cast<double>(m->pulseWidth));
  setButtonState(buttonNamed("POWER"), 1 - m->power);
  showWave();
  markChildren(1);
  update();
}

void VCO_GUI::showWave() {
  SPRITE* screen = child("AFFICHAGE_TYPE_ONDE");
  if (!screen) return;
  if (const char* image = waveImage(module->waveType)) screen->setImage(image);
  screen->dirty = 1;
}

bool VCO_GUI::handle(const WIDGET_MESSAGE& m) {
  if (isClick(m)) {
    if (targetNameHas(m, "POWER")) {
      if (BUTTON* power = buttonNamed("POWER")) module->power = power->state;
    }
    if (targetNameHas(m, "AFFICHAGE_TYPE_ONDE")) {
      // Sine, triangle, saw, square, pulse, noise, and round again.
      static const int next[] = {0, 2, 3, 4, 6, 1, 5};
      const int type = module->waveType;
      if (type >= 1 && type <= 6) module->waveType = next[type];
      showWave();
    }
    return false;
  }
  const KnobStep step = knobStep(m);
  if (step == KnobStep::None) return false;
  if (targetNameHas(m, "FREQUENCE")) {
    module->frequency = bandStep(module->frequency, step, FineBands::Frequency);
    setLabel("LABEL_FREQUENCE", "%5.3f", static_cast<double>(module->frequency));
  } else if (targetNameHas(m, "VOLUME")) {
    module->amplitude = bandStep(module->amplitude, step, FineBands::Volume);
    setLabel("LABEL_VOLUME", "%5.3f", static_cast<double>(module->amplitude));
  } else if (targetNameHas(m, "PWM")) {
    module->pulseWidth = bandStep(module->pulseWidth, step, FineBands::Frequency);
    setLabel("LABEL_PWM", "%5.3f", static_cast<double>(module->pulseWidth));
  } else if (targetNameHas(m, "PHASE")) {
    module->phaseOffset = phaseStep(module->phaseOffset, step);
    setLabel("LABEL_PHASE", "%d", static_cast<int>(module->phaseOffset));
    // The phase knob never turns: its message stops here.
    return true;
  }
  return false;
}
