// The audio thread steps a patch while another thread writes parameters,
// presses keys and rebinds inputs, as panels and the remote box do. Run under
// ThreadSanitizer: every shared field must be one atomic word.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "engine/engine.h"
#include "engine/spsc_ring.h"

namespace {

TEST(Threads, SteppingWhileParametersChange) {
  fillNoteTable();
  GENERATOR g;
  auto* key = new KEYBOARD;
  key->setName("KEY_1");
  auto* seq = new SEQUENCER;
  auto* osc = new VCO(1.0f, 44.0f, 3);
  auto* lfo = new VCO(0.5f, 3.0f, 1);
  auto* vca = new VCA;
  auto* pcf = new PCF;
  auto* mix = new MIXER;
  mix->setName("MIXER_4");
  osc->connect(key);
  vca->connect(osc);
  vca->connectGate(key);
  pcf->connect(vca);
  pcf->bypass = 0;
  mix->addChannel(pcf, -1);
  g.keyboards.push_back(key);
  g.sequencers.push_back(seq);
  g.oscillators.push_back(osc);
  g.oscillators.push_back(lfo);
  g.amplifiers.push_back(vca);
  g.filters.push_back(pcf);
  g.mixers.push_back(mix);
  connectMasterInput(g);

  INPUT* fm = new INPUT;
  fm->connect(lfo);
  INPUT* other = new INPUT;
  other->connect(seq);

  std::atomic<bool> stop{false};
  std::atomic<long> frames{0};
  std::thread audio([&] {
    while (!stop.load()) {
      const float v = stepFrame(g);
      EXPECT_TRUE(std::isfinite(v));
      frames.fetch_add(1, std::memory_order_relaxed);
    }
  });

  while (frames.load() == 0) std::this_thread::yield();
  for (int i = 0; i < 20000; ++i) {
    osc->frequency = 44.0f + (i % 100);
    osc->waveType = 1 + i % 6;
    vca->attackTime = static_cast<float>(1 + i % 50);
    pcf->cutoff = 200 + i % 2000;
    pcf->filterType = i % 8;
    mix->channelGain[0] = (i % 10) / 10.0f;
    seq->stepNote[0][i % 32] = i % 12;
    seq->pendingDivider = 2.0f + i % 4;
    if (i % 3 == 0) key->press(i % 12, 1);
    if (i % 7 == 0) key->gateOff();
    osc->modFreq = (i % 2) ? fm : nullptr;
    pcf->modFreq = (i % 5) ? fm : other;
    vca->connect((i % 4) ? static_cast<OUTPUT*>(osc) : static_cast<OUTPUT*>(lfo));
    vca->connectGate((i % 6) ? static_cast<OUTPUT_GATE*>(key) : static_cast<OUTPUT_GATE*>(seq));
    if (i % 1000 == 0) std::this_thread::yield();
  }
  stop = true;
  audio.join();
  EXPECT_GT(frames.load(), 0);
}

// One thread pushes numbered records, another pops them: every record
// arrives once, whole and in order, through a ring much smaller than the run.
TEST(Threads, RingHandsRecordsOverInOrder) {
  struct Record {
    long number;
    long check;
  };
  static SpscRing<Record, 16> ring;
  constexpr long kCount = 200000;
  std::thread producer([] {
    for (long i = 0; i < kCount;) {
      if (ring.push({i, ~i})) ++i;
    }
  });
  long expected = 0;
  Record r{};
  while (expected < kCount) {
    if (!ring.pop(r)) continue;
    ASSERT_EQ(r.number, expected);
    ASSERT_EQ(r.check, ~expected);
    ++expected;
  }
  producer.join();
  EXPECT_FALSE(ring.pop(r));
}

}  // namespace
