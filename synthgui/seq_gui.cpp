#include "synthgui/seq_gui.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "synthgui/knob_rules.h"

namespace {

constexpr int kDimmedLabel = 0x808080;
constexpr int kPatternKeys = 8;

// "<panel>_<format with k + 1>".
void nameChild(SPRITE* c, const char* panel, const char* format, int k) {
  char item[kNameSize];
  std::snprintf(item, sizeof item, format, k + 1);
  char name[kLongTextSize + kNameSize];
  std::snprintf(name, sizeof name, "%s_%s", panel, item);
  c->setName(name);
}

bool itemIs(const char* item, const char* format, int k) {
  char wanted[kNameSize];
  std::snprintf(wanted, sizeof wanted, format, k + 1);
  return std::strcmp(item, wanted) == 0;
}

}  // namespace

SEQ_GUI::SEQ_GUI(SEQUENCER* m, float x0, float y0, const char* number)
    : MODULE_PANEL(x0, y0, number, "SEQUEN_%s", m), module(m) {

  loadLayout(altList, "RC/BACK_SEQUENCEUR.RC");
  loadLayout(miniList, "RC/SEQUENCEUR_MINI.RC");
  loadLayout(mainList, "RC/SEQUENCEUR.RC");
  setLabel("label_NAME", "%s", m->name);
  for (auto* list : {&miniList, &altList}) setInList(*list, "label_NAME", m->name);
  showDividers();
  setLabel("LABEL_MAX_STEP", "%2d", m->stepCount.load());
  buildColumns();
  showAllSteps();
  markChildren(1);
  update();
  children = &miniList;
  computeSize();
}

void SEQ_GUI::buildColumns() {
  auto label = [this](const char* format, int k, int y0) {
    auto* l = new LABEL("1.0", 0, 0, 50, 50, 0, 8, 0);
    nameChild(l, objName, format, k);
    l->setPosition(static_cast<float>(62 + 20 * k), static_cast<float>(y0), 0);
    mainList.push_back(l);
    return l;
  };
  auto sprite = [this](const char* image, const char* format, int k, int x0, int y0, int key, int blend) {
    auto* s = new SPRITE(image, x0 + 20 * k, y0, 1, key, blend, 1.0f, 0, 0);
    nameChild(s, objName, format, k);
    mainList.push_back(s);
    return s;
  };
  auto knob = [this](const char* item, const char* format, int k, int y0) {
    if (zoom > 100) zoom = 1.0f;
    auto* s = new SLIDER(item, "SLD");
    nameChild(s, objName, format, k);
    s->setPosition(static_cast<float>(62 + 20 * k), static_cast<float>(y0), 0);
    s->colorKeyOn = 1;
    s->colorKey = 0;
    s->blend = 0;
    mainList.push_back(s);
    return s;
  };
  auto key = [this](const char* image, const char* format, int k, int y0, int keyOn, int keyColour) {
    auto* b = new BUTTON("", image, image, image, nullptr);
    nameChild(b, objName, format, k);
    b->setPosition(static_cast<float>(65 + 20 * k), static_cast<float>(y0), 0);
    b->colorKeyOn = keyOn;
    b->colorKey = keyColour;
    b->zoom = 1.0f;
    mainList.push_back(b);
    return b;
  };
  for (int k = 0; k < kColumns; ++k) {
    Column& c = columns_[k];
    c.volumeLabel = label("LABEL_TXT_%d_VOL", k, 125);
    c.lengthLabel = label("LABEL_TXT_%d_LENGHT", k, 155);
    c.lamp = sprite("LAMP_LED_1_1", "LAMPE_STEP_%d", k, 65, 5, 0, 0);
    c.octaveUnits = sprite("LED_NUMERIC_1_2", "SPRITE_OCT_%d", k, 70, 36, 0xFF00FF, 1);
    c.octaveTens = sprite("LED_NUMERIC_1_2", "SPRITE_OCT_%d_0", k, 61, 36, 0xFF00FF, 1);
    c.noteUnits = sprite("LED_NUMERIC_1_2", "SPRITE_NOTE_%d", k, 70, 73, 0xFF00FF, 1);
    c.noteTens = sprite("LED_NUMERIC_1_2", "SPRITE_NOTE_%d_0", k, 61, 73, 0xFF00FF, 1);
    c.volumeKnob = knob("VOL", "SLD_VOL_%d", k, 106);
    c.lengthKnob = knob("LENGHT", "SLD_LENGHT_%d", k, 136);
    key("BUTTONSTYLEA_0", "BUTTON_OCT_%d_UP", k, 27, 1, 0xFF00FF);
    key("BUTTONSTYLEB_0", "BUTTON_OCT_%d_DOWN", k, 53, 1, 0xFF00FF);
    key("BUTTONSTYLEA_0", "BUTTON_NOTE_%d_UP", k, 64, 0, 1);
    key("BUTTONSTYLEB_0", "BUTTON_NOTE_%d_DOWN", k, 91, 0, 1);
    c.mute = new BUTTON("", "LAMP_LED_2_0", "0", "LAMP_LED_2_1", nullptr);
    nameChild(c.mute, objName, "BUTTON_BYPASS_%d", k);
    c.mute->setPosition(static_cast<float>(65 + 20 * k), 15, 0);
    c.mute->colorKeyOn = 0;
    c.mute->colorKey = 1;
    c.mute->zoom = 1.4f;
    c.mute->update();
    mainList.push_back(c.mute);
  }
}

