// Sample loading from real files, and the sampler's four play modes.

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "engine_test_util.h"

namespace fs = std::filesystem;

namespace {

class Sampler : public ::testing::Test {
 protected:
  void SetUp() override {
    fillNoteTable();
    dir_ = fs::temp_directory_path() / ("morvel_sampler_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Writes `frames` frames of `channels` channels; sample i of channel c is
  // value(i, c) in 16-bit units, converted to the file's format.
  std::string write(const char* name, int format, int channels, int frames, int (*value)(int, int)) {
    const std::string path = (dir_ / name).string();
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = channels;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    EXPECT_NE(f, nullptr) << sf_strerror(nullptr);
    if ((format & SF_FORMAT_SUBMASK) == SF_FORMAT_FLOAT) {
      std::vector<double> data(static_cast<size_t>(frames) * channels);
      for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) data[i * channels + c] = value(i, c) / 32768.0;
      sf_writef_double(f, data.data(), frames);
    } else {
      // Ints are written as the top 16 bits of 32: exact for every PCM width.
      std::vector<int> data(static_cast<size_t>(frames) * channels);
      for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) data[i * channels + c] = value(i, c) * 65536;
      sf_writef_int(f, data.data(), frames);
    }
    sf_close(f);
    return path;
  }

  fs::path dir_;
};

int ramp(int i, int c) { return (c == 0 ? 1 : -1) * (i % 1000) * 16; }

TEST_F(Sampler, ReadsEveryFormatAsSixteenBitStereo) {
  std::vector<int16_t> buf(kWavCapacityBytes / 2);
  struct Case {
    const char* name;
    int format;
    int channels;
  };
  for (Case c : {Case{"s16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2}, Case{"mono.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1},
                 Case{"s24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2}, Case{"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2},
                 Case{"u8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 2}, Case{"quad.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 4}}) {
    const std::string path = write(c.name, c.format, c.channels, 44100, ramp);
    EXPECT_EQ(readWavData(buf.data(), path.c_str()), 44100 * 4) << c.name;
    const int tolerance = (c.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_U8 ? 256 : 1;
    for (int i : {0, 1, 517, 44099}) {
      EXPECT_NEAR(buf[2 * i], ramp(i, 0), tolerance) << c.name << " frame " << i;
      const int right = c.channels == 1 ? ramp(i, 0) : ramp(i, 1);
      EXPECT_NEAR(buf[2 * i + 1], right, tolerance) << c.name << " frame " << i;
    }
  }
}

TEST_F(Sampler, WavWithChunkBeforeDataAndMissingFile) {
  // A canonical header with a LIST chunk between "fmt " and "data".
  const std::string path = (dir_ / "list.wav").string();
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  auto u32 = [&](uint32_t v) { std::fwrite(&v, 4, 1, f); };
  auto u16 = [&](uint16_t v) { std::fwrite(&v, 2, 1, f); };
  const char list[] = "INFOISFT\x06\0\0\0morvel";
  const uint32_t listSize = sizeof(list) - 1;
  const uint32_t dataBytes = 8;
  std::fwrite("RIFF", 1, 4, f);
  u32(4 + 24 + 8 + listSize + 8 + dataBytes);
  std::fwrite("WAVEfmt ", 1, 8, f);
  u32(16), u16(1), u16(2), u32(44100), u32(44100 * 4), u16(4), u16(16);
  std::fwrite("LIST", 1, 4, f);
  u32(listSize);
  std::fwrite(list, 1, listSize, f);
  std::fwrite("data", 1, 4, f);
  u32(dataBytes);
  for (int16_t s : {100, -100, 200, -200}) std::fwrite(&s, 2, 1, f);
  std::fclose(f);

  std::vector<int16_t> buf(kWavCapacityBytes / 2);
  ASSERT_EQ(readWavData(buf.data(), path.c_str()), 8);
  EXPECT_EQ(buf[0], 100);
  EXPECT_EQ(buf[3], -200);

  testing::internal::CaptureStdout();
  EXPECT_EQ(readWavData(buf.data(), (dir_ / "nothing.wav").c_str()), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error load [" + (dir_ / "nothing.wav").string() + "]\n");
}

TEST_F(Sampler, LoadReportsFramesAndAFailedLoadKeepsTheRecording) {
  SAMPLER s;
  const std::string path = write("one.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, ramp);
  s.playMode = 3;
  testing::internal::CaptureStdout();
  s.loadSample(path.c_str());
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(s.frameCount, 44100);
  EXPECT_EQ(s.playMode, 0);
  char expected[256];
  std::snprintf(expected, sizeof expected, "Loaded WAVE file [%-32s][%d ]\n", path.c_str(), 44100);
  EXPECT_EQ(out, expected);

  // A failed load changes nothing: recording, path and mode stay, so a saved
  // patch names the file that plays.
  s.playMode = 2;
  testing::internal::CaptureStdout();
  s.loadSample((dir_ / "missing.wav").c_str());
  const std::string fail = testing::internal::GetCapturedStdout();
  EXPECT_NE(fail.find("Error load ["), std::string::npos);
  EXPECT_NE(fail.find("Error load the file\n"), std::string::npos);
  EXPECT_EQ(s.frameCount, 44100);
  EXPECT_EQ(s.sampleAt(2 * 517), ramp(517, 0));
  EXPECT_EQ(s.playMode, 2);
  EXPECT_STREQ(s.samplePath, path.c_str());
}

struct Player {
  TestGate gate;
  SAMPLER sampler;
  explicit Player(const std::string& path) {
    testing::internal::CaptureStdout();
    sampler.loadSample(path.c_str());
    testing::internal::GetCapturedStdout();
    sampler.connectGate(&gate);
  }
};

int leftIndex(int i, int c) { return c == 0 ? i + 1 : -(i + 1); }

TEST_F(Sampler, ForwardOnceFollowsLeftChannelThenClosesItsGate) {
  Player p(write("f.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 100, leftIndex));
  p.sampler.process();
  EXPECT_EQ(p.sampler.value, 0.0f);  // gate closed: silent
  p.gate.gateOn();
  auto out = run(p.sampler, 100);
  for (int i = 0; i < 100; ++i) ASSERT_FLOAT_EQ(out[i], (i + 1) / 32768.0f) << i;
  p.sampler.process();  // past the end: gate closed, silent
  EXPECT_EQ(p.gate.gate, 0);
  EXPECT_EQ(p.sampler.value, 0.0f);
  p.sampler.process();
  EXPECT_EQ(p.sampler.position, 0.0f);
}

TEST_F(Sampler, BackwardStartsPastTheEndAndLoopsRestart) {
  Player p(write("b.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 100, leftIndex));
  p.sampler.playMode = 1;
  p.gate.gateOn();
  auto out = run(p.sampler, 3);
  EXPECT_EQ(out[0], 0.0f);                      // index 2 x frameCount: past the data
  EXPECT_FLOAT_EQ(out[1], 100 / 32768.0f);      // index 198: the last left value
  EXPECT_FLOAT_EQ(out[2], 99 / 32768.0f);

  for (int mode : {2, 3}) {
    p.sampler.playMode = mode;
    p.gate.gateOn();
    p.sampler.position = 0.0f;
    run(p.sampler, 250);
    EXPECT_EQ(p.gate.gate, 1) << "mode " << mode;  // loops never close the gate
    EXPECT_LT(p.sampler.position, 200.0f);
  }
}

TEST_F(Sampler, GateClosedRewindsAndPitchSetsTheRate) {
  Player p(write("r.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 1000, leftIndex));
  p.gate.gateOn();
  run(p.sampler, 10);
  p.gate.gateOff();
  p.sampler.process();
  EXPECT_EQ(p.sampler.position, 0.0f);
  EXPECT_EQ(p.sampler.value, 0.0f);

  ConstantSource pitch(880.0f);
  p.sampler.connect(&pitch);
  p.gate.gateOn();
  auto out = run(p.sampler, 3);
  EXPECT_FLOAT_EQ(out[2], 5 / 32768.0f);  // two frames per step
  pitch.value = 0.0f;                     // rate 0 holds the position
  const float held = p.sampler.position;
  run(p.sampler, 5);
  EXPECT_EQ(p.sampler.position, held);

  ConstantSource m(-3.0f);
  INPUT mod;
  mod.connect(&m);
  pitch.value = 440.0f;  // r = 1, then 1 x -3 + 1 = -2: plays at |r| = 2
  p.sampler.modFreq = &mod;
  const float before = p.sampler.position;
  p.sampler.process();
  EXPECT_FLOAT_EQ(p.sampler.position - before, 4.0f);
}

// A rate that is not a number or infinite is never a read position: it ends
// the play, silent, as the end of the recording does, and the next gate
// plays again.
TEST_F(Sampler, BrokenRateIsSilentUntilTheNextGate) {
  Player p(write("n.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 1000, leftIndex));
  for (float broken : {std::nanf(""), std::numeric_limits<float>::infinity()}) {
    for (int mode : {0, 2}) {
      ConstantSource m(broken);
      INPUT mod;
      mod.connect(&m);
      p.sampler.modFreq = &mod;
      p.sampler.playMode = mode;
      p.gate.gateOn();
      for (float v : run(p.sampler, 20)) ASSERT_EQ(v, 0.0f) << broken << " mode " << mode;
      EXPECT_EQ(p.gate.gate, mode == 0 ? 0 : 1) << broken;  // one-shot: closed as at the end
      EXPECT_TRUE(std::isfinite(p.sampler.position));

      m.value = 0.0f;  // r x 0 + speed: normal speed again
      p.gate.gateOff();
      p.sampler.process();
      p.gate.gateOn();
      auto out = run(p.sampler, 3);
      EXPECT_FLOAT_EQ(out[2], 3 / 32768.0f) << broken << " mode " << mode;
    }
  }
  p.sampler.modFreq = nullptr;
}

TEST_F(Sampler, NoGateInputLeavesValueAndEmptyRecordingIsSilent) {
  SAMPLER s;
  s.value = 0.5f;
  s.process();
  EXPECT_EQ(s.value, 0.5f);
  EXPECT_EQ(s.sampleAt(-1), 0);
  EXPECT_EQ(s.sampleAt(SAMPLER::kCapacity + 5), 0);
}

}  // namespace
