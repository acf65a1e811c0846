#include "patch/render.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio/render.h"
#include "audio/sound_setup.h"
#include "engine/generator.h"
#include "engine/random.h"

namespace {

unsigned heldSeed = 1;
void reseedWithHeldSeed() { seedRandom(heldSeed); }

long frameAt(double seconds) { return std::lround(seconds * kMixingRate); }

struct KeyEvent {
  long frame;
  KEYBOARD* keyboard;
  int note;
  bool press;
};

}  // namespace

void holdRandomSeed(unsigned seed) {
  heldSeed = seed;
  setReseedHook(reseedWithHeldSeed);
  seedRandom(seed);
}

bool renderFrames(GENERATOR& synth, long frames, const std::vector<KeyPress>& presses, const RenderSink& sink) {
  std::vector<KeyEvent> events;
  for (const KeyPress& p : presses) {
    KEYBOARD* keyboard = synth.findKeyboard(p.keyboard.c_str());
    if (keyboard == nullptr) {
      std::printf("No keyboard [%s] to press\n", p.keyboard.c_str());
      return false;
    }
    events.push_back({frameAt(p.time), keyboard, p.note, true});
    events.push_back({frameAt(p.time + p.duration), keyboard, p.note, false});
  }
  // Releases before presses on the same frame, so that a note that follows
  // another at once opens the gate again.
  std::stable_sort(events.begin(), events.end(), [](const KeyEvent& a, const KeyEvent& b) {
    return a.frame != b.frame ? a.frame < b.frame : (!a.press && b.press);
  });

  GENERATOR* const previousSynth = currentGenerator;
  currentGenerator = &synth;
  connectMasterInput(synth);
  const int previous = audioEnabled;
  audioEnabled = 1;

  constexpr long kBufferFrames = kStreamBufferBytes / 4;
  std::vector<int16_t> buffer(kStreamBufferBytes / sizeof(int16_t));
  size_t next = 0;
  bool taken = true;
  for (long done = 0; taken && done < frames;) {
    const long end = std::min(done + kBufferFrames, frames);
    for (long pos = done; pos < end;) {
      for (; next < events.size() && events[next].frame <= pos; ++next) {
        const KeyEvent& e = events[next];
        if (e.press) {
          e.keyboard->press(e.note, 1);
        } else {
          e.keyboard->gateOff();
        }
      }
      const long until = next < events.size() ? std::min(end, events[next].frame) : end;
      renderCallback(nullptr, buffer.data() + 2 * (pos - done), static_cast<int>(4 * (until - pos)), nullptr);
      pos = until;
    }
    taken = sink(buffer.data(), end - done);
    done = end;
  }
  audioEnabled = previous;
  currentGenerator = previousSynth;
  return taken;
}

bool renderFrames(GENERATOR& synth, long frames, const std::vector<KeyPress>& presses, std::vector<int16_t>& out) {
  out.reserve(out.size() + static_cast<size_t>(frames) * 2);
  return renderFrames(synth, frames, presses, [&out](const int16_t* samples, long count) {
    out.insert(out.end(), samples, samples + 2 * count);
    return true;
  });
}
