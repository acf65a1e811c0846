#include "remote/buttons.h"

#include <cstdio>
#include <vector>

#include "engine/generator.h"

Shared<int> buttonWord{0};
RemoteButtonState remoteButtons;

void resetRemoteButtons() {
  RemoteButtonState& s = remoteButtons;
  s.f1Step = s.f2Step = 0.0f;
  s.f3Count = s.f4Count = 0.0f;
  for (bool& held : s.fHeld) held = false;
  s.index[kKindOscillator] = 0;
  s.index[kKindAmplifier] = 0;
  buttonWord = 0;
}

namespace {

// The module at the selected index of `list`, or null for an empty list. An
// index left beyond the list (a reload shortened it) wraps to the first module.
template <typename Module>
Module* selected(const std::vector<Module*>& list, int& index) {
  if (list.empty()) return nullptr;
  if (index < 0 || static_cast<size_t>(index) >= list.size()) index = 0;
  return list[static_cast<size_t>(index)];
}

size_t listLength(const GENERATOR& synth, int kind) {
  switch (kind) {
    case kKindOscillator: return synth.oscillators.size();
    case kKindAmplifier: return synth.amplifiers.size();
    case kKindSequencer: return synth.sequencers.size();
    case kKindFilter: return synth.filters.size();
    case kKindSampler: return synth.samplers.size();
  }
  return 0;
}

// The ranges a held button keeps a value in: those the panels allow (the
// frequency floor and the band rule's top, the volume ends, the cut-off the
// knob reaches, the Q floor, notes 0 to 12), and for values no panel bounds
// (the filter gain, the divider) ones that keep the sound finite. A value
// already outside its range (a patch may set one) is not moved by a button
// that would take it further out.
constexpr float kFrequencyFloor = 0.001f;
constexpr float kBandTop = 22050.0f;  // the band rule never steps from here on
constexpr float kEnvelopeTop = 100000.0f;
constexpr int kCutoffTop = 12000;
constexpr float kQFloor = 0.001f;
constexpr float kGainFloorDb = -96.0f;  // the 16-bit output's whole range
constexpr float kDividerFloor = 1.0f / 1024.0f;
constexpr float kDividerTop = 44100.0f;  // a step per frame
constexpr int kNoteTop = 12;

template <typename T>
T raised(T v, T step, T top) {
  if (!(v < top)) return v;
  return v + step < top ? v + step : top;
}

template <typename T>
T lowered(T v, T step, T floor) {
  if (!(v > floor)) return v;
  return v - step > floor ? v - step : floor;
}

// The F1/F2 sweep grows x1.5 per held call: past the whole band range it
// would only head for infinity.
float grownStep(float step) { return step * 1.5f < kBandTop ? step * 1.5f : kBandTop; }

// An envelope time changes by a step sized by the band it is in: 1 below 10 ms,
// 10 below 100 ms, 100 below 100 s, nothing from there on.
float bandStep(float ms) {
  if (ms < 10.0f) return 1.0f;
  if (ms < 100.0f) return 10.0f;
  if (ms < 100000.0f) return 100.0f;
  return 0.0f;
}

Shared<float>* envelopeTime(VCA& vca, int param) {
  switch (param) {
    case 0: return &vca.attackTime;
    case 1: return &vca.decayTime;
    case 3: return &vca.releaseTime;
  }
  return nullptr;
}

int wrap(int v, int lo, int hi) {
  if (v < lo) return hi;
  if (v > hi) return lo;
  return v;
}

// The step count of a sequencer as the cursor sees it: within 1..64 whatever
// the field holds, so the cursor always addresses a cell of the grid.
int cursorSteps(const SEQUENCER& seq) {
  int n = seq.stepCount;
  if (n < 1) n = 1;
  if (n > SEQUENCER::kSteps) n = SEQUENCER::kSteps;
  return n;
}

// Moves the note of the cell under the cursor in the sequencer's current
// pattern one semitone, within 0 to 12 as the sequencer panel keeps it;
// nothing when the pattern or cursor lies outside the grid.
void nudgeNote(SEQUENCER& seq, int cursor, int delta) {
  const int row = seq.pattern;
  if (row < 0 || row >= SEQUENCER::kRows || cursor < 0 || cursor >= SEQUENCER::kSteps) return;
  Shared<int>& note = seq.stepNote[row][cursor];
  note = delta > 0 ? raised(note.load(), delta, kNoteTop) : lowered(note.load(), -delta, 0);
}

// The repeat rule of the four selection buttons: after `rest` calls the next
// press acts at once, then every (rest + 1)th call while held.
bool repeatFires(int& counter, int rest, bool held) {
  if (counter == rest) {
    if (held) {
      counter = 0;
      return true;
    }
    return false;
  }
  ++counter;
  return false;
}

void pressF1(GENERATOR& g, RemoteButtonState& s) {
  std::printf("F1 [%f]\n", s.f1Step);
  switch (s.kind) {
    case kKindOscillator:
      if (VCO* vco = selected(g.oscillators, s.index[s.kind]))
        vco->frequency = raised(vco->frequency.load(), s.f1Step, kBandTop);
      break;
    case kKindAmplifier:
      if (selected(g.amplifiers, s.index[s.kind])) s.amplifierParam = wrap(s.amplifierParam - 1, 0, 3);
      break;
    case kKindSequencer:
      if (SEQUENCER* seq = selected(g.sequencers, s.index[s.kind])) nudgeNote(*seq, s.cursor, -1);
      break;
    case kKindFilter:
      if (selected(g.filters, s.index[s.kind])) s.filterParam = wrap(s.filterParam - 1, 0, 4);
      break;
  }
  s.f1Step = grownStep(s.f1Step);
}

void pressF2(GENERATOR& g, RemoteButtonState& s) {
  std::printf("F2 [%f]\n", s.f2Step);
  switch (s.kind) {
    case kKindOscillator:
      if (VCO* vco = selected(g.oscillators, s.index[s.kind]))
        vco->frequency = lowered(vco->frequency.load(), s.f2Step, kFrequencyFloor);
      break;
    case kKindAmplifier:
      if (selected(g.amplifiers, s.index[s.kind])) s.amplifierParam = wrap(s.amplifierParam + 1, 0, 3);
      break;
    case kKindSequencer:
      if (SEQUENCER* seq = selected(g.sequencers, s.index[s.kind])) nudgeNote(*seq, s.cursor, +1);
      break;
    case kKindFilter:
      if (selected(g.filters, s.index[s.kind])) s.filterParam = wrap(s.filterParam + 1, 0, 4);
      break;
  }
  s.f2Step = grownStep(s.f2Step);
}

void pressF3(GENERATOR& g, RemoteButtonState& s) {
  std::printf("F3 [%f]\n", s.f3Count);
  switch (s.kind) {
    case kKindOscillator:
      if (VCO* vco = selected(g.oscillators, s.index[s.kind]))
        vco->amplitude = raised(vco->amplitude.load(), 0.01f, kBandTop);
      break;
    case kKindAmplifier:
      if (VCA* vca = selected(g.amplifiers, s.index[s.kind])) {
        if (Shared<float>* t = envelopeTime(*vca, s.amplifierParam)) {
          *t = raised(t->load(), bandStep(*t), kEnvelopeTop);
        } else if (s.amplifierParam == 2) {
          vca->sustainLevel = 1.0f;
        }
      }
      break;
    case kKindSequencer:
      if (SEQUENCER* seq = selected(g.sequencers, s.index[s.kind])) {
        if (--s.cursor < 0) s.cursor = cursorSteps(*seq) - 1;
      }
      break;
    case kKindFilter:
      if (PCF* pcf = selected(g.filters, s.index[s.kind])) {
        if (s.filterParam == 0) pcf->cutoff = raised(pcf->cutoff.load(), 100, kCutoffTop);
        if (s.filterParam == 1) pcf->q = lowered(pcf->q.load(), 0.5f, kQFloor);
        if (s.filterParam == 2) pcf->gainDb = lowered(pcf->gainDb.load(), 0.5f, kGainFloorDb);
      }
      break;
  }
  s.f3Count += 1.0f;
}

void pressF4(GENERATOR& g, RemoteButtonState& s) {
  std::printf("F4 [%f]\n", s.f4Count);
  switch (s.kind) {
    case kKindOscillator:
      if (VCO* vco = selected(g.oscillators, s.index[s.kind]))
        vco->amplitude = lowered(vco->amplitude.load(), 0.01f, 0.0f);
      break;
    case kKindAmplifier:
      if (VCA* vca = selected(g.amplifiers, s.index[s.kind])) {
        if (Shared<float>* t = envelopeTime(*vca, s.amplifierParam)) {
          *t = lowered(t->load(), bandStep(*t), 0.0f);
        } else if (s.amplifierParam == 2) {
          vca->sustainLevel = 0.0f;
        }
      }
      break;
    case kKindSequencer:
      if (SEQUENCER* seq = selected(g.sequencers, s.index[s.kind])) {
        if (++s.cursor >= cursorSteps(*seq)) s.cursor = 0;
      }
      break;
  }
  s.f4Count += 1.0f;
}

// Up (+1) and down (-1): the waveform number, given to the selected
// oscillator; a sequencer's divider in effect doubles or halves.
void pressUpDown(GENERATOR& g, RemoteButtonState& s, int direction) {
  if (direction > 0) {
    if (++s.waveform >= 6) s.waveform = 1;
  } else {
    if (--s.waveform < 0) s.waveform = 5;
  }
  if (s.kind == kKindOscillator) {
    if (VCO* vco = selected(g.oscillators, s.index[s.kind])) vco->waveType = s.waveform;
  } else if (s.kind == kKindSequencer) {
    if (SEQUENCER* seq = selected(g.sequencers, s.index[s.kind])) {
      const float divider = seq->divider;
      if (direction > 0) {
        seq->divider = raised(divider, divider, kDividerTop);
      } else {
        seq->divider = lowered(divider, divider / 2.0f, kDividerFloor);
      }
    }
  }
}

}  // namespace

