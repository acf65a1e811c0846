#pragma once
// The synthesizer's panels: one panel per module, built from RC layouts,
// showing and editing its module's fields while the synthesizer plays. Only
// the programs include this folder.
//
// How the pieces fit:
// - InitGuiFromCurrent (panel_grid.h) builds a panel for every module of
//   `currentGenerator`, lays them out on the column grid (keyboards,
//   sequencers, oscillators, samplers, amplifiers, filters, mixers, one
//   column per kind) and fills `objectList`, which the event loop updates,
//   draws and hit-tests in order.
// - Every module panel is a MODULE_PANEL (module_panel.h): an OBJET whose
//   `mainList` is its front, `altList` its back (the plugs) and, for the
//   sampler and the sequencer, `miniList` a small view they start in.
//   setDisplayMode(4) shows the back, setDisplayMode(1) the front.
// - Ask panelInfo(panel) (module_panel.h), never a chain of type tests, for
//   what a panel is: its module as a ModuleRef (kind and typed module, the
//   handle of the port table, patch/port_table.h), the module's name and its
//   signal, gate and sync outputs. isModule() is false for anything else in
//   the object list (dashboards, dialogs).
// - plugOf(panel, "INPUT_GATE") finds a plug on a panel's back whatever
//   view is shown; plugNames(kind) lists the plugs a kind's back holds for
//   cords, from the port table ("OUTPUT", "OUTPUT_GATE", "OUTPUT_SYNC",
//   "INPUT", "INPUT_MOD_FREQ", "INPUT_MOD_PHASE", "INPUT_MOD_PWM",
//   "INPUT_MOD_AMP", "INPUT_GATE", "INPUT_SYNC", "INPUT_1" ... "INPUT_12").
//   Plug children are named "<panel number>_<item>".
// - panelBySignalOutput / panelByGateOutput / panelBySyncOutput
//   (panel_grid.h) find the panel that owns a module output, for the cords
//   and the links writer.
// - Panels act on widget messages the event loop posts (post()): clicks are
//   mouse-button-up events whose target is a child, knob steps the texts
//   "SLD_UP" / "SLD_DOWN" (gui/messages.h). They act only in display mode 1,
//   on the GUI thread, writing module fields through Shared<T>.

#include "synthgui/keyboard_gui.h"
#include "synthgui/knob_rules.h"
#include "synthgui/mixer_gui.h"
#include "synthgui/module_panel.h"
#include "synthgui/panel_grid.h"
#include "synthgui/sampler_gui.h"
#include "synthgui/seq_gui.h"
#include "synthgui/sound_folder.h"
#include "synthgui/vca_gui.h"
#include "synthgui/vcf_gui.h"
#include "synthgui/vco_gui.h"
