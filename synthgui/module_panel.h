#pragma once
// MODULE_PANEL: what the seven module panels share, and the one answer the
// front end asks of any panel (PanelInfo: its kind, its module, its outputs
// and its plugs). See synthgui.h for how the pieces fit.

#include <string>
#include <vector>

#include "engine/engine.h"
#include "gui/messages.h"
#include "gui/widgets.h"
#include "patch/port_table.h"

// What a panel shows. For anything that is not a module panel (a dashboard,
// a dialog, the editor's panel) `module` is empty and every pointer null.
struct PanelInfo {
  // The module, with its kind (patch/port_table.h): module.oscillator() and
  // the like give it typed.
  ModuleRef module;
  const char* moduleName = "";
  // The outputs a cord can start from: every module has a signal output;
  // keyboards and sequencers also have a gate and a sync output.
  OUTPUT* signal = nullptr;
  OUTPUT_GATE* gate = nullptr;
  OUTPUT_SYNC* sync = nullptr;

  bool isModule() const { return static_cast<bool>(module); }
};

// The PanelInfo of any panel of the object list (null gives an empty one).
PanelInfo panelInfo(const OBJET* panel);

// The plugs a back layout of `kind` holds for cords: its outputs ("OUTPUT",
// and "OUTPUT_GATE", "OUTPUT_SYNC" on keyboards and sequencers), then the
// plugged inputs of the port table ("INPUT", "INPUT_MOD_FREQ", ...; the
// mixer's "INPUT_1" ... "INPUT_12").
std::vector<std::string> plugNames(ModuleKind kind);

// The plug `item` ("OUTPUT", "INPUT_GATE", ...) of `panel`, found on its
// back whatever list is current, or null.
SPRITE* plugOf(OBJET* panel, const char* item);

// The mixer's back carries a plug for each of its first 12 channels.
constexpr int kMixerPlugs = 12;

// Frees the widgets of `list` and empties it.
void deleteWidgets(std::vector<SPRITE*>& list);

class MODULE_PANEL : public OBJET {
 public:
  // A module panel owns the widgets it built: its front and back (a panel
  // with a mini view frees that one itself). The module is not freed.
  ~MODULE_PANEL() override;
  const PanelInfo& info() const { return info_; }

  // Once per frame. In display mode 1 the panel acts on its queued
  // messages, oldest first (handle), without removing them unless handle
  // asks to; then the OBJET update forwards them to their widgets. Returns 0.
  int update() override;

 protected:
  // `titleFormat` ("VCO_%s", ...) and the panel number give the title kept
  // in `image`; `module` fills the PanelInfo.
  MODULE_PANEL(float x, float y, const char* number, const char* titleFormat, ModuleRef module);

  // Display mode 1 only, before the messages.
  virtual void beforeMessages() {}
  // Display mode 1 only: acts on one message whose target is set. Returns
  // true to take the message off the queue, so its widget never sees it.
  virtual bool handle(const WIDGET_MESSAGE& m) = 0;
  // Every display mode, after the messages, before the OBJET update.
  virtual void afterMessages() {}

  // setDisplayMode of the panels with a mini view: 4 shows the back
  // (display mode 4), 2 the mini view, anything else the main view (all in
  // display mode 1); then as OBJET's (size, dirty children, draw). Returns 1.
  int showView(int mode, std::vector<SPRITE*>& mini);

  // Makes `list` current and reads the layout `path` into it.
  void loadLayout(std::vector<SPRITE*>& list, const char* path);

  // Children of the current list by exact item name. A child the layout
  // lacks gives null and is reported once per layout and item; callers
  // work on without it.
  SPRITE* child(const char* item);
  LABEL* labelNamed(const char* item);
  BUTTON* buttonNamed(const char* item);
  SLIDER* knobNamed(const char* item);
  // Sets the text of the label `item` (nothing when it is missing).
  void setLabel(const char* item, const char* format, ...) __attribute__((format(printf, 3, 4)));
  // The item name of a message's target, "" when it is not a child of this
  // panel.
  const char* targetItem(const WIDGET_MESSAGE& m) const;
  // Sets the text of the label `item` of `list` when that list has one,
  // whatever list is current and without a missing-child report: a back or
  // a mini view may show the name or the file too.
  void setInList(std::vector<SPRITE*>& list, const char* item, const char* text);

  PanelInfo info_;
  // The layout each list was read from, for the missing-child report.
  std::string layoutOfMain, layoutOfAlt, layoutOfMini;
};
