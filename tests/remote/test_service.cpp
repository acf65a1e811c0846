// The remote-control service over real loopback sockets, with a pump thread
// accepting clients as the synthesizer's main loop does.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "loopback.h"
#include "remote/remote.h"

using namespace std::chrono_literals;

namespace {

const std::string kGreeting("Hello to MORVEL remote access!\r\nENTER YOU COMMAND then FINISH to exit\0", 70);
const std::string kPrompt("\r\nCommand>\0", 11);
const std::string kZero("0\r\n\0", 4);
const std::string kOne("1\r\n\0", 4);

class RemoteService : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(SDLNet_Init(), 0); }

  void SetUp() override {
    for (int attempt = 0; attempt < 20 && listener_ == nullptr; ++attempt) {
      port_ = loopback::freePort();
      IPaddress address;
      ASSERT_EQ(SDLNet_ResolveHost(&address, nullptr, static_cast<Uint16>(port_)), 0);
      listener_ = openRemoteListener(address);
    }
    ASSERT_NE(listener_, nullptr);
    pump_ = std::thread([this] {
      while (!stop_) {
        accepted_ += acceptRemoteClient(listener_);
        std::this_thread::sleep_for(std::chrono::milliseconds(pumpPeriodMs_.load()));
      }
    });
  }

  void TearDown() override {
    stop_ = true;
    pump_.join();
    waitRemoteConnections();
    SDLNet_TCP_Close(listener_);
  }

  // A client that has read its greeting and first prompt.
  std::unique_ptr<loopback::Client> greeted() {
    auto c = std::make_unique<loopback::Client>(port_);
    EXPECT_EQ(c->read(kGreeting.size() + kPrompt.size()), kGreeting + kPrompt);
    return c;
  }
  // Sends `line` and expects the reply 0 and the next prompt.
  static void command(loopback::Client& c, const std::string& line) {
    ASSERT_TRUE(c.send(line));
    EXPECT_EQ(c.read(kZero.size() + kPrompt.size()), kZero + kPrompt) << line;
  }
  static bool allConnectionsEndedBut(int left) {
    for (int i = 0; i < 250 && activeRemoteConnections() > left; ++i) std::this_thread::sleep_for(20ms);
    return activeRemoteConnections() == left;
  }
  static bool allConnectionsEnded() { return allConnectionsEndedBut(0); }

  int port_ = 0;
  TCPsocket listener_ = nullptr;
  std::atomic<bool> stop_{false};
  std::atomic<int> pumpPeriodMs_{2};  // the synthesizer's loop makes 10
  std::atomic<int> accepted_{0};
  std::thread pump_;
};

TEST_F(RemoteService, GreetingPromptAndFinishAreExactBytes) {
  auto c = greeted();
  ASSERT_TRUE(c->send("FINISH\r\n"));
  EXPECT_EQ(c->read(kOne.size()), kOne);
  EXPECT_TRUE(c->closedByPeer());
  EXPECT_TRUE(allConnectionsEnded());
}

TEST_F(RemoteService, PortaReadsTheWholeNumberAfterItsEqualsSign) {
  const struct {
    const char* line;
    int word;  // buttonWord afterwards, starting from 77
  } cases[] = {{"PORTA=5\r\n", 5},   {"PORTA=12abc\r\n", 12}, {"PORTA=x\r\n", 0},      {"porta=5\r\n", 77},
               {"PORTA=-3\r\n", -3}, {"go PORTA=9=4\r\n", 9}, {"PORTA=\r\n", 0},       {"PORTA\r\n", 77},
               {"\r\n", 77},         {"PORTA=2\r\n\r", 2},   {"\n", 77}};  // a one-byte line
  auto c = greeted();
  for (const auto& k : cases) {
    buttonWord = 77;
    command(*c, k.line);
    EXPECT_EQ(buttonWord.load(), k.word) << k.line;
  }
  // Everything up to the end of the read that ended the line is one command
  // text: both commands act.
  ASSERT_TRUE(c->send("PORTA=3\r\nFINISH\r\n"));
  EXPECT_EQ(c->read(kOne.size()), kOne);
  EXPECT_EQ(buttonWord.load(), 3);
  EXPECT_TRUE(c->closedByPeer());
}

TEST_F(RemoteService, LinesAreGatheredAcrossReads) {
  // Each case: the pieces before the line is complete (none answered), the
  // last piece, the word it leaves.
  const struct {
    std::vector<std::string> waiting;
    std::string last;
    int word;
  } cases[] = {
      {{"POR", "TA=1"}, "\r\n", 1},
      {{"PORTA=9\r"}, "\n", 9},                   // CR ends one read, LF opens the next
      {{"PORTA=4\n", "\n"}, "\r\n", 4},          // a lone LF after no CR ends nothing
  };
  auto c = greeted();
  for (const auto& k : cases) {
    for (const std::string& piece : k.waiting) {
      ASSERT_TRUE(c->send(piece));
      EXPECT_EQ(c->read(1, 150ms), "") << piece;
    }
    command(*c, k.last);
    EXPECT_EQ(buttonWord.load(), k.word);
  }
}

