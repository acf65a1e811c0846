#pragma once
// The three fixed panels of the synthesizer's window, each laid out by its
// RC file and kept in the object list like a module panel:
// - SYSTEM_DASH ("60", RC/SYSTEM_DASH.RC): LOAD and SAVE a patch, JACKS
//   (its key is named "FILS") to turn every panel round, and the sound
//   load meter;
// - MODULE_DASH ("59", RC/MODULE_DASH.RC): one key per module kind that adds
//   a module and its panel while the synthesizer plays;
// - INFO_DASH ("58", RC/DASH.RC): the kind, name and display mode of the
//   panel last pointed at.
// The dashboards keep their face whatever view the panels show. GUI thread
// only.

#include <vector>

#include "gui/widgets.h"

class DASHBOARD : public OBJET {
 public:
  // Display-mode changes (F6, the JACKS key, key 5) leave a dashboard as
  // it is: it has no back and no half size.
  int setDisplayMode(int mode) override;

 protected:
  // Builds the panel at (0, 0) named `number` from the layout `rcPath`.
  DASHBOARD(const char* number, const char* rcPath);
  // Sizes, marks and draws the panel once its children are all there.
  void finish();
  // Takes every queued message off the queue, oldest first, handing the
  // clicks to `onClick` with their target's name; the dashboard's own keys
  // never see them (a key shows its lit picture only while held down).
  // Then the OBJET update, and the dashboard is redrawn every frame.
  template <typename F>
  void consumeClicks(F onClick);
};

class SYSTEM_DASH : public DASHBOARD {
 public:
  SYSTEM_DASH();
  // LOAD and SAVE ask the frame loop for the dialog (run once the frame is
  // drawn); "FILS" turns every panel to its back or its front (display
  // mode 1, mini views included). Shows the sound load.
  int update() override;

  LABEL* loadLabel = nullptr;  // "LABEL_LOAD" of the layout, if any
};

class MODULE_DASH : public DASHBOARD {
 public:
  MODULE_DASH();
  // A click on a key whose name contains "KEY", "VCO", "VCA", "VCF",
  // "MIXER", "SEQ" or "SAMPLER" adds a module of that kind (each substring
  // found adds one) and its panel.
  int update() override;
};

// The module kinds the module dashboard adds: what a key's name contains.
enum class NewModule { Keyboard, Oscillator, Amplifier, Filter, Mixer, Sequencer, Sampler };

// Adds a module of `kind` to the running synthesizer and its panel at the
// end of the object list: the module is named "<KIND>_n" with n its kind's
// count plus one (the next free number when that name is taken), appended
// to its list under the sound layer's lock; the panel, numbered with the
// module's index i in its list, stands at (10, i x 64 + 50). Returns the
// panel, or null without a synthesizer.
OBJET* addModule(NewModule kind);

class INFO_DASH : public DASHBOARD {
 public:
  INFO_DASH();
  int update() override;
  // The panel the pointer entered a child of, or null when it left the
  // hovered child (the texts then stay).
  void showTarget(OBJET* panel);

  LABEL* modeLabel = nullptr;  // "LABEL_VM"
  LABEL* nameLabel = nullptr;  // "CIBLE_NAME"
  LABEL* typeLabel = nullptr;  // "LABEL_TYPE"
  OBJET* target = nullptr;     // not owned
};

// The info dashboard of the window, null before the front end makes it.
extern INFO_DASH* infoDash;

// Makes the three dashboards (once) and returns them, in the order they go
// into the object list: info, module, system.
std::vector<OBJET*> dashboards();
