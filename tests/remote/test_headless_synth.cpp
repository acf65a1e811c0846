// morvel-synth --headless with NoSound, driven over the network by a remote
// box that holds F1 on an oscillator, then stopped by a signal while other
// clients talk. Part of the ThreadSanitizer run, which builds the program
// with it too.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/data_dir.h"
#include "loopback.h"

using namespace std::chrono_literals;

namespace {

const std::string kGreeting("Hello to MORVEL remote access!\r\nENTER YOU COMMAND then FINISH to exit\0", 70);
const std::string kPrompt("\r\nCommand>\0", 11);
const std::string kZero("0\r\n\0", 4);

std::string readFile(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

int countOf(const std::string& text, const std::string& word) {
  int n = 0;
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
  return n;
}

// Waits up to `timeout` for the child; its exit status, or -1.
int waitExit(pid_t pid, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::this_thread::sleep_for(10ms);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return -1;
}

TEST(HeadlessSynth, RemoteBoxSweepsAnOscillatorAndASignalEndsTheLoop) {
  const std::string synth = executableDirectory() + "/morvel-synth";
  const std::string patch = "/tmp/morvel_headless_" + std::to_string(getpid()) + ".mvl";
  const std::string trace = patch + ".txt";
  const std::string keys = patch + ".keys";
  std::ofstream(patch) << "BEGIN_OBJECTS_DECLARE\nVCO_1;FREQ=440;TYPE=1;AMOUNT=0.5;\nMIXER_4;;\n"
                          "END_OBJECTS_DECLARE\nBEGIN_LINKS_DECLARE\nMIXER_4;ADD_CHANELL=VCO_1;\n"
                          "END_LINKS_DECLARE\n";
  std::ofstream(keys) << "41";

  for (int sig : {SIGTERM, SIGINT}) {
    const int port = loopback::freePort();
    const pid_t pid = fork();
    if (pid == 0) {
      setenv("MORVEL_REMOTE_PORT", std::to_string(port).c_str(), 1);
      if (!freopen(keys.c_str(), "r", stdin) || !freopen(trace.c_str(), "w", stdout)) _exit(99);
      dup2(1, 2);
      execl(synth.c_str(), synth.c_str(), "--headless", patch.c_str(), static_cast<char*>(nullptr));
      _exit(98);
    }

    loopback::Client box(port, 20s);
    ASSERT_TRUE(box.connected());
    ASSERT_EQ(box.read(kGreeting.size() + kPrompt.size(), 20s), kGreeting + kPrompt);
    const auto command = [&](const std::string& line) {
      ASSERT_TRUE(box.send(line));
      ASSERT_EQ(box.read(kZero.size() + kPrompt.size()), kZero + kPrompt) << line;
    };
    command("PORTA=0\r\n");
    std::this_thread::sleep_for(50ms);
    const auto pressed = std::chrono::steady_clock::now();
    command("PORTA=1\r\n");
    std::this_thread::sleep_for(300ms);
    command("PORTA=0\r\n");
    const auto heldMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - pressed).count();
    ASSERT_TRUE(box.send("FINISH\r\n"));
    EXPECT_EQ(box.read(4), std::string("1\r\n\0", 4));
    EXPECT_TRUE(box.closedByPeer());

    // Stopped while other clients talk or idle: every connection ends and
    // the program exits cleanly (the threads are joined, not cut off).
    std::vector<std::unique_ptr<loopback::Client>> idle;
    for (int i = 0; i < 3; ++i) {
      idle.push_back(std::make_unique<loopback::Client>(port));
      idle.back()->read(kGreeting.size() + kPrompt.size());
    }
    std::atomic<bool> talking{true};
    std::vector<std::thread> talkers;
    for (int i = 0; i < 3; ++i) {
      talkers.emplace_back([&] {
        loopback::Client c(port);
        c.read(kGreeting.size() + kPrompt.size());
        while (talking && c.send("PORTA=0\r\n") && !c.read(kZero.size() + kPrompt.size()).empty()) {
        }
      });
    }
    std::this_thread::sleep_for(200ms);
    kill(pid, sig);
    EXPECT_EQ(waitExit(pid, 20s), 0) << "signal " << sig;
    for (auto& c : idle) EXPECT_TRUE(c->closedByPeer());
    talking = false;
    for (std::thread& t : talkers) t.join();
    const std::string out = readFile(trace);

    // The stages in order, then the connection's trace.
    size_t at = 0;
    for (const std::string& mark :
         {std::string("Morvel - InitSound&LoadMVL\n"), "Loading [" + patch + "]\n",
          "\tInit SDL_Net for the remote control on port " + std::to_string(port) + "\n", std::string("BEF : "),
          std::string("THREAD\n"), std::string("AFT : "), std::string("ORDER:[PORTA=1] : "),
          std::string("F1 [0.010000]\nF1 [0.015000]\nF1 [0.022500]\n"), std::string("ORDER:[FINISH] : ")}) {
      const size_t found = out.find(mark, at);
      ASSERT_NE(found, std::string::npos) << "missing [" << mark << "] in\n" << out;
      at = found + mark.size();
    }
    // About 100 passes a second: F1 acts once per pass while held.
    const int passes = countOf(out, "F1 [");
    EXPECT_GE(passes, 5) << out;
    EXPECT_LE(passes, heldMs / 10 + 3) << out;
  }
  unlink(patch.c_str());
  unlink(trace.c_str());
  unlink(keys.c_str());
}

}  // namespace
