// Widget behaviour through the real message path (post to a panel, the
// panel's update hands the message over, the child's update consumes it),
// hit testing and naming. No window: drawing only keeps its bookkeeping.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "gui/fixtures.h"
#include "gui/gui.h"

namespace {

SDL_Event mouseEvent(Uint8 type) {
  SDL_Event e{};
  e.type = type;
  e.button.button = SDL_BUTTON_LEFT;
  return e;
}

// A store with no window: no textures, but sizes and lookups work.
struct StoreScope {
  IMAGE_STORE store;
  IMAGE_STORE* previous = imageStore;
  StoreScope() { imageStore = &store; }
  ~StoreScope() {
    for (int i = 0; i < store.count; ++i) SDL_FreeSurface(store.entries[i].surface);
    imageStore = previous;
  }
  void add(const char* name, int w, int h) { store.put(name, solidSurface(w, h, 0x808080), w, h); }
};

std::string formatted(const char* format, unsigned long id) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, id);
  return buf;
}

}  // namespace

TEST(Widgets, ButtonTogglesOnReleaseAndFollowsTouch) {
  StoreScope images;
  OBJET panel(0, 0, "1");
  auto* b = new BUTTON("1_B_ON", "B_ON", "B_TOUCH", "B_OFF", nullptr);
  panel.mainList.insert(panel.mainList.begin(), b);
  EXPECT_STREQ(b->image, "B_OFF");
  EXPECT_STREQ(b->mask, "B_MASK");

  const char* expected[] = {"B_ON", "B_OFF", "B_ON"};
  for (const char* image : expected) {
    panel.post(WIDGET_MESSAGE::forEvent(mouseEvent(SDL_MOUSEBUTTONDOWN), b));
    panel.update();
    b->update();
    EXPECT_EQ(b->pressed, 1);
    panel.post(WIDGET_MESSAGE::forEvent(mouseEvent(SDL_MOUSEBUTTONUP), b));
    panel.update();
    b->update();
    EXPECT_EQ(b->pressed, 0);
    EXPECT_STREQ(b->image, image);
    EXPECT_TRUE(b->messages.empty());
  }
  EXPECT_EQ(b->state, 1);

  // While touched the touch image shows; leaving shows the state image.
  panel.post(WIDGET_MESSAGE::forText("TOUCH_IN", SDL_Event{}, b));
  panel.update();
  b->update();
  EXPECT_EQ(b->touched, 1);
  EXPECT_STREQ(b->image, "B_TOUCH");
  panel.post(WIDGET_MESSAGE::forText("TOUCH_OUT", SDL_Event{}, b));
  panel.update();
  b->update();
  EXPECT_EQ(b->touched, 0);
  EXPECT_STREQ(b->image, "B_ON");

  // A touch image "0" means none: the state image stays.
  BUTTON plain("1_P", "P_ON", "0", "P_OFF", nullptr);
  plain.messages.insert(plain.messages.begin(),
                        std::make_unique<WIDGET_MESSAGE>(WIDGET_MESSAGE::forText("TOUCH_IN", SDL_Event{}, &plain)));
  plain.update();
  EXPECT_EQ(plain.touched, 1);
  EXPECT_STREQ(plain.image, "P_OFF");
}

TEST(Widgets, MessagesAreConsumedOldestFirst) {
  // A release queued before a press leaves the button pressed and toggled
  // once: the order of posting is the order of consumption.
  OBJET panel(0, 0, "1");
  BUTTON b("1_B", "B_ON", "0", "B_OFF", nullptr);
  panel.post(WIDGET_MESSAGE::forEvent(mouseEvent(SDL_MOUSEBUTTONUP), &b));
  panel.post(WIDGET_MESSAGE::forEvent(mouseEvent(SDL_MOUSEBUTTONDOWN), &b));
  panel.update();
  ASSERT_EQ(b.messages.size(), 2u);
  b.update();
  EXPECT_EQ(b.state, 1);
  EXPECT_EQ(b.pressed, 1);
}

TEST(Widgets, SliderTurnsByItsMessagesAndKeepsItsImage) {
  OBJET panel(0, 0, "1");
  SLIDER knob("1_KNOB", "KNOB_IMG");
  EXPECT_STREQ(knob.mask, "KNOB_IMG_MASK");
  knob.angle = 10;
  for (const char* t : {"SLD_DOWN", "SLD_DOWN", "SLD_DOWN", "SLD_UP"}) {
    panel.post(WIDGET_MESSAGE::forText(t, SDL_Event{}, &knob));
  }
  panel.post(WIDGET_MESSAGE::forEvent(mouseEvent(SDL_MOUSEBUTTONDOWN), &knob));
  panel.post(WIDGET_MESSAGE::forEvent(mouseEvent(SDL_MOUSEBUTTONUP), &knob));
  panel.update();
  knob.update();
  EXPECT_EQ(knob.angle, 12);
  EXPECT_EQ(knob.pressed, 0);
  EXPECT_STREQ(knob.image, "KNOB_IMG");
  EXPECT_TRUE(knob.messages.empty());
}

