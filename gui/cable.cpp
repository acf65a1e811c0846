#include "gui/cable.h"

#include <GL/gl.h>

#include <cstring>

#include "gui/ui_state.h"
#include "gui/video.h"

namespace {

constexpr const char* kPlugged = "FICHE_PLUG";
constexpr const char* kPluggedMask = "FICHE_PLUG_MASK";
constexpr const char* kUnplugged = "FICHE_UNPLUG";
constexpr const char* kUnpluggedMask = "FICHE_UNPLUG_MASK";
constexpr int kFreeEndDrop = 40;
constexpr int kCurvePoints = 31;

void showPlug(SPRITE& plug, const char* image, const char* mask) {
  plug.setImage(image);
  copyField(plug.mask, mask);
}

void switchPlug(SPRITE& plug, int forcePlugged, int forceUnplugged) {
  if (std::strcmp(plug.image, kUnplugged) == 0) {
    showPlug(plug, kPlugged, kPluggedMask);
  } else {
    showPlug(plug, kUnplugged, kUnpluggedMask);
  }
  if (forcePlugged) showPlug(plug, kPlugged, kPluggedMask);
  if (forceUnplugged) showPlug(plug, kUnplugged, kUnpluggedMask);
}

void placePlug(SPRITE& plug, int cx, int cy) {
  plug.update();
  plug.setPosition(static_cast<float>(cx) - plug.w / 2, static_cast<float>(cy) - plug.h / 2, 0);
}

}  // namespace

CABLE::Point jackCentre(const OBJET* panel, const SPRITE* jack) {
  if (!panel || !jack) return {};
  return {static_cast<int>(panel->x + jack->x + jack->w / 2),
          static_cast<int>(panel->y + jack->y + jack->h / 2)};
}

CABLE::CABLE(OBJET* start, OBJET* end, SPRITE* startJ, SPRITE* endJ, int32_t colour)
    : startPlug("IMG_001", 100, 100, 0, 0, 0, 1.0f, 0, 0), endPlug("IMG_001", 100, 100, 0, 0, 0, 1.0f, 0, 0) {
  cableColor = colour;
  setEnds(start, end, startJ, endJ);
}

void CABLE::setEnds(OBJET* start, OBJET* end, SPRITE* startJ, SPRITE* endJ) {
  startPanel = start;
  endPanel = end;
  startJack = startJ;
  endJack = endJ;
  const Point a = start ? jackCentre(start, startJ) : jackCentre(end, endJ);
  const Point b = end ? jackCentre(end, endJ) : Point{a.x + kFreeEndDrop, a.y + kFreeEndDrop};
  x1 = a.x;
  y1 = a.y;
  x2 = b.x;
  y2 = b.y;
  for (SPRITE* plug : {&startPlug, &endPlug}) {
    showPlug(*plug, kPlugged, kPluggedMask);
    plug->colorKeyOn = 1;
    plug->colorKey = 0xFF00FF;
    plug->blend = 0;
    plug->zoom = 1.0f;
    plug->angle = 0;
    plug->alpha = 0;
  }
  startPlug.setPosition(static_cast<float>(x1), static_cast<float>(y1), 0);
  endPlug.setPosition(static_cast<float>(x2), static_cast<float>(y2), 0);
}

void CABLE::setStartPlug(int forcePlugged, int forceUnplugged) {
  switchPlug(startPlug, forcePlugged, forceUnplugged);
}

void CABLE::setEndPlug(int forcePlugged, int forceUnplugged) {
  switchPlug(endPlug, forcePlugged, forceUnplugged);
}

void CABLE::controlPoints(Point out[3]) const {
  out[0] = {x1, y1};
  out[1] = {(x1 + x2) / 2, y1 + y2};
  out[2] = {x2, y2};
}

void CABLE::drawCable(SDL_Surface*) {
  placePlug(startPlug, x1, y1);
  placePlug(endPlug, x2, y2);

  if (glReady()) {
    Point p[3];
    controlPoints(p);
    GLfloat control[3][3];
    for (int i = 0; i < 3; ++i) {
      control[i][0] = static_cast<GLfloat>(p[i].x - scrollOffset.x);
      control[i][1] = static_cast<GLfloat>(p[i].y - scrollOffset.y);
      control[i][2] = 0;
    }
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_EVAL_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glColor3ub(static_cast<GLubyte>((cableColor >> 16) & 0xFF),
               static_cast<GLubyte>((cableColor >> 8) & 0xFF), static_cast<GLubyte>(cableColor & 0xFF));
    glLineWidth(3);
    glMap1f(GL_MAP1_VERTEX_3, 0, 1, 3, 3, &control[0][0]);
    glEnable(GL_MAP1_VERTEX_3);
    glBegin(GL_LINE_STRIP);
    for (int i = 0; i < kCurvePoints; ++i) glEvalCoord1f(static_cast<GLfloat>(i) / (kCurvePoints - 1));
    glEnd();
    glPopMatrix();
    glPopAttrib();
  }
  drawnX1 = x1;
  drawnX2 = x2;
  drawnY1 = y1;
  drawnY2 = y2;

  startPlug.dirty = 1;
  endPlug.dirty = 1;
  startPlug.drawGL(nullptr);
  endPlug.drawGL(nullptr);
}
