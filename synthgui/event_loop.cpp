#include "synthgui/event_loop.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "audio/render.h"
#include "gui/frame_loop.h"
#include "engine/generator.h"
#include "gui/widgets.h"
#include "remote/service.h"
#include "synthgui/dashboards.h"
#include "synthgui/module_panel.h"
#include "synthgui/patch_dialogs.h"

SynthEventState synthEvents;

namespace {

SynthEventState& st() { return synthEvents; }

// Scrolling keeps the offset within [0, kMaxScroll] whatever the pointer
// does.
constexpr int kMaxScroll = 1 << 20;
constexpr int kEdge = 5;
constexpr int kEdgeStep = 35;

// The three rows of note keys: notes 1 to 6 on the keyboards "KEY_1",
// "KEY_2" and "KEY_3".
struct NoteKey {
  SDLKey key;
  const char* keyboard;
  int note;
};
constexpr NoteKey kNoteKeys[] = {
    {SDLK_z, "KEY_1", 1}, {SDLK_x, "KEY_1", 2}, {SDLK_c, "KEY_1", 3}, {SDLK_v, "KEY_1", 4},
    {SDLK_b, "KEY_1", 5}, {SDLK_n, "KEY_1", 6}, {SDLK_a, "KEY_2", 1}, {SDLK_s, "KEY_2", 2},
    {SDLK_d, "KEY_2", 3}, {SDLK_f, "KEY_2", 4}, {SDLK_g, "KEY_2", 5}, {SDLK_h, "KEY_2", 6},
    {SDLK_q, "KEY_3", 1}, {SDLK_w, "KEY_3", 2}, {SDLK_e, "KEY_3", 3}, {SDLK_r, "KEY_3", 4},
    {SDLK_t, "KEY_3", 5}, {SDLK_y, "KEY_3", 6},
};

const NoteKey* noteKeyOf(SDLKey key) {
  for (const NoteKey& k : kNoteKeys)
    if (k.key == key) return &k;
  return nullptr;
}

KEYBOARD* keyboardOf(const NoteKey& k) {
  return currentGenerator ? currentGenerator->findKeyboard(k.keyboard) : nullptr;
}

int clampScroll(int v) { return std::clamp(v, 0, kMaxScroll); }

// The panel under the pointer is the one drawn on top of any others there:
// the last of the list whose rectangle holds it (-1 for none).
int topPanelAt(const std::vector<OBJET*>& objects) {
  for (std::size_t i = objects.size(); i-- > 0;) {
    if (objects[i]->contains(static_cast<float>(mousePosition.x), static_cast<float>(mousePosition.y)))
      return static_cast<int>(i);
  }
  return -1;
}

// A panel pressed comes to the top (the end of the list, drawn last), so
// that a step editor or a sample player opened over its neighbours is seen
// and used whole. Returns its new index.
int raise(std::vector<OBJET*>& objects, int index) {
  if (index < 0 || index + 1 >= static_cast<int>(objects.size())) return index;
  OBJET* panel = objects[static_cast<std::size_t>(index)];
  objects.erase(objects.begin() + index);
  objects.push_back(panel);
  return static_cast<int>(objects.size()) - 1;
}

// The info dashboard follows the pointer from child to child.
void showEntered(OBJET* panel, SPRITE*, const SDL_Event&) {
  if (infoDash) infoDash->showTarget(panel);
}
void showLeft(OBJET*, SPRITE*, const SDL_Event&, bool) {
  if (infoDash) infoDash->showTarget(nullptr);
}
const TouchHooks kSynthTouch{showEntered, showLeft, false};

// The held end's plug: (1, 0) plugs it, (0, 1) unplugs it, (0, 0) toggles.
void setHeldPlug(int plugged, int unplugged) {
  const HeldCord& h = st().heldCord;
  if (!h.cord) return;
  if (h.end == CordEnd::Input) {
    h.cord->setStartPlug(plugged, unplugged);
  } else {
    h.cord->setEndPlug(plugged, unplugged);
  }
}

// A press on plug `w` of `panel`: the end of the last cord of the list at
// that plug is held, or a new cord is started there whose other end is held
// (free, following the pointer): from an output its input end, from an
// input its output end, so that a cord can be drawn either way.
void pickCord(OBJET* panel, SPRITE* w) {
  const PortFamily family = plugFamily(w->name);
  HeldCord held;
  for (const auto& cord : cordList) {
    if (cord->endJack == w) held = HeldCord{cord.get(), CordEnd::Output, family};
    if (cord->startJack == w) held = HeldCord{cord.get(), CordEnd::Input, family};
  }
  if (!held.cord) {
    const bool fromInput = std::strncmp(panel->ownItemName(w->name), "INPUT", 5) == 0;
    if (fromInput) {
      cordList.push_back(std::make_unique<CABLE>(panel, nullptr, w, nullptr, 0xFF00FF));
    } else {
      cordList.push_back(std::make_unique<CABLE>(nullptr, panel, nullptr, w, 0xFF00FF));
    }
    held = HeldCord{cordList.back().get(), fromInput ? CordEnd::Output : CordEnd::Input, family};
  }
  st().heldCord = held;
  st().cordMoved = 0;
  setHeldPlug(0, 0);
}

// The child under the pointer of the panel under it.
SPRITE* childUnderPointer(const std::vector<OBJET*>& objects, OBJET*& panel) {
  panel = panelOf(objects, topPanelAt(objects));
  return panel ? panel->childAt() : nullptr;
}

int dragCord(const std::vector<OBJET*>& objects) {
  HeldCord& h = st().heldCord;
  OBJET* under = nullptr;
  if (SPRITE* c = childUnderPointer(objects, under)) {
    const SPRITE* atJack = h.end == CordEnd::Input ? h.cord->startJack : h.cord->endJack;
    if (isPlug(under, c) && c != atJack) {
      setHeldPlug(1, 0);
    } else {
      setHeldPlug(0, 1);
    }
  }
  if (!st().pointer.heldWidget) return 0;
  if (h.end == CordEnd::Input) {
    h.cord->x1 = mousePosition.x;
    h.cord->y1 = mousePosition.y;
  } else {
    h.cord->x2 = mousePosition.x;
    h.cord->y2 = mousePosition.y;
  }
  st().cordMoved = 1;
  return kCordsChanged;
}

void dropCord(const std::vector<OBJET*>& objects) {
  if (!st().heldCord.cord) return;
  setHeldPlug(0, 0);
  if (st().cordMoved) {
    OBJET* under = nullptr;
    SPRITE* c = childUnderPointer(objects, under);
    if (c && isPlug(under, c)) {
      connectCord(st().heldCord, under, c, st().keepConnections != 0, st().disconnect != 0);
    }
  }
  // Whatever happened, the list is rebuilt from the bindings before it is
  // drawn again (a cord started and not moved goes too).
  st().cordsOutOfDate = 1;
  st().cordMoved = 0;
  st().heldCord = HeldCord{};
}

void runLoadDialog() {
  st().dialogRunning = 1;
  loadPatchDialog();
  st().dialogRunning = 0;
  st().redraw = 1;  // the dialog drew over the window
}

int onKeyDown(std::vector<OBJET*>& objects, const SDL_Event& event) {
  const SDLKey key = event.key.keysym.sym;
  switch (key) {
    case SDLK_TAB: {
      const int count = currentGenerator ? static_cast<int>(currentGenerator->oscillators.size()) : 0;
      if (++st().selectedOscillator >= count) st().selectedOscillator = 0;
      break;
    }
    case SDLK_F1:
      scopeEnabled = scopeEnabled == 1 ? 0 : 1;
      break;
    case SDLK_F2:
      for (std::size_t i = 0; i < objects.size(); ++i) {
        std::printf("*[%d]****************************\n", static_cast<int>(i));
        objects[i]->save("RC/LOL.RC");
      }
      break;
    case SDLK_F3:
      runLoadDialog();
      break;
    case SDLK_F4:
      savePatchHere();
      break;
    case SDLK_F6:
      st().backView = st().backView ? 0 : 1;
      showAllPanels(objects, st().backView != 0, true);
      break;
    case SDLK_KP_PLUS:
      scaleScopeZoom(2.0f);
      break;
    case SDLK_KP_MINUS:
      scaleScopeZoom(0.5f);
      break;
    case SDLK_DELETE:
      st().disconnect = 1;
      if (st().heldCord.cord) {
        unplugCord(st().heldCord, st().pointer.heldWidget, st().keepConnections != 0);
        st().cordsOutOfDate = 1;
      }
      break;
    case SDLK_RCTRL:
      st().keepConnections = 1;
      break;
    case SDLK_5:
      if (OBJET* panel = panelOf(objects, topPanelAt(objects))) panel->setDisplayMode(0);
      break;
    case SDLK_1:
      postTestClick(panelOf(objects, st().pointer.hoveredPanel));
      break;
    default:
      if (const NoteKey* k = noteKeyOf(key)) {
        if (KEYBOARD* keyboard = keyboardOf(*k)) keyboard->press(k->note, k->note);
      }
      break;
  }
  return kPanelsChanged;
}

int onKeyUp(std::vector<OBJET*>&, const SDL_Event& event) {
  const SDLKey key = event.key.keysym.sym;
  if (key == SDLK_ESCAPE) running = 0;
  if (key == SDLK_DELETE) st().disconnect = 0;
  if (key == SDLK_RCTRL) st().keepConnections = 0;
  if (const NoteKey* k = noteKeyOf(key)) {
    if (KEYBOARD* keyboard = keyboardOf(*k)) keyboard->gateOff();
  }
  return kPanelsChanged;
}

int onMotion(std::vector<OBJET*>& objects, const SDL_Event& event) {
  SynthEventState& s = st();
  int result = 0;
  if (s.panning) {
    scrollOffset.x = clampScroll(scrollOffset.x + s.panAnchor.x - mousePosition.x);
    scrollOffset.y = clampScroll(scrollOffset.y + s.panAnchor.y - mousePosition.y);
    result |= kViewScrolled;
  }
  mousePosition = {event.motion.x + scrollOffset.x, event.motion.y + scrollOffset.y};
  s.pointer.hoveredPanel = topPanelAt(objects);
  trackTouch(s.pointer, objects, event, kSynthTouch);

  if (s.pointer.leftHeld && s.heldCord.cord) {
    result |= dragCord(objects);
  } else if (s.pointer.heldWidget && turnHeld(s.pointer, event) > 0) {
    result |= kPanelsChanged;
  }

  if (!s.pointer.heldWidget) {
    if (OBJET* dragged = panelOf(objects, s.draggedPanel)) {
      if (mousePosition.x - scrollOffset.x < kEdge) {
        scrollOffset.x = clampScroll(scrollOffset.x - kEdgeStep);
        result |= kViewScrolled;
      }
      if (mousePosition.y - scrollOffset.y < kEdge) {
        scrollOffset.y = clampScroll(scrollOffset.y - kEdgeStep);
        result |= kViewScrolled;
      }
      dragged->x = static_cast<float>(mousePosition.x);
      dragged->y = static_cast<float>(mousePosition.y);
      dragged->changed = 1;
      s.cordsOutOfDate = 1;
      result |= kPanelsChanged;
    }
  }
  return result;
}

int onButtonDown(std::vector<OBJET*>& objects, const SDL_Event& event) {
  SynthEventState& s = st();
  mousePosition = {event.button.x + scrollOffset.x, event.button.y + scrollOffset.y};
  switch (event.button.button) {
    case SDL_BUTTON_MIDDLE:
      s.panAnchor = mousePosition;
      s.panning = 1;
      return 0;
    case SDL_BUTTON_LEFT: {
      s.pointer.hoveredPanel = raise(objects, topPanelAt(objects));
      OBJET* panel = panelOf(objects, s.pointer.hoveredPanel);
      SPRITE* child = panel ? panel->childAt() : nullptr;
      if (pressLeft(s.pointer, panel, child, event)) {
        if (isPlug(panel, child)) {
          pickCord(panel, child);
        } else {
          // The pointer stays at the press point while a knob turns.
          SDL_ShowCursor(SDL_DISABLE);
        }
      }
      return kPanelsChanged;
    }
    case SDL_BUTTON_RIGHT:
      s.rightHeld = 1;
      s.draggedPanel = raise(objects, topPanelAt(objects));
      if (s.draggedPanel == -1) return 0;
      s.pointer.hoveredPanel = s.draggedPanel;
      selectedObject = s.draggedPanel;
      return kPanelsChanged;
    default:
      return 0;
  }
}

int onButtonUp(std::vector<OBJET*>& objects, const SDL_Event& event) {
  SynthEventState& s = st();
  mousePosition = {event.button.x + scrollOffset.x, event.button.y + scrollOffset.y};
  SDL_ShowCursor(SDL_ENABLE);
  int result = 0;
  // Each button's release ends what that button started.
  switch (event.button.button) {
    case SDL_BUTTON_RIGHT:
      if (s.draggedPanel != -1) result |= kPanelsChanged;
      s.draggedPanel = -1;
      s.rightHeld = 0;
      break;
    case SDL_BUTTON_LEFT:
      if (s.pointer.heldWidget && s.pointer.leftHeld) {
        dropCord(objects);
        releaseHeld(s.pointer, s.pointer.heldPanel, event);
        result |= kCordsChanged;
      }
      s.pointer.leftHeld = 0;
      s.heldCord = HeldCord{};
      s.cordMoved = 0;
      break;
    case SDL_BUTTON_MIDDLE:
      s.panning = 0;
      s.panAnchor = mousePosition;
      break;
    default:
      break;
  }
  return result;
}

}  // namespace

