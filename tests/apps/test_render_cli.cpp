// morvel-render: its arguments, and the program itself run from a scratch
// directory (files, exit statuses, repeatability, what it leaves on disk).


#include <cstdio>
#include <fstream>
#include <iterator>

#include "apps/render_cli.h"
#include "engine/data_dir.h"
#include "patch/patch_test_util.h"
#include "support/files.h"
#include "support/programs.h"

namespace {

TEST(RenderArguments, AreReadOrRefused) {
  RenderOptions o;
  std::string error;
  const char* full[] = {"morvel-render", "p.mvl", "-o", "o.wav", "-s", "2.5", "--seed", "42", "--press", "0.5:KEY_1:10:1"};
  ASSERT_TRUE(parseRenderArguments(10, full, o, error)) << error;
  EXPECT_EQ(o.patch + " " + o.output, "p.mvl o.wav");
  EXPECT_DOUBLE_EQ(o.seconds, 2.5);
  EXPECT_EQ(o.seed, 42u);
  ASSERT_EQ(o.presses.size(), 1u);
  EXPECT_DOUBLE_EQ(o.presses[0].time, 0.5);
  EXPECT_EQ(o.presses[0].keyboard, "KEY_1");
  EXPECT_EQ(o.presses[0].note, 10);
  EXPECT_DOUBLE_EQ(o.presses[0].duration, 1.0);
  const char* minimal[] = {"morvel-render", "-o", "o.wav", "p.mvl"};
  ASSERT_TRUE(parseRenderArguments(4, minimal, o, error));
  EXPECT_DOUBLE_EQ(o.seconds, 10.0);
  EXPECT_EQ(o.seed, 1u);
  EXPECT_FALSE(o.help);
  const char* help[] = {"morvel-render", "p.mvl", "--help", "--loud"};
  ASSERT_TRUE(parseRenderArguments(4, help, o, error));
  EXPECT_TRUE(o.help);

  for (std::vector<const char*> args : std::vector<std::vector<const char*>>{
           {"p.mvl"}, {"-o", "o.wav"}, {"p.mvl", "-o"}, {"p.mvl", "q.mvl", "-o", "o.wav"},
           {"p.mvl", "-o", "o.wav", "--loud"}, {"p.mvl", "-o", "o.wav", "-s", "0"},
           {"p.mvl", "-o", "o.wav", "-s", "10x"}, {"p.mvl", "-o", "o.wav", "--seed", "-1"},
           {"p.mvl", "-o", "o.wav", "--press", "1:KEY_1:10"}, {"p.mvl", "-o", "o.wav", "--press", "x:KEY_1:10:1"},
           {"p.mvl", "-o", "o.wav", "--press", "1::10:1"}, {"p.mvl", "-o", "o.wav", "--press", "1:KEY_1:2000:1"},
           {"p.mvl", "-o", "o.wav", "--press", "-1:KEY_1:10:1"}}) {
    args.insert(args.begin(), "morvel-render");
    error.clear();
    EXPECT_FALSE(parseRenderArguments(static_cast<int>(args.size()), args.data(), o, error)) << args.back();
    EXPECT_FALSE(error.empty());
  }
}

TEST(RenderArguments, RendersPastFourGibibytesAreWrittenAsRf64) {
  // 4 bytes a frame; the RIFF size counts 36 bytes of header besides.
  const long lastWav = (0xFFFFFFFFL - 36) / 4;
  EXPECT_FALSE(needsRf64(lastWav));
  EXPECT_TRUE(needsRf64(lastWav + 1));
  EXPECT_FALSE(needsRf64(44100L * 24000));
  EXPECT_TRUE(needsRf64(44100L * 24400));
  EXPECT_TRUE(needsRf64(44100L * 86400));
}

// Runs the morvel-render program beside this test with `args` from the
// scratch directory; returns its exit status and fills `output`.
int runProgram(const std::string& args, std::string& output) {
  return runCommand("'" + executableDirectory() + "/morvel-render' " + args + " 2>&1", output);
}

std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

using RenderProgram = PatchTest;

TEST_F(RenderProgram, WritesTheSameFileForTheSameArguments) {
  // Noise and a sequencer (which reseeds the random generator) make the
  // render depend on the seed.
  writePatch(
      "SEQUENCER_1;DIVIDER=8;\nVCO_1;TYPE=5;FREQ=2000;AMOUNT=0.3;\nVCO_2;TYPE=1;FREQ=44;AMOUNT=0.3;\n"
      "MIXER_4;;\nEND_OBJECTS_DECLARE\nBEGIN_LINKS_DECLARE\nVCO_2;IN=SEQUENCER_1;\n"
      "MIXER_4;ADD_CHANELL=VCO_1;ADD_CHANELL=VCO_2;\nEND_LINKS_DECLARE\n",
      "noise.mvl");
  std::string out;
  ASSERT_EQ(runProgram("noise.mvl -o a.wav -s 1 --seed 7", out), 0) << out;
  // The last line: frames, wall time, real-time factor.
  ASSERT_FALSE(out.empty());
  const size_t lineStart = out.rfind('\n', out.size() - 2) + 1;
  double wall = -1, factor = -1;
  EXPECT_EQ(std::sscanf(out.c_str() + lineStart, "Rendered 44100 frames (1.000 s of sound) in %lf s wall time: %lfx real time",
                        &wall, &factor),
            2)
      << out;
  EXPECT_GE(wall, 0.0);
  EXPECT_GT(factor, 0.0);
  ASSERT_EQ(runProgram(dir_.string() + "/noise.mvl -o b.wav -s 1 --seed 7", out), 0) << out;
  ASSERT_EQ(runProgram("noise.mvl -o c.wav -s 1 --seed 8", out), 0) << out;
  const std::string a = fileBytes("a.wav");
  EXPECT_EQ(a.size(), 44u + 4u * 44100u);  // written where the caller is, not beside the program
  EXPECT_EQ(a, fileBytes("b.wav"));
  EXPECT_NE(a, fileBytes("c.wav"));

  // The file reads back as 16-bit stereo at 44100 Hz.
  SF_INFO info{};
  SNDFILE* f = sf_open("a.wav", SFM_READ, &info);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(info.samplerate, 44100);
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_EQ(info.frames, 44100);
  sf_close(f);
  // Nothing else is left beside the files: no temporary file.
  EXPECT_EQ(directoryEntries(dir_.string()),
            (std::vector<std::string>{"Sounds", "a.wav", "b.wav", "c.wav", "noise.mvl"}));
}

TEST_F(RenderProgram, FailuresHaveTheirStatusAndLeaveNoFile) {
  writePatch("VCO_1;FREQ=1;\nMIXER_4;;\n", "ok.mvl");
  writePatch("VCO_1;;FREQ=1;\n", "broken.mvl");
  std::string out;
  EXPECT_EQ(runProgram("broken.mvl -o d.wav -s 1", out), 255) << out;
  EXPECT_EQ(runProgram("nowhere.mvl -o d.wav -s 1", out), 1) << out;
  EXPECT_NE(out.find("Cannot open the patch [nowhere.mvl]: No such file or directory\n"), std::string::npos) << out;
  EXPECT_EQ(runProgram("Sounds -o d.wav -s 1", out), 1) << out;  // a directory is no patch
  EXPECT_EQ(runProgram("ok.mvl -o d.wav -s 1 --press 0:KEY_1:1:1", out), 1) << out;
  EXPECT_EQ(runProgram("ok.mvl -o missing/d.wav -s 1", out), 1) << out;
  EXPECT_NE(out.find("Cannot write ["), std::string::npos) << out;
  EXPECT_FALSE(std::filesystem::exists("d.wav"));
  EXPECT_EQ(directoryEntries(dir_.string()), (std::vector<std::string>{"Sounds", "broken.mvl", "ok.mvl"}));

  // Usage errors: status 2, the reason and the usage on the error stream;
  // --help: the usage, status 0.
  for (const char* args : {"ok.mvl -s 1", "ok.mvl -o d.wav --loud", "--bogus"}) {
    EXPECT_EQ(runProgram(args, out), 2) << args;
    EXPECT_NE(out.find("morvel-render: "), std::string::npos) << out;
    EXPECT_NE(out.find(kRenderUsage), std::string::npos) << out;
  }
  EXPECT_EQ(runProgram("--help", out), 0);
  EXPECT_EQ(out, kRenderUsage);
}

}  // namespace
