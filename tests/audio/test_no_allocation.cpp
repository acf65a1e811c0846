// The render callback never allocates, frees or prints, whatever the patch
// does: every module kind plays, sequencers post step events to an installed
// receiver, a filter's cut-off moves every frame. The allocator of this test
// program counts what happens while a callback runs on a thread: operator
// new and delete always, and in builds without a sanitizer (which brings its
// own allocator) malloc, calloc, realloc and free too.

#include <sndfile.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "audio/audio.h"
#include "engine/engine.h"
#include "support/files.h"

namespace {

thread_local bool counting = false;  // set on the thread whose callback runs
std::atomic<long> allocations{0};

void* countedMalloc(std::size_t n);
void countedFree(void* p);

}  // namespace

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define MORVEL_COUNTS_MALLOC 1
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void __libc_free(void*);

void* malloc(std::size_t n) {
  if (counting) allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(n);
}
void* calloc(std::size_t n, std::size_t size) {
  if (counting) allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t n) {
  if (counting) allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_realloc(p, n);
}
void free(void* p) {
  if (counting && p != nullptr) allocations.fetch_add(1, std::memory_order_relaxed);
  __libc_free(p);
}
}
#else
#define MORVEL_COUNTS_MALLOC 0
#endif

namespace {
void* countedMalloc(std::size_t n) {
  if (counting) allocations.fetch_add(1, std::memory_order_relaxed);
  void* p = std::malloc(n != 0 ? n : 1);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void countedFree(void* p) {
  if (counting && p != nullptr) allocations.fetch_add(1, std::memory_order_relaxed);
  std::free(p);
}
}  // namespace

void* operator new(std::size_t n) { return countedMalloc(n); }
void* operator new[](std::size_t n) { return countedMalloc(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return countedMalloc(n);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void operator delete(void* p) noexcept { countedFree(p); }
void operator delete[](void* p) noexcept { countedFree(p); }
void operator delete(void* p, std::size_t) noexcept { countedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { countedFree(p); }

namespace {

// Counts on this thread while alive.
struct Counting {
  Counting() { counting = true; }
  ~Counting() { counting = false; }
};

int countedRender(FSOUND_STREAM* s, void* buffer, int length, void* user) {
  Counting c;
  return renderCallback(s, buffer, length, user);
}

int stepEventsSeen = 0;
void countStepEvent(const char*, SEQUENCER*) { ++stepEventsSeen; }

// Every module kind, wired as patches wire them, made current.
struct EveryKind {
  explicit EveryKind(const std::string& wav) {
    fillNoteTable();
    auto* seq = new SEQUENCER;
    seq->setName("SEQUENCER_1");
    seq->divider = seq->pendingDivider = 20.0f;
    seq->stepCount = 8;
    auto* key = new KEYBOARD;
    key->press(10, 1);
    auto* master = new MIXER;
    master->setName("MIXER_4");
    auto* lfo = new VCO(0.8f, 3.0f, 1);
    auto* sweep = new INPUT;
    sweep->connect(lfo);
    for (int wave = 1; wave <= 6; ++wave) {
      auto* osc = new VCO(0.3f, 88.0f, wave);
      osc->connect(wave % 2 ? static_cast<OUTPUT*>(seq) : static_cast<OUTPUT*>(key));
      osc->modFreq = sweep;
      auto* vca = new VCA;
      vca->attackTime = 5.0f;
      vca->connect(osc);
      vca->connectGate(seq);
      auto* pcf = new PCF;
      pcf->bypass = 0;
      pcf->filterType = wave;
      pcf->connect(vca);
      pcf->modFreq = sweep;  // new coefficients every frame
      master->addChannel(pcf, -1);
      synth.oscillators.push_back(osc);
      synth.amplifiers.push_back(vca);
      synth.filters.push_back(pcf);
    }
    ::testing::internal::CaptureStdout();
    auto* sampler = new SAMPLER;
    sampler->loadSample(wav.c_str());
    ::testing::internal::GetCapturedStdout();
    sampler->connect(seq);
    sampler->connectGate(seq);
    sampler->playMode = 2;
    master->addChannel(sampler, -1);
    synth.samplers.push_back(sampler);
    synth.oscillators.push_back(lfo);
    synth.sequencers.push_back(seq);
    synth.keyboards.push_back(key);
    synth.mixers.push_back(master);
    connectMasterInput(synth);
    currentGenerator = &synth;
    audioEnabled = 1;
    stepEventsSeen = 0;
    setStepEventSink(countStepEvent);
  }
  ~EveryKind() {
    setStepEventSink(nullptr);
    audioEnabled = 0;
    currentGenerator = nullptr;
    GENERATOR empty;
    connectMasterInput(empty);
  }
  GENERATOR synth;
};

std::string writeSample(const TempDir& dir) {
  const std::string path = dir / "hit.wav";
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  EXPECT_NE(f, nullptr);
  std::vector<short> data(2 * 4410);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<short>((i * 37) % 20000 - 10000);
  sf_writef_short(f, data.data(), 4410);
  sf_close(f);
  return path;
}

TEST(NoAllocation, TheCounterSeesAllocations) {
  static void* volatile kept;
  long before = allocations;
  {
    Counting c;
    kept = new int(3);
    delete static_cast<int*>(kept);
  }
  EXPECT_GE(allocations - before, 2);  // also counted again as malloc and free where those are
#if MORVEL_COUNTS_MALLOC
  before = allocations;
  {
    Counting c;
    kept = std::malloc(16);
    std::free(kept);
  }
  EXPECT_EQ(allocations - before, 2);
#else
  std::printf("Sanitizer build: only operator new and delete are counted\n");
#endif
}

TEST(NoAllocation, RenderCallbackAllocatesNothing) {
  TempDir dir;
  EveryKind patch(writeSample(dir));
  std::vector<unsigned char> buffer(kStreamBufferBytes);
  const long before = allocations;
  ::testing::internal::CaptureStdout();
  double energy = 0;
  for (int i = 0; i < 40; ++i) {  // 2.8 s
    countedRender(nullptr, buffer.data(), kStreamBufferBytes, nullptr);
    const auto* s = reinterpret_cast<const int16_t*>(buffer.data());
    for (int k = 0; k < kStreamBufferBytes / 2; ++k) energy += static_cast<double>(s[k]) * s[k];
  }
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");  // nothing printed
  EXPECT_EQ(allocations - before, 0);
  EXPECT_GT(energy, 0.0);
  // 20 steps a second: the events were made and queued, and reach the
  // receiver here, on the main thread.
  EXPECT_GE(dispatchStepEvents(), 50);
  EXPECT_GE(stepEventsSeen, 50);
}

// The same through the sound layer's own playback thread (NoSound output).
TEST(NoAllocation, LayerThreadRendersWithoutAllocating) {
  TempDir dir;
  EveryKind patch(writeSample(dir));
  ASSERT_EQ(FSOUND_SetOutput(kOutputNoSound), 1);
  ASSERT_EQ(FSOUND_Init(kMixingRate, kSoftwareChannels, kInitFlags), 1);
  FSOUND_STREAM* s = FSOUND_Stream_Create(countedRender, kStreamBufferBytes, kStreamMode, kMixingRate, nullptr);
  ASSERT_NE(s, nullptr);
  const long atStart = allocations;
  ASSERT_EQ(FSOUND_Stream_Play(kPlayChannel, s), kPlayChannel);
  int events = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
  while (std::chrono::steady_clock::now() < end) {
    events += dispatchStepEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  FSOUND_Close();
  EXPECT_EQ(allocations - atStart, 0);
  EXPECT_GE(events, 3);
}

}  // namespace
