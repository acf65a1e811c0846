#include "synthgui/patch_dialogs.h"

#include <GL/gl.h>
#include <SDL.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <set>

#include "gui/gui.h"
#include "patch/port_table.h"
#include "patch/reload.h"
#include "synthgui/cords.h"
#include "synthgui/module_panel.h"
#include "synthgui/panel_grid.h"
#include "util/safe_file.h"

namespace {

// ------------------------------------------------------------ links writer

// The name of the module whose panel shows the output `field` is bound to,
// when that panel's kind is one of `accepted`; null otherwise.
const char* sourceName(const void* field, PortFamily family, std::initializer_list<ModuleKind> accepted) {
  const OBJET* panel = panelByOutputField(field, family);
  if (panel == nullptr) return nullptr;
  const ModuleRef source = panelInfo(panel).module;
  if (std::find(accepted.begin(), accepted.end(), source.kind) == accepted.end()) return nullptr;
  return source.name();
}

using K = ModuleKind;
const std::initializer_list<ModuleKind> kAnyKind{K::Keyboard,  K::Sequencer, K::Oscillator, K::Sampler,
                                                 K::Amplifier, K::Filter,    K::Mixer};
const std::initializer_list<ModuleKind> kAmplifierInputs{K::Sequencer, K::Oscillator, K::Sampler, K::Filter,
                                                         K::Mixer};
const std::initializer_list<ModuleKind> kModulators{K::Oscillator, K::Sampler, K::Amplifier, K::Filter,
                                                    K::Mixer};
const std::initializer_list<ModuleKind> kControllers{K::Keyboard, K::Sequencer};
const std::initializer_list<ModuleKind> kChannelSources{K::Oscillator, K::Sequencer, K::Filter,
                                                        K::Sampler,    K::Mixer,     K::Amplifier};

void writeEntry(std::FILE* f, const char* key, const char* name) {
  if (name != nullptr) std::fprintf(f, "%s=%s;", key, name);
}

void writeModuleLine(std::FILE* f, const ModuleRef& m) {
  std::fprintf(f, "%s;", m.name());
  if (m.kind == K::Mixer) {
    const MIXER* mixer = m.mixer();
    const int count = std::min<int>(mixer->channelCount, MIXER::kChannels);
    for (int j = 0; j < count; ++j)
      writeEntry(f, "ADD_CHANELL",
                 sourceName(boundField(m, PortSlot::Channel, j), PortFamily::Signal, kChannelSources));
    std::fprintf(f, "\n");
    return;
  }
  const bool amplifier = m.kind == K::Amplifier;
  writeEntry(
      f, "IN",
      sourceName(boundField(m, PortSlot::Main), PortFamily::Signal, amplifier ? kAmplifierInputs : kAnyKind));
  const std::pair<PortSlot, const char*> modulations[] = {{PortSlot::ModAmp, "MOD_AMP"},
                                                          {PortSlot::ModFreq, "MOD_FREQ"},
                                                          {PortSlot::ModPhase, "MOD_PHASE"},
                                                          {PortSlot::ModPwm, "MOD_PWM"}};
  for (const auto& [slot, key] : modulations) {
    if (findPort(m.kind, slot) == nullptr) continue;
    writeEntry(f, key, sourceName(boundField(m, slot), PortFamily::Signal, kModulators));
  }
  writeEntry(f, "GATE", sourceName(boundField(m, PortSlot::Gate), PortFamily::Gate, kControllers));
  if (!amplifier)
    writeEntry(f, "SYNC", sourceName(boundField(m, PortSlot::Sync), PortFamily::Sync, kControllers));
  std::fprintf(f, "\n");
}

// ------------------------------------------------------------ saving

constexpr std::size_t kMaxTypedName = 255;
// How long a save waits for a name on a console that is not a terminal.
constexpr int kPipedNameWaitMs = 10000;

// Reads the first word of a line from the console. False when there is
// none: the input ended, or (input not being a terminal) nothing came in
// time.
bool readConsoleWord(std::string& word) {
  word.clear();
  if (!isatty(STDIN_FILENO)) {
    pollfd p{STDIN_FILENO, POLLIN, 0};
    if (poll(&p, 1, kPipedNameWaitMs) <= 0) return false;
  }
  // An empty line is an empty name.
  int c = std::getchar();
  while (c == ' ' || c == '\t' || c == '\r') c = std::getchar();
  while (c != EOF && !std::isspace(c)) {
    if (word.size() < kMaxTypedName) word.push_back(static_cast<char>(c));
    c = std::getchar();
  }
  // The rest of the line is not the answer to a later question.
  while (c != EOF && c != '\n') c = std::getchar();
  return !word.empty();
}

void listForSave(const char* dir, bool patchesOnly) {
  std::error_code ec;
  std::vector<std::string> names;
  if (patchesOnly) {
    names = listPatchFiles(dir);
  } else {
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
  }
  for (std::size_t i = 0; i < names.size(); ++i)
    std::printf("%-24s%s", names[i].c_str(), i % 4 == 3 ? "\n" : "");
  if (names.size() % 4 != 0) std::printf("\n");
}

int saveInto(const char* dir, bool patchesOnly) {
  listForSave(dir, patchesOnly);
  std::printf("Save - Entrez le nom du fichier :");
  std::fflush(stdout);
  std::string name;
  if (!readConsoleWord(name)) {
    std::printf("\nSave cancelled: no file name was given\n");
    return 0;
  }
  const std::string path = std::strcmp(dir, ".") == 0 ? name : std::string(dir) + "/" + name;
  const bool written = writeFileSafely(path, [](std::FILE* f) {
    return currentGenerator != nullptr && currentGenerator->writeObjects(f) == 1 && writeLinks(f) == 1;
  });
  if (!written) {
    std::printf("Non de fichier NULL!\n");
    return 0;
  }
  std::printf("Saved [%s]\n", path.c_str());
  return 1;
}

// ------------------------------------------------------------ load dialog

void (*patchReplacedHook)() = nullptr;

constexpr const char* kPatchDir = "MVL";
constexpr const char* kLoadLayout = "RC/LOAD.RC";
constexpr int kSlots = 10;
constexpr int kPanelW = 512, kPanelH = 256;
constexpr Uint32 kFrameMs = 16;

struct Entry {
  std::string name;
  LABEL* label;
};

class LoadDialog {
 public:
  LoadDialog() : panel_(0, 0, "5") {
    panel_.load(kLoadLayout);
    fixed_ = panel_.mainList.size();
  }
  ~LoadDialog() {
    panel_.mainList.resize(fixed_);
    for (SPRITE* c : panel_.mainList) delete c;
    for (Entry& e : entries_) delete e.label;
  }

