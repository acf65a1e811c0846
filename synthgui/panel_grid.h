#pragma once
// The panels of the current synthesizer: one per module, laid out on the
// column grid, and the lookups from a module output to its panel.

#include <vector>

#include "engine/engine.h"
#include "gui/widgets.h"
#include "patch/port_table.h"

class SEQ_GUI;

// Every sequencer panel ever built, the newest first. Never emptied.
extern std::vector<SEQ_GUI*> sequencerPanels;

// Empties the object list (dropped panels are kept, not destroyed) and
// fills it with one panel per module of `currentGenerator`, group by group:
// keyboards, sequencers, oscillators, samplers, amplifiers, filters, mixers,
// printing a heading before each. A group stands in its own column (an
// empty group takes none); in it, module i stands at y = i x row step x 1.5
// + top offset. Returns 1.
int InitGuiFromCurrent();

// Frees panels that InitGuiFromCurrent dropped from the object list (and
// takes them off the sequencer panel list). Only for panels nothing points
// at any more.
void releasePanels(const std::vector<OBJET*>& panels);

// The panel of the object list whose module owns the output, or null.
// By signal output the list is searched from its end, by gate output too,
// by sync output from its start.
OBJET* panelBySignalOutput(const OUTPUT* output);
OBJET* panelByGateOutput(const OUTPUT_GATE* output);
OBJET* panelBySyncOutput(const OUTPUT_SYNC* output);
// The same by the output's field (what a binding points at: the address of
// a module's value, gate or sync word; boundField gives it).
OBJET* panelByOutputField(const void* field, PortFamily family);
