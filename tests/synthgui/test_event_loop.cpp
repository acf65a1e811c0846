// The synthesizer's event loop and dashboards, driven with synthetic events
// through SDL's real queue (the dummy video driver: no display). Panels take
// their sizes from the project's own art, as on screen.
#include <gtest/gtest.h>

#include <SDL/SDL_net.h>

#include <string>

#include "audio/render.h"
#include "engine/notes.h"
#include "remote/loopback.h"
#include "remote/remote.h"
#include "support/events.h"
#include "support/files.h"
#include "synthgui/dashboards.h"
#include "synthgui/event_loop.h"
#include "synthgui/front_end.h"
#include "synthgui/panel_test_util.h"

namespace {

const char kPatch[] =
    "BEGIN_OBJECTS_DECLARE\n"
    "KEY_1;;\nSEQUENCER_1;DIVIDER=2;\nVCO_1;TYPE=1;FREQ=44;AMOUNT=0.5;PHASE=0;\n"
    "VCO_2;TYPE=1;FREQ=88;AMOUNT=0.5;PHASE=0;\nSAMPLER_1;FILE=Sounds/phaser.wav;\n"
    "VCA_1;BYPASS=0;ATTACK=5;DECAY=50;SUSTAIN=1;RELEASE=50;INVERT=0;\nMIXER_4;;\n"
    "END_OBJECTS_DECLARE\n"
    "BEGIN_LINKS_DECLARE\n"
    "VCO_1;IN=KEY_1;\nVCA_1;IN=VCO_1;GATE=KEY_1;\nMIXER_4;ADD_CHANELL=VCA_1;ADD_CHANELL=VCO_1;\n"
    "END_LINKS_DECLARE\n";

class WindowEvents : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    // A mode must be set for the pointer to be moved back.
    ASSERT_NE(SDL_SetVideoMode(1024, 768, 32, 0), nullptr) << SDL_GetError();
    if (!imageStore) {
      testing::internal::CaptureStdout();
      imageStore = new IMAGE_STORE("grfx/opengl.mim");
      testing::internal::GetCapturedStdout();
    }
    fillNoteTable();
  }
  static void TearDownTestSuite() { SDL_Quit(); }

  void SetUp() override {
    synthEvents = SynthEventState{};
    scrollOffset = mousePosition = {0, 0};
    running = 1;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
    load(kPatch);
  }

  void TearDown() override { unload(); }

  void unload() {
    cordList.clear();
    std::vector<OBJET*> panels;
    for (OBJET* p : objectList)
      if (panelInfo(p).isModule()) panels.push_back(p);
    objectList.clear();
    releasePanels(panels);
    currentGenerator = nullptr;
    if (synth_) releaseSynth(synth_);
    synth_ = nullptr;
  }

  void load(const std::string& text) {
    unload();
    writeFile(dir_ / "p.mvl", text);
    testing::internal::CaptureStdout();
    synth_ = new GENERATOR((dir_ / "p.mvl").c_str());
    currentGenerator = synth_;
    objectList.clear();
    InitGuiFromCurrent();
    buildRack();
    rebuildCords();
    synthEvents.cordsOutOfDate = 0;
    frame();
    console_ = testing::internal::GetCapturedStdout();
    ASSERT_EQ(synth_->loadStatus, GENERATOR::LoadStatus::Loaded) << console_;
  }

  // The updates and (output-less) drawing of one frame: children take
  // their sizes and their messages.
  static void frame() {
    for (std::size_t i = 0; i < objectList.size(); ++i) ::frame(*objectList[i]);
  }

  // Handles the queued events, then a frame; returns the result flags.
  static int pump(int acceptClients = 0) {
    const int flags = processSynthEvents(objectList, acceptClients);
    frame();
    return flags;
  }

  static void motion(int x, int y) { pushMotion(x, y); }
  static void button(Uint8 type, Uint8 which, int x, int y) { pushButton(type, which, x, y); }
  static void key(Uint8 type, SDLKey sym) { pushKey(type, sym); }
  static void drag(Uint8 which, CABLE::Point from, CABLE::Point to) {
    motion(from.x, from.y);
    button(SDL_MOUSEBUTTONDOWN, which, from.x, from.y);
    motion(to.x, to.y);
  }

  static OBJET* panel(const char* module) {
    for (OBJET* p : objectList)
      if (std::string(panelInfo(p).moduleName) == module) return p;
    ADD_FAILURE() << "no panel for " << module;
    return nullptr;
  }
  // Where a plug or child is on screen (its centre, less the scroll).
  static CABLE::Point at(OBJET* p, SPRITE* child) {
    const CABLE::Point c = jackCentre(p, child);
    return {c.x - scrollOffset.x, c.y - scrollOffset.y};
  }
  static CABLE::Point plugAt(const char* module, const char* item) {
    return at(panel(module), plugOf(panel(module), item));
  }
  // F6, then the cords laid again from the jacks now shown (as the frame
  // loop does).
  static void showBacks() {
    key(SDL_KEYDOWN, SDLK_F6);
    pump();
    rebuildCords();
  }

  TempDir dir_;
  GENERATOR* synth_ = nullptr;
  std::string console_;
};

