#pragma once
// The Zod engine's widgets: images (SPRITE), two-state buttons (BUTTON),
// rotary knobs (SLIDER), text (LABEL) and panels (OBJET) that own a list of
// such children.
//
// Input reaches a widget as a widget message: an event loop posts it to a
// panel, the panel hands it to its target child at its next update, and the
// child changes its state (touched, pressed, state, angle) when it consumes
// it. Behaviour (messages, state, hit testing) lives in widgets.cpp and needs
// no window; drawing lives in widget_draw.cpp.
//
// All of it belongs to the GUI thread. Widgets are never freed while the
// program runs; panels hold plain pointers to their children and never delete
// them.

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Fixed text fields: item, image and mask names keep 79 characters, panel
// names, RC paths and label texts 799.
constexpr std::size_t kNameSize = 80;
constexpr std::size_t kLongTextSize = 800;
constexpr std::size_t kMessageTextSize = 640;

// Copies `text` into a fixed field, cut to the field's size; null gives "".
void copyField(char* field, std::size_t size, const char* text);
template <std::size_t N>
void copyField(char (&field)[N], const char* text) {
  copyField(field, N, text);
}

// SDL 1.2 event type numbers the messages are tested against.
constexpr int kMouseDownType = SDL_MOUSEBUTTONDOWN;  // 5
constexpr int kMouseUpType = SDL_MOUSEBUTTONUP;      // 6
constexpr int kUserEventType = SDL_USEREVENT;        // 24

class SPRITE;

// One widget message: either an input event (hasEvent 1) or a text command
// ("TOUCH_IN", "TOUCH_OUT", "SLD_UP", "SLD_DOWN") for the target child.
struct WIDGET_MESSAGE {
  int32_t hasEvent = 0;
  SDL_Event event{};
  char text[kMessageTextSize] = {};
  SPRITE* target = nullptr;

  static WIDGET_MESSAGE forEvent(const SDL_Event& event, SPRITE* target);
  static WIDGET_MESSAGE forText(const char* text, const SDL_Event& event, SPRITE* target);
};

// Serial number source: every widget construction takes the next value.
extern uint32_t widgetCounter;

class ZOD_ENGINE {
 public:
  // Named "ITEM_%20lu" after its id.
  ZOD_ENGINE();
  virtual ~ZOD_ENGINE();
  ZOD_ENGINE(const ZOD_ENGINE&) = delete;
  ZOD_ENGINE& operator=(const ZOD_ENGINE&) = delete;

  virtual int update();
  // Reserved entry point; nothing in the system calls it.
  virtual int hook(int32_t a, int32_t b);

  // A null text gives "DEFAULT_ITEM_%20lu"; longer texts are cut to 79.
  void setName(const char* text);
  void setAlias(const char* text);

  uint32_t id;
  int32_t hidden = 0;
  char name[kNameSize] = {};
  char alias[kNameSize] = {};
};

class BASE : public ZOD_ENGINE {
 public:
  BASE();
  BASE(float x, float y, float z);
  // The name given is replaced by "BASE_ITEM_%20lu".
  explicit BASE(const char* name);

  virtual void setPosition(float x, float y, float z);
  virtual void setX(float x);
  virtual void setY(float y);
  virtual void setZ(float z);

  float x = 0;
  float y = 0;
  float z = 0;
};

class RECTANGLE : public BASE {
 public:
  RECTANGLE();
  RECTANGLE(float x, float y, float z, float w, float h);

  // Every coordinate truncated to an integer; both edges included.
  bool contains(float px, float py) const;
  bool overlaps(const RECTANGLE& o) const;

  float w = 0;
  float h = 0;
};

class SPRITE : public RECTANGLE {
 public:
  SPRITE(const char* image, int x, int y, int colorKeyOn, int colorKey, int blend, float zoom,
         int angle, int alpha);

  // Notes what changed since the last update (dirty/changed) and takes the
  // size of the image.
  int update() override;

  void setImage(const char* imageName);
  // The attached surface, else the image store's surface for `image`, else
  // null.
  SDL_Surface* imageSurface() const;
  // Draws the sprite as one textured quad (with its mask first, if any).
  void drawGL(SDL_Surface* target);

  int32_t shownTouch = 0;
  int32_t shownAngle = 0;
  int32_t shownAlpha = 0;
  char shownImage[kNameSize] = {};
  // 1: (x, y) is the top-left corner; 0: the centre (hit testing).
  unsigned char originFlag = 1;
  int32_t drawnX = 0;
  int32_t drawnY = 0;
  int32_t drawnW = 0;
  int32_t drawnH = 0;
  int32_t touched = 0;
  int32_t pressed = 0;
  int32_t dirty = 1;
  int32_t changed = 0;
  float zoom = 1.0f;
  int32_t angle = 0;
  int32_t colorKey = 0;
  int32_t colorKeyOn = 0;
  int32_t blend = 0;
  int32_t alpha = 0;
  SDL_Surface* surface = nullptr;  // not owned
  char image[kNameSize] = {};
  char mask[kNameSize] = {};
};

