#include "gui/pointer.h"

#include <algorithm>
#include <cstdlib>

#include "gui/widgets.h"

int panelAt(const std::vector<OBJET*>& objects, ScreenPoint point) {
  for (std::size_t i = 0; i < objects.size(); ++i) {
    if (objects[i]->contains(static_cast<float>(point.x), static_cast<float>(point.y))) return static_cast<int>(i);
  }
  return -1;
}

OBJET* panelOf(const std::vector<OBJET*>& objects, int index) {
  if (index < 0 || index >= static_cast<int>(objects.size())) return nullptr;
  return objects[static_cast<std::size_t>(index)];
}

void trackTouch(PointerState& s, const std::vector<OBJET*>& objects, const SDL_Event& event,
                const TouchHooks& hooks) {
  OBJET* panel = panelOf(objects, s.hoveredPanel);
  SPRITE* c = panel ? panel->childAt() : nullptr;
  if (c && c != s.hoveredWidget) {
    if (s.leftHeld == 0 && s.hoveredWidget) {
      SPRITE* old = s.hoveredWidget;
      old->touched = 0;
      old->dirty = 1;
      s.hoveredWidget = nullptr;
      if (hooks.leave) hooks.leave(panel, old, event, false);
    }
    c->touched = 1;
    c->dirty = 1;
    s.hoveredWidget = c;
    if (hooks.enter) hooks.enter(panel, c, event);
  } else if (!c && hooks.leaveOffWidgets && s.leftHeld == 0 && panel && s.hoveredWidget) {
    SPRITE* old = s.hoveredWidget;
    old->touched = 0;
    old->dirty = 1;
    s.hoveredWidget = nullptr;
    s.hoveredPanel = -1;
    if (hooks.leave) hooks.leave(panel, old, event, true);
  }
}

bool pressLeft(PointerState& s, OBJET* panel, SPRITE* child, const SDL_Event& event) {
  s.leftHeld = 1;
  s.pressPoint = mousePosition;
  if (!panel || !child) return false;
  s.heldWidget = child;
  s.heldPanel = panel;
  child->pressed = 1;
  panel->post(WIDGET_MESSAGE::forEvent(event, child));
  return true;
}

void releaseHeld(PointerState& s, OBJET* panel, const SDL_Event& event) {
  SPRITE* held = s.heldWidget;
  if (!held) return;
  if (panel) panel->post(WIDGET_MESSAGE::forEvent(event, held));
  held->pressed = 0;
  held->dirty = 1;
  s.heldWidget = nullptr;
  s.heldPanel = nullptr;
  warpToPress(s);
}

int turnHeld(PointerState& s, const SDL_Event& event) {
  if (!s.heldWidget || !s.heldPanel) return 0;
  const int dy = s.pressPoint.y - mousePosition.y;
  if (dy == 0) return 0;
  const char* text = dy > 0 ? "SLD_UP" : "SLD_DOWN";
  const int steps = std::abs(dy);
  for (int i = 0; i < steps; ++i) s.heldPanel->post(WIDGET_MESSAGE::forText(text, event, s.heldWidget));
  warpToPress(s);
  return steps;
}

void warpToPress(const PointerState& s) {
  const int x = std::clamp(s.pressPoint.x - scrollOffset.x, 0, 65535);
  const int y = std::clamp(s.pressPoint.y - scrollOffset.y, 0, 65535);
  // The warp itself comes back as a motion to the press point, where the
  // travel is 0.
  mousePosition = s.pressPoint;
  SDL_WarpMouse(static_cast<Uint16>(x), static_cast<Uint16>(y));
}

void postTestClick(OBJET* panel) {
  if (!panel) return;
  SDL_Event up{};
  up.type = SDL_MOUSEBUTTONUP;
  up.button.button = SDL_BUTTON_LEFT;
  up.button.state = SDL_RELEASED;
  up.button.x = static_cast<Uint16>(std::clamp(mousePosition.x - scrollOffset.x, 0, 65535));
  up.button.y = static_cast<Uint16>(std::clamp(mousePosition.y - scrollOffset.y, 0, 65535));
  panel->post(WIDGET_MESSAGE::forEvent(up, nullptr));
}