TEST_F(WindowEvents, RightButtonDragsPanelsAndScrollsAtTheEdges) {
  OBJET* vco = panel("VCO_1");
  scrollOffset = {80, 0};
  const CABLE::Point corner{static_cast<int>(vco->x) - 80 + 5, static_cast<int>(vco->y) + 5};
  drag(SDL_BUTTON_RIGHT, corner, {300, 400});
  EXPECT_EQ(pump(), kPanelsChanged);
  EXPECT_FLOAT_EQ(vco->x, 380);
  EXPECT_FLOAT_EQ(vco->y, 400);
  // The panel dragged comes to the top.
  EXPECT_EQ(objectList.back(), vco);
  EXPECT_EQ(selectedObject, static_cast<int>(objectList.size()) - 1);
  EXPECT_EQ(synthEvents.cordsOutOfDate, 1);

  // Within 5 pixels of the left edge, every motion scrolls 35 further left
  // until the scroll is 0.
  const int expected[] = {45, 10, 0, 0};
  for (int x : expected) {
    motion(2, 400);
    EXPECT_EQ(pump(), kPanelsChanged | kViewScrolled);
    EXPECT_EQ(scrollOffset.x, x);
  }
  EXPECT_FLOAT_EQ(vco->x, 2);
  button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 2, 400);
  motion(600, 600);
  pump();
  EXPECT_FLOAT_EQ(vco->x, 2);

  // A right press on empty space drags nothing.
  const float keyboardX = panel("KEY_1")->x;
  drag(SDL_BUTTON_RIGHT, {1000, 740}, {3, 3});
  EXPECT_EQ(synthEvents.draggedPanel, -1);
  EXPECT_EQ(pump() & kPanelsChanged, 0);
  EXPECT_FLOAT_EQ(vco->x, 2);
  EXPECT_FLOAT_EQ(panel("KEY_1")->x, keyboardX);
  EXPECT_EQ(scrollOffset.x, 0);

  // The middle button pans; the scroll never goes negative.
  drag(SDL_BUTTON_MIDDLE, {500, 500}, {400, 450});
  motion(300, 400);
  EXPECT_EQ(pump() & kViewScrolled, kViewScrolled);
  EXPECT_EQ(scrollOffset.x, 100);
  EXPECT_EQ(scrollOffset.y, 50);
  button(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 300, 400);
  motion(900, 900);
  pump();
  EXPECT_EQ(scrollOffset.x, 100);
}