  void addEntry(const std::string& name, int n) {
    char text[kLongTextSize];
    std::snprintf(text, sizeof text, "%32s", name.c_str());
    auto* label = new LABEL(text, 100, 16 * n + 10, 0, 0, 1, 12, 0xFFFFFF);
    label->dirty = 1;
    label->originFlag = 1;
    entries_.insert(entries_.begin(), Entry{name, label});
  }

  // Lays out the window: slot s shows entry w + s.
  void layOut() {
    panel_.mainList.resize(fixed_);
    for (int s = 0; s < kSlots && window_ + s < count(); ++s) {
      LABEL* label = entries_[static_cast<std::size_t>(window_ + s)].label;
      label->y = static_cast<float>(16 * s + 50);
      label->dirty = 1;
      panel_.mainList.push_back(label);
    }
  }

  // Runs the frame loop; the chosen name, or "" when the dialog was left.
  std::string run() {
    dialogList_.push_back(&panel_);
    std::printf("LOAD MVL-6\n");
    std::printf("LOAD MVL-7\n");
    std::printf("LOAD MVL-8\n");
    while (chosen_ < 0 && !cancelled_) {
      const Uint32 start = SDL_GetTicks();
      // The panel stays centred on the screen whatever the rack's scroll.
      panel_.x = static_cast<float>(scrollOffset.x + (1024 - kPanelW) / 2);
      panel_.y = static_cast<float>(scrollOffset.y + (768 - kPanelH) / 2);
      pumpEvents();
      handleMessages();
      scroll();
      drawFrame();
      const Uint32 spent = SDL_GetTicks() - start;
      if (spent < kFrameMs) SDL_Delay(kFrameMs - spent);
    }
    if (cancelled_) return "";
    return entries_[static_cast<std::size_t>(chosen_)].name;
  }

  int count() const { return static_cast<int>(entries_.size()); }
  OBJET& panel() { return panel_; }

