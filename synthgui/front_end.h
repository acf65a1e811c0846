#pragma once
// The synthesizer's window: start-up in three stages (sound and patch,
// window and graphics, panels), then the frame loop until Escape, the
// window's close or SIGINT/SIGTERM, then a clean close-down. Main thread.

#include <string>
#include <vector>

class OBJET;

// Runs the windowed synthesizer on `patch` (empty: a new, empty one) with
// a sound buffer of `bufferFrames` frames (0: the default). Returns the
// program's exit status (0).
int runWindowedSynth(const std::string& patch, int bufferFrames = 0);

// The parts of the start-up and of the frame that the frame-time benchmark
// shares with the program.

// Opens the 1024 x 768 window with the graphics archive and the fonts.
void openSynthWindow(const char* title);
// Builds the panels of the current synthesizer, places the dashboards where
// they hide no panel, and asks for the cords. Also installed as the hook
// the load dialog calls after a reload.
void buildRack();
// One frame: events (remote clients accepted), remote buttons, cords
// rebuilt when out of date, panels, cords (back view) and output trace
// drawn, the swap, and a dialog a dashboard asked for.
void windowFrame();

// Moves `dashboards` as one block to a place of the first screen that no
// panel of `panels` covers (the lowest such place, then the leftmost), or
// below the panels when there is none.
void placeDashboards(const std::vector<OBJET*>& dashboards, const std::vector<OBJET*>& panels);
