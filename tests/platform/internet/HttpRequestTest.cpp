#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "StreamTestServer.h"
#include "platform/internet/HttpRequest.h"
#include "platform/internet/InternetSession.h"

namespace orvel {
namespace {

using Clock = std::chrono::steady_clock;

// How often this thread went to sleep and was woken.
long voluntarySwitches() {
  std::ifstream status("/proc/thread-self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("voluntary_ctxt_switches:", 0) == 0) return std::stol(line.substr(24));
  }
  return -1;
}

class HttpRequestTest : public ::testing::Test {
 protected:
  std::unique_ptr<HttpRequest> request(const std::string& pathAndQuery) {
    UrlComponents url;
    EXPECT_TRUE(crackUrl(server.url(pathAndQuery), url));
    return session.openRequest(url, {"*/mpeg", "*/ogg"});
  }
  static std::string readAll(HttpRequest& request, size_t limit) {
    std::string body;
    uint8_t buffer[1000];
    size_t got = 0;
    while (body.size() < limit && request.read(buffer, sizeof buffer, got)) {
      body.append(reinterpret_cast<char*>(buffer), got);
    }
    return body;
  }

  test::StreamTestServer server;
  InternetSession session{"ORVEL Radio"};
};

TEST_F(HttpRequestTest, TakesAnIcyAnswerAsHttp09) {
  ASSERT_TRUE(server.running());
  auto icy = request("/s?mode=icy&close=200");
  ASSERT_TRUE(icy->send(""));
  EXPECT_EQ(icy->rawHeaderLines(), std::vector<std::string>{"HTTP/0.9 200 OK"});
  EXPECT_EQ(readAll(*icy, 1000).substr(0, 12), "ICY 200 OK\r\n");
}

// The server sends as fast as it can while the reader lags, so libcurl receives far more than
// the body buffer holds and must be held back and resumed without losing or repeating a byte.
TEST_F(HttpRequestTest, ABodyFasterThanTheReaderArrivesWhole) {
  const std::string audio = test::StreamTestServer::readFile(test::StreamTestServer::audioPath());
  ASSERT_FALSE(audio.empty());
  const size_t total = 1500000;
  std::string expected;
  while (expected.size() < total) expected += audio;
  expected.resize(total);

  auto fast = request("/s?close=" + std::to_string(total));
  ASSERT_TRUE(fast->send(""));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // let the socket fill up
  const std::string body = readAll(*fast, total + 1);
  ASSERT_EQ(body.size(), total);
  EXPECT_TRUE(body == expected) << "first difference at " << [&] {
    return std::mismatch(body.begin(), body.end(), expected.begin()).first - body.begin();
  }();
  uint8_t byte = 0;
  size_t got = 0;
  EXPECT_FALSE(fast->read(&byte, 1, got));  // the end stays the end
}

// The connection hands the bytes that came with the answer to the queue before its reader
// thread takes over: taking them must neither wait nor lose or repeat a byte.
TEST_F(HttpRequestTest, ReceivedBytesAreTakenOnceAndInOrder) {
  const std::string audio = test::StreamTestServer::readFile(test::StreamTestServer::audioPath());
  ASSERT_GE(audio.size(), 12000u);
  auto stream = request("/s?close=12000");
  ASSERT_TRUE(stream->send(""));
  uint8_t first = 0;
  size_t got = 0;
  ASSERT_TRUE(stream->read(&first, 1, got));  // leaves the rest of that packet received
  std::string body(1, static_cast<char>(first));
  uint8_t buffer[700];
  size_t taken = 0;
  while ((taken = stream->takeReceived(buffer, sizeof buffer)) > 0) {
    body.append(reinterpret_cast<char*>(buffer), taken);
  }
  EXPECT_GT(body.size(), 1u);
  body += readAll(*stream, 12001);
  EXPECT_EQ(body, audio.substr(0, 12000));
}

// A server that writes small pieces: a gathering read collects whole reads of them, loses and
// repeats nothing, hands over a short rest once no more comes, and a stall still ends a read.
TEST_F(HttpRequestTest, GatheringReadsTakeSmallPiecesWholeAndStillEndAtAStall) {
  const std::string audio = test::StreamTestServer::readFile(test::StreamTestServer::audioPath());
  const size_t total = 12000;  // not a multiple of the read size: the last read is short
  ASSERT_GE(audio.size(), total);
  auto stream = request("/s?piece=300&piece_ms=4&stall=" + std::to_string(total));
  ASSERT_TRUE(stream->send(""));
  std::string body;
  int shortReads = 0;
  uint8_t buffer[2048];
  size_t got = 0;
  auto lastRead = Clock::now();
  const long wakesBefore = voluntarySwitches();
  while (body.size() < total) {
    lastRead = Clock::now();
    ASSERT_TRUE(stream->read(buffer, sizeof buffer, got, 5000, 250)) << body.size();
    body.append(reinterpret_cast<char*>(buffer), got);
    if (got < sizeof buffer) ++shortReads;
  }
  const long wakes = voluntarySwitches() - wakesBefore;
  EXPECT_EQ(body, audio.substr(0, total));
  // Only the rest after the last piece (and at most one read that met a late piece) is short;
  // reads that each took what happened to be there would be short about forty times.
  EXPECT_LE(shortReads, 2);
  // The socket wakes the reader once a read's worth is there: about once per read, not once for
  // each of the forty pieces.
  EXPECT_LE(wakes, 20);
  EXPECT_LT(Clock::now() - lastRead, std::chrono::seconds(2));  // the rest did not wait 5 s
  const auto waited = Clock::now();
  EXPECT_FALSE(stream->read(buffer, sizeof buffer, got, 400, 250));
  EXPECT_GE(Clock::now() - waited, std::chrono::milliseconds(390));
}

TEST_F(HttpRequestTest, FailuresAndAbortEndPromptly) {
  auto silent = request("/s?mode=silent");
  const auto start = Clock::now();
  EXPECT_FALSE(silent->send("", 300));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));

