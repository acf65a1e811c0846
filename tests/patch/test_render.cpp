// The offline renderer: what it renders, measured on the samples.

#include "audio/render.h"
#include "patch/patch.h"
#include "patch_test_util.h"

namespace {

constexpr double kRate = 44100.0;

// The left channel of interleaved stereo, in [-1, 1).
std::vector<double> leftChannel(const std::vector<int16_t>& s) {
  std::vector<double> out(s.size() / 2);
  for (size_t i = 0; i < out.size(); ++i) out[i] = s[2 * i] / 32768.0;
  return out;
}

// Frequency from the rising zero crossings of frames [from, to).
double frequencyOf(const std::vector<double>& x, long from, long to) {
  std::vector<long> ups;
  for (long i = from + 1; i < to; ++i)
    if (x[i - 1] < 0 && x[i] >= 0) ups.push_back(i);
  if (ups.size() < 3) return 0;
  return kRate * static_cast<double>(ups.size() - 1) / static_cast<double>(ups.back() - ups.front());
}

double rmsOf(const std::vector<double>& x, long from, long to) {
  double sum = 0;
  for (long i = from; i < to; ++i) sum += x[i] * x[i];
  return std::sqrt(sum / static_cast<double>(to - from));
}

class RenderTest : public PatchTest {
 protected:
  std::vector<double> render(const std::string& patch, double seconds, const std::vector<KeyPress>& presses = {}) {
    auto synth = load(patch);
    EXPECT_EQ(synth->loadStatus, GENERATOR::LoadStatus::Loaded);
    std::vector<int16_t> samples;
    EXPECT_TRUE(renderFrames(*synth, std::lround(seconds * kRate), presses, samples));
    EXPECT_EQ(samples.size(), 2 * static_cast<size_t>(std::lround(seconds * kRate)));
    for (size_t i = 0; i + 1 < samples.size(); i += 2) EXPECT_EQ(samples[i], samples[i + 1]) << "frame " << i / 2;
    return leftChannel(samples);
  }
};

TEST_F(RenderTest, SinePatchSoundsAtItsFrequencyAndLevel) {
  // The phase keeps its overshoot when it wraps: in tune within 0.1 %
  // (under 2 cents; the crossings are counted to the whole frame).
  for (double f : {110.0, 440.0, 1000.0}) {
    const auto x = render("VCO_1;TYPE=1;FREQ=" + std::to_string(f) +
                              ";AMOUNT=0.5;PHASE=0;\nMIXER_4;;\nEND_OBJECTS_DECLARE\n"
                              "BEGIN_LINKS_DECLARE MIXER_4;ADD_CHANELL=VCO_1; END_LINKS_DECLARE\n",
                          1.0);
    EXPECT_NEAR(frequencyOf(x, 0, static_cast<long>(x.size())), f, f * 0.001) << f;
    EXPECT_NEAR(rmsOf(x, 0, static_cast<long>(x.size())), 0.5 / std::sqrt(2.0), 0.005) << f;
  }
  // No "MIXER_4": silence, not a read through a missing source.
  const auto silent = render("VCO_1;FREQ=440;\nMIXER_1;;\nEND_OBJECTS_DECLARE\n", 0.1);
  EXPECT_EQ(rmsOf(silent, 0, static_cast<long>(silent.size())), 0.0);
}

const char* const kSequencedVoice =
    "SEQUENCER_1;DIVIDER=4;NBR_STEP=3;NOTE_000_000=58;NOTE_000_001=70;NOTE_000_002=46;"
    "LENGHT_000_000=0.5;LENGHT_000_001=0.5;LENGHT_000_002=0.5;\n"
    "VCO_1;TYPE=1;FREQ=44;AMOUNT=0.5;PHASE=0;\n"
    "VCA_1;ATTACK=1;DECAY=10;SUSTAIN=1;RELEASE=0;\n"
    "MIXER_4;;\nEND_OBJECTS_DECLARE\n"
    "BEGIN_LINKS_DECLARE\nVCO_1;IN=SEQUENCER_1;\nVCA_1;IN=VCO_1;GATE=SEQUENCER_1;\nMIXER_4;ADD_CHANELL=VCA_1;\n"
    "END_LINKS_DECLARE\n";

TEST_F(RenderTest, SequencerStepsLandOnTheirFramesWithTheirNotes) {
  const auto x = render(kSequencedVoice, 1.3);
  // Four steps a second: an event every 11025 frames, the first one 11025
  // frames in; half-length steps close the gate halfway.
  long first = 0;
  while (first < static_cast<long>(x.size()) && x[first] == 0) ++first;
  EXPECT_GE(first, 11024);
  EXPECT_LE(first, 11030);
  const double notes[] = {440.0, 880.0, 220.0, 440.0};  // three steps, then round again
  for (int k = 0; k < 4; ++k) {
    const long event = 11024 + 11025L * k;
    if (event + 11000 > static_cast<long>(x.size())) break;
    EXPECT_NEAR(frequencyOf(x, event + 300, event + 5000), notes[k], notes[k] * 0.01) << "step " << k;
    EXPECT_GT(rmsOf(x, event + 300, event + 5000), 0.3) << "step " << k;
    EXPECT_LT(rmsOf(x, event + 5700, event + 11000), 1e-3) << "step " << k;
  }
}

TEST_F(RenderTest, PressesPlayTheKeyboardOnTheirExactFrames) {
  const std::string patch =
      "KEY_1;;\nVCO_1;TYPE=1;FREQ=44;AMOUNT=0.5;PHASE=0;\nVCA_1;ATTACK=1;DECAY=10;SUSTAIN=1;RELEASE=0;\n"
      "MIXER_4;;\nEND_OBJECTS_DECLARE\nBEGIN_LINKS_DECLARE\nVCO_1;IN=KEY_1;\nVCA_1;IN=VCO_1;GATE=KEY_1;\n"
      "MIXER_4;ADD_CHANELL=VCA_1;\nEND_LINKS_DECLARE\n";
  // Note 10 of octave 4 is entry 58 (440 Hz), note 22 entry 70 (880 Hz); the
  // second press follows a release on the same frame.
  const auto x = render(patch, 1.5, {{0.5, "KEY_1", 10, 0.25}, {1.0, "KEY_9", 22, 0.25}, {0.75, "KEY_1", 22, 0.25}});
  long first = 0;
  while (first < static_cast<long>(x.size()) && x[first] == 0) ++first;
  EXPECT_GE(first, 22050);
  EXPECT_LE(first, 22054);
  EXPECT_NEAR(frequencyOf(x, 22400, 33000), 440.0, 4.0);
  EXPECT_NEAR(frequencyOf(x, 33500, 44000), 880.0, 8.0);
  EXPECT_NEAR(frequencyOf(x, 44500, 55000), 880.0, 8.0);
  EXPECT_GT(rmsOf(x, 33500, 44000), 0.3);
  EXPECT_LT(rmsOf(x, 55500, 66000), 1e-3);

  // A press needs a keyboard.
  auto none = load("VCO_1;FREQ=1;\nMIXER_4;;\n");
  std::vector<int16_t> samples;
  ::testing::internal::CaptureStdout();
  EXPECT_FALSE(renderFrames(*none, 100, {{0.0, "KEY_1", 1, 1.0}}, samples));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "No keyboard [KEY_1] to press\n");
}

