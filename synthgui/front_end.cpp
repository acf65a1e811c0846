#include "synthgui/front_end.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

#include "audio/audio.h"
#include "audio/scope_feed.h"
#include "engine/generator.h"
#include "gui/frame_loop.h"
#include "gui/gui.h"
#include "patch/startup.h"
#include "remote/remote.h"
#include "synthgui/dashboards.h"
#include "synthgui/event_loop.h"
#include "synthgui/output_trace.h"
#include "synthgui/panel_grid.h"
#include "synthgui/patch_dialogs.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kGap = 8;

PanelCache& panelCache() {
  static PanelCache cache;
  return cache;
}

TracePicture& trace() {
  static TracePicture picture;
  return picture;
}

// The dashboards laid out as one block, side by side or one above the
// other, with the block's size.
struct Block {
  std::vector<ScreenPoint> offsets;
  int w = 0, h = 0;
};

Block layOut(const std::vector<OBJET*>& dashboards, bool row) {
  Block b;
  for (const OBJET* d : dashboards) {
    const int w = static_cast<int>(d->w), h = static_cast<int>(d->h);
    if (row) {
      if (b.w > 0) b.w += kGap;
      b.offsets.push_back({b.w, 0});
      b.w += w;
      b.h = std::max(b.h, h);
    } else {
      if (b.h > 0) b.h += kGap;
      b.offsets.push_back({0, b.h});
      b.h += h;
      b.w = std::max(b.w, w);
    }
  }
  return b;
}

bool covered(const std::vector<OBJET*>& panels, int x, int y, int w, int h) {
  const RECTANGLE area(static_cast<float>(x - kGap), static_cast<float>(y - kGap), 0,
                       static_cast<float>(w + 2 * kGap), static_cast<float>(h + 2 * kGap));
  for (const OBJET* p : panels) {
    if (area.overlaps(RECTANGLE(p->x, p->y, 0, p->w, p->h))) return true;
  }
  return false;
}

void place(const std::vector<OBJET*>& dashboards, const Block& b, int x, int y) {
  for (std::size_t i = 0; i < dashboards.size(); ++i) {
    dashboards[i]->x = static_cast<float>(x + b.offsets[i].x);
    dashboards[i]->y = static_cast<float>(y + b.offsets[i].y);
  }
}

// Where the cords are and how their plugs look.
uint64_t cordsLook() {
  uint64_t h = cordList.size();
  for (const auto& c : cordList) {
    for (const int v : {c->x1, c->y1, c->x2, c->y2}) h = h * 1000003u + static_cast<uint32_t>(v);
    h = h * 1000003u + static_cast<uint64_t>(c->startPlug.image[6]) * 7 + static_cast<uint64_t>(c->endPlug.image[6]);
  }
  return h;
}

void runDashRequest() {
  const DashRequest request = synthEvents.request;
  synthEvents.request = DashRequest::None;
  if (request == DashRequest::Load) {
    synthEvents.dialogRunning = 1;
    loadPatchDialog();
    synthEvents.dialogRunning = 0;
    synthEvents.redraw = 1;  // the dialog drew over the window
  } else if (request == DashRequest::Save) {
    savePatch();
  }
}

}  // namespace

void placeDashboards(const std::vector<OBJET*>& dashboards, const std::vector<OBJET*>& panels) {
  for (OBJET* d : dashboards) d->computeSize();
  for (const bool row : {true, false}) {
    const Block b = layOut(dashboards, row);
    for (int y = kHeight - kGap - b.h; y >= kGap; y -= kGap) {
      for (int x = kGap; x + b.w + kGap <= kWidth; x += kGap) {
        if (!covered(panels, x, y, b.w, b.h)) {
          place(dashboards, b, x, y);
          return;
        }
      }
    }
  }
  int bottom = 0;
  for (const OBJET* p : panels) bottom = std::max(bottom, static_cast<int>(p->y + p->h));
  place(dashboards, layOut(dashboards, true), kGap, bottom + 2 * kGap);
}

void openSynthWindow(const char* title) {
  std::printf("ZodEngine - Loading all Graphisme\n");
  startVideo(kWidth, kHeight, title, "grfx/opengl.mim");
  smallFont.loadFont("Fonts/04b_03b_.ttf", 6);
  bigFont.loadFont("Fonts/04b_03b_.ttf", 12);
  glClearColor(0.07f, 0.075f, 0.085f, 1);
}

void buildRack() {
  panelCache().clear();
  forgetPanels();
  synthEvents.backView = 0;
  scrollOffset = {0, 0};
  const std::vector<OBJET*> panels = objectList;
  const std::vector<OBJET*> dashes = dashboards();
  placeDashboards(dashes, panels);
  objectList.insert(objectList.end(), dashes.begin(), dashes.end());
  synthEvents.cordsOutOfDate = 1;
  synthEvents.redraw = 1;
}

void windowFrame() {
  processSynthEvents(objectList, 1);
  pollButtons();
  if (synthEvents.cordsOutOfDate && !synthEvents.heldCord.cord) {
    rebuildCords();
    synthEvents.cordsOutOfDate = 0;
  }
  const bool tracing = scopeEnabled == 1;
  const int traced = feedOutputTrace(trace());

  // What the frame would show. When none of it changed, the window keeps
  // the last frame: an idle window costs only the panels' updates.
  uint64_t look = panelCache().updatePanels(objectList, scrollOffset) * 31 + (tracing ? 1 : 0);
  if (synthEvents.backView) look = look * 31 + cordsLook();
  static uint64_t shownLook = 0;
  if (look != shownLook || synthEvents.redraw || (tracing && traced > 0)) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    push2D(0, 0, kWidth, kHeight);
    panelCache().drawPanels(scrollOffset);
    if (synthEvents.backView) drawCords();
    if (tracing) drawOutputTrace(trace());
    pop2D();
    SDL_GL_SwapBuffers();
    shownLook = look;
    synthEvents.redraw = 0;
  }
  runDashRequest();
}

int runWindowedSynth(const std::string& patch, int bufferFrames) {
  // Console output goes out as it is written, so that the traces of the
  // remote threads and the frame loop come in the order things happen.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  if (bufferFrames != 0) setStreamBufferFrames(bufferFrames);
  startSynthFrom(patch);

  char title[kLongTextSize + 64];
  std::snprintf(title, sizeof title, "Morvel - Synthesizer [%s]", patch.empty() ? "new patch" : patch.c_str());
  openSynthWindow(title);
  catchStopSignals();  // after SDL's start-up, which installs handlers of its own

  std::printf("Initialise Gui From current RAM synth\n");
  objectList.clear();
  InitGuiFromCurrent();
  buildRack();
  setPatchReplacedHook(buildRack);
  startScopeFeed();

  audioEnabled = 1;
  running = 1;
  FramePacer pacer(vsyncGranted());
  while (running == 1 && !stopSignalled()) {
    windowFrame();
    pacer.endFrame();
  }

  stopScopeFeed();
  setPatchReplacedHook(nullptr);
  stopSynth();
  return 0;
}
