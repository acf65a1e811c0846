#pragma once
// SEQ_GUI: the step sequencer panel. It starts in its mini view
// (RC/SEQUENCEUR_MINI.RC); "VIEW" switches to the main view
// (RC/SEQUENCEUR.RC plus 32 step columns built here) and back. A column
// shows its step's lamp (lit on the running step), mute lamp, octave and
// note as two-digit LED numbers with up/down keys, and volume and length
// knobs with their labels; steps at or past the step count are dimmed. The
// main view also carries POWER, the eight pattern keys, the divider keys
// and the step-count keys. Back (RC/BACK_SEQUENCEUR.RC): its output plugs.
//
// The panel edits the row `pattern` the sequencer plays; a pattern key only
// asks for the next row (`pendingPattern`), which the sequencer takes at the
// end of its pass.

#include "synthgui/module_panel.h"

class SEQ_GUI : public MODULE_PANEL {
 public:
  static constexpr int kColumns = 32;

  SEQ_GUI(SEQUENCER* module, float x, float y, const char* number);
  ~SEQ_GUI() override { deleteWidgets(miniList); }

  // 4: the back; 1 and 0: the main view; 2: the mini view. Always display
  // mode 1 but for the back.
  int setDisplayMode(int mode) override;

  int32_t stepColumns = kColumns;
  SEQUENCER* module;
  std::vector<SPRITE*> miniList;

 protected:
  void beforeMessages() override;
  bool handle(const WIDGET_MESSAGE& m) override;
  void afterMessages() override;

 private:
  // The widgets of one step column, built in code.
  struct Column {
    LABEL* volumeLabel;
    LABEL* lengthLabel;
    SPRITE* lamp;
    SPRITE* octaveUnits;
    SPRITE* octaveTens;
    SPRITE* noteUnits;
    SPRITE* noteTens;
    SLIDER* volumeKnob;
    SLIDER* lengthKnob;
    BUTTON* mute;
  };
  void buildColumns();
  bool showingMini() const { return children == &miniList; }
  int row() const;
  // The step refreshers: nothing while the mini view is shown.
  void showNote(int k);
  void showOctave(int k);
  void showVolume(int k);
  void showLength(int k);
  void showMute(int k);
  void showAllSteps();
  void showPatternKeys();
  void showNumber(SPRITE* tens, SPRITE* units, int value, int k);
  void showKnob(SLIDER* knob, LABEL* label, float value, int k);
  void showDividers();

  Column columns_[kColumns] = {};
};
