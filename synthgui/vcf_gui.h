#pragma once
// VCF_GUI: the filter panel (module PCF). Front (RC/VCF.RC): cut-off, gain,
// Q and level knobs with their labels, POWER and BYPASS keys, and the
// response screen, which a click steps through the eight responses. Back
// (RC/BACK_VCF.RC): its plugs.

#include "synthgui/module_panel.h"

class VCF_GUI : public MODULE_PANEL {
 public:
  VCF_GUI(PCF* module, float x, float y, const char* number);

  PCF* module;

 protected:
  bool handle(const WIDGET_MESSAGE& m) override;

 private:
  void showType();
};

// The screen image and name of the response the filter plays for
// `filterType` (0 to 7, as the filter numbers them); null for others.
const char* filterImage(int filterType);
const char* filterName(int filterType);
