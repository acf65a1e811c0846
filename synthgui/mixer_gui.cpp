#include "synthgui/mixer_gui.h"

#include <cstdio>

namespace {

// One knob step is 1/1800 of full gain.
constexpr float kAnglePerGain = 1800.0f;
// Lettering on the dark channel strips: numbers in silk, levels in amber.
constexpr int kNumberColour = 0xF2F2EC;
constexpr int kLevelColour = 0xFFB43C;

}  // namespace

MIXER_GUI::MIXER_GUI(MIXER* m, float x0, float y0, const char* number)
    : MODULE_PANEL(x0, y0, number, "MIXER_%s", m), module(m) {

  loadLayout(altList, "RC/BACK_MIXER.RC");
  setInList(altList, "label_NAME", m->name);
  loadLayout(mainList, "RC/MIXER.RC");

  char name[kLongTextSize + 32];
  char text[16];
  for (int s = 0; s < 3; ++s) {
    for (int k = 0; k < 7; ++k) {
      const int n = 7 * s + k + 1;
      Strip& strip = strips_[n - 1];
      if (zoom > 100) zoom = 1.0f;
      strip.knob = new SLIDER("VOL", "SLD");
      std::snprintf(name, sizeof name, "%s_SLD_CANAL_%d", objName, n);
      strip.knob->setName(name);
      strip.knob->setPosition(static_cast<float>(50 + 90 * s), static_cast<float>(67 + 18 * k), 0);
      strip.knob->zoom = 0.75f;
      // The knob starts at the channel's gain, so that holding it without
      // turning keeps the gain it had.
      strip.knob->angle = static_cast<int>(m->channelGain[n - 1] * kAnglePerGain);
      strip.knob->colorKeyOn = 1;
      strip.knob->colorKey = 0;
      strip.knob->blend = 0;
      mainList.push_back(strip.knob);

      strip.level = new LABEL("1.0", 0, 0, 50, 50, 0, 8, kLevelColour);
      std::snprintf(name, sizeof name, "%s_LABEL_CANAL_%d", objName, n);
      strip.level->setName(name);
      strip.level->setPosition(static_cast<float>(68 + 90 * s), static_cast<float>(70 + 18 * k), 0);
      mainList.push_back(strip.level);

      std::snprintf(text, sizeof text, "%d", n);
      auto* numberLabel = new LABEL(text, 0, 0, 50, 50, 0, 8, kNumberColour);
      std::snprintf(name, sizeof name, "%s_LABEL_CANAL_%d_TXT", objName, n);
      numberLabel->setName(name);
      numberLabel->setPosition(static_cast<float>(18 + 90 * s), static_cast<float>(70 + 18 * k), 0);
      mainList.push_back(numberLabel);

      strip.mute = new BUTTON("VOL", "CHK_4_ON", "0", "CHK_4_OFF", nullptr);
      std::snprintf(name, sizeof name, "%s_BYPASS_CANAL_%d", objName, n);
      strip.mute->setName(name);
      strip.mute->setPosition(static_cast<float>(28 + 90 * s), static_cast<float>(65 + 18 * k), 0);
      strip.mute->zoom = 0.75f;
      strip.mute->colorKeyOn = 1;
      strip.mute->colorKey = 0;
      strip.mute->blend = 0;
      strip.mute->dirty = 1;
      mainList.push_back(strip.mute);
    }
  }
  setLabel("label_NAME", "%s", m->name);
  computeSize();
  markChildren(1);
  update();
}

void MIXER_GUI::beforeMessages() {
  for (int n = 0; n < kStrips; ++n) {
    const Strip& s = strips_[n];
    if (s.knob->pressed) module->channelGain[n] = static_cast<float>(s.knob->angle) / kAnglePerGain;
    setLabelText(s.level, "%2.1f", static_cast<double>(module->channelGain[n]));
    module->channelMute[n] = s.mute->state == 1 ? 1.0f : 0.0f;
  }
}

bool MIXER_GUI::handle(const WIDGET_MESSAGE& m) {
  if (isClick(m) && targetNameHas(m, "POWER")) {
    if (BUTTON* b = buttonNamed("POWER")) module->enabled = b->state;
  }
  return false;
}
