#pragma once
// Drawing panels from a picture of their last look. A software OpenGL
// renderer pays for every quad and every state change, and a rack of panels
// is hundreds of them a frame although most frames change nothing: a panel
// is drawn into an off-screen texture only when what it shows changed (any
// child's picture, place, size, angle, text or colour, the panel's view and
// size), and the texture is drawn otherwise, one quad per panel.
//
// Only panels whose picture is exactly their rectangle are cached: an
// opaque background ("IMAGE_FOND" without a mask, no "FOND_MASK") and every
// child inside the panel. Others, and every panel when the display offers
// no off-screen targets, are drawn as drawPanelsInView draws them.
// GUI thread only.

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

  // Updates and draws every panel of `objects` that overlaps the view at
  // `scroll`, in list order, as drawPanelsInView does (panels an update
  // appends are drawn too). Inside push2D of the whole window.
  void drawPanels(std::vector<OBJET*>& objects, ScreenPoint scroll);

  // Forgets every picture (the panels are about to be replaced).
  void clear();

  // Pictures drawn afresh since the cache was made (tests, figures).
  long redraws() const { return redraws_; }

 private:
  struct Picture {
    unsigned int framebuffer = 0;
    unsigned int texture = 0;
    int width = 0;
    int height = 0;
    uint64_t look = 0;
  };

  // Draws `panel` (already updated and drawn without output this frame)
  // from its picture, making the picture first when its look changed.
  // False when the panel cannot be cached.
  bool drawCached(OBJET* panel, ScreenPoint scroll);

  std::unordered_map<const OBJET*, Picture> pictures_;
  long redraws_ = 0;
  int supported_ = -1;  // -1 not yet asked
};

// What a panel shows, as one number: equal numbers mean the same picture.
uint64_t panelLook(const OBJET& panel);
