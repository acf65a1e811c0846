#include "editor/editor.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio/audio.h"
#include "gui/gui.h"

EditorState editor;

namespace {

constexpr const char* kArchivePath = "grfx/opengl.mim";
constexpr const char* kFontPath = "Fonts/04b_03b_.ttf";

void refresh(OBJET* panel) {
  panel->update();
  panel->computeSize();
  panel->markChildren(1);
  panel->draw(nullptr);
}

int snapToGrid(int v) { return v - v % editor.gridStep; }

void nudge(std::vector<OBJET*>& objects, int dx, int dy) {
  SPRITE* child = editor.pointer.heldWidget;
  OBJET* panel = panelOf(objects, editor.pointer.hoveredPanel);
  if (!child || !panel || std::strstr(child->name, "FOND")) return;
  child->setPosition(child->x + static_cast<float>(dx), child->y + static_cast<float>(dy), 0);
  child->dirty = 1;
  panel->update();
  panel->computeSize();
  panel->markChildren(1);
  panel->dirty = 1;
  panel->draw(nullptr);
}

int onKeyDown(std::vector<OBJET*>& objects, const SDL_Event& event) {
  switch (event.key.keysym.sym) {
    case SDLK_F2:
      for (std::size_t i = 0; i < objects.size(); ++i) {
        std::printf("*[%d]****************************\n", static_cast<int>(i));
        objects[i]->save(objects[i]->rcPath);
      }
      break;
    case SDLK_F4:
      if (!objects.empty()) refresh(objects.front());
      break;
    case SDLK_F5:
      editor.gridStep += 1;
      std::printf("Grid Sensitivity [%d]\n", editor.gridStep);
      break;
    case SDLK_F6:
      if (editor.gridStep > 1) editor.gridStep -= 1;
      std::printf("Grid Sensitivity [%d]\n", editor.gridStep);
      break;
    case SDLK_UP:
      nudge(objects, 0, -editor.gridStep);
      break;
    case SDLK_DOWN:
      nudge(objects, 0, editor.gridStep);
      break;
    case SDLK_RIGHT:
      nudge(objects, editor.gridStep, 0);
      break;
    case SDLK_LEFT:
      nudge(objects, -editor.gridStep, 0);
      break;
    case SDLK_KP_PLUS:
      scaleScopeZoom(2.0f);
      break;
    case SDLK_KP_MINUS:
      scaleScopeZoom(0.5f);
      break;
    case SDLK_5:
      if (OBJET* panel = panelOf(objects, panelAt(objects))) panel->setDisplayMode(0);
      break;
    case SDLK_1:
      postTestClick(panelOf(objects, panelAt(objects)));
      break;
    default:
      return 0;
  }
  return 1;
}

// The editor announces every touch on the console and lets the widgets see
// it as a message; leaving a child for the background touches it out.
void touchIn(OBJET* panel, SPRITE* child, const SDL_Event& event) {
  std::printf("TOUCH IN\n");
  panel->post(WIDGET_MESSAGE::forText("TOUCH_IN", event, child));
}

void touchOut(OBJET* panel, SPRITE* widget, const SDL_Event& event, bool offEveryWidget) {
  std::printf(offEveryWidget ? "TOUCH OUT\n" : "EMERGENCY TOUCH OUT\n");
  panel->post(WIDGET_MESSAGE::forText("TOUCH_OUT", event, widget));
}

const TouchHooks kEditorTouch{touchIn, touchOut, true};

int onMotion(std::vector<OBJET*>& objects, const SDL_Event& event) {
  int result = 1;
  PointerState& pointer = editor.pointer;
  mousePosition = {event.motion.x, event.motion.y};
  pointer.hoveredPanel = panelAt(objects);
  if (OBJET* panel = panelOf(objects, pointer.hoveredPanel)) {
    std::printf("INSTRUMENT TOUCHE [%d][%s]]\n", pointer.hoveredPanel, panel->objName);
  }
  std::printf("EVENT::SDL_MOUSEMOTION\n");
  if (editor.middleHeld) {
    std::printf("EVENT::SDL_MOUSEMOTION::MIDDLE_BOUTON_PRESSED\n");
    result |= 4;
  }

  trackTouch(pointer, objects, event, kEditorTouch);

  // Dragging a child: its position relative to the panel snaps to the grid
  // (toward zero for negative offsets).
  SPRITE* held = pointer.heldWidget;
  if (pointer.leftHeld && held && pointer.hoveredPanel != -1 && !std::strstr(held->name, "FOND") &&
      !objects.empty()) {
    OBJET* reference = objects.front();
    pointer.hoveredPanel = 0;
    std::printf("Moving Stg to [%d][%d]\n", mousePosition.x, mousePosition.y);
    std::printf("Area of aisance [%d][%d][%d][%d]\n", static_cast<int>(reference->x),
                static_cast<int>(reference->y), static_cast<int>(reference->w),
                static_cast<int>(reference->h));
    const int dx = static_cast<int>(static_cast<float>(mousePosition.x) - reference->x);
    const int dy = static_cast<int>(static_cast<float>(mousePosition.y) - reference->y);
    held->setPosition(static_cast<float>(snapToGrid(dx)), static_cast<float>(snapToGrid(dy)), 0);
    held->dirty = 1;
  }

  if (!held) {
    if (OBJET* dragged = panelOf(objects, editor.draggedPanel)) {
      std::printf("MOVING OBJECT [%d]\n", editor.draggedPanel);
      dragged->x = static_cast<float>(mousePosition.x);
      dragged->y = static_cast<float>(mousePosition.y);
      dragged->changed = 1;
    }
  }
  return result;
}

int onButtonDown(std::vector<OBJET*>& objects, const SDL_Event& event) {
  SDL_ShowCursor(SDL_DISABLE);
  std::printf("EVENT::SDL_MOUSEDOWN\n");
  switch (event.button.button) {
    case SDL_BUTTON_MIDDLE:
      editor.middlePress = mousePosition;
      editor.middleHeld = 1;
      editor.pointer.hoveredPanel = panelAt(objects);
      break;
    case SDL_BUTTON_LEFT: {
      mousePosition = {event.button.x, event.button.y};
      SPRITE* child = nullptr;
      OBJET* panel = nullptr;
      for (std::size_t i = 0; i < objects.size() && !child; ++i) {
        child = objects[i]->childAt();
        if (child) {
          panel = objects[i];
          editor.pointer.hoveredPanel = static_cast<int>(i);
        }
      }
      // A button toggles on the release that follows.
      if (pressLeft(editor.pointer, panel, child, event)) {
        std::printf("LEFT CLICK DOWN [%d][%d]\n", mousePosition.x, mousePosition.y);
      } else {
        std::printf("Was nothing to click");
      }
      break;
    }
    case SDL_BUTTON_RIGHT:
      editor.rightHeld = 1;
      mousePosition = {event.button.x, event.button.y};
      editor.draggedPanel = panelAt(objects);
      if (editor.draggedPanel != -1) selectedObject = editor.draggedPanel;
      break;
    default:
      break;
  }
  return 1;
}

int onButtonUp(std::vector<OBJET*>& objects, const SDL_Event& event) {
  SDL_ShowCursor(SDL_ENABLE);
  std::printf("EVENT::SDL_MOUSEUP\n");
  PointerState& pointer = editor.pointer;
  if (editor.draggedPanel != -1) pointer.heldWidget = nullptr;
  editor.draggedPanel = -1;
  editor.rightHeld = 0;

  if (pointer.heldWidget && pointer.leftHeld) {
    // The two numbers belong to the synthesizer's cord state; the editor has
    // none.
    std::printf("LEFT CLICK UP [%d][%d]\n", 0, 0);
    releaseHeld(pointer, panelOf(objects, pointer.hoveredPanel), event);
  }
  if (event.button.button == SDL_BUTTON_LEFT) pointer.leftHeld = 0;
  if (!pointer.heldWidget && event.button.button == SDL_BUTTON_MIDDLE) {
    editor.middleHeld = 0;
    editor.middleRelease = mousePosition;
  }
  return 1;
}

// Frame-rate report state.
int framesCounted = 0;
Uint32 countStart = 0;

}  // namespace

