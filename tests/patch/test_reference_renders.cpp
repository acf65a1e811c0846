// The bundled patches render as they did when their reference recordings in
// tests/patch/reference/ were made: every 16-bit sample within one step.
// Engine changes meant to keep the sound (speed work, tidying) are checked
// here. After a change that is meant to alter the sound, write new
// references with MORVEL_WRITE_REFERENCES=1 and say why in the commit.

#include <sndfile.h>

#include <algorithm>
#include <cstdlib>

#include "audio/render.h"
#include "patch_test_util.h"

namespace {

constexpr int kRate = 44100;
constexpr long kFrames = 2 * kRate;
constexpr unsigned kSeed = 1234;

void reseedFixed() { seedRandom(kSeed); }

struct Press {
  long frame;
  std::string keyboard;
  int note;
  bool down;
};

class ReferenceRender : public PatchTest {
 protected:
  void TearDown() override {
    setReseedHook(nullptr);
    audioEnabled = 0;
    currentGenerator = nullptr;
    PatchTest::TearDown();
  }

  // Renders `frames` frames of the bundled patch through the render callback
  // in 3072-frame buffers, cut where a press falls; returns the left channel
  // after checking that the right one equals it.
  std::vector<int16_t> render(const std::string& file, std::vector<Press> presses) {
    setReseedHook(reseedFixed);
    seedRandom(kSeed);
    const std::string path = executableDirectory() + "/MVL/" + file;
    ::testing::internal::CaptureStdout();
    GENERATOR synth(path.c_str());
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(synth.loadStatus, GENERATOR::LoadStatus::Loaded) << file;
    currentGenerator = &synth;
    connectMasterInput(synth);
    audioEnabled = 1;

    std::stable_sort(presses.begin(), presses.end(), [](const Press& a, const Press& b) { return a.frame < b.frame; });
    std::vector<int16_t> left;
    std::vector<int16_t> buffer(2 * 3072);
    size_t next = 0;
    for (long done = 0; done < kFrames;) {
      for (; next < presses.size() && presses[next].frame <= done; ++next) {
        KEYBOARD* key = synth.findKeyboard(presses[next].keyboard.c_str());
        if (key == nullptr) {
          ADD_FAILURE() << "no keyboard " << presses[next].keyboard;
        } else if (presses[next].down) {
          key->press(presses[next].note, 1);
        } else {
          key->gateOff();
        }
      }
      long until = std::min(done + 3072, kFrames);
      if (next < presses.size()) until = std::min(until, presses[next].frame);
      const int frames = static_cast<int>(until - done);
      renderCallback(nullptr, buffer.data(), 4 * frames, nullptr);
      for (int i = 0; i < frames; ++i) {
        if (buffer[2 * i] != buffer[2 * i + 1]) ADD_FAILURE() << file << ": channels differ at frame " << done + i;
        left.push_back(buffer[2 * i]);
      }
      done = until;
    }
    currentGenerator = nullptr;
    return left;
  }
};

std::string referencePath(const std::string& file) {
  return std::string(MORVEL_REFERENCE_DIR) + "/" + file.substr(0, file.find('.')) + ".flac";
}

// Mono 16-bit FLAC: lossless and small.
bool writeReference(const std::string& path, const std::vector<int16_t>& samples) {
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = 1;
  info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (f == nullptr) return false;
  const auto n = static_cast<sf_count_t>(samples.size());
  const bool ok = sf_write_short(f, samples.data(), n) == n;
  return sf_close(f) == 0 && ok;
}

std::vector<int16_t> readReference(const std::string& path) {
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (f == nullptr) return {};
  std::vector<int16_t> samples(static_cast<size_t>(info.frames) * info.channels);
  samples.resize(static_cast<size_t>(sf_read_short(f, samples.data(), static_cast<sf_count_t>(samples.size()))));
  sf_close(f);
  return samples;
}

TEST_F(ReferenceRender, BundledPatchesMatchTheirReferences) {
  std::vector<Press> chord;
  for (int k = 1; k <= 16; ++k) {
    chord.push_back({0, "KEY_" + std::to_string(k), k % 12 + 1, true});
    chord.push_back({kRate * 3 / 2, "KEY_" + std::to_string(k), 0, false});
  }
  struct Bundled {
    const char* file;
    std::vector<Press> presses;
  };
  const std::vector<Bundled> patches = {
      {"demo.mvl", {}},
      {"keyboard.mvl",
       {{0, "KEY_1", 1, true}, {kRate / 2, "KEY_1", 8, true}, {kRate, "KEY_1", 13, true}, {kRate * 3 / 2, "KEY_1", 0, false}}},
      {"sampler_loop.mvl", {}},
      {"filter_sweep.mvl", {}},
      {"bench16.mvl", chord},
  };
  const bool writing = std::getenv("MORVEL_WRITE_REFERENCES") != nullptr;
  for (const Bundled& b : patches) {
    const std::vector<int16_t> now = render(b.file, b.presses);
    ASSERT_EQ(now.size(), static_cast<size_t>(kFrames)) << b.file;
    if (writing) {
      EXPECT_TRUE(writeReference(referencePath(b.file), now)) << referencePath(b.file);
      continue;
    }
    const std::vector<int16_t> ref = readReference(referencePath(b.file));
    ASSERT_EQ(ref.size(), now.size()) << referencePath(b.file);
    long differing = 0, worstFrame = -1;
    int worst = 0;
    for (size_t i = 0; i < ref.size(); ++i) {
      const int d = std::abs(static_cast<int>(now[i]) - ref[i]);
      if (d != 0) ++differing;
      if (d > worst) worst = d, worstFrame = static_cast<long>(i);
    }
    EXPECT_LE(worst, 1) << b.file << ": " << worst << " steps off at frame " << worstFrame;
    std::printf("%s: %ld of %ld samples one step off\n", b.file, differing, kFrames);
  }
}

}  // namespace
