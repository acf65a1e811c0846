#include "synthgui/vcf_gui.h"

#include "synthgui/knob_rules.h"

namespace {

// Indexed by the filter's own type numbers: 0 passes the input through,
// 1 to 7 are its biquad responses.
constexpr int kFilterTypes = 8;
const char* const kFilterImages[kFilterTypes] = {
    "DISP_FILTRE_PASS",     "DISP_FILTRE_LOWPASS",  "DISP_FILTRE_HIGHPASS",  "DISP_FILTRE_BANDPASS",
    "DISP_FILTRE_NOTCH",    "DISP_FILTRE_LOWSHELF", "DISP_FILTRE_HIGHSHELF", "DISP_FILTRE_PEAKING"};
const char* const kFilterNames[kFilterTypes] = {"PASS",  "LOWPASS",  "HIGHPASS",  "BANDPASS",
                                                "NOTCH", "LOWSHELF", "HIGHSHELF", "PEAKING"};

}  // namespace

const char* filterImage(int t) { return t >= 0 && t < kFilterTypes ? kFilterImages[t] : nullptr; }
const char* filterName(int t) { return t >= 0 && t < kFilterTypes ? kFilterNames[t] : nullptr; }

VCF_GUI::VCF_GUI(PCF* m, float x0, float y0, const char* number)
    : MODULE_PANEL(x0, y0, number, "VCF_%s", m), module(m) {

  loadLayout(altList, "RC/BACK_VCF.RC");
  setInList(altList, "label_NAME", m->name);
  loadLayout(mainList, "RC/VCF.RC");
  const std::pair<const char*, float> knobs[] = {{"SLD_HICUTOFF", static_cast<float>(m->cutoff)},
                                                 {"SLD_GAIN", m->gainDb},
                                                 {"SLD_LEVEL", m->level},
                                                 {"SLD_QRATIO", m->q}};
  for (const auto& [item, value] : knobs) {
    if (SLIDER* k = knobNamed(item)) k->angle = wholeAngle(value);
  }
  showType();
  setLabel("LABEL_HICUTOFF", "%d", m->cutoff.load());
  setLabel("LABEL_GAIN", "%2.1f", static_cast<double>(m->gainDb));
  setLabel("LABEL_QRATIO", "%2.1f", static_cast<double>(m->q));
  setLabel("LABEL_LEVEL", "%2.1f", static_cast<double>(m->level));
  setLabel("label_NAME", "%s", m->name);
  setButtonState(buttonNamed("POWER"), 1 - m->power);
  setButtonState(buttonNamed("BYPASS"), 1 - m->bypass);
  markChildren(1);
  update();
}

// The screen and the label name the response the filter plays; a type
// outside 0 to 7 (the filter wraps it at its next step) shows its number.
void VCF_GUI::showType() {
  const int type = module->filterType;
  if (SPRITE* screen = child("AFFICHAGE_TYPE_FILTRE")) {
    if (const char* image = filterImage(type)) screen->setImage(image);
    screen->dirty = 1;
  }
  if (const char* name = filterName(type)) {
    setLabel("LABEL_TYPE", "%8s", name);
  } else {
    setLabel("LABEL_TYPE", "%8d", type);
  }
}

bool VCF_GUI::handle(const WIDGET_MESSAGE& m) {
  if (isClick(m)) {
    if (targetNameHas(m, "POWER")) {
      if (BUTTON* b = buttonNamed("POWER")) module->power = b->state;
    }
    if (targetNameHas(m, "BYPASS")) {
      if (BUTTON* b = buttonNamed("BYPASS")) module->bypass = b->state;
    }
    if (targetNameHas(m, "AFFICHAGE_TYPE_FILTRE")) {
      int type = module->filterType + 1;
      if (type > kFilterTypes - 1) type = 0;
      if (type < 0) type = kFilterTypes - 1;
      module->filterType = type;
      showType();
    }
    return false;
  }
  const KnobStep step = knobStep(m);
  if (step == KnobStep::None) return false;
  const float sign = step == KnobStep::Down ? 1.0f : -1.0f;
  if (targetNameHas(m, "HICUTOFF")) {
    module->cutoff = cutoffStep(module->cutoff, step);
    setLabel("LABEL_HICUTOFF", "%4d", module->cutoff.load());
  } else if (targetNameHas(m, "GAIN")) {
    module->gainDb = module->gainDb + sign * 0.1f;
    setLabel("LABEL_GAIN", "%2.1f", static_cast<double>(module->gainDb));
  } else if (targetNameHas(m, "QRATIO")) {
    float q = module->q + sign * 0.1f;
    if (q <= 0.001f) q = 0.001f;
    module->q = q;
    setLabel("LABEL_QRATIO", "%2.1f", static_cast<double>(module->q));
  } else if (targetNameHas(m, "LEVEL")) {
    float level = module->level + sign * 0.05f;
    level = level < 0 ? 0 : (level > 1 ? 1 : level);
    module->level = level;
    setLabel("LABEL_LEVEL", "%2.1f", static_cast<double>(module->level));
  }
  return false;
}