TEST_F(WindowEvents, KnobStepsPerPixelAndThePointerGoesBack) {
  OBJET* vco = panel("VCO_1");
  auto* module = panelInfo(vco).module.oscillator();
  const CABLE::Point knob = at(vco, vco->childByName("SLD_FREQUENCE"));
  drag(SDL_BUTTON_LEFT, knob, {knob.x, knob.y - 12});
  pump();
  // 12 steps up from 44: 0.5 each between 20 and 50.
  EXPECT_FLOAT_EQ(module->frequency, 38.0f);
  int x = 0, y = 0;
  SDL_GetMouseState(&x, &y);
  EXPECT_EQ(x, knob.x);
  EXPECT_EQ(y, knob.y);
  motion(knob.x, knob.y + 3);
  button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, knob.x + 40, knob.y + 30);
  pump();
  EXPECT_FLOAT_EQ(module->frequency, 39.5f);
  SDL_GetMouseState(&x, &y);
  EXPECT_EQ(x, knob.x);
  EXPECT_EQ(y, knob.y);
  EXPECT_EQ(vco->childByName("SLD_FREQUENCE")->pressed, 0);
  EXPECT_EQ(synthEvents.pointer.heldWidget, nullptr);
}

TEST_F(WindowEvents, CordsArePickedUpStartedAndDropped) {
  showBacks();
  ASSERT_EQ(cordList.size(), 5u);

  // VCO_1's output feeds two inputs: the later cord of the list (the
  // mixer's) is picked up by its output end.
  drag(SDL_BUTTON_LEFT, plugAt("VCO_1", "OUTPUT"), {600, 600});
  EXPECT_EQ(pump() & kCordsChanged, kCordsChanged);
  ASSERT_NE(synthEvents.heldCord.cord, nullptr);
  EXPECT_EQ(synthEvents.heldCord.end, CordEnd::Output);
  EXPECT_EQ(synthEvents.heldCord.cord->startPanel, panel("MIXER_4"));
  EXPECT_EQ(synthEvents.heldCord.cord->x2, 600);
  // Released over nothing: no binding changes; the pointer goes back.
  const CABLE::Point out = plugAt("VCO_1", "OUTPUT");
  button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 600, 600);
  pump();
  int x = 0, y = 0;
  SDL_GetMouseState(&x, &y);
  EXPECT_EQ(x, out.x);
  EXPECT_EQ(y, out.y);
  EXPECT_EQ(synthEvents.heldCord.cord, nullptr);
  EXPECT_EQ(synthEvents.cordsOutOfDate, 1);
  rebuildCords();
  EXPECT_EQ(cordList.size(), 5u);

  // A plug no cord touches starts a new cord whose input end follows the
  // pointer; dropped on VCO_2's input it binds it to the sequencer.
  drag(SDL_BUTTON_LEFT, plugAt("SEQUENCER_1", "OUTPUT"), {700, 20});
  pump();
  ASSERT_EQ(cordList.size(), 6u);
  EXPECT_EQ(synthEvents.heldCord.cord, cordList.back().get());
  EXPECT_EQ(synthEvents.heldCord.end, CordEnd::Input);
  EXPECT_EQ(cordList.back()->x1, 700);
  const CABLE::Point in = plugAt("VCO_2", "INPUT");
  motion(in.x, in.y);
  button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, in.x, in.y);
  pump();
  EXPECT_EQ(boundField(panelInfo(panel("VCO_2")).module, PortSlot::Main),
            outputField(panelInfo(panel("SEQUENCER_1")).module, PortFamily::Signal));

  // The other way round: from an input no cord reaches, the new cord's
  // output end follows the pointer to an output.
  rebuildCords();
  drag(SDL_BUTTON_LEFT, plugAt("VCO_2", "INPUT_MOD_FREQ"), {700, 20});
  pump();
  EXPECT_EQ(synthEvents.heldCord.end, CordEnd::Output);
  const CABLE::Point keyOut = plugAt("KEY_1", "OUTPUT");
  motion(keyOut.x, keyOut.y);
  button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, keyOut.x, keyOut.y);
  pump();
  EXPECT_EQ(boundField(panelInfo(panel("VCO_2")).module, PortSlot::ModFreq),
            outputField(panelInfo(panel("KEY_1")).module, PortFamily::Signal));

  // Delete while an end is held unplugs it; a release with Delete still
  // held binds nothing.
  const CABLE::Point vcaIn = plugAt("VCA_1", "INPUT");
  drag(SDL_BUTTON_LEFT, vcaIn, {vcaIn.x + 50, vcaIn.y + 50});
  key(SDL_KEYDOWN, SDLK_DELETE);
  motion(vcaIn.x, vcaIn.y);
  button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, vcaIn.x, vcaIn.y);
  testing::internal::CaptureStdout();
  pump();
  EXPECT_NE(testing::internal::GetCapturedStdout().find("Branchement OUTPUT vers INPUT"), std::string::npos);
  EXPECT_EQ(boundField(panelInfo(panel("VCA_1")).module, PortSlot::Main), nullptr);
  key(SDL_KEYUP, SDLK_DELETE);
  pump();
  EXPECT_EQ(synthEvents.disconnect, 0);
}