int handleEvents(std::vector<OBJET*>& objects, int, SDL_Surface*) {
  EventHandlers h;
  h.keyDown = onKeyDown;
  h.keyUp = [](std::vector<OBJET*>&, const SDL_Event& event) {
    if (event.key.keysym.sym == SDLK_ESCAPE) running = 0;
    return 0;
  };
  h.motion = onMotion;
  h.buttonDown = onButtonDown;
  h.buttonUp = onButtonUp;
  return drainEvents(objects, h);
}

void countFrame() {
  const Uint32 now = SDL_GetTicks();
  if (framesCounted == 0 && countStart == 0) countStart = now;
  ++framesCounted;
  if (now - countStart >= 5000) {
    const double seconds = (now - countStart) / 1000.0;
    std::printf("%d frames in %g seconds = %g FPS\n", framesCounted, seconds, framesCounted / seconds);
    std::fflush(stdout);
    framesCounted = 0;
    countStart = now;
  }
}

void clearAndCount() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  SDL_GL_SwapBuffers();
  countFrame();
}

int runEditor(const char* shownName, const char* rcPath) {
  char title[kLongTextSize + 64];
  std::snprintf(title, sizeof title, "Zod ENGINE & Morvel - Synthesizer [%s]", shownName);
  startVideo(1024, 768, title, kArchivePath);
  // SIGINT and SIGTERM end the loop as Escape does (SDL's own handlers
  // would only post a quit event, which the editor does not act on).
  catchStopSignals();

  editor.panel = new OBJET(0, 0, "1");
  editor.panel->load(rcPath);
  editor.panel->x = 0;
  editor.panel->y = 0;
  objectList.insert(objectList.begin(), editor.panel);
  selectedObject = -1;

  clearAndCount();
  push2D(0, 0, 1024, 768);
  std::printf("KK\n");

  SPRITE* background = new SPRITE("FOND_GLOBAL", 0, 0, 0, 0, 0, 1.0f, 0, 0);
  editor.background = background;
  background->alpha = 255;
  background->update();

  std::printf("FreeType - Loading all Fonts\n");
  smallFont.loadFont(kFontPath, 6);
  bigFont.loadFont(kFontPath, 12);
  std::printf("KK-2\n");

  for (int i = 0; i < 28; ++i) {
    for (int j = 0; j < 26; ++j) {
      background->setPosition(static_cast<float>(i) * background->w, static_cast<float>(j) * background->h, 0);
      background->drawGL(nullptr);
    }
  }
  for (OBJET* panel : objectList) refresh(panel);

  // The render callback renders only while this is set; the editor itself
  // never opens a stream.
  audioEnabled = 1;
  std::fflush(stdout);

  // About 60 frames a second: an idle editor does not spin a core.
  FramePacer pacer(vsyncGranted());
  while (running == 1 && !stopSignalled()) {
    handleEvents(objectList, 0, displaySurface);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    // One screen pixel per window pixel: what is drawn is where it is hit.
    push2D(0, 0, 1024, 768);
    for (int i = 0; i < 4; ++i) {
      for (int j = 0; j < 4; ++j) {
        background->setPosition(static_cast<float>(i) * background->w, static_cast<float>(j) * background->h, 0);
        background->drawGL(nullptr);
      }
    }
    // The tiles turn one degree per frame (kept within a turn).
    background->angle = (background->angle + 1) % 360;
    drawPanelsInView(objectList, scrollOffset);
    pop2D();
    SDL_GL_SwapBuffers();
    countFrame();
    pacer.endFrame();
  }

  FSOUND_Stream_Close(nullptr);
  FSOUND_Close();
  std::fflush(stdout);
  return 0;
}