TEST(Widgets, PanelReportsUntargetedMessagesExceptUserEvents) {
  OBJET panel(0, 0, "1");
  SDL_Event user{};
  user.type = SDL_USEREVENT;
  testing::internal::CaptureStdout();
  panel.post(WIDGET_MESSAGE::forEvent(mouseEvent(SDL_MOUSEBUTTONUP), nullptr));
  panel.post(WIDGET_MESSAGE::forEvent(user, nullptr));
  panel.update();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "ZZZ\n");
  EXPECT_TRUE(panel.queue.empty());
}

TEST(Widgets, LabelTakesTheSizeOfItsText) {
  LABEL label("ABCD", 10, 20, 50, 50, 3, 12, 0xFFFFFF);
  EXPECT_FLOAT_EQ(label.y, 747 - 20);
  label.update();
  EXPECT_FLOAT_EQ(label.w, 24);
  EXPECT_FLOAT_EQ(label.h, 12);
  std::strcpy(label.text, "ABCDEFG");
  label.update();
  EXPECT_FLOAT_EQ(label.w, 42);  // 7 x 12 / 2
}

TEST(Widgets, ContainsIncludesEveryEdge) {
  const RECTANGLE r(10, 20, 0, 30, 40);
  struct Case {
    float x, y;
    bool inside;
  } cases[] = {{10, 20, true},  {40, 60, true},  {40, 20, true},  {10, 60, true},
               {25, 40, true},  {9, 30, false},  {41, 30, false}, {20, 19, false},
               {20, 61, false}, {40.9f, 60.9f, true}, {9.5f, 30, false}};
  for (const Case& c : cases) EXPECT_EQ(r.contains(c.x, c.y), c.inside) << c.x << "," << c.y;
  EXPECT_TRUE(r.overlaps(RECTANGLE(40, 60, 0, 5, 5)));
  EXPECT_FALSE(r.overlaps(RECTANGLE(41, 60, 0, 5, 5)));
}

TEST(Widgets, ChildAtSkipsBackgroundsAndHitsTheTopmostChild) {
  OBJET panel(100, 50, "1");
  auto* fond = new SPRITE("X", 0, 0, 0, 0, 0, 1, 0, 0);
  fond->setName("1_IMAGE_FOND");
  fond->w = 200;
  fond->h = 100;
  auto* back = new SPRITE("X", 0, 0, 0, 0, 0, 1, 0, 0);
  back->setName("1_BACK_PLATE");
  back->w = 200;
  back->h = 100;
  panel.mainList = {back, fond};

  for (ScreenPoint p : {ScreenPoint{150, 80}, ScreenPoint{100, 50}}) {
    mousePosition = p;
    EXPECT_EQ(panel.childAt(), nullptr);
  }

  // Two overlapping children: the front of the list (the last RC record)
  // loses to the back (the first record, drawn on top).
  auto* lower = new SPRITE("X", 10, 10, 0, 0, 0, 1, 0, 0);
  lower->setName("1_LOWER");
  lower->w = lower->h = 20;
  auto* upper = new SPRITE("X", 20, 20, 0, 0, 0, 1, 0, 0);
  upper->setName("1_UPPER");
  upper->w = upper->h = 20;
  panel.mainList = {lower, upper, fond};
  mousePosition = {100 + 25, 50 + 25};
  EXPECT_EQ(panel.childAt(), upper);
  mousePosition = {100 + 12, 50 + 12};
  EXPECT_EQ(panel.childAt(), lower);

  // With originFlag 0 the position is the centre; the panel's zoom divides
  // the size; the child is left unchanged.
  upper->originFlag = 0;
  panel.zoom = 2;
  mousePosition = {100 + 16, 50 + 16};  // probe 16 + 5 = 21 in [20, 30]
  EXPECT_EQ(panel.childAt(), upper);
  mousePosition = {100 + 26, 50 + 26};  // probe 31
  EXPECT_EQ(panel.childAt(), nullptr);
  EXPECT_FLOAT_EQ(upper->w, 20);
  EXPECT_FLOAT_EQ(upper->x, 20);
}

