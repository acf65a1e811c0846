#pragma once
// The layout editor: opens one RC file as a panel over a turning tiled
// background, lets the user drag its children on a grid (or nudge them with
// the arrow keys), move the whole panel with the right button, try its
// buttons and knobs, and write the layout back with F2. All feedback goes to
// the console. One thread: events, drawing and saving happen in the loop.

#include <SDL.h>

#include <vector>

#include "gui/pointer.h"
#include "gui/ui_state.h"

class OBJET;
class SPRITE;

struct EditorState {
  // Hovered panel and child (the child that last got "TOUCH_IN"), the child
  // pressed with the left button, the left-press position.
  PointerState pointer;
  int draggedPanel = -1;          // panel moved with the right button
  int rightHeld = 0;
  int middleHeld = 0;
  ScreenPoint middlePress;
  ScreenPoint middleRelease;
  int gridStep = 4;  // never below 1
  SPRITE* background = nullptr;
  OBJET* panel = nullptr;  // the edited panel, also the current panel
};

extern EditorState editor;

// Drains the SDL event queue and applies it. Returns bit 0 when something
// changed and bit 2 for a motion with the middle button held.
int handleEvents(std::vector<OBJET*>& objects, int flag, SDL_Surface* surface);

// Clears, swaps and counts one frame (see countFrame).
void clearAndCount();
// Counts one frame; every 5 seconds prints the frame rate.
void countFrame();

// Runs the editor on the RC file `rcPath`; `shownName` is the argument as the
// user typed it (for the window title). Returns 0 when Escape ends it.
int runEditor(const char* shownName, const char* rcPath);