// The patches shipped in MVL/ load cleanly and sound: never silent for a
// whole second, never clipped.
TEST_F(RenderTest, BundledPatchesSound) {
  struct Bundled {
    const char* file;
    std::vector<KeyPress> presses;
  };
  std::vector<KeyPress> chord;
  for (int k = 1; k <= 16; ++k) chord.push_back({0.0, "KEY_" + std::to_string(k), k % 12 + 1, 5.5});
  const std::vector<Bundled> patches = {
      {"demo.mvl", {}},
      {"keyboard.mvl", {{0.0, "KEY_1", 1, 0.9}, {1.0, "KEY_1", 5, 0.9}, {2.0, "KEY_1", 8, 0.9},
                        {3.0, "KEY_1", 13, 0.9}, {4.0, "KEY_1", 8, 1.9}}},
      {"sampler_loop.mvl", {}},
      {"filter_sweep.mvl", {}},
      {"bench16.mvl", chord},
  };
  for (const Bundled& b : patches) {
    const std::string path = executableDirectory() + "/MVL/" + b.file;
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    std::string console;
    ::testing::internal::CaptureStdout();
    auto synth = std::make_unique<GENERATOR>(path.c_str());
    console = ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(synth->loadStatus, GENERATOR::LoadStatus::Loaded) << b.file << console;
    EXPECT_EQ(console.find("Ligne"), std::string::npos) << b.file << console;
    EXPECT_EQ(console.find("Error"), std::string::npos) << b.file << console;
    std::vector<int16_t> samples;
    ASSERT_TRUE(renderFrames(*synth, 6 * 44100, b.presses, samples)) << b.file;
    int peak = 0;
    for (int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_LT(peak, 32767) << b.file << " clips";
    const auto x = leftChannel(samples);
    for (int second = 0; second < 6; ++second)
      EXPECT_GT(rmsOf(x, second * 44100L, (second + 1) * 44100L), 0.02) << b.file << " second " << second;
  }
}

}  // namespace
