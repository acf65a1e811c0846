#pragma once
// KEYBOARD_GUI: the keyboard panel. Front (RC/KEYBOARD.RC): POWER, the
// octave keys and the octave LED (octave 0 to 7). Back
// (RC/BACK_KEYBOARD.RC): its output plugs.

#include "synthgui/module_panel.h"

class KEYBOARD_GUI : public MODULE_PANEL {
 public:
  KEYBOARD_GUI(KEYBOARD* module, float x, float y, const char* number);

  KEYBOARD* module;

 protected:
  bool handle(const WIDGET_MESSAGE& m) override;

 private:
  void showOctave();
};
