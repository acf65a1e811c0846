#include "synthgui/module_panel.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <set>

namespace {

// Layout and item pairs already reported missing. GUI thread only.
std::set<std::string>& reportedMisses() {
  static std::set<std::string> reported;
  return reported;
}

}  // namespace

PanelInfo panelInfo(const OBJET* panel) {
  if (const auto* p = dynamic_cast<const MODULE_PANEL*>(panel)) return p->info();
  return PanelInfo{};
}

std::vector<std::string> plugNames(ModuleKind kind) {
  std::vector<std::string> names = {"OUTPUT"};
  if (kind == ModuleKind::Keyboard || kind == ModuleKind::Sequencer) {
    names.push_back(outputPlug(PortFamily::Gate));
    names.push_back(outputPlug(PortFamily::Sync));
  }
  for (const PortSpec& port : portsOf(kind)) {
    if (!port.plugged) continue;
    if (port.slot != PortSlot::Channel) {
      names.push_back(port.plug);
      continue;
    }
    for (int n = 1; n <= kMixerPlugs; ++n) {
      char plug[kNameSize];
      std::snprintf(plug, sizeof plug, port.plug, n);
      names.push_back(plug);
    }
  }
  return names;
}

SPRITE* plugOf(OBJET* panel, const char* item) {
  if (!panel || !item) return nullptr;
  for (SPRITE* c : panel->altList) {
    const char* own = panel->ownItemName(c->name);
    if (own && std::strcmp(own, item) == 0) return c;
  }
  return nullptr;
}

MODULE_PANEL::MODULE_PANEL(float x0, float y0, const char* number, const char* titleFormat, ModuleRef module)
    : OBJET(x0, y0, number) {
  info_.module = module;
  info_.moduleName = module.name();
  info_.signal = module.output;
  info_.gate = module.gateOutput();
  info_.sync = module.syncOutput();
  char title[kNameSize];
  std::snprintf(title, sizeof title, titleFormat, objName);
  copyField(image, title);
}

void deleteWidgets(std::vector<SPRITE*>& list) {
  for (SPRITE* w : list) delete w;
  list.clear();
}

MODULE_PANEL::~MODULE_PANEL() {
  deleteWidgets(mainList);
  deleteWidgets(altList);
}

int MODULE_PANEL::update() {
  if (displayMode == 1) {
    beforeMessages();
    // Oldest first: post() inserts at the front.
    for (std::size_t i = queue.size(); i-- > 0;) {
      if (!queue[i].target) continue;
      if (handle(queue[i])) queue.erase(queue.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  afterMessages();
  OBJET::update();
  return 0;
}

int MODULE_PANEL::showView(int mode, std::vector<SPRITE*>& mini) {
  displayMode = mode == 4 ? 4 : 1;
  children = mode == 4 ? &altList : (mode == 2 ? &mini : &mainList);
  showCurrentList();
  return 1;
}

void MODULE_PANEL::loadLayout(std::vector<SPRITE*>& list, const char* path) {
  children = &list;
  load(path);
  if (&list == &mainList) layoutOfMain = path;
  else if (&list == &altList) layoutOfAlt = path;
  else layoutOfMini = path;
}

SPRITE* MODULE_PANEL::child(const char* item) {
  for (auto it = children->rbegin(); it != children->rend(); ++it) {
    const char* own = ownItemName((*it)->name);
    if (own && std::strcmp(own, item) == 0) return *it;
  }
  const std::string& layout = children == &mainList  ? layoutOfMain
                              : children == &altList ? layoutOfAlt
                                                     : layoutOfMini;
  if (reportedMisses().insert(layout + "|" + item).second) {
    std::printf("Panel %s: no child [%s] in layout [%s]\n", image, item, layout.c_str());
  }
  return nullptr;
}

LABEL* MODULE_PANEL::labelNamed(const char* item) { return dynamic_cast<LABEL*>(child(item)); }
BUTTON* MODULE_PANEL::buttonNamed(const char* item) { return dynamic_cast<BUTTON*>(child(item)); }
SLIDER* MODULE_PANEL::knobNamed(const char* item) { return dynamic_cast<SLIDER*>(child(item)); }

void MODULE_PANEL::setLabel(const char* item, const char* format, ...) {
  LABEL* l = labelNamed(item);
  if (!l) return;
  va_list args;
  va_start(args, format);
  std::vsnprintf(l->text, sizeof l->text, format, args);
  va_end(args);
}

const char* MODULE_PANEL::targetItem(const WIDGET_MESSAGE& m) const {
  const char* own = m.target ? ownItemName(m.target->name) : nullptr;
  return own ? own : "";
}

void MODULE_PANEL::setInList(std::vector<SPRITE*>& list, const char* item, const char* text) {
  for (SPRITE* c : list) {
    const char* own = ownItemName(c->name);
    if (own && std::strcmp(own, item) == 0) setLabelText(c, "%s", text);
  }
}