bool isPlug(const OBJET* panel, const SPRITE* child) {
  if (!panel || !child) return false;
  const char* item = panel->ownItemName(child->name);
  return item && (std::strncmp(item, "INPUT", 5) == 0 || std::strncmp(item, "OUTPUT", 6) == 0);
}

void showAllPanels(std::vector<OBJET*>& objects, bool back, bool miniViews) {
  // The jacks take their places and sizes as the view is drawn: the cords
  // are laid again from them.
  synthEvents.cordsOutOfDate = 1;
  for (OBJET* panel : objects) {
    if (back) {
      panel->setDisplayMode(4);
      continue;
    }
    const ModuleKind kind = panelInfo(panel).module.kind;
    const bool mini =
        miniViews && panelInfo(panel).isModule() && (kind == ModuleKind::Sequencer || kind == ModuleKind::Sampler);
    panel->setDisplayMode(mini ? 2 : 1);
  }
}

void forgetPanels() {
  SynthEventState& s = st();
  s.pointer = PointerState{};
  s.draggedPanel = -1;
  s.rightHeld = 0;
  s.heldCord = HeldCord{};
  s.cordMoved = 0;
  s.cordsOutOfDate = 1;
  selectedObject = -1;
  if (infoDash) infoDash->showTarget(nullptr);
}

int processSynthEvents(std::vector<OBJET*>& objects, int acceptClients) {
  EventHandlers h;
  h.keyDown = onKeyDown;
  h.keyUp = onKeyUp;
  h.motion = onMotion;
  h.buttonDown = onButtonDown;
  h.buttonUp = onButtonUp;
  // The window manager's close ends the program as Escape does.
  h.quit = [](std::vector<OBJET*>&, const SDL_Event&) {
    running = 0;
    return 0;
  };
  // An uncovered window is drawn again.
  h.window = [](std::vector<OBJET*>&, const SDL_Event&) {
    synthEvents.redraw = 1;
    return 0;
  };
  const int result = drainEvents(objects, h);
  if (acceptClients != 0 && remoteListener != nullptr) acceptRemoteClient(remoteListener);
  return result;
}
