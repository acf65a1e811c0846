// The render callback: pausing, the 16-bit conversion, both channels, and the
// output-trace hook and its hand-over to the GUI thread. The master value comes from a source bound straight to
// the master input, so each case sets exactly the value it converts.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "audio/audio.h"
#include "audio/scope_feed.h"
#include "engine/engine.h"

namespace {

struct Fixed : OUTPUT {
  int process() override { return 1; }
};

// A synthesizer whose master value is `source`, plus one oscillator to show
// whether the callback stepped anything.
class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    osc = new VCO(1.0f, 440.0f, 1);
    synth.oscillators.push_back(osc);
    connectMasterInput(synth);  // creates the master input
    masterInput->connect(&source);
    currentGenerator = &synth;
    audioEnabled = 1;
  }
  void TearDown() override {
    audioEnabled = 0;
    scopeEnabled = 0;
    setScopeHook(nullptr);
    currentGenerator = nullptr;
    masterInput->connect(nullptr);
  }
  static int16_t left(const std::vector<unsigned char>& b, int frame) {
    return static_cast<int16_t>(b[4 * frame] | b[4 * frame + 1] << 8);
  }
  static int16_t right(const std::vector<unsigned char>& b, int frame) {
    return static_cast<int16_t>(b[4 * frame + 2] | b[4 * frame + 3] << 8);
  }

  GENERATOR synth;
  VCO* osc = nullptr;
  Fixed source;
};

std::vector<float> hookValues;
std::vector<int> hookCounts;
void recordHook(float v, int n) {
  hookValues.push_back(v);
  hookCounts.push_back(n);
}

}  // namespace

TEST_F(RenderTest, PausedLeavesBufferUntouchedAndStepsNothing) {
  audioEnabled = 0;
  source.value = 0.5f;
  std::vector<unsigned char> buffer(kStreamBufferBytes, 0xAB);
  EXPECT_EQ(renderCallback(nullptr, buffer.data(), kStreamBufferBytes, nullptr), 1);
  EXPECT_EQ(buffer, std::vector<unsigned char>(kStreamBufferBytes, 0xAB));
  EXPECT_EQ(osc->value.load(), 0.0f);
}

TEST_F(RenderTest, ConversionSaturatesTruncatesAndZeroesNaN) {
  struct Case {
    float v;
    int16_t expected;
  };
  const float inf = std::numeric_limits<float>::infinity();
  const Case cases[] = {{1.0f, 32767}, {-1.0f, -32767}, {0.99999f, 32766}, {-0.99999f, -32766},
                        {1.5f, 32767}, {-1.5f, -32767}, {1e30f, 32767},    {-inf, -32767},
                        {0.5f, 16383}, {0.0f, 0},       {std::nanf(""), 0}};
  for (const Case& c : cases) {
    source.value = c.v;
    std::vector<unsigned char> buffer(kStreamBufferBytes, 0xAB);
    EXPECT_EQ(renderCallback(nullptr, buffer.data(), kStreamBufferBytes, nullptr), 1);
    for (int f : {0, 1500, 3071}) {
      EXPECT_EQ(left(buffer, f), c.expected) << "v=" << c.v << " frame " << f;
      EXPECT_EQ(right(buffer, f), c.expected) << "v=" << c.v << " frame " << f;
    }
  }
}

TEST_F(RenderTest, StepsOncePerWholeFrameAndSilenceWithoutSynth) {
  // Ten bytes: two frames; the two bytes of the partial frame stay.
  source.value = -1.0f;
  std::vector<unsigned char> buffer(10, 0xAB);
  renderCallback(nullptr, buffer.data(), 10, nullptr);
  EXPECT_EQ(left(buffer, 1), -32767);
  EXPECT_EQ(buffer[8], 0xAB);
  EXPECT_EQ(buffer[9], 0xAB);
  VCO reference(1.0f, 440.0f, 1);
  reference.phaseOffset = osc->phaseOffset.load();  // oscillators start at a random phase
  reference.process();
  reference.process();
  EXPECT_NE(reference.value.load(), 0.0f);
  EXPECT_EQ(osc->value.load(), reference.value.load());

  currentGenerator = nullptr;
  buffer.assign(kStreamBufferBytes, 0xAB);
  renderCallback(nullptr, buffer.data(), kStreamBufferBytes, nullptr);
  EXPECT_EQ(buffer, std::vector<unsigned char>(kStreamBufferBytes, 0));
}

TEST_F(RenderTest, ScopeHookGetsEveryMasterValueOnlyWhileEnabled) {
  hookValues.clear();
  hookCounts.clear();
  setScopeHook(recordHook);
  source.value = 1.5f;  // the master value, not the clipped sample, is handed over
  std::vector<unsigned char> buffer(kStreamBufferBytes);
  renderCallback(nullptr, buffer.data(), kStreamBufferBytes, nullptr);
  EXPECT_TRUE(hookValues.empty()) << "scope off";
  scopeEnabled = 1;
  renderCallback(nullptr, buffer.data(), kStreamBufferBytes, nullptr);
  ASSERT_EQ(hookValues.size(), 3072u);
  EXPECT_EQ(hookValues.back(), 1.5f);
  EXPECT_EQ(hookCounts.back(), 3072);
}

TEST_F(RenderTest, ScopeFeedHandsTheFramesOverWithoutWaiting) {
  startScopeFeed();
  source.value = 0.25f;
  std::vector<unsigned char> buffer(kStreamBufferBytes);
  std::vector<ScopeFrame> taken(kScopeFeedCapacity + 1);
  renderCallback(nullptr, buffer.data(), kStreamBufferBytes, nullptr);
  EXPECT_EQ(takeScopeFrames(taken.data(), taken.size()), 0u) << "trace off";

  // Twelve buffers overfill the ring: what does not fit is dropped and
  // counted, the render goes on.
  scopeEnabled = 1;
  const long dropped = droppedScopeFrames();
  for (int i = 0; i < 12; ++i) renderCallback(nullptr, buffer.data(), kStreamBufferBytes, nullptr);
  const std::size_t n = takeScopeFrames(taken.data(), taken.size());
  EXPECT_EQ(n, kScopeFeedCapacity);
  EXPECT_EQ(droppedScopeFrames() - dropped, 12L * 3072 - static_cast<long>(kScopeFeedCapacity));
  EXPECT_EQ(taken[n - 1].value, 0.25f);
  EXPECT_EQ(taken[n - 1].frames, 3072);
  stopScopeFeed();
  renderCallback(nullptr, buffer.data(), kStreamBufferBytes, nullptr);
  EXPECT_EQ(takeScopeFrames(taken.data(), taken.size()), 0u) << "feed stopped";
}
