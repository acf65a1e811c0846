// Drawing of the widgets: one textured quad per sprite, labels through the
// font engine, and a panel's children in list order. Without an OpenGL
// window only the bookkeeping (drawn position, dirty flags, sizes) happens.

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "gui/font.h"
#include "gui/image_store.h"
#include "gui/ui_state.h"
#include "gui/video.h"
#include "gui/widgets.h"

namespace {

int textureOf(const char* name) { return imageStore ? imageStore->indexOf(name) : -1; }

// The first whole pixel a position covers: a panel's place may be half a
// pixel (row steps of 1.5), and hit tests, which truncate the pointer's
// offset into the panel, start there too. Drawing on whole pixels also keeps
// one-pixel lines of the pictures sharp.
float pixelOf(float v) { return std::ceil(v); }

void quadFor(const SPRITE& s, int texture) {
  drawQuad(texture, pixelOf(s.x) + s.w / 2, pixelOf(s.y) + s.h / 2, s.z, 0, 0,
           static_cast<float>(s.angle + 90), s.w / 2 * s.zoom, s.h / 2 * s.zoom);
}

}  // namespace

// Masking: the mask is multiplied onto what is below (white keeps it, black
// cuts the shape out), then the image, black outside its shape, is added.
void SPRITE::drawGL(SDL_Surface*) {
  drawnX = static_cast<int>(x);
  drawnY = static_cast<int>(y);
  dirty = 0;
  const bool gl = glReady();

  if (mask[0]) {
    const int maskTexture = textureOf(mask);
    if (maskTexture >= 0 && gl) {
      glDisable(GL_DEPTH_TEST);
      glBlendFunc(GL_DST_COLOR, GL_ZERO);
      glEnable(GL_BLEND);
      quadFor(*this, maskTexture);
      glBlendFunc(GL_ONE, GL_ONE);
    }
    // An image missing from the store draws nothing, masked or not.
    if (imageSurface() && gl) quadFor(*this, textureOf(image));
    if (maskTexture >= 0 && gl) {
      glDisable(GL_BLEND);
      glEnable(GL_DEPTH_TEST);
    }
    return;
  }

  if (blend && gl) {
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
  }
  const int texture = textureOf(image);
  if (SDL_Surface* s = imageSurface()) {
    w = static_cast<float>(s->w);
    h = static_cast<float>(s->h);
    quadFor(*this, texture);
  }
  if (blend && gl) {
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
  }
}

// The label's colour is 0xRRGGBB, each channel 0 to 255 of full intensity
// (grey 0x808080 is grey, not white). A label's text stands where the label is hit:
// the top of its capitals at `y`, so the baseline lies kLabelCapHeight lower
// (printText measures y upwards from the bottom of the viewport).
void LABEL::drawLabel() {
  if (glReady()) {
    glColor3ub(static_cast<GLubyte>((color >> 16) & 0xFF), static_cast<GLubyte>((color >> 8) & 0xFF),
               static_cast<GLubyte>(color & 0xFF));
    if (originFlag) {
      GLint viewport[4];
      glGetIntegerv(GL_VIEWPORT, viewport);
      printText(smallFont, pixelOf(x), static_cast<float>(viewport[3]) - (pixelOf(y) + kLabelCapHeight),
                "%s", text);
    } else {
      printText(smallFont, x, y, "%s", text);
    }
  }
  dirty = 0;
  if (glReady()) glColor3f(1, 1, 1);
}

void OBJET::drawBackground(const char* itemName) {
  SPRITE* c = childByName(itemName);
  if (!c) return;
  const float cx = c->x, cy = c->y;
  c->x += x;
  c->y += y;
  if (displayMode == 2) {
    c->zoom = 0.5f;
    c->x -= c->w / 4;
    c->y -= c->h / 4;
  }
  c->drawGL(nullptr);
  if (displayMode == 2) c->zoom = 1.0f;
  c->x = cx;
  c->y = cy;
}

int OBJET::draw(SDL_Surface*) {
  if (!(w > 0) || !(h > 0)) computeSize();
  drawBackground("FOND_MASK");
  drawBackground("IMAGE_FOND");

  int drawn = 0;
  for (SPRITE* c : *children) {
    const float cx = c->x, cy = c->y;
    c->update();
    if (c->dirty == 1 && displayMode != 2) {
      if (auto* label = dynamic_cast<LABEL*>(c)) {
        label->x = cx + x - static_cast<float>(scrollOffset.x);
        label->y = cy + y - static_cast<float>(scrollOffset.y);
        label->drawLabel();
        ++drawn;
      } else if (!std::strstr(c->image, "FOND_MASK")) {
        if (std::strstr(c->image, "POWER")) std::printf("buttno\n");
        c->x = cx + x;
        c->y = cy + y;
        c->drawGL(nullptr);
        c->dirty = 0;
        ++drawn;
      }
    }
    c->x = cx;
    c->y = cy;
    lastChild = c;
  }
  if (drawn > 0) dirty = 1;
  return static_cast<int>(children->size());
}