int SEQ_GUI::row() const {
  const int r = module->pattern;
  return r < 0 ? 0 : (r >= SEQUENCER::kRows ? SEQUENCER::kRows - 1 : r);
}

// "LED_NUMERIC_<set>_<i>" shows digit i - 1 (nothing for i = 0); set 2 is
// the dimmed one, for steps at or past the step count.
void SEQ_GUI::showNumber(SPRITE* tens, SPRITE* units, int value, int k) {
  const int set = k < module->stepCount ? 1 : 2;
  char image[kNameSize];
  std::snprintf(image, sizeof image, "LED_NUMERIC_%d_%d", set, value > 9 ? 2 : 0);
  tens->setImage(image);
  std::snprintf(image, sizeof image, "LED_NUMERIC_%d_%d", set, value > 9 ? value - 9 : value + 1);
  units->setImage(image);
}

void SEQ_GUI::showNote(int k) {
  if (showingMini()) return;
  showNumber(columns_[k].noteTens, columns_[k].noteUnits, module->stepNote[row()][k], k);
}

void SEQ_GUI::showOctave(int k) {
  if (showingMini()) return;
  showNumber(columns_[k].octaveTens, columns_[k].octaveUnits, module->stepOctave[row()][k], k);
}

// A knob and its label: grey past the step count.
void SEQ_GUI::showKnob(SLIDER* knob, LABEL* label, float value, int k) {
  if (showingMini()) return;
  knob->angle = wholeAngle(value);
  label->color = k >= module->stepCount ? kDimmedLabel : 0;
  setLabelText(label, "%2.1f", static_cast<double>(value));
}

void SEQ_GUI::showVolume(int k) {
  showKnob(columns_[k].volumeKnob, columns_[k].volumeLabel, module->stepVolume[row()][k], k);
}

void SEQ_GUI::showLength(int k) {
  showKnob(columns_[k].lengthKnob, columns_[k].lengthLabel, module->stepLength[row()][k], k);
}

// The mute lamp is lit (its off image) while the step is muted.
void SEQ_GUI::showMute(int k) {
  if (showingMini()) return;
  BUTTON* b = columns_[k].mute;
  setButtonState(b, module->stepBypass[row()][k] != 1 ? 1 : 0);
  b->dirty = 1;
  b->update();
}

void SEQ_GUI::showAllSteps() {
  for (int k = 0; k < kColumns; ++k) {
    showVolume(k);
    showNote(k);
    showLength(k);
    showOctave(k);
    showMute(k);
  }
}

// The key of the pattern asked for shows its off image (lit).
void SEQ_GUI::showPatternKeys() {
  if (displayMode != 1 || showingMini()) return;
  char item[kNameSize];
  for (int i = 0; i < kPatternKeys; ++i) {
    std::snprintf(item, sizeof item, "BUTTON_PATTERN_%d", i);
    BUTTON* b = buttonByName(item);
    if (!b) continue;
    // Inverted on purpose: the key asked for shows its off image (lit).
    if (i == module->pendingPattern) {
      b->state = 1;
      b->setImage(b->imageOff);
    } else {
      b->state = 0;
      b->setImage(b->imageOn);
    }
    b->update();
  }
}

void SEQ_GUI::showDividers() {
  setLabel("LABEL_DIVIDER", "%3.3f", static_cast<double>(module->divider));
  setLabel("LABEL_WISHED_DIVIDER", "%3.3f", static_cast<double>(module->pendingDivider));
}

void SEQ_GUI::beforeMessages() {
  if (showingMini()) return;
  for (int k = 0; k < kColumns; ++k) {
    columns_[k].lamp->setImage(k == module->step ? "LAMP_LED_1_1" : "LAMP_LED_1_0");
  }
}

