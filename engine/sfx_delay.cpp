#include "engine/sfx_delay.h"

SFX_DELAY::SFX_DELAY() {
  for (float& v : line) v = 0.0f;
}

int SFX_DELAY::process() {
  value = connected() ? read() : 0.0f;
  return 1;
}
