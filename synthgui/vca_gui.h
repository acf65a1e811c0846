#pragma once
// VCA_GUI: the amplifier panel. Front (RC/VCA.RC): attack, decay, sustain
// and release knobs with their value labels and a POWER key that changes
// only itself. Back (RC/BACK_VCA.RC): its plugs.

#include "synthgui/module_panel.h"

class VCA_GUI : public MODULE_PANEL {
 public:
  VCA_GUI(VCA* module, float x, float y, const char* number);

  VCA* module;

 protected:
  bool handle(const WIDGET_MESSAGE& m) override;
};