bool SEQ_GUI::handle(const WIDGET_MESSAGE& m) {
  const char* item = targetItem(m);
  if (m.hasEvent) {
    if (module->step == 0) showAllSteps();
    if (!isClick(m)) return false;
    if (targetNameHas(m, "POWER")) {
      if (BUTTON* b = buttonNamed("POWER")) module->noteEnabled = b->state ? 1 : 0;
    }
    if (targetNameHas(m, "VIEW")) {
      children = showingMini() ? &mainList : &miniList;
      computeSize();
      markChildren(1);
      // The steps were not refreshed while the mini view was shown.
      showAllSteps();
    }
    if (targetNameHas(m, "BUTTON_PATTERN")) {
      constexpr std::size_t kPrefix = sizeof "BUTTON_PATTERN_" - 1;
      if (std::strncmp(item, "BUTTON_PATTERN_", kPrefix) == 0) {
        char* end = nullptr;
        const long pattern = std::strtol(item + kPrefix, &end, 10);
        if (end != item + kPrefix && pattern >= 0 && pattern < SEQUENCER::kRows) {
          module->pendingPattern = static_cast<int>(pattern);
        }
      }
      showPatternKeys();
    }
    if (showingMini()) return false;
    if (targetNameHas(m, "DIVIDER")) {
      // Steps per second: kept a positive, finite number.
      float divider = module->pendingDivider;
      if (targetNameHas(m, "BUTTON_DIVIDER_UP")) divider /= 2;
      if (targetNameHas(m, "BUTTON_DIVIDER_DOWN")) divider *= 2;
      if (std::isnormal(divider) && divider > 0) module->pendingDivider = divider;
      showDividers();
    }
    if (targetNameHas(m, "MAX_STEP")) {
      int count = module->stepCount;
      if (targetNameHas(m, "BUTTON_MAX_STEP_UP")) count += 1;
      if (targetNameHas(m, "BUTTON_MAX_STEP_DOWN")) count -= 1;
      module->stepCount = count < 1 ? 1 : (count > kColumns ? kColumns : count);
      setLabel("LABEL_MAX_STEP", "%2d", module->stepCount.load());
      showAllSteps();
    }
    const int r = row();
    for (int k = 0; k < kColumns; ++k) {
      if (targetNameHas(m, "BYPASS") && itemIs(item, "BUTTON_BYPASS_%d", k)) {
        const int bypass = 1 - module->stepBypass[r][k];
        module->stepBypass[r][k] = bypass;
        // The click, forwarded next, flips the key once more: it ends at
        // 1 - bypass, as the mute refresher shows it.
        if (auto* b = dynamic_cast<BUTTON*>(m.target)) {
          b->state = bypass;
          b->update();
        }
      }
      if (targetNameHas(m, "OCT")) {
        int octave = module->stepOctave[r][k];
        if (itemIs(item, "BUTTON_OCT_%d_UP", k)) octave += 1;
        if (itemIs(item, "BUTTON_OCT_%d_DOWN", k)) octave -= 1;
        module->stepOctave[r][k] = octave < 0 ? 0 : (octave > 10 ? 10 : octave);
        showOctave(k);
      }
      if (targetNameHas(m, "NOTE")) {
        int note = module->stepNote[r][k];
        if (itemIs(item, "BUTTON_NOTE_%d_UP", k)) note += 1;
        if (itemIs(item, "BUTTON_NOTE_%d_DOWN", k)) note -= 1;
        module->stepNote[r][k] = note < 0 ? 0 : (note > 12 ? 12 : note);
        showNote(k);
      }
    }
    return false;
  }

  const KnobStep step = knobStep(m);
  if (showingMini() || step == KnobStep::None) return false;
  const int r = row();
  for (int k = 0; k < kColumns; ++k) {
    if (targetNameHas(m, "VOL") && itemIs(item, "SLD_VOL_%d", k)) {
      // Tenths, as the label shows them: the sequencer plays a step whose
      // volume is exactly 1, so steps up and back must return to it.
      const float v = module->stepVolume[r][k] + (step == KnobStep::Down ? 0.1f : -0.1f);
      if (std::isfinite(v)) module->stepVolume[r][k] = std::round(v * 10) / 10;
      setLabelText(columns_[k].volumeLabel, "%2.1f", static_cast<double>(module->stepVolume[r][k]));
    }
    if (targetNameHas(m, "LENGHT") && itemIs(item, "SLD_LENGHT_%d", k)) {
      const float v = step == KnobStep::Down ? module->stepLength[r][k] * 2 : module->stepLength[r][k] / 2;
      if (std::isfinite(v)) module->stepLength[r][k] = v;
      setLabelText(columns_[k].lengthLabel, "%2.1f", static_cast<double>(module->stepLength[r][k]));
    }
  }
  return false;
}

void SEQ_GUI::afterMessages() { showPatternKeys(); }

int SEQ_GUI::setDisplayMode(int mode) { return showView(mode, miniList); }
