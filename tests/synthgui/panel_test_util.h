#pragma once
// Driving panels as the event loop will: clicks are mouse-button-up events
// for a child, knob steps the texts "SLD_UP" / "SLD_DOWN"; each is posted and
// followed by the panel's update. No window is needed. The tests run beside
// the programs, where RC/ holds the layouts.

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <string>
#include <vector>

#include "gui/gui.h"
#include "synthgui/synthgui.h"

inline SPRITE* childOf(OBJET& panel, const char* item) {
  SPRITE* c = panel.childByName(item);
  EXPECT_NE(c, nullptr) << item;
  return c;
}

// One frame as the event loop runs it: the panel's update, then its draw
// with every child marked (which is when the widgets take their messages).
inline void frame(OBJET& panel) {
  panel.update();
  panel.markChildren(1);
  panel.draw(nullptr);
}

inline void press(OBJET& panel, SPRITE* target, int type) {
  SDL_Event e{};
  e.type = static_cast<Uint8>(type);
  panel.post(WIDGET_MESSAGE::forEvent(e, target));
  frame(panel);
}

inline void click(OBJET& panel, const char* item) { press(panel, childOf(panel, item), kMouseUpType); }

inline void turn(OBJET& panel, const char* item, const char* text, int steps = 1) {
  SPRITE* knob = childOf(panel, item);
  for (int i = 0; i < steps; ++i) {
    panel.post(WIDGET_MESSAGE::forText(text, SDL_Event{}, knob));
    frame(panel);
  }
}

inline std::string labelText(OBJET& panel, const char* item) {
  auto* l = dynamic_cast<LABEL*>(panel.childByName(item));
  return l ? l->text : "<no label " + std::string(item) + ">";
}

// Opens the window (once per test program) with the project's own archive.
inline void ensureVideo() {
  static const bool started = startVideo(1024, 768, "panel test", "grfx/opengl.mim") == 1;
  (void)started;
}

// The window's back buffer once drawing is done: 0xRRGGBB, rows from the
// top.
inline std::vector<Uint32> readBackBuffer(int width = 1024, int height = 768) {
  glFinish();
  std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  std::vector<Uint32> out(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const unsigned char* p = &rgb[(static_cast<std::size_t>(height - 1 - y) * width + x) * 3];
      out[static_cast<std::size_t>(y) * width + x] = (Uint32(p[0]) << 16) | (Uint32(p[1]) << 8) | p[2];
    }
  return out;
}
