// Streams that really play: through SDL's disk driver into a file that is
// then measured, through the layer's NoSound puller in real time, and a
// synthesizer changed under the audio lock while its stream plays.

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "audio/audio.h"
#include "audio/load_meter.h"
#include "engine/engine.h"

namespace {

using Clock = std::chrono::steady_clock;

// A 440 Hz full-level sine into "MIXER_4", made current.
struct SinePatch {
  SinePatch() {
    osc = new VCO(1.0f, 440.0f, 1);
    mixer = new MIXER;
    mixer->setName("MIXER_4");
    mixer->addChannel(osc, -1);
    synth.oscillators.push_back(osc);
    synth.mixers.push_back(mixer);
    connectMasterInput(synth);
    currentGenerator = &synth;
    audioEnabled = 1;
  }
  ~SinePatch() {
    audioEnabled = 0;
    currentGenerator = nullptr;
    connectMasterInput(empty);
  }
  GENERATOR synth;
  GENERATOR empty;
  VCO* osc;
  MIXER* mixer;
};

std::atomic<int> minLength{1 << 30};
std::atomic<int> maxLength{0};
// When each of the first calls came; written by the playback thread only.
std::vector<Clock::time_point> callTimes(400);
std::atomic<size_t> calls{0};

// The render callback, noting the lengths it is asked for.
int measuredRender(FSOUND_STREAM* s, void* buffer, int length, void* user) {
  if (length < minLength) minLength = length;
  if (length > maxLength) maxLength = length;
  if (const size_t n = calls; n < callTimes.size()) {
    callTimes[n] = Clock::now();
    calls = n + 1;
  }
  return renderCallback(s, buffer, length, user);
}

FSOUND_STREAM* startStream(FSOUND_STREAMCALLBACK callback, int bytes = kStreamBufferBytes) {
  FSOUND_STREAM* s = FSOUND_Stream_Create(callback, bytes, kStreamMode, kMixingRate, nullptr);
  EXPECT_NE(s, nullptr) << errorText(FSOUND_GetError());
  if (s != nullptr) {
    EXPECT_EQ(FSOUND_Stream_Play(kPlayChannel, s), kPlayChannel) << errorText(FSOUND_GetError());
  }
  return s;
}

long fileSize(const char* path) { return static_cast<long>(std::ifstream(path, std::ios::ate | std::ios::binary).tellg()); }

}  // namespace

// The default buffer and a small one: the disk driver writes what the stream
// renders, in pieces of the stream's buffer.
TEST(Streams, SineThroughDiskDriverHasPitchAndLevel) {
  for (int bufferFrames : {3072, 256}) {
    char path[] = "/tmp/morvel_disk_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path, 1);
    setenv("SDL_DISKAUDIODELAY", bufferFrames > 1000 ? "15" : "2", 1);  // a few times real time

    ASSERT_EQ(FSOUND_SetOutput(kOutputDirectSound), 1);
    EXPECT_EQ(FSOUND_GetOutput(), kOutputDirectSound);  // disk has no code of its own
    EXPECT_STREQ(FSOUND_GetDriverName(0), "disk (default device)");
    ASSERT_EQ(FSOUND_SetDriver(0), 1);
    ASSERT_EQ(FSOUND_Init(kMixingRate, kSoftwareChannels, kInitFlags), 1) << errorText(FSOUND_GetError());
    minLength = 1 << 30;
    maxLength = 0;
    calls = 0;
    {
      SinePatch patch;
      FSOUND_STREAM* s = startStream(measuredRender, 4 * bufferFrames);
      const long wanted = 2L * 44100 * 4;  // two seconds of sound
      const auto deadline = Clock::now() + std::chrono::seconds(20);
      while (fileSize(path) < wanted && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(20));
      EXPECT_EQ(FSOUND_Stream_Close(s), 1);
      FSOUND_Close();
    }

    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    unlink(path);
    const size_t frames = bytes.size() / 4;
    ASSERT_GE(frames, 2u * 44100) << "the disk driver recorded too little";
    EXPECT_EQ(minLength.load(), 4 * bufferFrames);
    EXPECT_EQ(maxLength.load(), 4 * bufferFrames);
    // The device asks for one buffer at a time, each after the driver's
    // delay: a device left at the default period would take twelve small
    // buffers in one go.
    int bunched = 0;
    const size_t n = calls;
    for (size_t i = 1; i < n; ++i)
      if (callTimes[i] - callTimes[i - 1] < std::chrono::microseconds(500)) ++bunched;
    EXPECT_GT(n, 20u);
    EXPECT_LT(bunched, static_cast<int>(n) / 4) << "the device kept another period than " << bufferFrames;

    auto sample = [&](size_t i) {
      return static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) | static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
    };
    // Measure two seconds, skipping the first buffer.
    const size_t first = 3072, count = 2 * 44100 - 3072;
    int crossings = 0, peak = 0, channelMismatch = 0;
    double sumSquares = 0;
    for (size_t f = first; f < first + count; ++f) {
      const int l = sample(2 * f), r = sample(2 * f + 1);
      if (l != r) ++channelMismatch;
      if (f > first && (sample(2 * (f - 1)) < 0) != (l < 0)) ++crossings;
      peak = std::max(peak, std::abs(l));
      sumSquares += double(l) * l;
    }
    EXPECT_EQ(channelMismatch, 0);
    const double frequency = crossings / 2.0 / (count / 44100.0);
    EXPECT_NEAR(frequency, 440.0, 2.0) << bufferFrames;
    EXPECT_GE(peak, 32700);
    EXPECT_NEAR(std::sqrt(sumSquares / count), 32767 / std::sqrt(2.0), 200.0) << bufferFrames;
  }
}

