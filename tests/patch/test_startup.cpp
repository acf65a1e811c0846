// The synthesizer start-up, each run in a child process: it opens a real
// listening socket and the sound layer, and ends the program on failure.
// The sound menus get "41" on standard input (NoSound, first driver).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/generator.h"
#include "patch/startup.h"
#include "remote/loopback.h"

namespace {

struct ChildRun {
  int status = -1000;  // exit status, or -1000 when killed by a signal
  std::string output;  // standard output and error together
};

std::string writeTemp(const std::string& text) {
  char path[] = "/tmp/morvel_startup_XXXXXX";
  const int fd = mkstemp(path);
  EXPECT_GE(fd, 0);
  EXPECT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  close(fd);
  return path;
}

// Prints what the start-up left behind, for the parent to check.
void reportState() {
  std::printf("MASTER=%d MODULES=%zu STREAM=%d\n", masterInput != nullptr && masterInput->connected() ? 1 : 0,
              currentGenerator ? currentGenerator->moduleCount() : 999, synthStream != nullptr ? 1 : 0);
  if (currentGenerator && !currentGenerator->oscillators.empty()) {
    std::printf("FREQ=%.2f\n", static_cast<float>(currentGenerator->oscillators.front()->frequency));
  }
}

// Runs startSynth(args) in a child on port `port`; when it returns, the
// child reports its state and ends with status 0.
ChildRun runStartSynth(std::vector<std::string> args, int port) {
  const std::string input = writeTemp("41");
  const std::string output = writeTemp("");
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("MORVEL_REMOTE_PORT", std::to_string(port).c_str(), 1);
    const int in = open(input.c_str(), O_RDONLY);
    const int out = open(output.c_str(), O_WRONLY | O_TRUNC);
    dup2(in, 0);
    dup2(out, 1);
    dup2(out, 2);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    startSynth(static_cast<int>(args.size()), argv.data());
    reportState();
    std::fflush(nullptr);
    _exit(0);
  }
  ChildRun run;
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
  std::ifstream file(output);
  std::stringstream text;
  text << file.rdbuf();
  run.output = text.str();
  unlink(input.c_str());
  unlink(output.c_str());
  return run;
}

TEST(StartSynth, WithoutAPatchStartsEmptyWithNetworkAndStream) {
  const int port = loopback::freePort();
  const ChildRun run = runStartSynth({"morvel-synth"}, port);
  EXPECT_EQ(run.status, 0) << run.output;
  const std::string netLine = "\tInit SDL_Net for the remote control on port " + std::to_string(port) + "\n";
  const size_t first = run.output.find("U must supply a syntheziser file making New One(.MVL)\n");
  const size_t menu = run.output.find("Output Type\n");
  const size_t net = run.output.find(netLine);
  EXPECT_EQ(first, 0u) << run.output;
  EXPECT_LT(first, menu);
  EXPECT_LT(menu, net);
  EXPECT_NE(run.output.find("MASTER=0 MODULES=0 STREAM=1\n"), std::string::npos) << run.output;
}

TEST(StartSynth, MasterFollowsMixer4AndNotesReadTheFilledTable) {
  const struct {
    const char* patch;
    const char* state;
  } cases[] = {
      {"BEGIN_OBJECTS_DECLARE VCO_1;NOTE=58; MIXER_2;; END_OBJECTS_DECLARE "
       "BEGIN_LINKS_DECLARE MIXER_2;ADD_CHANELL=VCO_1; END_LINKS_DECLARE\n",
       "MASTER=0 MODULES=2 STREAM=1\nFREQ=440.00\n"},
      {"BEGIN_OBJECTS_DECLARE VCO_1;NOTE=58; MIXER_4;; END_OBJECTS_DECLARE "
       "BEGIN_LINKS_DECLARE MIXER_4;ADD_CHANELL=VCO_1; END_LINKS_DECLARE\n",
       "MASTER=1 MODULES=2 STREAM=1\nFREQ=440.00\n"},
  };
  for (const auto& k : cases) {
    const std::string path = writeTemp(k.patch);
    const ChildRun run = runStartSynth({"morvel-synth", path}, loopback::freePort());
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("Loading [" + path + "]\n"), 0u) << run.output;
    EXPECT_NE(run.output.find(k.state), std::string::npos) << run.output;
    unlink(path.c_str());
  }
}

TEST(StartSynth, FailuresEndTheProgramWithTheirStatus) {
  // A patch that cannot be opened is not a failure: an empty synthesizer.
  {
    const ChildRun run = runStartSynth({"morvel-synth", "/nonexistent/none.mvl"}, loopback::freePort());
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Must Specify a true filename\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("MASTER=0 MODULES=0 STREAM=1\n"), std::string::npos) << run.output;
  }
  // A broken patch ends with -1 before sound or network start.
  {
    const std::string path = writeTemp("VCO_1;;FREQ=440;\n");
    const ChildRun run = runStartSynth({"morvel-synth", path}, loopback::freePort());
    EXPECT_EQ(run.status, 255) << run.output;
    EXPECT_NE(run.output.find("Erreur, au niveau des parametre ligne [1]\n"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Output Type"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("MASTER="), std::string::npos) << run.output;
    unlink(path.c_str());
  }
  // The port already taken: status 2, after the patch was loaded.
  {
    const int port = loopback::freePort();
    const int busy = loopback::listenOn(port);
    ASSERT_GE(busy, 0);
    const std::string path = writeTemp("VCO_1;FREQ=220; MIXER_4;;\n");
    const ChildRun run = runStartSynth({"morvel-synth", path}, port);
    close(busy);
    EXPECT_EQ(run.status, 2) << run.output;
    const size_t loading = run.output.find("Loading [");
    const size_t open = run.output.find("SDLNet_TCP_Open: ");
    EXPECT_EQ(loading, 0u) << run.output;
    EXPECT_NE(open, std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("MASTER="), std::string::npos) << run.output;
    unlink(path.c_str());
  }
}

}  // namespace
