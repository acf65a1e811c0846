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

// Adds `delta` to the note of the cell under the cursor in the sequencer's
// current pattern; nothing when the pattern or cursor lies outside the grid.
void nudgeNote(SEQUENCER& seq, int cursor, int delta) {
  const int row = seq.pattern;
  if (row < 0 || row >= SEQUENCER::kRows || cursor < 0 || cursor >= SEQUENCER::kSteps) return;
  seq.stepNote[row][cursor] += delta;
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
      if (VCO* vco = selected(g.oscillators, s.index[s.kind])) vco->frequency += s.f1Step;
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
  s.f1Step *= 1.5f;
}

void pressF2(GENERATOR& g, RemoteButtonState& s) {
  std::printf("F2 [%f]\n", s.f2Step);
  switch (s.kind) {
    case kKindOscillator:
      if (VCO* vco = selected(g.oscillators, s.index[s.kind])) vco->frequency -= s.f2Step;
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
  s.f2Step *= 1.5f;
}

void pressF3(GENERATOR& g, RemoteButtonState& s) {
  std::printf("F3 [%f]\n", s.f3Count);
  switch (s.kind) {
    case kKindOscillator:
      if (VCO* vco = selected(g.oscillators, s.index[s.kind])) vco->amplitude += 0.01f;
      break;
    case kKindAmplifier:
      if (VCA* vca = selected(g.amplifiers, s.index[s.kind])) {
        if (Shared<float>* t = envelopeTime(*vca, s.amplifierParam)) {
          *t += bandStep(*t);
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
        if (s.filterParam == 0) pcf->cutoff += 100;
        if (s.filterParam == 1) pcf->q -= 0.5f;
        if (s.filterParam == 2) pcf->gainDb -= 0.5f;
      }
      break;
  }
  s.f3Count += 1.0f;
}

void pressF4(GENERATOR& g, RemoteButtonState& s) {
  std::printf("F4 [%f]\n", s.f4Count);
  switch (s.kind) {
    case kKindOscillator:
      if (VCO* vco = selected(g.oscillators, s.index[s.kind])) vco->amplitude -= 0.01f;
      break;
    case kKindAmplifier:
      if (VCA* vca = selected(g.amplifiers, s.index[s.kind])) {
        if (Shared<float>* t = envelopeTime(*vca, s.amplifierParam)) {
          *t -= bandStep(*t);
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
      if (direction > 0) {
        seq->divider *= 2.0f;
      } else {
        seq->divider /= 2.0f;
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