TEST(Widgets, NamesFollowTheirConstructor) {
  ZOD_ENGINE root;
  EXPECT_EQ(std::string(root.name), formatted("ITEM_%20lu", root.id));
  ZOD_ENGINE next;
  EXPECT_EQ(next.id, root.id + 1);
  EXPECT_EQ(std::string(RECTANGLE().name).rfind("BASE_ITEM_", 0), 0u);

  root.setName(nullptr);
  EXPECT_EQ(std::string(root.name), formatted("DEFAULT_ITEM_%20lu", root.id));
  const std::string longName(120, 'N');
  root.setName(longName.c_str());
  EXPECT_EQ(std::string(root.name), longName.substr(0, 79));

  EXPECT_STREQ(SPRITE("LAMP_ON", 0, 0, 0, 0, 0, 1, 0, 0).name, "LAMP_ON");
  EXPECT_STREQ(LABEL("T", 0, 0, 0, 0, 0, 6, 0).name, "IMG_001");
  EXPECT_STREQ(SLIDER("1_K", "KNOB").name, "1_K");

  // Masks derived from the on-image: up to its last underscore (not at 0).
  struct Case {
    const char* on;
    const char* mask;
  } cases[] = {{"B_ON", "B_MASK"}, {"POWER_BUTTON_ON", "POWER_BUTTON_MASK"}, {"_ON", ""}, {"ON", ""},
               {"A__X", "A__MASK"}};
  for (const Case& c : cases) EXPECT_STREQ(BUTTON("1_B", c.on, "0", "OFF", nullptr).mask, c.mask) << c.on;
  EXPECT_STREQ(BUTTON("1_B", "B_ON", "0", "OFF", "GIVEN").mask, "GIVEN");
}

TEST(Widgets, ChildLookupsSkipThePanelPrefix) {
  OBJET panel(0, 0, "12");
  auto* a = new SPRITE("X", 0, 0, 0, 0, 0, 1, 0, 0);
  a->setName("12_KNOB");
  auto* b = new BUTTON("1_KNOB", "K_ON", "0", "K_OFF", nullptr);
  auto* back = new SPRITE("X", 0, 0, 0, 0, 0, 1, 0, 0);
  back->setName("1_BACK_KNOB");
  panel.mainList = {a, b, back};
  // Searched from the last element: the button comes first.
  EXPECT_EQ(panel.childByName("KNOB"), b);
  EXPECT_EQ(panel.buttonByName("KNOB"), b);
  EXPECT_EQ(panel.childByName("BACK_KNOB"), back);
  EXPECT_EQ(panel.childByName("NONE"), nullptr);
  EXPECT_EQ(panel.childPosition(b), 1);
  EXPECT_EQ(panel.childPosition(a), 2);
  EXPECT_EQ(panel.childPosition(back), 0);
  EXPECT_EQ(std::string(itemNameOf("1_B_ON")), "B_ON");
  EXPECT_EQ(std::string(itemNameOf("X")), "X");
}

TEST(Widgets, DisplayModeTogglesSizeAndLists) {
  StoreScope images;
  images.add("PANEL_BG", 200, 100);
  OBJET panel(0, 0, "1");
  auto* fond = new SPRITE("PANEL_BG", 0, 0, 0, 0, 0, 1, 0, 0);
  fond->setName("1_IMAGE_FOND");
  auto* plug = new SPRITE("X", 5, 5, 0, 0, 0, 1, 0, 0);
  plug->setName("1_PLUG");
  panel.mainList = {fond};
  panel.altList = {plug};
  panel.computeSize();
  EXPECT_FLOAT_EQ(panel.w, 200);

  struct Step {
    int mode;
    unsigned expectMode;
    float w, h;
    std::vector<SPRITE*>* list;
  } steps[] = {{0, 2, 100, 50, &panel.mainList}, {0, 1, 200, 100, &panel.mainList},
               {4, 4, 200, 100, &panel.altList}, {0, 1, 200, 100, &panel.mainList},
               {2, 2, 100, 50, &panel.mainList}, {7, 2, 100, 50, &panel.mainList}};
  for (const Step& s : steps) {
    EXPECT_EQ(panel.setDisplayMode(s.mode), 1);
    EXPECT_EQ(panel.displayMode, s.expectMode) << "mode " << s.mode;
    EXPECT_FLOAT_EQ(panel.w, s.w);
    EXPECT_FLOAT_EQ(panel.h, s.h);
    EXPECT_EQ(panel.children, s.list);
    EXPECT_EQ(panel.dirty, 1);
  }
}

TEST(Widgets, PanelsOutsideTheViewAreNotDrawn) {
  // drawPanelsInView draws a panel whose left edge is at most 1024 (the
  // view's right edge); drawing records the child's screen position.
  for (float x : {1024.0f, 1025.0f}) {
    OBJET panel(x, 0, "1");
    panel.w = panel.h = 50;
    auto* c = new SPRITE("X", 3, 4, 0, 0, 0, 1, 0, 0);
    c->setName("1_C");
    c->drawnX = -1;
    panel.mainList = {c};
    std::vector<OBJET*> list{&panel};
    // The sprite's image is unknown: drawGL still records where it went.
    drawPanelsInView(list, ScreenPoint{0, 0});
    if (x == 1024.0f) {
      EXPECT_EQ(c->drawnX, 1024 + 3);
    } else {
      EXPECT_EQ(c->drawnX, -1);
    }
  }
}
