#pragma once
// State shared by the GUI's event loops (the layout editor and the
// synthesizer front end) and the widgets. Owned by the GUI thread: no other
// thread reads or writes any of it.

#include <vector>

class OBJET;

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// The pointer, in the widgets' coordinates; written by the event loops, read
// by OBJET::childAt.
extern ScreenPoint mousePosition;

// Subtracted from every drawn position (0, 0 in the layout editor).
extern ScreenPoint scrollOffset;

// The panels on screen. Its order is the drawing and hit-test order; it holds
// plain pointers and never deletes a panel.
extern std::vector<OBJET*> objectList;

// The frame loops run while this is 1; releasing Escape clears it.
extern int running;

// Index in objectList of the panel last picked with the right button, -1 for
// none.
extern int selectedObject;
