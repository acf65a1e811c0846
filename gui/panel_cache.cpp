#include "gui/panel_cache.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

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

bool hasExtension(const char* name) {
  const auto* all = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  if (!all) return false;
  const std::size_t n = std::strlen(name);
  for (const char* p = std::strstr(all, name); p; p = std::strstr(p + n, name)) {
    if ((p == all || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
  }
  return false;
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
  h.value(panel.x - std::floor(panel.x));
  h.value(panel.y - std::floor(panel.y));
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
    for (auto& [panel, p] : pictures_) {
      glDeleteFramebuffersEXT(1, &p.framebuffer);
      glDeleteTextures(1, &p.texture);
    }
  }
  pictures_.clear();
}

void PanelCache::drawPanels(std::vector<OBJET*>& objects, ScreenPoint scroll) {
  const RECTANGLE view(static_cast<float>(scroll.x), static_cast<float>(scroll.y), 0,
                       static_cast<float>(scroll.x + 1024), static_cast<float>(scroll.y + 768));
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
    if (!drawCached(panel, scroll)) {
      panel->markChildren(1);
      panel->draw(nullptr);
    }
  }
}

bool PanelCache::drawCached(OBJET* panel, ScreenPoint scroll) {
  if (!glReady()) return true;  // nothing to draw anyway
  if (supported_ < 0) {
    supported_ = hasExtension("GL_EXT_framebuffer_object") && hasExtension("GL_ARB_texture_non_power_of_two");
  }
  if (!supported_ || !fitsItsRectangle(*panel)) return false;

  const int left = static_cast<int>(std::floor(panel->x)), top = static_cast<int>(std::floor(panel->y));
  const int width = static_cast<int>(std::ceil(panel->x + panel->w)) - left;
  const int height = static_cast<int>(std::ceil(panel->y + panel->h)) - top;
  const uint64_t look = panelLook(*panel);

  Picture& p = pictures_[panel];
  GLint previousTexture = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
  if (p.texture == 0 || p.width != width || p.height != height) {
    if (p.texture == 0) {
      glGenTextures(1, &p.texture);
      glGenFramebuffersEXT(1, &p.framebuffer);
    }
    glBindTexture(GL_TEXTURE_2D, p.texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    p.width = width;
    p.height = height;
    p.look = ~look;  // drawn below
  }

  if (p.look != look) {
    GLint previousFramebuffer = 0, viewport[4];
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &previousFramebuffer);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLfloat clearColour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, p.framebuffer);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, p.texture, 0);
    const bool complete = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
    if (complete) {
      glViewport(0, 0, width, height);
      glClearColor(0, 0, 0, 1);
      glClear(GL_COLOR_BUFFER_BIT);
      push2D(0, 0, width, height);
      // Drawn with the panel's whole-pixel corner at the picture's corner.
      const ScreenPoint saved = scrollOffset;
      scrollOffset = {left, top};
      panel->markChildren(1);
      panel->draw(nullptr);
      scrollOffset = saved;
      pop2D();
      ++redraws_;
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(previousFramebuffer));
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    if (!complete) {
      supported_ = 0;
      glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
      return false;
    }
    p.look = look;
  }

  // The picture, one texel per window pixel. Its first row is the panel's
  // bottom (OpenGL counts rows upwards).
  const GLboolean textured = glIsEnabled(GL_TEXTURE_2D), blending = glIsEnabled(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glBindTexture(GL_TEXTURE_2D, p.texture);
  glColor4f(1, 1, 1, 1);
  const float x0 = static_cast<float>(left - scroll.x), y0 = static_cast<float>(top - scroll.y);
  const float x1 = x0 + static_cast<float>(width), y1 = y0 + static_cast<float>(height);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 1);
  glVertex2f(x0, y0);
  glTexCoord2f(1, 1);
  glVertex2f(x1, y0);
  glTexCoord2f(1, 0);
  glVertex2f(x1, y1);
  glTexCoord2f(0, 0);
  glVertex2f(x0, y1);
  glEnd();
  if (!textured) glDisable(GL_TEXTURE_2D);
  if (blending) glEnable(GL_BLEND);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
  return true;
}