TEST_F(WindowEvents, KeysPlayTurnAndEnd) {
  // One keyboard answers every row of note keys; q is note 1 of "KEY_3".
  KEYBOARD* keyboard = synth_->keyboards.front();
  key(SDL_KEYDOWN, SDLK_q);
  EXPECT_EQ(pump(), kPanelsChanged);
  EXPECT_EQ(keyboard->note, 1);
  EXPECT_EQ(keyboard->gate, 1);
  key(SDL_KEYUP, SDLK_q);
  pump();
  EXPECT_EQ(keyboard->gate, 0);
  key(SDL_KEYDOWN, SDLK_n);
  pump();
  EXPECT_EQ(keyboard->note, 6);

  // F6 twice: every panel back on its front, the sequencer and the
  // sampler in their mini views; the dashboards keep their face.
  SEQ_GUI* seq = sequencerPanels.front();
  seq->setDisplayMode(1);
  for (int round = 0; round < 2; ++round) {
    key(SDL_KEYDOWN, SDLK_F6);
    pump();
    for (OBJET* p : objectList) {
      const PanelInfo info = panelInfo(p);
      if (!info.isModule()) {
        EXPECT_EQ(p->displayMode, 1u);
      } else if (round == 0) {
        EXPECT_EQ(p->displayMode, 4u) << info.moduleName;
      } else {
        const bool mini = info.module.kind == ModuleKind::Sequencer || info.module.kind == ModuleKind::Sampler;
        EXPECT_EQ(p->displayMode, 1u) << info.moduleName;
        EXPECT_EQ(p->children == &p->mainList, !mini) << info.moduleName;
      }
    }
  }

  // Tab walks the oscillators and wraps; F1 turns the trace on and off;
  // the zoom keys stay within their range however often they are pressed.
  for (int i = 0; i < 3; ++i) key(SDL_KEYDOWN, SDLK_TAB);
  key(SDL_KEYDOWN, SDLK_F1);
  for (int i = 0; i < 40; ++i) key(SDL_KEYDOWN, SDLK_KP_PLUS);
  pump();
  EXPECT_EQ(synthEvents.selectedOscillator, 1);
  EXPECT_EQ(scopeEnabled, 1);
  EXPECT_FLOAT_EQ(scopeZoom, 1024.0f);
  key(SDL_KEYDOWN, SDLK_F1);
  for (int i = 0; i < 100; ++i) key(SDL_KEYDOWN, SDLK_KP_MINUS);
  pump();
  EXPECT_EQ(scopeEnabled, 0);
  EXPECT_FLOAT_EQ(scopeZoom, 1.0f / 1024);
  scopeZoom = 1.0f;

  // Escape ends the loop on its release; so does the window's close.
  key(SDL_KEYDOWN, SDLK_ESCAPE);
  pump();
  EXPECT_EQ(running, 1);
  key(SDL_KEYUP, SDLK_ESCAPE);
  pump();
  EXPECT_EQ(running, 0);
  running = 1;
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  pump();
  EXPECT_EQ(running, 0);
}