// The message list of a widget that consumes messages. Messages are inserted
// at the front and consumed from the back (oldest first).
class MSG_RESPONDER {
 public:
  std::vector<std::unique_ptr<WIDGET_MESSAGE>> messages;

 protected:
  // Calls `apply` on every message, oldest first, deleting each; returns how
  // many were consumed.
  template <typename F>
  int consumeMessages(F apply) {
    int n = 0;
    while (!messages.empty()) {
      std::unique_ptr<WIDGET_MESSAGE> m = std::move(messages.back());
      messages.pop_back();
      apply(*m);
      ++n;
    }
    return n;
  }
};

class BUTTON : public SPRITE, public MSG_RESPONDER {
 public:
  // A null mask derives one from imageOn: up to and including its last
  // underscore (at position 1 or later), followed by "MASK".
  BUTTON(const char* itemName, const char* imageOn, const char* imageTouch, const char* imageOff,
         const char* maskName);

  // Press/release events set `pressed` and toggle `state` on release;
  // TOUCH_IN/TOUCH_OUT set `touched`; the image follows.
  int update() override;

  char imageOn[kNameSize] = {};
  char imageTouch[kNameSize] = {};
  char imageOff[kNameSize] = {};
  int32_t state = 0;
};

// Height of the capitals of the label face at the label size (the small
// font, 8 pixels to the em): a label's text is drawn from its `y` down.
constexpr int kLabelCapHeight = 7;

class LABEL : public SPRITE, public MSG_RESPONDER {
 public:
  // The two ignored arguments are kept for the RC reader's call.
  LABEL(const char* text, int x, int y, int ignored1, int ignored2, int labelNumber, int fontSize,
        int color);

  // Takes the size of the text: (length x fontSize) / 2 by fontSize.
  int update() override;
  // Prints `text` in its colour with the small font.
  void drawLabel();

  int32_t labelNumber = 0;
  int32_t shownColor = 0;
  int32_t color = 0;  // 0xRRGGBB
  char text[kLongTextSize] = {};
  char shownText[kLongTextSize] = {};
  int32_t fontSize = 0;
};

class SLIDER : public SPRITE, public MSG_RESPONDER {
 public:
  SLIDER(const char* itemName, const char* imageName);

  // SLD_DOWN adds 1 to `angle`, SLD_UP takes 1 off; the image never changes.
  int update() override;
};

class OBJET : public SPRITE {
 public:
  // A null panel name ends the program (exit code 1).
  OBJET(float x, float y, const char* panelName);
  ~OBJET() override;

  // Hands the queued messages to their targets, redraws when something is
  // dirty, then updates the panel itself.
  int update() override;
  // 0 toggles full (1) and half size (2); 1, 2 and 4 (the alternate list)
  // select that mode. Returns 1.
  virtual int setDisplayMode(int mode);
  // Draws the background, then every child in list order (the first RC line
  // last, on top). Returns the number of children.
  virtual int draw(SDL_Surface* target);

  // RC layout files (rc_file.cpp).
  int load(const char* path);
  int save(const char* path);

  void post(const WIDGET_MESSAGE& message);
  // The child under the global mouse position, never a "FOND" or "BACK" one.
  SPRITE* childAt();
  // Children named "<objName>_<item>" are matched on their exact item
  // name, whatever the length of the panel name (panels 100 and up
  // included); other names lose a prefix of 2 or 3 characters as
  // itemNameOf says.
  SPRITE* childByName(const char* itemName);
  BUTTON* buttonByName(const char* itemName);
  // The item name of a child of this panel ("12_POWER" of panel "12" gives
  // "POWER"), or null when the name does not start with "<objName>_".
  const char* ownItemName(const char* childName) const;
  int childPosition(const SPRITE* child) const;
  void computeSize();
  void markChildren(int flag);
  // After a change of mode or list: takes the size of what is shown, marks
  // every child and draws (setDisplayMode's last steps).
  void showCurrentList();

  SPRITE* lastChild = nullptr;
  char objName[kLongTextSize] = {};
  char rcPath[kLongTextSize] = {};
  uint32_t displayMode = 1;
  std::vector<WIDGET_MESSAGE> queue;
  std::vector<SPRITE*>* children;
  std::vector<SPRITE*> mainList;
  std::vector<SPRITE*> altList;

 private:
  void drawBackground(const char* itemName);
};

// The item name of a child: its name after the panel prefix ("1_B_ON" gives
// "B_ON"); the prefix skipped is 3 characters when the third is an
// underscore, else 2 when the second is, else none.
const char* itemNameOf(const char* name);
