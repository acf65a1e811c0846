#pragma once
// Drawing panels from a picture of their last look. A software OpenGL
// renderer pays for every quad and every state change, and a rack of panels
// is hundreds of them a frame although most frames change nothing. A panel
// is drawn as always when what it shows changed (any child's picture,
// place, size, angle, text or colour, the panel's view and size, its place
// on the screen), and its rectangle of the window is then copied into a
// texture; otherwise that texture is drawn, one quad per panel. The picture
// is the very pixels the panel drew.
//
// Only panels whose picture is exactly their rectangle are cached: an
// opaque background ("IMAGE_FOND" without a mask, no "FOND_MASK"), every
// child inside the panel, the panel wholly inside the window. Others are
// drawn as drawPanelsInView draws them. GUI thread only.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "gui/ui_state.h"

class OBJET;

class PanelCache {
 public:
  PanelCache() = default;
  ~PanelCache();
  PanelCache(const PanelCache&) = delete;
  PanelCache& operator=(const PanelCache&) = delete;

  // Updates every panel of `objects` that overlaps the view at `scroll`,
  // in list order, as drawPanelsInView does but without drawing (panels an
  // update appends are updated too). Returns what the panels in view show,
  // as one number: the same number, the same pixels.
  uint64_t updatePanels(std::vector<OBJET*>& objects, ScreenPoint scroll);
  // Draws the panels the last updatePanels found in view, in its order
  // (nothing may change the object list in between). Inside push2D of the
  // whole window.
  void drawPanels(ScreenPoint scroll);

  // Forgets every picture (the panels are about to be replaced).
  void clear();

  // Pictures drawn afresh since the cache was made (tests, figures).
  long redraws() const { return redraws_; }

 private:
  struct Picture {
    unsigned int texture = 0;
    int width = 0;   // the texture's sides (powers of two)
    int height = 0;
    uint64_t look = 0;
  };

  // Draws `panel` (already updated this frame, without output) from its
  // picture, or draws it and takes its picture when its look changed.
  // False when the panel cannot be cached (nothing drawn).
  bool drawCached(OBJET* panel, ScreenPoint scroll);
  void forget(const OBJET* panel);

  std::unordered_map<const OBJET*, Picture> pictures_;
  std::vector<OBJET*> inView_;
  long redraws_ = 0;
};

// What a panel shows, as one number: equal numbers mean the same picture.
uint64_t panelLook(const OBJET& panel);
