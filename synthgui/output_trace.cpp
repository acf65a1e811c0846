#include "synthgui/output_trace.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "audio/render.h"
#include "audio/scope_feed.h"
#include "gui/font.h"
#include "gui/video.h"

TracePicture::TracePicture() : pixels_(static_cast<std::size_t>(kWidth) * kHeight, 0) {}

uint32_t TracePicture::pixel(int x, int y) const {
  if (x < 0 || x >= kWidth || y < 0 || y >= kHeight) return 0;
  return pixels_[static_cast<std::size_t>(y) * kWidth + x];
}

void TracePicture::set(int x, int y, uint32_t colour) {
  // Row 0 is never drawn, nor anything outside the picture.
  if (x < 0 || x >= kWidth || y <= 0 || y >= kHeight) return;
  pixels_[static_cast<std::size_t>(y) * kWidth + x] = colour;
  firstChanged_ = std::min(firstChanged_, x);
  lastChanged_ = std::max(lastChanged_, x);
  left_ = std::min(left_, x);
  right_ = std::max(right_, x);
  top_ = std::min(top_, y);
  bottom_ = std::max(bottom_, y);
}

bool TracePicture::drawnArea(int& left, int& top, int& right, int& bottom) const {
  if (right_ < left_) return false;
  left = left_;
  top = top_;
  right = right_;
  bottom = bottom_;
  return true;
}

void TracePicture::step(float v, int n, float zoom) {
  if (static_cast<int>(scopeX_) > kLastColumn) {
    scopeX_ = 0;
    std::snprintf(zoomText_, sizeof zoomText_, "ZOOM SIZE IS %3.3f", static_cast<double>(zoom));
    // Cleared to the colour key: nothing shows through but the panels.
    std::fill(pixels_.begin(), pixels_.end(), 0u);
    firstChanged_ = 0;
    lastChanged_ = kWidth - 1;
    left_ = kWidth;
    top_ = kHeight;
    right_ = bottom_ = -1;
  }
  const int d = n / 700;
  const float advance = static_cast<float>(d) / 1000.0f * zoom;
  if (std::isfinite(advance)) scopeX_ += advance;

  const int x = static_cast<int>(scopeX_);
  const int y0 = kHeight / 2;
  // A bar never reaches past the picture, however loud the output.
  const float y = std::isfinite(v) ? std::clamp(v * 128.0f, -static_cast<float>(kHeight), static_cast<float>(kHeight)) : 0.0f;
  if (y != 0.0f) {
    const int top = static_cast<int>(y);
    set(x, y0 + top, kTip);
    for (int j = 1; j < std::abs(top); ++j) set(x, y >= 0 ? y0 + j : y0 - j, kBar);
  }
  set(x, y0, kCentre);
}

bool TracePicture::takeChanges(int& first, int& last) {
  if (lastChanged_ < firstChanged_) return false;
  first = firstChanged_;
  last = lastChanged_;
  firstChanged_ = kWidth;
  lastChanged_ = -1;
  return true;
}

int feedOutputTrace(TracePicture& picture) {
  ScopeFrame frames[1024];
  int taken = 0;
  const float zoom = scopeZoom;
  for (std::size_t n; (n = takeScopeFrames(frames, std::size(frames))) > 0;) {
    for (std::size_t i = 0; i < n; ++i) picture.step(frames[i].value, frames[i].frames, zoom);
    taken += static_cast<int>(n);
  }
  return taken;
}

namespace {

// The picture's texture: a power-of-two square whose top-left 1024 x 768
// pixels hold the picture. Made on first use, after the graphics archive
// (whose textures are named by their store indices).
constexpr int kTextureSide = 1024;
GLuint traceTexture = 0;

// The font of the zoom text, made on first use.
FONT& zoomFont() {
  static FONT font;
  if (!font.loaded()) {
    try {
      font.loadFont("Fonts/04b_03b_.ttf", 24);
    } catch (const std::exception& e) {
      std::printf("%s\n", e.what());
    }
  }
  return font;
}

void upload(TracePicture& picture) {
  int first = 0, last = 0;
  if (!picture.takeChanges(first, last)) return;
  GLint rowLength = 0, alignment = 0;
  glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, TracePicture::kWidth);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexSubImage2D(GL_TEXTURE_2D, 0, first, 0, last - first + 1, TracePicture::kHeight, GL_BGRA,
                  GL_UNSIGNED_INT_8_8_8_8_REV, picture.pixels() + first);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

}  // namespace

void drawOutputTrace(TracePicture& picture) {
  if (!glReady()) return;
  GLint previousTexture = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
  glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT);
  if (traceTexture == 0) {
    glGenTextures(1, &traceTexture);
    glBindTexture(GL_TEXTURE_2D, traceTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    std::vector<uint32_t> clear(static_cast<std::size_t>(kTextureSide) * kTextureSide, 0u);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kTextureSide, kTextureSide, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 clear.data());
  }
  glBindTexture(GL_TEXTURE_2D, traceTexture);
  upload(picture);

  // Only the part of the picture that holds the trace: blending the whole
  // window every frame costs a software renderer dearly.
  int left = 0, top = 0, right = 0, bottom = 0;
  if (picture.drawnArea(left, top, right, bottom)) {
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
    const float x0 = static_cast<float>(left), x1 = static_cast<float>(right + 1);
    const float y0 = static_cast<float>(top), y1 = static_cast<float>(bottom + 1);
    const float side = kTextureSide;
    glBegin(GL_QUADS);
    glTexCoord2f(x0 / side, y0 / side);
    glVertex2f(x0, y0);
    glTexCoord2f(x1 / side, y0 / side);
    glVertex2f(x1, y0);
    glTexCoord2f(x1 / side, y1 / side);
    glVertex2f(x1, y1);
    glTexCoord2f(x0 / side, y1 / side);
    glVertex2f(x0, y1);
    glEnd();
    glDisable(GL_TEXTURE_2D);
  }

  // The zoom text, centred on (150, 25), red over a yellow shadow.
  if (picture.zoomText()[0] != '\0') {
    FONT& font = zoomFont();
    const float width = static_cast<float>(std::strlen(picture.zoomText())) * font.height * 0.6f;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const float x = 150.0f - width / 2, y = static_cast<float>(viewport[3]) - 25.0f - font.height / 2;
    glColor3f(1, 1, 0);
    printText(font, x + 1, y - 1, "%s", picture.zoomText());
    glColor3f(1, 0, 0);
    printText(font, x, y, "%s", picture.zoomText());
  }
  glPopAttrib();
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
}
