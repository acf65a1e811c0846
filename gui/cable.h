#pragma once
// A patch cord on screen: a sagging curve from the jack of one panel to the
// jack of another, with a plug sprite over each end. The synthesizer keeps
// one cable per bound input and rebuilds them from the bindings; while the
// user drags a cord, one end may hang free. GUI thread only.

#include <cstdint>

#include "gui/widgets.h"

class CABLE {
 public:
  struct Point {
    int x = 0;
    int y = 0;
  };

  // The start is the input end, the end the output end. Either panel may be
  // null: with no start panel the start lies at the end jack's centre; with
  // no end panel the end hangs 40 pixels right of and below the start. The
  // panels and jacks are not owned.
  CABLE(OBJET* startPanel, OBJET* endPanel, SPRITE* startJack, SPRITE* endJack, int32_t colour);
  CABLE(const CABLE&) = delete;
  CABLE& operator=(const CABLE&) = delete;

  // Recomputes both end points from the panels and jacks (as the
  // constructor does).
  void setEnds(OBJET* startPanel, OBJET* endPanel, SPRITE* startJack, SPRITE* endJack);
  // Changes one plug's picture: (0, 0) toggles plugged/unplugged, (1, 0)
  // plugs it, (0, 1) and (1, 1) unplug it.
  void setStartPlug(int forcePlugged, int forceUnplugged);
  void setEndPlug(int forcePlugged, int forceUnplugged);

  // The three control points of the curve: the start, the middle at the sum
  // of the two heights (so the cord always sags below its ends), the end.
  void controlPoints(Point out[3]) const;
  // Draws the curve in the cord's colour (0xRRGGBB), 3 pixels wide, then
  // both plugs over its ends. Puts back the OpenGL state it changes.
  void drawCable(SDL_Surface* target);

  int32_t drawnX1 = 0, drawnX2 = 0, drawnY1 = 0, drawnY2 = 0;
  int32_t x1 = 0, y1 = 0;  // input end (start)
  int32_t x2 = 0, y2 = 0;  // output end
  int32_t cableColor = -1;
  SPRITE startPlug;
  SPRITE endPlug;
  OBJET* startPanel = nullptr;
  OBJET* endPanel = nullptr;
  SPRITE* startJack = nullptr;
  SPRITE* endJack = nullptr;
};

// The centre of a jack on screen: its panel's position plus its own plus
// half its size, truncated. (0, 0) without a panel or a jack.
CABLE::Point jackCentre(const OBJET* panel, const SPRITE* jack);