TEST_F(RemoteService, ConcurrentClientsKeepTheirOwnLineEnds) {
  auto a = greeted();
  auto b = greeted();
  // A's trailing carriage return must not let B's line feed end B's line.
  ASSERT_TRUE(a->send("PORTA=6\r"));
  EXPECT_EQ(a->read(1, 150ms), "");
  ASSERT_TRUE(b->send("\n"));
  EXPECT_EQ(b->read(1, 200ms), "");
  command(*a, "\n");
  EXPECT_EQ(buttonWord.load(), 6);
  // The last PORTA on any connection wins; B is served after A has gone.
  command(*b, "PORTA=7\r\n");
  EXPECT_EQ(buttonWord.load(), 7);
  ASSERT_TRUE(a->send("FINISH\r\n"));
  EXPECT_EQ(a->read(kOne.size()), kOne);
  command(*b, "PORTA=8\r\n");
  EXPECT_EQ(buttonWord.load(), 8);
  ASSERT_TRUE(b->send("FINISH\r\n"));
  EXPECT_EQ(b->read(kOne.size()), kOne);
  EXPECT_TRUE(allConnectionsEnded());
  EXPECT_EQ(accepted_.load(), 2);
}

TEST_F(RemoteService, LongReadsAreServedAndEndlessLinesEndTheConnection) {
  // At the limit, line end included: served.
  command(*greeted(), std::string(kRemoteLineLimit - 2, 'A') + "\r\n");
  // A whole read of ordinary commands, sent before the connection is even
  // served, so that one read takes it all: served, the connection kept.
  {
    pumpPeriodMs_ = 300;
    std::this_thread::sleep_for(350ms);
    loopback::Client c(port_);
    std::string burst;
    while (burst.size() + 9 <= kRemoteReadSize) burst += "PORTA=3\r\n";
    burst.resize(kRemoteReadSize, ' ');
    ASSERT_TRUE(c.send(burst));
    pumpPeriodMs_ = 2;
    EXPECT_EQ(c.read(kGreeting.size() + kPrompt.size()), kGreeting + kPrompt);
    EXPECT_EQ(c.read(kZero.size() + kPrompt.size()), kZero + kPrompt);
    EXPECT_EQ(buttonWord.load(), 3);
    command(c, "PORTA=5\r\n");
    EXPECT_EQ(buttonWord.load(), 5);
  }
  // Far over the limit without a line end: the connection ends.
  buttonWord = 0;
  auto c = greeted();
  c->send("PORTA=9" + std::string(3 * kRemoteReadSize, 'C'));
  EXPECT_TRUE(c->closedByPeer());
  EXPECT_EQ(buttonWord.load(), 0);
  EXPECT_TRUE(allConnectionsEnded());
  command(*greeted(), "PORTA=1\r\n");  // the service goes on
}

