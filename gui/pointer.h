#pragma once
// Pointer handling shared by the event loops of the layout editor and the
// synthesizer: the panel and the child under the pointer, the child held
// with the left button, the press and release messages, knob steps, and
// putting the pointer back where the button went down. What the two loops
// do differently when the pointer enters or leaves a child is given as
// hooks. GUI thread only.

#include <SDL.h>

#include <vector>

#include "gui/ui_state.h"

class OBJET;
class SPRITE;

struct PointerState {
  int hoveredPanel = -1;             // index in the object list, -1 for none
  SPRITE* hoveredWidget = nullptr;   // the child whose `touched` was set last
  SPRITE* heldWidget = nullptr;      // the child the left button went down on
  OBJET* heldPanel = nullptr;        // its panel
  int leftHeld = 0;
  ScreenPoint pressPoint;            // where the left button went down (world coordinates)
};

// What a loop does when the pointer enters or leaves a child. `touched` and
// `dirty` are set and cleared by trackTouch itself.
struct TouchHooks {
  // The pointer entered `child` of `panel`.
  void (*enter)(OBJET* panel, SPRITE* child, const SDL_Event& event) = nullptr;
  // The pointer left `widget` while over `panel`; `offEveryWidget` when it
  // is now over no child at all (only with leaveOffWidgets).
  void (*leave)(OBJET* panel, SPRITE* widget, const SDL_Event& event, bool offEveryWidget) = nullptr;
  // Also leave the hovered child when the pointer is over no child of the
  // hovered panel (the hovered panel index then becomes -1). Otherwise the
  // child stays hovered until the pointer enters another.
  bool leaveOffWidgets = false;
};

// Index of the first panel of `objects` whose rectangle contains `point`
// (the global mouse position by default; edges included), or -1.
int panelAt(const std::vector<OBJET*>& objects, ScreenPoint point = mousePosition);
// objects[index], or null when the index is out of range.
OBJET* panelOf(const std::vector<OBJET*>& objects, int index);

// Touch tracking after the global mouse position changed: the child under
// the pointer of the hovered panel becomes the hovered widget. While the
// left button is held the previously hovered child keeps its `touched`.
void trackTouch(PointerState& state, const std::vector<OBJET*>& objects, const SDL_Event& event,
                const TouchHooks& hooks);

// Left press at the global mouse position: the left-held flag and the press
// point are set; `child` (if any) of `panel` becomes the held widget, gets
// `pressed` and is posted a message with a copy of `event`. Returns true
// when a child is held.
bool pressLeft(PointerState& state, OBJET* panel, SPRITE* child, const SDL_Event& event);

// The release of the held child: posts a copy of `event` for it to `panel`,
// clears its `pressed`, marks it dirty, forgets it and puts the pointer back
// at the press point. Nothing when no child is held.
void releaseHeld(PointerState& state, OBJET* panel, const SDL_Event& event);

// While a child is held: the vertical travel since the press, as one
// "SLD_UP" (pointer moved up) or "SLD_DOWN" message per pixel to the held
// child's panel, then the pointer back at the press point, so that a knob
// turns indefinitely without the pointer leaving it. Returns the number of
// messages posted.
int turnHeld(PointerState& state, const SDL_Event& event);

// Posts to `panel` (if any) a left-button release for no child: the test
// click of key 1 (panels pass over messages without a target).
void postTestClick(OBJET* panel);

// Moves the pointer to the press point (world coordinates less the scroll
// offset, held inside the window's coordinate range).
void warpToPress(const PointerState& state);