 private:
  // The slot a visible label stands in, or -1.
  int slotOf(const SPRITE* child) const {
    for (std::size_t i = fixed_; i < panel_.mainList.size(); ++i)
      if (panel_.mainList[i] == child) return static_cast<int>(i - fixed_);
    return -1;
  }

  void pumpEvents() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      switch (e.type) {
        case SDL_QUIT:
          // Closing the window ends the program: the main loop sees it too.
          cancelled_ = true;
          SDL_PushEvent(&e);
          return;
        case SDL_KEYUP:
          if (e.key.keysym.sym == SDLK_ESCAPE) cancelled_ = true;
          break;
        case SDL_MOUSEMOTION:
          pointTo(e.motion.x, e.motion.y);
          hover(e);
          break;
        case SDL_MOUSEBUTTONDOWN:
          pointTo(e.button.x, e.button.y);
          if (e.button.button == SDL_BUTTON_WHEELUP) window_ = std::max(0, window_ - 1), relaid_ = true;
          if (e.button.button == SDL_BUTTON_WHEELDOWN)
            window_ = std::min(maxWindow(), window_ + 1), relaid_ = true;
          if (e.button.button != SDL_BUTTON_LEFT) break;
          held_ = childUnderPointer();
          if (held_) {
            held_->pressed = 1;
            panel_.post(WIDGET_MESSAGE::forEvent(e, held_));
          }
          break;
        case SDL_MOUSEBUTTONUP:
          pointTo(e.button.x, e.button.y);
          if (e.button.button != SDL_BUTTON_LEFT || !held_) break;
          held_->pressed = 0;
          // A label is chosen by a press and a release on it.
          if (dynamic_cast<BUTTON*>(held_) || childUnderPointer() == held_)
            panel_.post(WIDGET_MESSAGE::forEvent(e, held_));
          held_ = nullptr;
          break;
        default:
          break;
      }
    }
  }

  void pointTo(int x, int y) { mousePosition = {x + scrollOffset.x, y + scrollOffset.y}; }

  SPRITE* childUnderPointer() {
    if (!panel_.contains(static_cast<float>(mousePosition.x), static_cast<float>(mousePosition.y)))
      return nullptr;
    return panel_.childAt();
  }

  void hover(const SDL_Event& e) {
    SPRITE* child = childUnderPointer();
    if (child == hovered_) return;
    if (hovered_) {
      hovered_->touched = 0;
      panel_.post(WIDGET_MESSAGE::forText("TOUCH_OUT", e, hovered_));
    }
    if (child) {
      child->touched = 1;
      panel_.post(WIDGET_MESSAGE::forText("TOUCH_IN", e, child));
    }
    hovered_ = child;
  }

  void handleMessages() {
    for (auto it = panel_.queue.rbegin(); it != panel_.queue.rend(); ++it) {
      const WIDGET_MESSAGE& m = *it;
      std::printf("MSG\n");
      if (!m.target) continue;
      const int slot = slotOf(m.target);
      if (m.hasEvent) {
        if (m.event.type == SDL_MOUSEBUTTONUP && slot >= 0 && m.event.button.button == SDL_BUTTON_LEFT) {
          chosen_ = window_ + slot;
          std::printf("Load [%s]\n", entries_[static_cast<std::size_t>(chosen_)].name.c_str());
        } else if (targetNameHas(m, "IMAGE_FOND")) {
          continue;
        } else if (m.event.type == SDL_MOUSEBUTTONDOWN) {
          if (targetNameHas(m, "BUTTON_OCT_DOWN")) scrolling_ = 1;
          if (targetNameHas(m, "BUTTON_OCT_UP")) scrolling_ = -1;
        } else if (m.event.type == SDL_MOUSEBUTTONUP &&
                   (targetNameHas(m, "BUTTON_OCT_DOWN") || targetNameHas(m, "BUTTON_OCT_UP"))) {
          scrolling_ = 0;
        }
      } else if (slot >= 0) {
        std::printf("NR[%d]\n",
                    static_cast<int>(panel_.mainList.size()) - 1 - static_cast<int>(fixed_) - slot + window_);
        auto* label = static_cast<LABEL*>(m.target);
        if (std::strstr(m.text, "TOUCH_IN")) {
          std::printf("TOUCH_IN\n");
          label->color = 0xFF0000;
        } else if (std::strstr(m.text, "TOUCH_OUT")) {
          std::printf("TOUCH_OUT\n");
          label->color = 0xFFFFFF;
        }
        label->dirty = 1;
      }
    }
    // Hands the rest to the buttons and empties the queue.
    panel_.update();
  }

  int maxWindow() const { return std::max(0, count() - kSlots); }

  void scroll() {
    const int before = window_;
    window_ = std::clamp(window_ + scrolling_, 0, maxWindow());
    if (window_ != before || relaid_) layOut();
    relaid_ = false;
  }

  void drawFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    push2D(0, 0, 1024, 768);
    // The rack goes on behind the dialog, dimmed.
    drawPanelsInView(objectList, scrollOffset);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0, 0, 0, 0.65f);
    glRectf(0, 0, 1024, 768);
    glPopAttrib();
    drawPanelsInView(dialogList_, scrollOffset);
    pop2D();
    SDL_GL_SwapBuffers();
  }

  OBJET panel_;
  std::size_t fixed_ = 0;  // children read from the layout; the slot labels follow
  std::vector<Entry> entries_;
  std::vector<OBJET*> dialogList_;
  SPRITE* hovered_ = nullptr;
  SPRITE* held_ = nullptr;
  int window_ = 0;
  int scrolling_ = 0;
  int chosen_ = -1;
  bool cancelled_ = false;
  bool relaid_ = false;
};

