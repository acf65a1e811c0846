#pragma once
// VCO_GUI: the oscillator panel. Front (RC/VCO.RC): frequency, volume, phase
// and pulse-width knobs with their value labels, the POWER key and the
// waveform screen, which a click steps sine, triangle, saw, square, pulse,
// noise. Back (RC/BACK_VCO.RC): its plugs.

#include "synthgui/module_panel.h"

class VCO_GUI : public MODULE_PANEL {
 public:
  VCO_GUI(VCO* module, float x, float y, const char* number);

  VCO* module;

 protected:
  bool handle(const WIDGET_MESSAGE& m) override;

 private:
  void showWave();
};

// The screen image of an oscillator wave type (1 to 6), null for others.
const char* waveImage(int waveType);
