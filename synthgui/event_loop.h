#pragma once
// The synthesizer's event loop: each call drains SDL's event queue and
// applies it to the front end (panels, scroll offset, cords, keyboards),
// then may accept one remote-control client. GUI thread only.
//
// The panel under the pointer is the one drawn on top there (the last of
// the object list that holds the pointer); a panel pressed with the left or
// the right button comes to the top (the end of the list).
//
// The left button on a plug (a back-view child named "INPUT..." or
// "OUTPUT...") picks up the end of a cord there, or starts a new cord whose
// free input end follows the pointer; released over another plug, the end
// is connected by the cord rules (synthgui/cords.h). The left button on any
// other child presses it: a click on release, and while held one knob step
// per pixel of vertical travel, the pointer kept at the press point.

#include <vector>

#include "gui/pointer.h"
#include "synthgui/cords.h"

class OBJET;

// What a dashboard asked the frame loop to run once the frame is drawn
// (the dialogs rebuild the object list, which must not change under the
// panels' own updates).
enum class DashRequest { None, Load, Save };

// Everything the loop keeps between calls. GUI thread only; a test resets
// it with `synthEvents = SynthEventState{}`.
struct SynthEventState {
  // Hovered panel and child, the child held with the left button and its
  // panel, the left-held flag and the press point.
  PointerState pointer;
  int rightHeld = 0;
  int panning = 0;          // middle button held
  ScreenPoint panAnchor;
  int draggedPanel = -1;    // panel moved with the right button, -1 for none
  int selectedOscillator = 0;  // Tab advances it
  int dialogRunning = 0;    // 1 while the load dialog runs from the loop
  int keepConnections = 0;  // right Ctrl held
  int disconnect = 0;       // Delete held
  int backView = 0;         // every panel shows its back (F6, the JACKS key)
  HeldCord heldCord;        // the cord end the left button holds, if any
  int cordMoved = 0;        // the held end moved since the press
  int cordsOutOfDate = 0;   // rebuild the cords before they are drawn again
  int redraw = 0;           // draw the next frame even if nothing seems changed
  DashRequest request = DashRequest::None;
};

extern SynthEventState synthEvents;

// Result flags of processSynthEvents.
constexpr int kPanelsChanged = 1;
constexpr int kViewScrolled = 4;
constexpr int kCordsChanged = 6;

// Drains the event queue and applies every event to `objects` (the object
// list); with `acceptClients` nonzero, then accepts at most one waiting
// remote-control client. Returns the result flags (0 when nothing happened).
int processSynthEvents(std::vector<OBJET*>& objects, int acceptClients);

// Shows every panel of `objects` from the back (display mode 4) or from the
// front: display mode 1, or the mini view of sequencer and sampler panels
// when `miniViews`. The dashboards keep their face.
void showAllPanels(std::vector<OBJET*>& objects, bool back, bool miniViews);

// A plug of a panel's back: a child named "<panel>_INPUT..." or
// "<panel>_OUTPUT..." (captions and other children are not plugs).
bool isPlug(const OBJET* panel, const SPRITE* child);

// Forgets every pointer into panels (hovered, held and dragged ones, the
// held cord, the info dashboard's target): the panels are about to go.
void forgetPanels();