  auto stalled = request("/s?stall=100");
  ASSERT_TRUE(stalled->send(""));
  EXPECT_EQ(readAll(*stalled, 100).size(), 100u);
  uint8_t byte = 0;
  EXPECT_EQ(stalled->takeReceived(&byte, 1), 0u);  // nothing received: no wait either
  size_t got = 0;
  const auto waited = Clock::now();
  EXPECT_FALSE(stalled->read(&byte, 1, got, 300));  // nothing within the time limit
  EXPECT_GE(Clock::now() - waited, std::chrono::milliseconds(290));
  EXPECT_LT(Clock::now() - waited, std::chrono::seconds(3));
  std::thread aborter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    stalled->abort();
  });
  EXPECT_FALSE(stalled->read(&byte, 1, got));  // blocked until the abort
  aborter.join();
  EXPECT_EQ(got, 0u);

  UrlComponents closed;
  ASSERT_TRUE(crackUrl("http://127.0.0.1:1/", closed));
  EXPECT_FALSE(session.openRequest(closed, {})->send(""));
}

TEST_F(HttpRequestTest, FollowsAtMostFiveRedirects) {
  auto five = request("/hop?mode=redirect&hops=5");
  ASSERT_TRUE(five->send(""));
  EXPECT_EQ(five->rawHeaderLines().front(), "HTTP/1.0 200 OK");
  EXPECT_FALSE(request("/hop?mode=redirect&hops=6")->send(""));
}

TEST_F(HttpRequestTest, OversizedHeaderBlockFails) {
  // 2000 lines of about 50 bytes: more than the header limit.
  EXPECT_FALSE(request("/s?junk=2000")->send(""));
  EXPECT_TRUE(request("/s?junk=100")->send(""));
}

}  // namespace
}  // namespace orvel
