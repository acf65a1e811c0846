// morvel-synth's command line, and what the program says when it cannot go
// on: run for real, with the sound menus answered on standard input.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "apps/synth_cli.h"
#include "engine/data_dir.h"
#include "remote/loopback.h"
#include "support/programs.h"

namespace {

TEST(SynthArguments, AreReadOrRefusedWithTheUsage) {
  SynthOptions o;
  const char* full[] = {"morvel-synth", "--headless", "--buffer", "512", "p.mvl"};
  EXPECT_EQ(parseSynthArguments(5, full, o), -1);
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.bufferFrames, 512);
  EXPECT_EQ(o.patch, "p.mvl");
  const char* none[] = {"morvel-synth"};
  EXPECT_EQ(parseSynthArguments(1, none, o), -1);
  EXPECT_FALSE(o.headless);
  EXPECT_EQ(o.patch, "");
  EXPECT_EQ(o.bufferFrames, 0);

  for (std::vector<const char*> args : std::vector<std::vector<const char*>>{
           {"--headles"}, {"-x", "p.mvl"}, {"p.mvl", "q.mvl"}, {"--buffer"}, {"--buffer", "32"}, {"--buffer", "3073"}, {"--buffer", "1k"},
           {"--buffer", "99999999999999999999"}}) {
    args.insert(args.begin(), "morvel-synth");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(parseSynthArguments(static_cast<int>(args.size()), args.data(), o), 2) << args[1];
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("morvel-synth: ", 0), 0u) << err;
    EXPECT_NE(err.find(kSynthUsage), std::string::npos) << err;
  }
  const char* help[] = {"morvel-synth", "p.mvl", "--help"};
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(parseSynthArguments(3, help, o), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), kSynthUsage);
}

// Runs morvel-synth with `keys` on standard input and `env` set; returns its
// exit status and fills `output` (standard output and error).
int runSynth(const std::string& env, const std::string& keys, const std::string& args, std::string& output) {
  return runCommand(
      "printf '" + keys + "' | env " + env + " '" + executableDirectory() + "/morvel-synth' " + args + " 2>&1",
      output);
}

TEST(SynthProgram, SaysWhatToDoWhenItCannotGoOn) {
  const std::string port = "MORVEL_REMOTE_PORT=" + std::to_string(loopback::freePort());
  std::string out;
  EXPECT_EQ(runSynth(port, "", "--help", out), 0);
  EXPECT_EQ(out, kSynthUsage);
  EXPECT_EQ(runSynth(port, "", "--headles demo.mvl", out), 2);
  EXPECT_EQ(out, std::string("morvel-synth: unknown option --headles\n") + kSynthUsage);

  // A patch that cannot be opened is named; ESC at the first menu then ends.
  EXPECT_EQ(runSynth(port, "\\033", "--headless /nonexistent/x.mvl", out), 0);
  EXPECT_NE(out.find("Must Specify a true filename\nCannot open the patch [/nonexistent/x.mvl]: No such file or "
                     "directory\n"),
            std::string::npos)
      << out;

  // No sound device: the messages, then how to run without one.
  EXPECT_EQ(runSynth(port + " SDL_AUDIODRIVER=no_such_driver", "11", "--headless", out), 1);
  const size_t init = out.find("Error!\nError initializing output device.\n");
  ASSERT_NE(init, std::string::npos) << out;
  const size_t hint = out.find("\nNo sound device could be opened: press 4", init);
  ASSERT_NE(hint, std::string::npos) << out;
  EXPECT_NE(out.find("SDL_AUDIODRIVER", hint), std::string::npos) << out;

  // The remote port taken: SDL_net's message, then the port and the variable.
  const int taken = loopback::freePort();
  const int busy = loopback::listenOn(taken);
  ASSERT_GE(busy, 0);
  EXPECT_EQ(runSynth("MORVEL_REMOTE_PORT=" + std::to_string(taken), "41", "--headless", out), 2);
  close(busy);
  const size_t open = out.find("SDLNet_TCP_Open: ");
  ASSERT_NE(open, std::string::npos) << out;
  EXPECT_NE(out.find("Port " + std::to_string(taken) + " is taken", open), std::string::npos) << out;
  EXPECT_NE(out.find("MORVEL_REMOTE_PORT", open), std::string::npos) << out;
}

}  // namespace
