#include "gui/widgets.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gui/image_store.h"
#include "gui/ui_state.h"

uint32_t widgetCounter = 0;

void copyField(char* field, std::size_t size, const char* text) {
  if (size == 0) return;
  if (!text) text = "";
  std::size_t n = std::strlen(text);
  if (n >= size) n = size - 1;
  std::memcpy(field, text, n);
  field[n] = '\0';
}

WIDGET_MESSAGE WIDGET_MESSAGE::forEvent(const SDL_Event& event, SPRITE* target) {
  WIDGET_MESSAGE m;
  m.hasEvent = 1;
  m.event = event;
  m.target = target;
  return m;
}

WIDGET_MESSAGE WIDGET_MESSAGE::forText(const char* text, const SDL_Event& event, SPRITE* target) {
  WIDGET_MESSAGE m;
  m.hasEvent = 0;
  m.event = event;
  copyField(m.text, text);
  m.target = target;
  return m;
}

namespace {

int eventType(const WIDGET_MESSAGE& m) { return m.event.type; }

}  // namespace

// ---------------------------------------------------------------- ZOD_ENGINE

ZOD_ENGINE::ZOD_ENGINE() : id(widgetCounter++) {
  std::snprintf(name, sizeof name, "ITEM_%20lu", static_cast<unsigned long>(id));
}

ZOD_ENGINE::~ZOD_ENGINE() = default;

int ZOD_ENGINE::update() { return 0; }

int ZOD_ENGINE::hook(int32_t, int32_t) { return 0; }

void ZOD_ENGINE::setName(const char* text) {
  if (!text) {
    std::snprintf(name, sizeof name, "DEFAULT_ITEM_%20lu", static_cast<unsigned long>(id));
    return;
  }
  copyField(name, text);
}

void ZOD_ENGINE::setAlias(const char* text) {
  if (!text) {
    std::snprintf(alias, sizeof alias, "DEFAULT_ITEM_%20lu", static_cast<unsigned long>(id));
    return;
  }
  copyField(alias, text);
}

// ---------------------------------------------------------------- BASE, RECTANGLE

BASE::BASE() = default;

BASE::BASE(float x0, float y0, float z0) : x(x0), y(y0), z(z0) {}

BASE::BASE(const char*) {
  std::snprintf(name, sizeof name, "BASE_ITEM_%20lu", static_cast<unsigned long>(id));
}

void BASE::setPosition(float nx, float ny, float nz) {
  x = nx;
  y = ny;
  z = nz;
}

void BASE::setX(float v) { x = v; }
void BASE::setY(float v) { y = v; }
void BASE::setZ(float v) { z = v; }

RECTANGLE::RECTANGLE() : BASE("") {}

RECTANGLE::RECTANGLE(float x0, float y0, float z0, float w0, float h0) : BASE("") {
  x = x0;
  y = y0;
  z = z0;
  w = w0;
  h = h0;
}

bool RECTANGLE::contains(float px, float py) const {
  const int ix = static_cast<int>(x), iy = static_cast<int>(y);
  const int iw = static_cast<int>(w), ih = static_cast<int>(h);
  const int qx = static_cast<int>(px), qy = static_cast<int>(py);
  return ix <= qx && qx <= ix + iw && iy <= qy && qy <= iy + ih;
}

bool RECTANGLE::overlaps(const RECTANGLE& o) const {
  const int ix = static_cast<int>(x), iy = static_cast<int>(y);
  const int iw = static_cast<int>(w), ih = static_cast<int>(h);
  const int ox = static_cast<int>(o.x), oy = static_cast<int>(o.y);
  const int ow = static_cast<int>(o.w), oh = static_cast<int>(o.h);
  return oy + oh >= iy && iy + ih >= oy && ox + ow >= ix && ix + iw >= ox;
}

// ---------------------------------------------------------------- SPRITE

SPRITE::SPRITE(const char* imageName, int x0, int y0, int colorKeyOn0, int colorKey0, int blend0,
               float zoom0, int angle0, int alpha0) {
  x = static_cast<float>(x0);
  y = static_cast<float>(y0);
  drawnX = x0;
  drawnY = y0;
  colorKeyOn = colorKeyOn0;
  colorKey = colorKey0;
  blend = blend0;
  zoom = zoom0;
  angle = angle0;
  alpha = alpha0;
  shownAngle = angle0;
  shownAlpha = alpha0;
  copyField(image, imageName);
  copyField(shownImage, imageName);
  setName(imageName);
}

int SPRITE::update() {
  if (angle != shownAngle || touched != shownTouch || alpha != shownAlpha) {
    shownAngle = angle;
    shownTouch = touched;
    shownAlpha = alpha;
    dirty = 1;
    changed = 1;
  }
  if (static_cast<int>(h) != drawnH || static_cast<int>(w) != drawnW ||
      static_cast<int>(x) != drawnX || static_cast<int>(y) != drawnY) {
    drawnH = static_cast<int>(h);
    drawnW = static_cast<int>(w);
    drawnX = static_cast<int>(x);
    drawnY = static_cast<int>(y);
    dirty = 1;
    changed = 1;
  }
  if (std::strcmp(image, shownImage) != 0) {
    copyField(shownImage, image);
    dirty = 1;
    changed = 1;
    surface = nullptr;
  }
  if (SDL_Surface* s = imageSurface()) {
    w = static_cast<float>(s->w);
    h = static_cast<float>(s->h);
  }
  return 0;
}

