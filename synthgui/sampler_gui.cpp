#include "synthgui/sampler_gui.h"

#include <GL/gl.h>

#include <cmath>

#include "gui/ui_state.h"
#include "gui/video.h"
#include "synthgui/knob_rules.h"
#include "synthgui/sound_folder.h"

const char* playModeImage(int mode) {
  static const char* const images[] = {"SMP_PLAY_AV", "SMP_PLAY_AR", "SMP_PLAY_LOOPAV", "SMP_PLAY_LOOPAR"};
  return mode >= 0 && mode < 4 ? images[mode] : nullptr;
}

SAMPLER_GUI::SAMPLER_GUI(SAMPLER* m, float x0, float y0, const char* number)
    : MODULE_PANEL(x0, y0, number, "SAMPLER_%s", m), module(m) {

  loadLayout(miniList, "RC/SAMPLER_MINI.RC");
  loadLayout(altList, "RC/BACK_SAMPLER.RC");
  loadLayout(mainList, "RC/SAMPLER.RC");
  setLabel("LABEL_FILENAME", "%s", m->samplePath);
  setLabel("label_NAME", "%s", image);
  for (auto* list : {&miniList, &altList}) {
    setInList(*list, "label_NAME", image);
    setInList(*list, "LABEL_FILENAME", m->samplePath);
  }
  if (SPRITE* screen = child("AFFICHAGE_TYPE_LOOP")) {
    if (const char* mode = playModeImage(m->playMode)) screen->setImage(mode);
  }
  children = &miniList;
  computeSize();
}

int SAMPLER_GUI::setDisplayMode(int mode) { return showView(mode, miniList); }

void SAMPLER_GUI::showFile() {
  setLabel("LABEL_FILENAME", "%s", module->samplePath);
  for (auto* list : {&miniList, &mainList, &altList}) setInList(*list, "LABEL_FILENAME", module->samplePath);
}

void SAMPLER_GUI::stepFile(int step) {
  const std::optional<std::string> next = neighbourFile(soundFiles(kSoundFolder), module->samplePath, step);
  if (!next) return;
  // Decoded outside the sound layer's lock, swapped in under it.
  module->loadSample(next->c_str());
  module->playMode = 0;
  showFile();
  if (SPRITE* screen = child("AFFICHAGE_TYPE_LOOP")) screen->setImage(playModeImage(0));
}

bool SAMPLER_GUI::handle(const WIDGET_MESSAGE& m) {
  if (isClick(m)) {
    if (targetNameHas(m, "VIEW")) {
      children = children == &miniList ? &mainList : &miniList;
      // The panel takes the size of the view it now shows.
      computeSize();
      markChildren(1);
    }
    if (targetNameHas(m, "POWER")) {
      if (BUTTON* b = buttonNamed("POWER")) module->power = b->state;
    }
    if (targetNameHas(m, "FILE_UP")) stepFile(+1);
    if (targetNameHas(m, "FILE_DOWN")) stepFile(-1);
    if (targetNameHas(m, "AFFICHAGE_TYPE_LOOP")) {
      const int mode = module->playMode;
      module->playMode = mode >= 0 && mode < 3 ? mode + 1 : 0;
      if (SPRITE* screen = child("AFFICHAGE_TYPE_LOOP")) {
        screen->setImage(playModeImage(module->playMode));
        screen->dirty = 1;
      }
    }
    return false;
  }
  const KnobStep step = knobStep(m);
  if (step == KnobStep::None) return false;
  if (targetNameHas(m, "FREQUENCE")) {
    module->speed = speedStep(module->speed, step);
    setLabel("LABEL_FREQUENCE", "%5.3f", static_cast<double>(module->speed));
  } else if (targetNameHas(m, "VOLUME")) {
    module->volume = bandStep(module->volume, step, FineBands::Volume);
    setLabel("LABEL_VOLUME", "%5.3f", static_cast<double>(module->volume));
  } else if (targetNameHas(m, "PHASE")) {
    // A phase the sampler's step does not read: the oscillator part's.
    module->phaseOffset = phaseStep(module->phaseOffset, step);
    setLabel("LABEL_PHASE", "%d", static_cast<int>(module->phaseOffset));
    return true;
  }
  return false;
}

int SAMPLER_GUI::draw(SDL_Surface* target) {
  const int n = OBJET::draw(target);
  if (children != &miniList && displayMode == 1) drawWave();
  return n;
}

// 300 points across the screen "AFFWAVE", one per pixel, each the sample
// value at that share of the recording, +-29 pixels about the screen's
// middle line.
void SAMPLER_GUI::drawWave() {
  SPRITE* screen = child("AFFWAVE");
  if (!screen || !glReady()) return;
  const long frames = module->frameCount;
  // The panel's whole-pixel place, where its pictures are drawn.
  const int left = static_cast<int>(std::ceil(x)) + static_cast<int>(screen->x) - scrollOffset.x;
  const int middle =
      static_cast<int>(screen->h / 2 + screen->y) + static_cast<int>(std::ceil(y)) - scrollOffset.y;
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glColor3f(1, 1, 1);
  glBegin(GL_LINE_STRIP);
  for (int i = 0; i < 300; ++i) {
    const int s = module->sampleAt(i * frames * 2 / 300);
    glVertex2i(left + i, middle + (127 - s) / 280 / 4);
  }
  glEnd();
  glPopAttrib();
}
