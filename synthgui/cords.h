#pragma once
// Patch cords on screen, derived from the module bindings, and the rules that
// turn a cord end dropped on a plug (or Delete while an end is held) into a
// change of bindings. GUI thread only; a binding change takes effect at the
// audio thread's next frame.
//
// A cord's start is its input end (startPanel, startJack: the input plug),
// its end is its output end (endPanel, endJack: the output plug).

#include <memory>
#include <vector>

#include "gui/cable.h"
#include "patch/port_table.h"

// The cords on screen, in the order rebuildCords made them (the event loop
// appends the cord it starts at a press). The list owns its cables.
extern std::vector<std::unique_ptr<CABLE>> cordList;

// Empties the cord list and makes one cord per bound input of every module
// panel of the object list, in list order, whose source module has a panel:
// oscillators, samplers and filters in the order main, amplitude, frequency,
// phase, pulse width, sync, gate; amplifiers main and gate; mixers one cord
// per channel among the first 12 ("INPUT_1" ... "INPUT_12"). A bound input
// whose source has no panel gets no cord and a console line. Each cord is
// drawn in its family's colour. Returns the number of cords.
int rebuildCords();

// Draws every cord of the list (call after the panels, inside push2D).
void drawCords();

enum class CordEnd { Input, Output };

// The cord end the pointer holds.
struct HeldCord {
  CABLE* cord = nullptr;
  CordEnd end = CordEnd::Input;
  PortFamily family = PortFamily::Signal;
};

// Connecting: `held` released over `plug`, a child of `panel` (the plug
// under the pointer). An input end binds the input `plug` names on
// `panel`'s module to the cord's output-side module, and unbinds the input
// it left unless `keepConnections` (right Ctrl held); an output end rebinds
// the cord's input to `panel`'s module unless `keepConnections`. Gate and
// sync sources must be keyboards or sequencers. While `disconnect` (Delete
// held) nothing is bound. Returns true when a binding changed; the caller
// rebuilds the cords either way.
bool connectCord(const HeldCord& held, OBJET* panel, SPRITE* plug, bool keepConnections, bool disconnect);

// Unplugging: Delete pressed while `held` is held. `heldPlug` is the widget
// the left button went down on when the drag began. Prints the console line
// of the case; unbinds the cord's input unless `keepConnections`. Returns
// true when an input was unbound.
bool unplugCord(const HeldCord& held, SPRITE* heldPlug, bool keepConnections);