TEST_F(WindowEvents, ClientsAreAcceptedOnlyWhenAsked) {
  ASSERT_EQ(SDLNet_Init(), 0);
  IPaddress address;
  const int port = loopback::freePort();
  ASSERT_EQ(SDLNet_ResolveHost(&address, nullptr, static_cast<Uint16>(port)), 0);
  remoteListener = openRemoteListener(address);
  ASSERT_NE(remoteListener, nullptr);
  {
    loopback::Client client(port, loopback::Ms(2000));
    ASSERT_TRUE(client.connected());
    for (int i = 0; i < 5; ++i) pump(0);
    EXPECT_EQ(client.read(1, loopback::Ms(200)), "");
    testing::internal::CaptureStdout();
    pump(1);
    EXPECT_EQ(client.read(5), "Hello");
    EXPECT_NE(testing::internal::GetCapturedStdout().find("BEF : "), std::string::npos);
  }
  waitRemoteConnections();
  SDLNet_TCP_Close(remoteListener);
  remoteListener = nullptr;
}

TEST_F(WindowEvents, DashboardsAddModulesTurnPanelsAndDescribeThem) {
  load("BEGIN_OBJECTS_DECLARE\nKEY_1;;\nSEQUENCER_1;DIVIDER=2;\nMIXER_4;;\nEND_OBJECTS_DECLARE\n"
       "BEGIN_LINKS_DECLARE\nEND_LINKS_DECLARE\n");
  OBJET* modules = dashboards()[1];
  OBJET* system = dashboards()[2];
  auto clickOn = [](OBJET* dash, const char* item) {
    SPRITE* key = dash->childByName(item);
    const CABLE::Point p = at(dash, key);
    motion(p.x, p.y);
    button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, p.x, p.y);
    button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, p.x, p.y);
    testing::internal::CaptureStdout();
    pump();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(dynamic_cast<BUTTON*>(key)->state, 0) << item;
    return out;
  };

  // Pointing at the sequencer (before the new panels cover it) describes it; leaving every widget keeps
  // the texts.
  SEQ_GUI* seq = sequencerPanels.front();
  const CABLE::Point view = at(seq, seq->childByName("VIEW"));
  motion(view.x, view.y);
  pump();
  EXPECT_STREQ(infoDash->typeLabel->text, "SEQUENCEUR");
  EXPECT_STREQ(infoDash->nameLabel->text, "SEQUENCER_1");
  EXPECT_STREQ(infoDash->modeLabel->text, "1");
  motion(1020, 5);
  pump();
  EXPECT_STREQ(infoDash->nameLabel->text, "SEQUENCER_1");

  // No oscillator yet: VCO_1, panel "0", at (10, 50); then VCO_2 at
  // (10, 114). The synthesizer plays them at once.
  for (int n = 1; n <= 2; ++n) {
    EXPECT_EQ(clickOn(modules, "BUTTON_VCO"), "Neo VCO\n");
    ASSERT_EQ(synth_->oscillators.size(), static_cast<std::size_t>(n));
    VCO* vco = synth_->oscillators.back();
    EXPECT_STREQ(vco->name, ("VCO_" + std::to_string(n)).c_str());
    EXPECT_FLOAT_EQ(vco->frequency, 110.0f);
    OBJET* p = objectList.back();
    EXPECT_EQ(panelInfo(p).module.oscillator(), vco);
    EXPECT_STREQ(p->objName, std::to_string(n - 1).c_str());
    EXPECT_FLOAT_EQ(p->x, 10);
    EXPECT_FLOAT_EQ(p->y, static_cast<float>((n - 1) * 64 + 50));
  }
  // A name already taken is not given twice.
  synth_->keyboards.front()->setName("KEY_2");
  clickOn(modules, "BUTTON_KEY");
  EXPECT_STREQ(synth_->keyboards.back()->name, "KEY_3");

  // JACKS twice: every panel back to display mode 1, the sequencer's main
  // view included; the dashboards never turn.
  for (const unsigned mode : {4u, 1u}) {
    clickOn(system, "BUTTON_FILS");
    for (OBJET* p : objectList) EXPECT_EQ(p->displayMode, panelInfo(p).isModule() ? mode : 1u);
  }
  EXPECT_EQ(seq->children, &seq->mainList);

  // LOAD and SAVE wait for the end of the frame.
  clickOn(system, "BUTTON_SAVE");
  EXPECT_EQ(synthEvents.request, DashRequest::Save);
}

}  // namespace
