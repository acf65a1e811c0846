#include "engine/keyboard.h"

#include "engine/notes.h"

KEYBOARD::KEYBOARD() { name[0] = '\0'; }

void KEYBOARD::press(int semitone, int retrigger) {
  note = semitone;
  gateOn();
  if (retrigger != 0) trigger();
}

int KEYBOARD::process() {
  OUTPUT_SYNC::process();
  value = static_cast<float>(noteFrequency(octave * 12 + note));
  return 1;
}
