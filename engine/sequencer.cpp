#include "engine/sequencer.h"

#include <atomic>

#include "engine/notes.h"
#include "engine/random.h"
#include "engine/spsc_ring.h"

namespace {

constexpr float kRate = 44100.0f;

// A step event as the audio thread hands it over.
struct StepEvent {
  SEQUENCER* source;
  char text[SEQUENCER::kEventTextSize];
};

// A few seconds of steps of many sequencers: the main thread drains it every
// frame.
SpscRing<StepEvent, 256> stepEvents;
std::atomic<StepEventSink> stepEventSink{nullptr};
std::atomic<long> droppedEvents{0};

}  // namespace

void dropStepEvents() {
  StepEvent event;
  while (stepEvents.pop(event)) {
  }
}

void setStepEventSink(StepEventSink sink) {
  stepEventSink.store(sink);
  dropStepEvents();
}

int dispatchStepEvents() {
  int count = 0;
  StepEvent event;
  while (stepEvents.pop(event)) {
    StepEventSink sink = stepEventSink.load();
    if (sink != nullptr) sink(event.text, event.source);
    ++count;
  }
  return count;
}

long droppedStepEvents() { return droppedEvents.load(std::memory_order_relaxed); }

SEQUENCER::SEQUENCER() {
  name[0] = '\0';
  reseedRandomFromClock();
  for (int r = 0; r < kRows; ++r) {
    for (int s = 0; s < kSteps; ++s) {
      // The grid starts at the defaults whatever is drawn here; the draws keep
      // the shared generator's sequence as every new sequencer leaves it.
      randomInt();
      stepLength[r][s] = 1.0f;
      stepBypass[r][s] = 0;
      stepNote[r][s] = 10;
      stepOctave[r][s] = 3;
      stepVolume[r][s] = 1.0f;
    }
  }
}

// Audio thread: the text is copied by hand into the record, no formatting
// call, no allocation.
void SEQUENCER::postStepEvent() {
  if (stepEventSink.load(std::memory_order_relaxed) == nullptr) return;
  StepEvent event;
  event.source = this;
  static constexpr char kPrefix[] = "SEQ_TRIG_";
  int n = 0;
  for (; kPrefix[n] != '\0'; ++n) event.text[n] = kPrefix[n];
  for (int i = 0; i < 70 && name[i] != '\0'; ++i) event.text[n++] = name[i];
  event.text[n] = '\0';
  if (!stepEvents.push(event)) droppedEvents.fetch_add(1, std::memory_order_relaxed);
}

int SEQUENCER::process() {
  if (step >= stepCount) {
    if (pendingPattern != pattern) pattern = pendingPattern.load();
    if (pendingDivider != divider) divider = pendingDivider.load();
    if (pattern > 31) pattern = 0;
    step = 0;
  }

  sampleClock += 1.0f;

  if (const Shared<int>* restart = syncSource; restart != nullptr && *restart != 0) {
    sampleClock = 0.0f;
    step = 0;
  }

  // Grid reads are held inside the grid whatever a panel or a remote edit
  // left in `pattern` and `step`.
  const int row = pattern < 0 ? 0 : (pattern >= kRows ? kRows - 1 : pattern.load());
  const int cur = step < 0 ? 0 : (step >= kSteps ? kSteps - 1 : step.load());
  const float div = divider;

  float length = stepLength[row][cur] * kRate / div;
  if (length < 0.0625f) length = 0.0f;

  if (noteSounding == 1 && length - 1.0f <= sampleClock) {
    noteSounding = 0;
    gateOff();
  }

  float duration = kRate / div;
  if (length > 44100.0f) duration += length;

  if (sampleClock < duration) return 1;

  sampleClock = 0.0f;
  const int index = stepOctave[row][cur] * 12 + stepNote[row][cur];
  if (index == 0) {
    value = 0.0f;
    return 1;
  }

  postStepEvent();
  noteSounding = 1;

  if (stepVolume[row][cur] == 1.0f) {
    if (stepBypass[row][cur] == 0 && noteEnabled != 0) {
      gateOn();
      value = static_cast<float>(noteFrequency(index));
    } else {
      value = 0.0f;
    }
  }

  step = step + 1;
  return 1;
}