namespace {
std::atomic<int> pulls{0};
std::atomic<int> pullLength{0};
Clock::time_point firstPull, lastPull;  // written by the puller only while the test waits

int countingCallback(FSOUND_STREAM*, void*, int length, void*) {
  const auto now = Clock::now();
  if (pulls == 0) firstPull = now;
  lastPull = now;
  pullLength = length;
  ++pulls;
  return 1;
}
}  // namespace

// The NoSound thread pulls one buffer per buffer's duration, whatever its size.
TEST(Streams, NoSoundPullsInRealTime) {
  for (int bufferFrames : {3072, 128}) {
    ASSERT_EQ(FSOUND_SetOutput(kOutputNoSound), 1);
    ASSERT_EQ(FSOUND_Init(kMixingRate, kSoftwareChannels, kInitFlags), 1);
    pulls = 0;
    FSOUND_STREAM* s = startStream(countingCallback, 4 * bufferFrames);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    FSOUND_Stream_Close(s);  // joins the puller: its writes are visible from here
    FSOUND_Close();

    const int n = pulls;
    ASSERT_GE(n, 2);
    EXPECT_EQ(pullLength.load(), 4 * bufferFrames);
    const double span = std::chrono::duration<double>(lastPull - firstPull).count();
    const double rate = (n - 1) * static_cast<double>(bufferFrames) / span;
    EXPECT_NEAR(rate, 44100.0, 44100.0 * 0.05) << n << " pulls of " << bufferFrames << " in " << span << " s";
  }
}

namespace {
std::atomic<int> inside{0};
std::atomic<int> renders{0};

// The render callback with a window during which a lock holder must not be
// let in.
int slowRender(FSOUND_STREAM* s, void* buffer, int length, void* user) {
  inside = 1;
  renderCallback(s, buffer, length, user);
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  inside = 0;
  ++renders;
  return 1;
}
}  // namespace

TEST(Streams, StructuralChangesUnderTheLockWhilePlaying) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  for (int output : {kOutputNoSound, kOutputDirectSound}) {
    ASSERT_EQ(FSOUND_SetOutput(output), 1);
    ASSERT_EQ(FSOUND_Init(kMixingRate, kSoftwareChannels, kInitFlags), 1) << output;
    SinePatch patch;
    renders = 0;
    FSOUND_STREAM* s = startStream(slowRender);
    int changes = 0, intruded = 0;
    const auto end = Clock::now() + std::chrono::milliseconds(600);
    while (Clock::now() < end || renders < 3) {
      {
        AudioLock outer;
        AudioLock inner;  // recursive: the same thread may nest
        if (inside) ++intruded;
        auto* extra = new VCO(0.5f, 220.0f, 1);
        patch.synth.oscillators.insert(patch.synth.oscillators.begin(), extra);
        patch.mixer->addChannel(extra, 1);
      }
      std::this_thread::sleep_for(std::chrono::microseconds(300));
      {
        AudioLock lock;
        if (inside) ++intruded;
        VCO* extra = patch.synth.oscillators.front();
        patch.synth.oscillators.erase(patch.synth.oscillators.begin());
        patch.mixer->channelCount = 1;
        delete extra;
      }
      ++changes;
      if (Clock::now() > end + std::chrono::seconds(10)) break;
    }
    FSOUND_Stream_Close(s);
    FSOUND_Close();
    EXPECT_EQ(intruded, 0) << output;
    EXPECT_GE(renders.load(), 3) << output;
    EXPECT_GT(changes, 100) << output;
  }
}

namespace {
std::atomic<int> renderCalls{0};
// Every third render takes longer than its buffer lasts (about 70 ms).
int unevenRender(FSOUND_STREAM*, void*, int, void*) {
  if (++renderCalls % 3 == 2) std::this_thread::sleep_for(std::chrono::milliseconds(90));
  return 1;
}
}  // namespace

TEST(Streams, TheLayerMeasuresEveryRenderAgainstItsBuffer) {
  ASSERT_EQ(FSOUND_SetOutput(kOutputNoSound), 1);
  ASSERT_EQ(FSOUND_Init(kMixingRate, kSoftwareChannels, kInitFlags), 1);
  resetLoadMeter();
  renderCalls = 0;
  FSOUND_STREAM* s = startStream(unevenRender);
  ASSERT_TRUE([&] {
    for (int i = 0; i < 200 && renderCalls < 6; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return renderCalls >= 6;
  }());
  FSOUND_Stream_Close(s);
  FSOUND_Close();

  const LoadReading r = loadReading();
  EXPECT_EQ(r.buffers, renderCalls.load());
  EXPECT_EQ(r.late, (renderCalls + 1) / 3);
  EXPECT_GT(r.peak, 120.0f);  // 90 ms of a 69.7 ms buffer
  // About two quick renders for each slow one.
  EXPECT_NEAR(r.average, 100.0f * 90 * r.late / (r.buffers * 69.66f), 2.0f);
}