int pollButtons() {
  static GENERATOR empty;
  GENERATOR& g = currentGenerator != nullptr ? *currentGenerator : empty;
  RemoteButtonState& s = remoteButtons;
  const int word = buttonWord;
  const bool held[8] = {(word & kButtonF1) != 0,         (word & kButtonF2) != 0,
                        (word & kButtonF3) != 0,         (word & kButtonF4) != 0,
                        (word & kButtonNextModule) != 0, (word & kButtonNextKind) != 0,
                        (word & kButtonUp) != 0,         (word & kButtonDown) != 0};
  if (s.kind < 0 || s.kind >= kKindCount) s.kind = kKindOscillator;

  if (!held[0]) s.f1Step = 0.01f;
  if (!held[1]) s.f2Step = 0.01f;
  if (!held[2]) s.f3Count = 0.01f;
  if (!held[3]) s.f4Count = 0.01f;

  bool acted = false;
  if (repeatFires(s.repeat[0], 6, held[4])) {
    acted = true;
    const size_t length = listLength(g, s.kind);
    if (length > 0) {
      int& index = s.index[s.kind];
      // From an index left beyond a shortened list this lands on the first.
      if (index < 0 || static_cast<size_t>(++index) >= length) index = 0;
    }
  }
  if (repeatFires(s.repeat[1], 6, held[5])) {
    acted = true;
    if (++s.kind >= kKindCount) s.kind = kKindOscillator;
  }
  if (repeatFires(s.repeat[2], 12, held[6])) {
    acted = true;
    pressUpDown(g, s, +1);
  }
  if (repeatFires(s.repeat[3], 12, held[7])) {
    acted = true;
    pressUpDown(g, s, -1);
  }

  if (held[0]) pressF1(g, s);
  if (held[1]) pressF2(g, s);
  if (held[2]) pressF3(g, s);
  if (held[3]) pressF4(g, s);
  for (int i = 0; i < 4; ++i) {
    s.fHeld[i] = held[i];
    acted = acted || held[i];
  }
  return acted ? 1 : 0;
}