// Frees the module panels that a reload dropped from the object list, and
// the sequencer panel list's pointers to them.
void releaseDroppedPanels(const std::vector<OBJET*>& before) {
  std::vector<OBJET*> dropped;
  for (OBJET* p : before)
    if (panelInfo(p).module && std::find(objectList.begin(), objectList.end(), p) == objectList.end())
      dropped.push_back(p);
  releasePanels(dropped);
}

}  // namespace

int writeLinks(std::FILE* f) {
  std::fprintf(f, "BEGIN_LINKS_DECLARE\n");
  for (auto it = objectList.rbegin(); it != objectList.rend(); ++it) {
    const ModuleRef m = panelInfo(*it).module;
    if (!m || m.kind == K::Keyboard || m.kind == K::Sequencer) continue;
    writeModuleLine(f, m);
  }
  std::fprintf(f, "\nOUTPUT_1;MIXER_4;\n");
  std::fprintf(f, "END_LINKS_DECLARE\n");
  return 1;
}

int savePatch() { return saveInto(kPatchDir, false); }

int savePatchHere() { return saveInto(".", true); }

std::vector<std::string> listPatchFiles(const char* dir) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
    const std::string ext = e.path().extension().string();
    if ((ext == ".mvl" || ext == ".MVL") && e.is_regular_file(ec)) names.insert(e.path().filename().string());
  }
  return {names.begin(), names.end()};
}

void setPatchReplacedHook(void (*hook)()) { patchReplacedHook = hook; }

int loadPatchDialog() {
  std::printf("LOAD MVL\n");
  std::printf("LOAD MVL-1\n");
  const std::vector<std::string> files = listPatchFiles(kPatchDir);
  std::printf("LOAD MVL-2\n");
  std::printf("LOAD MVL-3 [%p]\n", static_cast<const void*>(&files));
  std::printf("LOAD MVL-4\n");
  std::string chosen;
  {
    const ScreenPoint pointer = mousePosition;
    LoadDialog dialog;
    std::printf("LOAD MVL-5\n");
    for (std::size_t n = 0; n < files.size(); ++n) dialog.addEntry(files[n], static_cast<int>(n) + 1);
    dialog.layOut();
    chosen = dialog.run();
    mousePosition = pointer;
  }
  if (chosen.empty()) {
    std::printf("Load cancelled\n");
    return 0;
  }
  std::printf("Load [%s]\n", chosen.c_str());

  const std::string path = std::string(kPatchDir) + "/" + chosen;
  const ReloadResult r = reloadPatch(path.c_str());
  if (!r.loaded) return 0;
  const std::vector<OBJET*> before = objectList;
  // The cords point into the old panels: they go first.
  cordList.clear();
  InitGuiFromCurrent();
  if (patchReplacedHook) patchReplacedHook();
  rebuildCords();
  releaseDroppedPanels(before);
  releaseSynth(r.previous);
  return 1;
}
