#pragma once
// Reading widget messages the way panels act on them, and writing labels.
// GUI thread only.

#include "gui/widgets.h"

// A click: an input event whose type is mouse button up (6), for a child.
bool isClick(const WIDGET_MESSAGE& m);

// True when the message has a target whose name contains `part`.
bool targetNameHas(const WIDGET_MESSAGE& m, const char* part);

// A knob step is a text message "SLD_UP" or "SLD_DOWN" for a child whose
// name contains "SLD". The event loop sends one per pixel of vertical travel
// while a knob is held: "SLD_UP" when the pointer moved up.
enum class KnobStep { None, Up, Down };
KnobStep knobStep(const WIDGET_MESSAGE& m);

// Formats `format` into the text of `label` (a LABEL; anything else, null
// included, is left alone). The text keeps at most 799 characters.
void setLabelText(SPRITE* label, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Sets a two-state button's `state` and shows the picture of that state
// (imageOn for 1, imageOff for 0); a button changes its picture by itself
// only when it consumes a message. Null is left alone.
void setButtonState(BUTTON* button, int state);
