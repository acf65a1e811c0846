#include "gui/messages.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

bool isClick(const WIDGET_MESSAGE& m) { return m.hasEvent && m.target && m.event.type == kMouseUpType; }

bool targetNameHas(const WIDGET_MESSAGE& m, const char* part) {
  return m.target && std::strstr(m.target->name, part) != nullptr;
}

KnobStep knobStep(const WIDGET_MESSAGE& m) {
  if (m.hasEvent || !targetNameHas(m, "SLD")) return KnobStep::None;
  if (std::strcmp(m.text, "SLD_UP") == 0) return KnobStep::Up;
  if (std::strcmp(m.text, "SLD_DOWN") == 0) return KnobStep::Down;
  return KnobStep::None;
}

void setLabelText(SPRITE* label, const char* format, ...) {
  auto* l = dynamic_cast<LABEL*>(label);
  if (!l) return;
  va_list args;
  va_start(args, format);
  std::vsnprintf(l->text, sizeof l->text, format, args);
  va_end(args);
}

void setButtonState(BUTTON* b, int state) {
  if (!b) return;
  b->state = state;
  b->setImage(state == 1 ? b->imageOn : b->imageOff);
}
