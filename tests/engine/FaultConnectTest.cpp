// Servers that fail the Player's open: error answers, a redirect loop, a name that does not
// resolve, a header block too large for the header buffer, a head sent one byte a second. Each
// ends the open with "Connection error!" within its time limit, and the Player opens the next
// stream as if nothing had happened.
#include <gtest/gtest.h>

#include <algorithm>

#include "FaultPlayer.h"
#include "StreamTestServer.h"
#include "platform/internet/HttpRequest.h"
#include "resources/StringTable.h"

namespace orvel::test {
namespace {

using Clock = std::chrono::steady_clock;

size_t occurrences(const std::string& text, const std::string& word) {
  size_t n = 0;
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
  return n;
}

class FaultConnectTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_server.running()); }

  // Opens `url`; expects the failed open with error 6 within `limitMs`, the status sequence's
  // end, and then a good open on the same Player.
  void expectConnectionError(FaultPlayer& player, const std::string& url, int64_t limitMs) {
    player.forget();
    const auto start = Clock::now();
    EXPECT_EQ(player.open(url), false) << url;
    EXPECT_LT(msSince(start), limitMs) << url;
    EXPECT_EQ(player.player().GetLastError(), kStrConnectionError) << url;
    EXPECT_EQ(player.player().GetLastError(), 0) << url;
    EXPECT_EQ(player.player().state(), Player::Idle) << url;
    const std::vector<int32_t> statuses = player.statuses();
    ASSERT_FALSE(statuses.empty()) << url;
    EXPECT_EQ(statuses.back(), kStrConnectionError) << url;
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), kStrConnectedToServer), 0) << url;

    EXPECT_EQ(player.open(m_server.url("/good")), true) << "after " << url;
    player.player().Close();
    EXPECT_EQ(player.waitReply(Player::kClose), true);
  }

  StreamTestServer m_server;
};

TEST_F(FaultConnectTest, ErrorAnswersRedirectLoopAndOversizedHeadersFail) {
  FaultPlayer player(ConnectionTiming{.responseTimeoutMs = 3000}, "null");
  expectConnectionError(player, m_server.url("/s?mode=500"), 5000);
  expectConnectionError(player, m_server.url("/s?mode=404"), 5000);
  // Far more header lines than the 2048-character header buffer holds, as HTTP and as ICY
  // lines in the body.
  expectConnectionError(player, m_server.url("/s?junk=150"), 5000);
  expectConnectionError(player, m_server.url("/s?mode=icy&junk=150"), 5000);

  expectConnectionError(player, m_server.url("/loop?mode=loop"), 10000);
  // The loop is cut after the client's redirect limit: the first request and its redirects.
  EXPECT_EQ(occurrences(m_server.requestLog(), "GET /loop?mode=loop"),
            static_cast<size_t>(HttpRequest::kMaxRedirects + 1));
}

TEST_F(FaultConnectTest, RetriesOfAFailingServerEachReportAndThenGiveUp) {
  FaultPlayer player(ConnectionTiming{.retryPauseMs = 100}, "null");
  player.player().Open(OpenRequest{fromUtf8(m_server.url("/r?mode=500")), false, 2});
  EXPECT_EQ(player.waitReply(Player::kOpen), false);
  EXPECT_EQ(player.player().GetLastError(), kStrConnectionError);
  EXPECT_EQ(occurrences(m_server.requestLog(), "GET /r?mode=500"), 3u);
  const std::vector<int32_t> statuses = player.statuses();
  EXPECT_EQ(std::count(statuses.begin(), statuses.end(), kStrRetry), 2);
  EXPECT_EQ(std::count(statuses.begin(), statuses.end(), kStrConnecting), 3);
}

TEST_F(FaultConnectTest, NameThatDoesNotResolveFails) {
  FaultPlayer player(ConnectionTiming{}, "null");
  // .invalid never resolves; the resolver answers at once or after its own time-out.
  expectConnectionError(player, "http://orvel-radio-fault.invalid:8000/stream", 30000);
}

TEST_F(FaultConnectTest, HeadSentOneByteASecondFailsAtTheResponseLimit) {
  FaultPlayer player(ConnectionTiming{.responseTimeoutMs = 1500}, "null");
  const auto start = Clock::now();
  expectConnectionError(player, m_server.url("/s?drip_head=1"), 6000);
  EXPECT_GE(msSince(start), 1400);
  // ICY lines dripped in the body meet the same limit.
  expectConnectionError(player, m_server.url("/s?mode=icy&drip_head=1&drip_ms=200"), 6000);
}

// A Close issued while the ICY lines drip in: the Open fails, but the user has moved on, so
// neither the Player nor the connection has an error to show.
TEST_F(FaultConnectTest, OpenGivenUpForACloseLeavesNoError) {
  FaultPlayer player(ConnectionTiming{.responseTimeoutMs = 1500}, "null");
  player.player().Open(
      OpenRequest{fromUtf8(m_server.url("/s?mode=icy&drip_head=1&drip_ms=200")), false, 0});
  ASSERT_TRUE(player.waitFor(Player::kStatus, kStrRequestingServer, 5000));
  player.player().Close();
  EXPECT_EQ(player.waitReply(Player::kOpen), false);
  EXPECT_EQ(player.waitReply(Player::kClose), true);
  EXPECT_EQ(player.player().GetLastError(), 0);
  EXPECT_EQ(player.player().state(), Player::Idle);
}

TEST_F(FaultConnectTest, ServerThatNeverAnswersFailsAtTheResponseLimit) {
  FaultPlayer player(ConnectionTiming{.responseTimeoutMs = 1000}, "null");
  expectConnectionError(player, m_server.url("/s?mode=silent"), 5000);
}

}  // namespace
}  // namespace orvel::test