TEST_F(RemoteService, VanishingClientsEndTheirConnections) {
  buttonWord = 0;
  greeted()->closeNow();  // orderly close without FINISH
  auto half = greeted();
  half->send("PORTA=5");  // half a line, then a reset: the half line does nothing
  half->abort();
  for (int i = 0; i < 3; ++i) {
    // Gone before the greeting: the sends fail, and must not kill the
    // process with a broken pipe.
    loopback::Client(port_).abort();
  }
  for (int i = 0; i < 500 && accepted_.load() < 5; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(accepted_.load(), 5);
  EXPECT_TRUE(allConnectionsEnded());
  EXPECT_EQ(buttonWord.load(), 0);
  auto last = greeted();
  command(*last, "PORTA=2\r\n");
  EXPECT_EQ(buttonWord.load(), 2);
}

TEST_F(RemoteService, LostConnectionsReleaseOnlyTheButtonsTheyHeld) {
  buttonWord = 0;
  {
    auto a = greeted();
    command(*a, "PORTA=1\r\n");
    a->abort();  // gone with F1 held
  }
  auto released = [] {
    for (int i = 0; i < 250 && buttonWord.load() != 0; ++i) std::this_thread::sleep_for(20ms);
    return buttonWord.load() == 0;
  };
  EXPECT_TRUE(released());
  // Another connection wrote the word since: it stays.
  auto a = greeted();
  auto b = greeted();
  command(*a, "PORTA=3\r\n");
  command(*b, "PORTA=5\r\n");
  a->closeNow();
  EXPECT_TRUE(allConnectionsEndedBut(1));
  EXPECT_EQ(buttonWord.load(), 5);
  // "FINISH" leaves the buttons as the box set them.
  ASSERT_TRUE(b->send("FINISH\r\n"));
  EXPECT_EQ(b->read(kOne.size()), kOne);
  EXPECT_TRUE(allConnectionsEnded());
  EXPECT_EQ(buttonWord.load(), 5);
}

// Clients connecting all at once, paced as the synthesizer's loop accepts
// (one per 10 ms pass): each is greeted in time, none waits for the kernel
// to retry its connection.
TEST_F(RemoteService, BurstsOfClientsAreAllGreetedQuickly) {
  pumpPeriodMs_ = 10;
  for (const auto& [clients, limit] : {std::pair{50, 2000ms}, std::pair{200, 5000ms}}) {
    std::atomic<int> greetedInTime{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    const auto start = std::chrono::steady_clock::now() + 50ms;
    for (int i = 0; i < clients; ++i) {
      threads.emplace_back([&] {
        while (!go) std::this_thread::yield();
        loopback::Client c(port_);
        const std::string got = c.read(kGreeting.size() + kPrompt.size(), limit);
        if (got == kGreeting + kPrompt && std::chrono::steady_clock::now() - start <= limit) ++greetedInTime;
      });
    }
    std::this_thread::sleep_until(start);
    go = true;
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(greetedInTime.load(), clients);
    EXPECT_TRUE(allConnectionsEnded());
  }
}

// Silent clients tie up only their own threads; past the bound the next
// client is told so and closed; the count falls back as they leave.
TEST_F(RemoteService, ConnectionsAreBoundedAndSilentOnesHarmNoOne) {
  std::vector<std::unique_ptr<loopback::Client>> silent;
  for (int i = 0; i < kMaxRemoteConnections; ++i) silent.push_back(greeted());
  EXPECT_EQ(activeRemoteConnections(), kMaxRemoteConnections);
  {
    loopback::Client refused(port_);
    const std::string busy = std::string(kRemoteBusy) + '\0';
    EXPECT_EQ(refused.read(busy.size()), busy);
    EXPECT_TRUE(refused.closedByPeer());
  }
  silent.resize(silent.size() - 1);
  EXPECT_TRUE(allConnectionsEndedBut(kMaxRemoteConnections - 1));
  auto served = greeted();
  command(*served, "PORTA=2\r\n");
  EXPECT_EQ(buttonWord.load(), 2);
  silent.clear();
  served.reset();
  EXPECT_TRUE(allConnectionsEnded());
}

// The shutdown ends every connection thread while clients talk or idle.
TEST_F(RemoteService, StoppingEndsEveryConnectionWhileClientsTalk) {
  std::vector<std::unique_ptr<loopback::Client>> idle;
  for (int i = 0; i < 5; ++i) idle.push_back(greeted());
  std::atomic<bool> talking{true};
  std::vector<std::thread> talkers;
  for (int i = 0; i < 4; ++i) {
    talkers.emplace_back([&, i] {
      loopback::Client c(port_);
      c.read(kGreeting.size() + kPrompt.size());
      for (int n = 0; talking && c.send("PORTA=" + std::to_string(i + n % 2) + "\r\n"); ++n) {
        if (c.read(kZero.size() + kPrompt.size()).empty()) break;
      }
    });
  }
  std::this_thread::sleep_for(200ms);
  stop_ = true;
  pump_.join();
  const auto start = std::chrono::steady_clock::now();
  stopRemoteConnections();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  EXPECT_EQ(activeRemoteConnections(), 0);
  for (auto& c : idle) EXPECT_TRUE(c->closedByPeer());
  talking = false;
  for (std::thread& t : talkers) t.join();
  pump_ = std::thread([] {});  // TearDown joins one
}

TEST(RemotePort, EnvironmentOverridesTheDefault) {
  const struct {
    const char* value;
    int port;
  } cases[] = {{nullptr, 9999}, {"12345", 12345}, {"65535", 65535}, {"0", 9999},
               {"70000", 9999}, {"12x", 9999},    {"", 9999}};
  for (const auto& k : cases) {
    if (k.value == nullptr) {
      unsetenv("MORVEL_REMOTE_PORT");
    } else {
      setenv("MORVEL_REMOTE_PORT", k.value, 1);
    }
    EXPECT_EQ(remotePort(), k.port) << (k.value ? k.value : "(unset)");
  }
  unsetenv("MORVEL_REMOTE_PORT");
}

}  // namespace
