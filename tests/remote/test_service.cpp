// The remote-control service over real loopback sockets, with a pump thread
// accepting clients as the synthesizer's main loop does.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>
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
      listener_ = SDLNet_TCP_Open(&address);
    }
    ASSERT_NE(listener_, nullptr);
    pump_ = std::thread([this] {
      while (!stop_) {
        accepted_ += acceptRemoteClient(listener_);
        std::this_thread::sleep_for(2ms);
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
  static bool allConnectionsEnded() {
    for (int i = 0; i < 250 && activeRemoteConnections() > 0; ++i) std::this_thread::sleep_for(20ms);
    return activeRemoteConnections() == 0;
  }

  int port_ = 0;
  TCPsocket listener_ = nullptr;
  std::atomic<bool> stop_{false};
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

TEST_F(RemoteService, LinesPastTheLimitEndTheConnection) {
  // At the limit, line end included: served.
  command(*greeted(), std::string(kRemoteLineLimit - 2, 'A') + "\r\n");
  // One byte over (arriving in many reads), and far over without a line end.
  buttonWord = 0;
  for (const std::string& text : {"PORTA=5" + std::string(kRemoteLineLimit - 8, 'B') + "\r\n",
                                  std::string(3 * kRemoteReadSize, 'C')}) {
    auto c = greeted();
    c->send(text);
    EXPECT_TRUE(c->closedByPeer());
  }
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
  command(*greeted(), "PORTA=2\r\n");
  EXPECT_EQ(buttonWord.load(), 2);
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
