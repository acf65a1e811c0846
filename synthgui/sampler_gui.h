#pragma once
// SAMPLER_GUI: the sample player panel. It starts in its mini view
// (RC/SAMPLER_MINI.RC); "VIEW" switches to the main view (RC/SAMPLER.RC):
// speed, volume and phase knobs, POWER, the play-mode screen (forward,
// backward, forward loop, backward loop), the file keys that step through
// the sound folder, and the waveform of the loaded sample, drawn over the
// screen "AFFWAVE". Back (RC/BACK_SAMPLER.RC): its plugs.

#include "synthgui/module_panel.h"

class SAMPLER_GUI : public MODULE_PANEL {
 public:
  SAMPLER_GUI(SAMPLER* module, float x, float y, const char* number);
  ~SAMPLER_GUI() override { deleteWidgets(miniList); }

  // 4: the back; 1 and 0: the main view; 2: the mini view. Always display
  // mode 1 but for the back.
  int setDisplayMode(int mode) override;
  // The panel, then (main view only) the waveform.
  int draw(SDL_Surface* target) override;

  SAMPLER* module;
  std::vector<SPRITE*> miniList;

 protected:
  bool handle(const WIDGET_MESSAGE& m) override;

 private:
  void showFile();
  void stepFile(int step);
  void drawWave();
};

// The play-mode screen image of `playMode` (0 to 3), null for others.
const char* playModeImage(int playMode);

// The folder the file keys step through.
constexpr const char* kSoundFolder = "Sounds";
