// The remote-control service over real loopback sockets, with a pump thread
// accepting clients as the synthesizer's main loop does.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

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
    EXPECT_TRUE(c->connected());
    EXPECT_EQ(c->read(kGreeting.size() + kPrompt.size()), kGreeting + kPrompt);
    return c;
  }

  // Waits until every connection thread has ended.
  static bool allConnectionsEnded() {
    for (int i = 0; i < 250; ++i) {
      if (activeRemoteConnections() == 0) return true;
      std::this_thread::sleep_for(20ms);
    }
    return false;
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
  struct Case {
    const char* line;
    int word;  // expected buttonWord, starting from 77
  };
  const Case cases[] = {
      {"PORTA=5\r\n", 5},      {"PORTA=12abc\r\n", 12},   {"PORTA=x\r\n", 0},
      {"porta=5\r\n", 77},     {"PORTA=-3\r\n", -3},      {"go PORTA=9=4\r\n", 9},
      {"PORTA=\r\n", 0},       {"PORTA\r\n", 77},         {"hello\r\n", 77},
      {"\r\n", 77},            {"PORTA=+21\r\n", 21},
  };
  auto c = greeted();
  for (const Case& k : cases) {
    buttonWord = 77;
    ASSERT_TRUE(c->send(k.line));
    EXPECT_EQ(c->read(kZero.size() + kPrompt.size()), kZero + kPrompt) << k.line;
    EXPECT_EQ(buttonWord.load(), k.word) << k.line;
  }
  // Several commands gathered into one read form one command text: both act.
  ASSERT_TRUE(c->send("PORTA=3\r\nFINISH\r\n"));
  EXPECT_EQ(c->read(kOne.size()), kOne);
  EXPECT_EQ(buttonWord.load(), 3);
  EXPECT_TRUE(c->closedByPeer());
}

TEST_F(RemoteService, LinesAreGatheredAcrossReads) {
  auto c = greeted();
  // In pieces: nothing is answered before the line end.
  buttonWord = 0;
  for (const char* piece : {"POR", "TA=1"}) {
    ASSERT_TRUE(c->send(piece));
    EXPECT_EQ(c->read(1, 150ms), "");
  }
  ASSERT_TRUE(c->send("\r\n"));
  EXPECT_EQ(c->read(kZero.size() + kPrompt.size()), kZero + kPrompt);
  EXPECT_EQ(buttonWord.load(), 1);

  // A carriage return ending one read and the line feed opening the next.
  ASSERT_TRUE(c->send("PORTA=9\r"));
  EXPECT_EQ(c->read(1, 150ms), "");
  ASSERT_TRUE(c->send("\n"));
  EXPECT_EQ(c->read(kZero.size() + kPrompt.size()), kZero + kPrompt);
  EXPECT_EQ(buttonWord.load(), 9);

  // A lone line feed after a read without a carriage return ends nothing.
  ASSERT_TRUE(c->send("PORTA=4\n"));
  EXPECT_EQ(c->read(1, 150ms), "");
  ASSERT_TRUE(c->send("\n"));
  EXPECT_EQ(c->read(1, 150ms), "");
  ASSERT_TRUE(c->send("\r\n"));
  EXPECT_EQ(c->read(kZero.size() + kPrompt.size()), kZero + kPrompt);
  EXPECT_EQ(buttonWord.load(), 4);
}

TEST_F(RemoteService, ConcurrentClientsKeepTheirOwnLineEnds) {
  auto a = greeted();
  auto b = greeted();
  // A's trailing carriage return must not let B's line feed end B's line.
  ASSERT_TRUE(a->send("PORTA=6\r"));
  EXPECT_EQ(a->read(1, 150ms), "");
  ASSERT_TRUE(b->send("\n"));
  EXPECT_EQ(b->read(1, 200ms), "");
  ASSERT_TRUE(a->send("\n"));
  EXPECT_EQ(a->read(kZero.size() + kPrompt.size()), kZero + kPrompt);
  EXPECT_EQ(buttonWord.load(), 6);
  // The last PORTA on any connection wins.
  ASSERT_TRUE(b->send("PORTA=7\r\n"));
  EXPECT_EQ(b->read(kZero.size() + kPrompt.size()), kZero + kPrompt);
  EXPECT_EQ(buttonWord.load(), 7);
  ASSERT_TRUE(a->send("FINISH\r\n"));
  EXPECT_EQ(a->read(kOne.size()), kOne);
  // B is still served after A has gone.
  ASSERT_TRUE(b->send("PORTA=8\r\n"));
  EXPECT_EQ(b->read(kZero.size() + kPrompt.size()), kZero + kPrompt);
  EXPECT_EQ(buttonWord.load(), 8);
  ASSERT_TRUE(b->send("FINISH\r\n"));
  EXPECT_EQ(b->read(kOne.size()), kOne);
  EXPECT_TRUE(allConnectionsEnded());
  EXPECT_EQ(accepted_.load(), 2);
}

TEST_F(RemoteService, LineLimitIsNinetyNineThousandNineHundredNinetyNineBytes) {
  {
    // At the limit, line end included: served.
    auto c = greeted();
    ASSERT_TRUE(c->send(std::string(kRemoteLineLimit - 2, 'A') + "\r\n"));
    EXPECT_EQ(c->read(kZero.size() + kPrompt.size()), kZero + kPrompt);
  }
  {
    // One byte over, arriving in many reads: the connection ends.
    auto c = greeted();
    buttonWord = 0;
    std::string line = "PORTA=5" + std::string(kRemoteLineLimit - 8, 'B') + "\r\n";
    c->send(line);
    EXPECT_TRUE(c->closedByPeer());
    EXPECT_EQ(buttonWord.load(), 0);
  }
  {
    // Far over, with no line end at all.
    auto c = greeted();
    c->send(std::string(3 * kRemoteReadSize, 'C'));
    EXPECT_TRUE(c->closedByPeer());
  }
  EXPECT_TRUE(allConnectionsEnded());
  // The service goes on for the next client.
  auto c = greeted();
  ASSERT_TRUE(c->send("FINISH\r\n"));
  EXPECT_EQ(c->read(kOne.size()), kOne);
}

TEST_F(RemoteService, VanishingClientsEndTheirConnections) {
  buttonWord = 0;
  {
    auto c = greeted();
    c->closeNow();  // orderly close, no FINISH
  }
  {
    auto c = greeted();
    c->send("PORTA=5");  // half a line, then gone: the half line does nothing
    c->abort();
  }
  for (int i = 0; i < 3; ++i) {
    // Gone before the greeting could be sent: the sends fail, the process
    // must not be killed by a broken pipe.
    loopback::Client c(port_);
    c.abort();
  }
  for (int i = 0; i < 500 && accepted_.load() < 5; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(accepted_.load(), 5);
  EXPECT_TRUE(allConnectionsEnded());
  EXPECT_EQ(buttonWord.load(), 0);
  auto c = greeted();
  ASSERT_TRUE(c->send("PORTA=2\r\n"));
  EXPECT_EQ(c->read(kZero.size() + kPrompt.size()), kZero + kPrompt);
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
