#include "gui/panel_cache.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "gui/video.h"
#include "gui/widgets.h"

namespace {

// FNV-1a, 64 bits.
struct Hash {
  uint64_t h = 14695981039346656037ull;
  void bytes(const void* p, std::size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (std::size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
  }
  template <typename T>
  void value(T v) {
    bytes(&v, sizeof v);
  }
  void text(const char* s) { bytes(s, std::strlen(s) + 1); }
};

int powerOfTwo(int n) {
  int p = 1;
  while (p < n) p <<= 1;
  return p;
}

// The panel's picture is its rectangle: an opaque background and every
// child inside the panel.
bool fitsItsRectangle(OBJET& panel) {
  SPRITE* fond = panel.childByName("IMAGE_FOND");
  if (!fond || fond->mask[0] != '\0' || panel.childByName("FOND_MASK")) return false;
  if (panel.w <= 0 || panel.h <= 0) return false;
  if (panel.displayMode == 2) return true;  // only the background, at half size
  for (const SPRITE* c : *panel.children) {
    const float zw = c->w * c->zoom, zh = c->h * c->zoom;
    const float left = c->x + (c->w - zw) / 2, top = c->y + (c->h - zh) / 2;
    if (left < 0 || top < 0 || left + zw > panel.w + 0.5f || top + zh > panel.h + 0.5f) return false;
  }
  return true;
}

}  // namespace

uint64_t panelLook(const OBJET& panel) {
  Hash h;
  h.value(panel.displayMode);
  h.value(panel.w);
  h.value(panel.h);
  h.value(std::ceil(panel.x) - panel.x);
  h.value(std::ceil(panel.y) - panel.y);
  h.value(static_cast<const void*>(panel.children));
  for (const SPRITE* c : *panel.children) {
    h.value(static_cast<const void*>(c));
    h.text(c->image);
    h.text(c->mask);
    h.value(c->x);
    h.value(c->y);
    h.value(c->w);
    h.value(c->h);
    h.value(c->zoom);
    h.value(c->angle);
    h.value(c->blend);
    if (const auto* label = dynamic_cast<const LABEL*>(c)) {
      h.text(label->text);
      h.value(label->color);
    }
  }
  return h.h;
}

PanelCache::~PanelCache() { clear(); }

void PanelCache::clear() {
  if (glReady()) {
    for (auto& [panel, p] : pictures_) glDeleteTextures(1, &p.texture);
  }
  pictures_.clear();
  inView_.clear();
}

uint64_t PanelCache::updatePanels(std::vector<OBJET*>& objects, ScreenPoint scroll) {
  const RECTANGLE view(static_cast<float>(scroll.x), static_cast<float>(scroll.y), 0,
                       static_cast<float>(scroll.x + 1024), static_cast<float>(scroll.y + 768));
  Hash frame;
  frame.value(scroll.x);
  frame.value(scroll.y);
  inView_.clear();
  // By index: a panel's update may append panels to the list.
  for (std::size_t i = 0; i < objects.size(); ++i) {
    OBJET* panel = objects[i];
    if (!view.overlaps(RECTANGLE(panel->x, panel->y, 0, panel->w, panel->h))) continue;
    {
      // Messages, sizes and flags, without drawing.
      DrawingOff off;
      panel->update();
      panel->markChildren(1);
      panel->draw(nullptr);
    }
    inView_.push_back(panel);
    frame.value(static_cast<const void*>(panel));
    frame.value(std::ceil(panel->x));
    frame.value(std::ceil(panel->y));
    frame.value(panelLook(*panel));
  }
  return frame.h;
}

void PanelCache::drawPanels(ScreenPoint scroll) {
  for (OBJET* panel : inView_) {
    if (!drawCached(panel, scroll)) {
      panel->markChildren(1);
      panel->draw(nullptr);
    }
  }
}

bool PanelCache::drawCached(OBJET* panel, ScreenPoint scroll) {
  if (!glReady()) return true;  // nothing to draw anyway
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  // A panel is drawn from its first whole pixel (a grid row may put it on
  // a half pixel). Only panels wholly in the window are kept.
  const int width = static_cast<int>(panel->w), height = static_cast<int>(panel->h);
  const int screenX = static_cast<int>(std::ceil(panel->x)) - scroll.x;
  const int screenY = static_cast<int>(std::ceil(panel->y)) - scroll.y;
  if (!fitsItsRectangle(*panel) || screenX < 0 || screenY < 0 || screenX + width > viewport[2] ||
      screenY + height > viewport[3]) {
    forget(panel);
    return false;
  }
  // The picture is taken where the panel stands on the screen, so that
  // the same place gives the same pixels, to the last texel.
  Hash h;
  h.value(panelLook(*panel));
  h.value(screenX);
  h.value(screenY);
  const uint64_t look = h.h;

  Picture& p = pictures_[panel];
  GLint previousTexture = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
  const float u = static_cast<float>(width) / static_cast<float>(p.width);
  const float v = static_cast<float>(height) / static_cast<float>(p.height);
  if (p.look == look && p.width >= width && p.height >= height) {
    // The picture, one texel per window pixel; its first row is the
    // panel's bottom (OpenGL counts rows upwards).
    const GLboolean textured = glIsEnabled(GL_TEXTURE_2D), blending = glIsEnabled(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, p.texture);
    glColor4f(1, 1, 1, 1);
    const float x0 = static_cast<float>(screenX), y0 = static_cast<float>(screenY);
    const float x1 = x0 + static_cast<float>(width), y1 = y0 + static_cast<float>(height);
    glBegin(GL_QUADS);
    glTexCoord2f(0, v);
    glVertex2f(x0, y0);
    glTexCoord2f(u, v);
    glVertex2f(x1, y0);
    glTexCoord2f(u, 0);
    glVertex2f(x1, y1);
    glTexCoord2f(0, 0);
    glVertex2f(x0, y1);
    glEnd();
    if (!textured) glDisable(GL_TEXTURE_2D);
    if (blending) glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
    return true;
  }

  // Drawn as always, then its rectangle of the window copied into the
  // picture (power-of-two sides, the panel in its lower left corner).
  panel->markChildren(1);
  panel->draw(nullptr);
  if (p.texture == 0 || p.width < width || p.height < height) {
    if (p.texture == 0) glGenTextures(1, &p.texture);
    p.width = powerOfTwo(width);
    p.height = powerOfTwo(height);
    glBindTexture(GL_TEXTURE_2D, p.texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, p.width, p.height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
  }
  glBindTexture(GL_TEXTURE_2D, p.texture);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, viewport[0] + screenX, viewport[1] + viewport[3] - screenY - height,
                      width, height);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
  p.look = look;
  ++redraws_;
  return true;
}

void PanelCache::forget(const OBJET* panel) {
  const auto it = pictures_.find(panel);
  if (it == pictures_.end()) return;
  if (glReady()) glDeleteTextures(1, &it->second.texture);
  pictures_.erase(it);
}
