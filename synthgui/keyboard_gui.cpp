#include "synthgui/keyboard_gui.h"

#include <cstdio>

KEYBOARD_GUI::KEYBOARD_GUI(KEYBOARD* m, float x0, float y0, const char* number)
    : MODULE_PANEL(x0, y0, number, "KEY_%s", m), module(m) {

  loadLayout(altList, "RC/BACK_KEYBOARD.RC");
  setInList(altList, "label_NAME", m->name);
  loadLayout(mainList, "RC/KEYBOARD.RC");
  setLabel("label_NAME", "%s", m->name);
  showOctave();
  markChildren(1);
  update();
}

// The LED digit images are "LED_NUMERIC_1_<digit + 1>".
void KEYBOARD_GUI::showOctave() {
  SPRITE* led = child("SPRITE_OCT");
  if (!led) return;
  char image[kNameSize];
  std::snprintf(image, sizeof image, "LED_NUMERIC_1_%d", module->octave + 1);
  led->setImage(image);
}

bool KEYBOARD_GUI::handle(const WIDGET_MESSAGE& m) {
  if (!isClick(m)) return false;
  if (targetNameHas(m, "POWER")) {
    if (BUTTON* b = buttonNamed("POWER")) module->power = b->state != 0 ? 1 : 0;
  }
  int octave = module->octave;
  if (targetNameHas(m, "BUTTON_OCT_UP")) octave += 1;
  if (targetNameHas(m, "BUTTON_OCT_DOWN")) octave -= 1;
  module->octave = octave < 0 ? 0 : (octave > 7 ? 7 : octave);
  showOctave();
  return false;
}