void SPRITE::setImage(const char* imageName) {
  if (!imageName) imageName = "";
  if (std::strcmp(image, imageName) != 0) {
    copyField(image, imageName);
    changed = 1;
    dirty = 1;
  }
}

SDL_Surface* SPRITE::imageSurface() const {
  if (surface) return surface;
  return imageStore ? imageStore->surfaceOf(image) : nullptr;
}

// ---------------------------------------------------------------- BUTTON

namespace {

// The widgets an RC reader or a panel builds start from this sprite.
constexpr const char* kDefaultImage = "IMG_001";

}  // namespace

BUTTON::BUTTON(const char* itemName, const char* on, const char* touch, const char* off,
               const char* maskName)
    : SPRITE(kDefaultImage, 100, 100, 0, 0, 0, 1.0f, 0, 0) {
  setName(itemName);
  copyField(imageTouch, touch);
  copyField(imageOff, off);
  copyField(imageOn, on);
  copyField(image, imageOff);
  if (maskName) {
    copyField(mask, maskName);
  } else {
    // "KNOB_ON" gives "KNOB_MASK"; an underscore at position 0 does not count.
    const char* last = std::strrchr(imageOn, '_');
    if (last && last > imageOn) {
      const std::size_t keep = static_cast<std::size_t>(last - imageOn) + 1;
      char derived[kNameSize + 8];
      std::snprintf(derived, sizeof derived, "%.*sMASK", static_cast<int>(keep), imageOn);
      copyField(mask, derived);
    }
  }
  update();
}

int BUTTON::update() {
  const int consumed = consumeMessages([this](const WIDGET_MESSAGE& m) {
    if (m.hasEvent) {
      if (eventType(m) == kMouseDownType) {
        pressed = 1;
      } else if (eventType(m) == kMouseUpType) {
        pressed = 0;
        state = state ? 0 : 1;
      }
    } else if (std::strstr(m.text, "TOUCH_IN")) {
      touched = 1;
    } else if (std::strstr(m.text, "TOUCH_OUT")) {
      touched = 0;
    }
  });
  if (consumed > 0) {
    setImage(state == 1 ? imageOn : imageOff);
    if (touched == 1 && imageTouch[0] != '0') setImage(imageTouch);
  }
  return SPRITE::update();
}

// ---------------------------------------------------------------- LABEL

LABEL::LABEL(const char* labelText, int x0, int y0, int, int, int labelNumber0, int fontSize0,
             int color0)
    : SPRITE(kDefaultImage, 100, 100, 0, 0, 0, 1.0f, 0, 0) {
  labelNumber = labelNumber0;
  fontSize = fontSize0;
  color = color0;
  originFlag = 1;
  dirty = 1;
  shownColor = 0;
  copyField(text, labelText);
  setPosition(static_cast<float>(x0), static_cast<float>(747 - y0), 0);
}

int LABEL::update() {
  SPRITE::update();
  if (std::strcmp(text, shownText) != 0 || color != shownColor) {
    copyField(shownText, text);
    shownColor = color;
    dirty = 1;
    w = static_cast<float>(static_cast<int>(std::strlen(text)) * fontSize / 2);
    h = static_cast<float>(fontSize);
  }
  return 0;
}

// ---------------------------------------------------------------- SLIDER

SLIDER::SLIDER(const char* itemName, const char* imageName)
    : SPRITE(kDefaultImage, 100, 100, 0, 0, 0, 1.0f, 0, 0) {
  setName(itemName);
  copyField(image, imageName);
  char derived[kNameSize + 8];
  std::snprintf(derived, sizeof derived, "%s_MASK", image);
  copyField(mask, derived);
  update();
}

int SLIDER::update() {
  consumeMessages([this](const WIDGET_MESSAGE& m) {
    if (m.hasEvent) {
      if (eventType(m) == kMouseDownType) {
        pressed = 1;
      } else if (eventType(m) == kMouseUpType) {
        pressed = 0;
      }
    } else if (std::strstr(m.text, "TOUCH_IN")) {
      touched = 1;
    } else if (std::strstr(m.text, "TOUCH_OUT")) {
      touched = 0;
    } else if (std::strstr(m.text, "SLD_DOWN")) {
      angle += 1;
    } else if (std::strstr(m.text, "SLD_UP")) {
      angle -= 1;
    }
  });
  return SPRITE::update();
}

// ---------------------------------------------------------------- OBJET

const char* itemNameOf(const char* name) {
  const std::size_t n = std::strlen(name);
  if (n > 2 && name[2] == '_') return name + 3;
  if (n > 1 && name[1] == '_') return name + 2;
  return name;
}

