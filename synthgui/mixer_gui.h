#pragma once
// MIXER_GUI: the mixer panel. Front (RC/MIXER.RC) plus 21 channel strips
// built here (three columns of seven: number, mute key, level knob, level
// label). A level knob sets its channel's gain only while it is held
// (gain = angle / 1800); the mute keys set the channel mutes every frame.
// Back (RC/BACK_MIXER.RC): the output and the twelve input plugs.

#include "synthgui/module_panel.h"

class MIXER_GUI : public MODULE_PANEL {
 public:
  static constexpr int kStrips = 21;

  MIXER_GUI(MIXER* module, float x, float y, const char* number);

  MIXER* module;

 protected:
  void beforeMessages() override;
  bool handle(const WIDGET_MESSAGE& m) override;

 private:
  struct Strip {
    SLIDER* knob;
    LABEL* level;
    BUTTON* mute;
  };
  Strip strips_[kStrips] = {};
};