OBJET::OBJET(float x0, float y0, const char* panelName)
    : SPRITE(kDefaultImage, 100, 100, 0, 0, 0, 1.0f, 0, 0), children(&mainList) {
  if (!panelName) {
    std::printf("Cannot Create OBJET withouth a name\n");
    std::fflush(stdout);
    std::exit(1);
  }
  angle = 0;
  displayMode = 1;
  drawnX = static_cast<int>(x0);
  drawnY = static_cast<int>(y0);
  drawnW = 0;
  drawnH = 0;
  surface = nullptr;
  copyField(objName, panelName);
  x = x0;
  y = y0;
}

OBJET::~OBJET() = default;

void OBJET::post(const WIDGET_MESSAGE& message) { queue.insert(queue.begin(), message); }

int OBJET::update() {
  int taken = 0;
  while (!queue.empty()) {
    WIDGET_MESSAGE m = queue.back();
    queue.pop_back();
    ++taken;
    MSG_RESPONDER* responder = nullptr;
    if (auto* s = dynamic_cast<SLIDER*>(m.target)) {
      responder = s;
    } else if (auto* b = dynamic_cast<BUTTON*>(m.target)) {
      responder = b;
    }
    if (responder) {
      responder->messages.insert(responder->messages.begin(), std::make_unique<WIDGET_MESSAGE>(m));
    } else if (!m.target && m.event.type != kUserEventType) {
      std::printf("ZZZ\n");
    }
  }
  if (taken > 0) {
    for (SPRITE* c : *children) {
      if (c->dirty) {
        draw(nullptr);
        break;
      }
    }
  }
  return SPRITE::update();
}

const char* OBJET::ownItemName(const char* childName) const {
  const std::size_t n = std::strlen(objName);
  if (n > 0 && std::strncmp(childName, objName, n) == 0 && childName[n] == '_') return childName + n + 1;
  return nullptr;
}

SPRITE* OBJET::childByName(const char* itemName) {
  if (!itemName) return nullptr;
  for (auto it = children->rbegin(); it != children->rend(); ++it) {
    const char* own = ownItemName((*it)->name);
    if (std::strcmp(own ? own : itemNameOf((*it)->name), itemName) == 0) return *it;
  }
  return nullptr;
}

BUTTON* OBJET::buttonByName(const char* itemName) {
  if (!itemName) return nullptr;
  for (auto it = children->rbegin(); it != children->rend(); ++it) {
    auto* b = dynamic_cast<BUTTON*>(*it);
    if (!b) continue;
    const char* item = ownItemName(b->name);
    if (!item) {
      const std::size_t n = std::strlen(b->name);
      std::size_t skip = (n > 2 && b->name[2] == '_') ? 3 : 2;
      if (skip > n) skip = n;
      item = b->name + skip;
    }
    if (std::strcmp(item, itemName) == 0) return b;
  }
  return nullptr;
}

int OBJET::childPosition(const SPRITE* child) const {
  if (!child || std::strstr(child->name, "BACK")) return 0;
  int passed = 0;
  for (auto it = children->rbegin(); it != children->rend(); ++it) {
    if (*it == child) return passed;
    ++passed;
  }
  return 0;
}

SPRITE* OBJET::childAt() {
  const float px = static_cast<float>(mousePosition.x) - x;
  const float py = static_cast<float>(mousePosition.y) - y;
  for (auto it = children->rbegin(); it != children->rend(); ++it) {
    SPRITE* c = *it;
    RECTANGLE area(c->x, c->y, 0, c->w / zoom, c->h / zoom);
    float qx = px, qy = py;
    if (c->originFlag == 0) {
      qx += area.w / 2;
      qy += area.h / 2;
    }
    if (area.contains(qx, qy) && !std::strstr(c->name, "BACK") && !std::strstr(c->name, "FOND")) {
      return c;
    }
  }
  return nullptr;
}

void OBJET::computeSize() {
  int16_t sw = static_cast<int16_t>(w), sh = static_cast<int16_t>(h);
  if (SPRITE* fond = childByName("IMAGE_FOND")) {
    if (SDL_Surface* s = fond->imageSurface()) {
      sw = static_cast<int16_t>(s->w);
      sh = static_cast<int16_t>(s->h);
    }
  }
  if (displayMode == 2) {
    w = static_cast<float>(sw / 2);
    h = static_cast<float>(sh / 2);
  } else if (displayMode == 1 || displayMode == 4) {
    w = sw;
    h = sh;
  }
}

void OBJET::markChildren(int flag) {
  for (SPRITE* c : *children) {
    c->dirty = flag;
    c->changed = flag;
  }
}

int OBJET::setDisplayMode(int mode) {
  switch (mode) {
    case 0:
      displayMode = displayMode == 1 ? 2 : 1;
      children = &mainList;
      break;
    case 1:
    case 2:
      displayMode = static_cast<uint32_t>(mode);
      children = &mainList;
      break;
    case 4:
      displayMode = 4;
      children = &altList;
      break;
    default:
      break;
  }
  showCurrentList();
  return 1;
}

void OBJET::showCurrentList() {
  computeSize();
  markChildren(1);
  draw(nullptr);
  dirty = 1;
  changed = 1;
}
