// The network stream against the loopback test server: answers, failures, retries, stalls and
// in-band metadata, end to end through libcurl.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "FaultPlayer.h"
#include "PlayToolRunner.h"
#include "RecordingEvents.h"
#include "StreamTestServer.h"
#include "audio/FrameSync.h"
#include "engine/IcyStream.h"
#include "engine/RecordingStream.h"
#include "resources/StringTable.h"

namespace orvel {
namespace {

using Clock = std::chrono::steady_clock;
using test::RecordingEvents;

int64_t msSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class IcyStreamNetworkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.running());
    audio = test::StreamTestServer::readFile(test::StreamTestServer::audioPath());
    ASSERT_GT(audio.size(), 10000u);
  }

  std::unique_ptr<IcyStream> open(const std::string& pathAndQuery, ConnectionTiming timing = {},
                                  int32_t retries = 0, bool prebuffer = false,
                                  int32_t reconnects = 0) {
    auto stream = std::make_unique<IcyStream>(&events, timing);
    events.stream = stream.get();
    stream->Connect(
        OpenRequest{fromUtf8(server.url(pathAndQuery)), prebuffer, retries, reconnects});
    return stream;
  }

  // Whether `bytes` is one unbroken run of the server's loop of the file.
  bool isRunOfTheLoop(const std::string& bytes) const {
    const std::string loop = looped(2 * audio.size() + bytes.size());
    const size_t at = loop.find(bytes.substr(0, 2000));
    return at != std::string::npos && at < audio.size() &&
           loop.compare(at, bytes.size(), bytes) == 0;
  }

  // Reads audio through ReadChunk until `limit` bytes or the end.
  static std::string readAudio(IcyStream& stream, size_t limit) {
    std::string bytes;
    while (bytes.size() < limit) {
      const uint8_t* data = nullptr;
      const int32_t n = stream.ReadChunk(&data, nullptr);
      if (n <= 0) break;
      bytes.append(reinterpret_cast<const char*>(data), static_cast<size_t>(n));
    }
    return bytes;
  }

  // The first n bytes of the server's endless loop of the file.
  std::string looped(size_t n) const {
    std::string bytes;
    while (bytes.size() < n) bytes += audio.substr(0, n - bytes.size());
    return bytes;
  }

  // Where `got` first differs from the server's loop of the file; npos when it does not.
  size_t mismatch(const std::string& got) const {
    const std::string expected = looped(got.size());
    for (size_t i = 0; i < got.size(); ++i) {
      if (got[i] != expected[i]) return i;
    }
    return std::string::npos;
  }

  test::StreamTestServer server;
  std::string audio;
  test::RecordingEvents events;
};

TEST_F(IcyStreamNetworkTest, HttpAnswerGivesHeadersAudioAndTitles) {
  auto stream = open("/stream?metaint=1000&titles=One|Two|Three");
  ASSERT_TRUE(events.waitConnected());
  // "Playback started" comes with the first data, which may follow the connect's end.
  std::vector<int32_t> steps = events.reports();
  std::erase(steps, kStrPlaybackStarted);
  EXPECT_EQ(steps, (std::vector<int32_t>{kStrConnectingToInternet, kStrOnline, kStrConnecting,
                                         kStrRequestingServer, kStrConnectedToServer,
                                         RecordingEvents::kConnectedOk}));
  const std::optional<StreamHeaders> headers = stream->GetStreamHeaders();
  ASSERT_TRUE(headers);
  EXPECT_EQ(headers->name, u"Loopback Radio");
  EXPECT_EQ(headers->bitrate, u"32");
  std::string format;
  EXPECT_TRUE(stream->FormatName(format));
  EXPECT_EQ(format, "mp3");

  const std::string got = readAudio(*stream, 50000);
  ASSERT_GE(got.size(), 50000u);
  EXPECT_EQ(mismatch(got), std::string::npos);  // not one metadata byte among the audio
  ASSERT_GE(events.titles.size(), 4u);
  EXPECT_EQ(std::vector<WString>(events.titles.begin(), events.titles.begin() + 4),
            (std::vector<WString>{u"One", u"Two", u"Three", u"One"}));
  EXPECT_EQ(stream->GetPosition(), static_cast<int64_t>(got.size()));
  EXPECT_FALSE(stream->IsAtEnd());  // the server still sends
  EXPECT_EQ(events.count(kStrPlaybackStarted), 1u);
  // The reports follow the connection's course: connected first, then the first data.
  const std::vector<int32_t> all = events.reports();
  EXPECT_GT(std::find(all.begin(), all.end(), kStrPlaybackStarted) - all.begin(),
            std::find(all.begin(), all.end(), kStrConnectedToServer) - all.begin());

  EXPECT_TRUE(stream->Disconnect());
  EXPECT_EQ(events.count(kStrClosingConnection), 1u);
  EXPECT_EQ(events.count(kStrConnectionClosed), 1u);
  const uint8_t* data = nullptr;
  EXPECT_EQ(stream->ReadChunk(&data, nullptr), 0);
}

TEST_F(IcyStreamNetworkTest, HeadersQueriedDuringReconnectsAreWholeCopies) {
  auto stream = open("/h?metaint=1000");
  ASSERT_TRUE(events.waitConnected());
  // The screen asks on its own thread while the connect thread replaces the record (a sanitized
  // build sees any access that is not ordered by the lock).
  std::atomic<bool> done{false};
  std::thread screen([&] {
    while (!done) {
      const std::optional<StreamHeaders> headers = stream->GetStreamHeaders();
      ASSERT_TRUE(headers);
      EXPECT_EQ(headers->name, u"Loopback Radio");
    }
  });
  for (const char* query : {"/h?mode=icy", "/h?type=application/ogg", "/h"}) {
    events.clear();
    stream->Connect(OpenRequest{fromUtf8(server.url(query)), false, 0});
    EXPECT_TRUE(events.waitConnected()) << query;
  }
  done = true;
  screen.join();
  std::string format;
  EXPECT_TRUE(stream->FormatName(format));
  EXPECT_EQ(format, "mp3");
}

TEST_F(IcyStreamNetworkTest, RequestNamesPathAndQueryWithOurHeaders) {
  auto stream = open("/listen?sid=1&token=abc#fragment   ");
  ASSERT_TRUE(events.waitConnected());
  stream->Disconnect();
  const std::string log = server.requestLog();
  EXPECT_NE(log.find("GET /listen?sid=1&token=abc HTTP/1.1\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("\r\nUser-Agent: ORVEL Radio\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("\r\nAccept: */mpeg, */ogg, audio/aac, audio/aacp, audio/x-aac, audio/opus, "
                     "audio/flac, audio/x-flac\r\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("\r\nicy-metadata:1"), std::string::npos) << log;
  EXPECT_EQ(log.find("fragment"), std::string::npos) << log;
}

TEST_F(IcyStreamNetworkTest, IcyAnswerIsReadFromTheBody) {
  auto stream = open("/stream?mode=icy&split=1&metaint=3000");
  ASSERT_TRUE(events.waitConnected());
  ASSERT_TRUE(stream->GetStreamHeaders());
  EXPECT_EQ(stream->GetStreamHeaders()->genre, u"Test");
  const std::string got = readAudio(*stream, 20000);
  ASSERT_GE(got.size(), 20000u);
  EXPECT_EQ(mismatch(got),
            std::string::npos);  // the first audio byte is the one after the empty line
  EXPECT_GE(events.count(RecordingEvents::kTitleChanged), 5u);
}

TEST_F(IcyStreamNetworkTest, RefusedAnswersFailWithConnectionError) {
  for (const char* query : {"/s?mode=404", "/s?mode=icy401", "/s?junk=150"}) {
    events.clear();
    auto stream = open(query);
    EXPECT_FALSE(events.waitConnected()) << query;
    EXPECT_EQ(events.count(kStrConnecting), 1u) << query;
    EXPECT_EQ(events.count(kStrConnectionError), 1u) << query;
    EXPECT_EQ(events.count(kStrConnectedToServer), 0u) << query;
    EXPECT_EQ(stream->TakeError(), kStrConnectionError);
    EXPECT_EQ(stream->TakeError(), 0);
    EXPECT_FALSE(stream->GetStreamHeaders());
  }
  // ICY lines that trickle in beyond the response time fail like a late HTTP header block.
  events.clear();
  auto slow = open("/s?mode=icy&split=1", ConnectionTiming{.responseTimeoutMs = 150});
  EXPECT_FALSE(events.waitConnected());
  EXPECT_EQ(slow->TakeError(), kStrConnectionError);
  EXPECT_EQ(events.count(kStrPlaybackStarted), 1u);  // the body flowed: it was the ICY lines

  events.clear();
  auto stream = std::make_unique<IcyStream>(&events);
  stream->Connect(OpenRequest{u"ftp://127.0.0.1/x", false, 3});
  EXPECT_FALSE(events.waitConnected());
  EXPECT_EQ(events.count(kStrConnecting), 0u);  // a URL that cannot be cracked is never tried
  EXPECT_EQ(stream->TakeError(), kStrConnectionError);
}

TEST_F(IcyStreamNetworkTest, RedirectIsFollowed) {
  auto stream = open("/old?mode=redirect&to=/new%3Fmode%3Dicy");
  ASSERT_TRUE(events.waitConnected());
  EXPECT_EQ(stream->GetStreamHeaders()->name, u"Loopback Radio");
  EXPECT_NE(server.requestLog().find("GET /new?mode=icy HTTP/"), std::string::npos)
      << server.requestLog();
}

TEST_F(IcyStreamNetworkTest, RetriesPauseBetweenAttempts) {
  const auto start = Clock::now();
  // Five retries: six attempts and five pauses.
  auto stream = open("/s?mode=404", ConnectionTiming{.retryPauseMs = 150}, 5);
  EXPECT_FALSE(events.waitConnected());
  EXPECT_GE(msSince(start), 750);
  const std::vector<int32_t> attempt = {kStrConnecting, kStrRequestingServer};
  std::vector<int32_t> expected = {kStrConnectingToInternet, kStrOnline};
  for (int i = 0; i < 6; ++i) {
    expected.insert(expected.end(), attempt.begin(), attempt.end());
    expected.push_back(i < 5 ? kStrRetry : kStrConnectionError);
  }
  expected.push_back(RecordingEvents::kConnectFailed);
  EXPECT_EQ(events.reports(), expected);
}

TEST_F(IcyStreamNetworkTest, DisconnectDuringARetryPauseEndsTheSeries) {
  auto stream = open("/s?mode=404", ConnectionTiming{.retryPauseMs = 1000}, 5);
  ASSERT_TRUE(events.waitFor(kStrRetry));
  const auto start = Clock::now();
  EXPECT_TRUE(stream->Disconnect());
  EXPECT_GE(msSince(start), 500);  // the running pause is waited out
  EXPECT_EQ(events.count(kStrConnecting), 1u);
  EXPECT_EQ(events.count(RecordingEvents::kConnectFailed), 1u);
}

TEST_F(IcyStreamNetworkTest, StallEndsTheConnectionAfterTheLimitAndQueuedBytesDrain) {
  auto stream = open("/s?stall=6000", ConnectionTiming{.stallLimitMs = 1500});
  ASSERT_TRUE(events.waitConnected());
  const auto start = Clock::now();
  std::string got = readAudio(*stream, 6000);
  // The bytes already queued come at once although a network read is waiting meanwhile.
  EXPECT_LT(msSince(start), 1000);
  EXPECT_EQ(mismatch(got), std::string::npos);
  EXPECT_EQ(got.size(), 6000u);
  EXPECT_EQ(readAudio(*stream, 1), "");
  EXPECT_GE(msSince(start), 1400);
  EXPECT_EQ(events.count(kStrConnectionInterrupted), 1u);
  EXPECT_TRUE(stream->Disconnect());
}

TEST_F(IcyStreamNetworkTest, TimeSpentWaitingForRoomIsNoStall) {
  // More than the queue holds, then silence.
  auto stream = open("/s?stall=200000", ConnectionTiming{.stallLimitMs = 1500});
  ASSERT_TRUE(events.waitConnected());
  const auto start = Clock::now();
  while (stream->GetFill() < 100 && msSince(start) < 5000) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_EQ(stream->GetFill(), 100);
  // The full queue holds the reading back for longer than the limit: that is not a stall.
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  EXPECT_EQ(events.count(kStrConnectionInterrupted), 0u);
  const std::string got = readAudio(*stream, 200000);
  EXPECT_EQ(got.size(), 200000u);
  EXPECT_EQ(mismatch(got), std::string::npos);
  // The silence after the last byte ends the connection at the limit, not a limit later.
  const auto drained = Clock::now();
  EXPECT_EQ(readAudio(*stream, 1), "");
  EXPECT_GE(msSince(drained), 1000);
  EXPECT_LT(msSince(drained), 2500);
  EXPECT_EQ(events.count(kStrConnectionInterrupted), 1u);
}

TEST_F(IcyStreamNetworkTest, ServerCloseEndsTheConnectionWithoutWaiting) {
  auto stream = open("/s?close=7000", ConnectionTiming{.stallLimitMs = 5000});
  ASSERT_TRUE(events.waitConnected());
  const auto start = Clock::now();
  const std::string got = readAudio(*stream, 100000);
  EXPECT_LT(msSince(start), 2000);
  EXPECT_EQ(mismatch(got), std::string::npos);
  EXPECT_EQ(got.size(), 7000u);
  EXPECT_EQ(events.count(kStrConnectionInterrupted), 1u);
}

TEST_F(IcyStreamNetworkTest, HostileMetadataIsHarmless) {
  {
    auto stream = open("/s?metaint=500&title_len=1000");
    ASSERT_TRUE(events.waitConnected());
    EXPECT_EQ(mismatch(readAudio(*stream, 5000).substr(0, 5000)), std::string::npos);
    ASSERT_FALSE(events.titles.empty());
    EXPECT_EQ(events.titles.back(), WString(IcyStream::kMaxTitleChars, u'x'));
  }
  for (const char* query : {"/s?metaint=500&noterm=1", "/s?metaint=1000&close=1010"}) {
    events.titles.clear();
    auto stream = open(query);
    ASSERT_TRUE(events.waitConnected()) << query;
    const std::string got = readAudio(*stream, 3000);
    EXPECT_EQ(mismatch(got), std::string::npos) << query;
    EXPECT_GE(got.size(), 1000u) << query;
    EXPECT_TRUE(events.titles.empty()) << query;
  }
}

TEST_F(IcyStreamNetworkTest, PrebufferingStartedOnAFullRingStartsPlayback) {
  auto stream = open("/s", {}, 0, true);
  ASSERT_TRUE(events.waitConnected());
  const auto start = Clock::now();
  while (stream->GetFill() < 100 && msSince(start) < 5000) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_EQ(stream->GetFill(), 100);
  EXPECT_EQ(events.count(kStrPlaybackStarted), 0u);
  stream->StartPrebuffering();
  EXPECT_EQ(events.count(RecordingEvents::kPrebufferComplete), 1u);
  EXPECT_EQ(events.count(kStrPlaybackStarted), 1u);
  EXPECT_EQ(events.count(kStrBuffering), 0u);
  const std::string got = readAudio(*stream, 200000);
  EXPECT_GE(got.size(), 200000u);
  EXPECT_EQ(mismatch(got), std::string::npos);
}

TEST_F(IcyStreamNetworkTest, DropIsBridgedByAReconnectionWhoseAudioFollowsTheQueuedBytes) {
  // HTTP and ICY answers; the first drop falls inside an audio run, the second 20 bytes into a
  // metadata block. The new connection's audio starts elsewhere in the file and its metadata
  // blocks are counted from its own start.
  for (const char* query : {"/a?metaint=1000&close=7000&drops=1&skip=333",
                            "/b?mode=icy&metaint=700&close=5963&drops=1&skip=4321"}) {
    events.clear();
    auto stream = open(query, ConnectionTiming{.reconnectPauseMs = 50}, 0, false, 2);
    ASSERT_TRUE(events.waitConnected()) << query;
    const std::string got = readAudio(*stream, 30000);
    ASSERT_GE(got.size(), 30000u) << query;
    const size_t splice = mismatch(got);
    ASSERT_NE(splice, std::string::npos) << query;
    EXPECT_GT(splice, 4000u) << query;
    EXPECT_TRUE(isRunOfTheLoop(got.substr(splice))) << query;
    const std::vector<int32_t> all = events.reports();
    const auto at = [&all](int32_t id) { return std::find(all.begin(), all.end(), id); };
    EXPECT_LT(at(RecordingEvents::kReconnecting + 1), at(kStrReconnected)) << query;
    EXPECT_NE(at(kStrReconnected), all.end()) << query;
    EXPECT_EQ(events.count(RecordingEvents::kReconnecting + 2), 0u) << query;
    EXPECT_EQ(events.count(kStrConnectionInterrupted), 0u) << query;
    EXPECT_FALSE(stream->IsAtEnd());
  }
}

TEST_F(IcyStreamNetworkTest, GoneAnswersEndTheReconnectionOthersAreTriedAgain) {
  const struct {
    const char* then;
    size_t attempts;
  } kCases[] = {{"404", 1}, {"icy401", 1}, {"loop", 1}, {"500", 2}};
  for (const auto& each : kCases) {
    events.clear();
    auto stream = open(std::string("/g?close=9000&then=") + each.then,
                       ConnectionTiming{.reconnectPauseMs = 20}, 0, false, 2);
    ASSERT_TRUE(events.waitConnected()) << each.then;
    // Every queued byte is still handed out, then the data ends as it would without attempts.
    const std::string got = readAudio(*stream, 100000);
    EXPECT_EQ(got.size(), 9000u) << each.then;
    EXPECT_EQ(mismatch(got), std::string::npos) << each.then;
    EXPECT_EQ(events.count(kStrConnectionInterrupted), 1u) << each.then;
    for (size_t attempt = 1; attempt <= 3; ++attempt) {
      EXPECT_EQ(events.count(RecordingEvents::kReconnecting + static_cast<int32_t>(attempt)),
                attempt <= each.attempts ? 1u : 0u)
          << each.then << " attempt " << attempt;
    }
    EXPECT_EQ(events.count(kStrReconnected), 0u) << each.then;
  }
}

// (A Close while a reconnection's request waits for its answer: FaultStreamTest.)
TEST_F(IcyStreamNetworkTest, DisconnectOrStopReconnectingEndsTheAttemptsAtOnce) {
  const int32_t forever = OpenRequest::kReconnectForever;
  // In a pause, with a decoder's read waiting for bytes that will not come.
  auto pausing =
      open("/p?close=3000", ConnectionTiming{.reconnectPauseMs = 10000}, 0, false, forever);
  ASSERT_TRUE(events.waitConnected());
  std::string got;
  std::string more = "not read";
  std::atomic<bool> drained{false};
  std::thread reader([&] {
    got = readAudio(*pausing, 3000);
    drained = true;
    more = readAudio(*pausing, 1);
  });
  ASSERT_TRUE(events.waitFor(RecordingEvents::kReconnecting + 1));
  while (!drained) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  auto start = Clock::now();
  EXPECT_TRUE(pausing->Disconnect());
  reader.join();
  EXPECT_LT(msSince(start), 1000);
  EXPECT_EQ(got, looped(3000));
  EXPECT_EQ(more, "");
  EXPECT_EQ(events.count(kStrConnectionInterrupted), 0u);

  // Stopping the attempts ends the data the way a drop without them does.
  events.clear();
  auto stopping =
      open("/r?close=3000", ConnectionTiming{.reconnectPauseMs = 10000}, 0, false, forever);
  ASSERT_TRUE(events.waitFor(RecordingEvents::kReconnecting + 1));
  stopping->StopReconnecting();
  EXPECT_TRUE(events.waitFor(kStrConnectionInterrupted, 1, 1000));
  EXPECT_EQ(readAudio(*stopping, 100000), looped(3000));
}

// Streams of every format, made by ffmpeg and served by the loopback server under a content type
// that is missing, wrong or right.
class FormatRoutingTest : public IcyStreamNetworkTest {
 protected:
  static void SetUpTestSuite() {
    s_folder = new std::string(test::makeTempFolder());
    const std::string make = "ffmpeg -v error -f lavfi -i anoisesrc=d=4:c=pink:a=0.3 -ac 2 ";
    s_ready = test::runCommand(make + "-c:a aac -b:a 96k -f adts " + *s_folder + "/a.aac") &&
              test::runCommand(make + "-c:a libvorbis " + *s_folder + "/v.ogg") &&
              test::runCommand(make + "-c:a libopus " + *s_folder + "/o.opus") &&
              test::runCommand(make + "-c:a flac -f ogg " + *s_folder + "/f.oga") &&
              test::runCommand(make + "-c:a flac " + *s_folder + "/n.flac");
  }
  static void TearDownTestSuite() {
    std::filesystem::remove_all(*s_folder);
    delete s_folder;
  }
  void SetUp() override {
    IcyStreamNetworkTest::SetUp();
    ASSERT_TRUE(s_ready) << "ffmpeg could not make the test audio";
    m_recDir = test::makeTempFolder();
    std::ofstream(m_recDir + "/ignore_my_docs") << "x";
  }

  std::unique_ptr<RecordingStream> openRecording(const std::string& url) {
    events.clear();
    auto stream = std::make_unique<RecordingStream>(&events, [this] { return fromUtf8(m_recDir); });
    events.stream = stream.get();
    stream->Connect(OpenRequest{fromUtf8(url), false, 0, 0});
    return stream;
  }

  void TearDown() override { std::filesystem::remove_all(m_recDir); }

  static std::string* s_folder;
  static bool s_ready;
  std::string m_recDir;
};

std::string* FormatRoutingTest::s_folder = nullptr;
bool FormatRoutingTest::s_ready = false;

TEST_F(FormatRoutingTest, StreamsAreRoutedByTheirBytesWhichStayForTheDecoder) {
  struct Case {
    const char* file;
    const char* query;
    const char* format;
  };
  const Case cases[] = {
      {"a.aac", "type=none&metaint=333", "aac"},
      {"a.aac", "type=audio/aacp", "aac"},
      {"v.ogg", "type=audio/aacp", "ogg"},
      {"o.opus", "type=application/ogg", "opus"},
      {"f.oga", "type=text/plain&metaint=90", "oggflac"},
      {"n.flac", "type=audio/mpeg", "flac"},
      {"", "type=audio/aacp&metaint=100", "mp3"},
      {"", "type=text/html", "mp3"},
  };
  for (const Case& c : cases) {
    const std::string path =
        *c.file ? *s_folder + "/" + c.file : test::StreamTestServer::audioPath();
    const std::string served = test::StreamTestServer::readFile(path);
    test::FileStreamServer files(path);
    ASSERT_TRUE(files.running());
    auto stream = openRecording(files.url(std::string("/s?") + c.query));
    ASSERT_TRUE(events.waitConnected()) << c.query;
    std::string format;
    ASSERT_TRUE(stream->DetectFormat(format)) << c.file << " " << c.query;
    EXPECT_EQ(format, c.format) << c.file << " " << c.query;
    format.clear();
    EXPECT_TRUE(stream->FormatName(format));
    EXPECT_EQ(format, c.format);
    EXPECT_EQ(stream->GetPosition(), 0);
    // Only framed formats record; an Ogg or FLAC stream keeps the refusal.
    const bool framed = format == "mp3" || format == "aac";
    EXPECT_EQ(stream->RecordStart(), framed) << format;
    if (!framed) {
      EXPECT_EQ(stream->TakeError(), kStrRecordingOnlyMp3);
    }
    // The bytes looked at are read again, first by a small Read, then by chunks.
    std::string got(10, '\0');
    ASSERT_EQ(stream->Read(got.data(), 10), 10);
    got += readAudio(*stream, 20000);
    ASSERT_GE(got.size(), 20000u);
    EXPECT_TRUE(got == test::loopedPrefix(served, got.size())) << c.file << " " << c.query;
    EXPECT_EQ(stream->GetPosition(), static_cast<int64_t>(got.size()));
    stream->Disconnect();
  }
}

TEST_F(FormatRoutingTest, AacRecordingIsTheServedAdtsFramesWithoutMetadata) {
  const std::string path = *s_folder + "/a.aac";
  const std::string served = test::StreamTestServer::readFile(path);
  std::ofstream(m_recDir + "/RadioRec.mp3") << "x";  // any extension takes the name
  test::FileStreamServer files(path);
  ASSERT_TRUE(files.running());
  auto stream = openRecording(files.url("/s?type=audio/aacp&metaint=1000&titles=A|B"));
  ASSERT_TRUE(events.waitConnected());
  ASSERT_TRUE(stream->RecordStart());
  const std::string recording = toUtf8(stream->RecordingPath());
  EXPECT_EQ(std::filesystem::path(recording).filename(), "RadioRec01.aac");
  // More than the file: the recording runs on across the server's loop.
  const size_t want = served.size() + served.size() / 2;
  const std::string got = readAudio(*stream, want);
  ASSERT_GE(got.size(), want);
  EXPECT_GE(events.titles.size(), want / 1000 - 1);
  stream->RecordStop();
  const std::string recorded = test::StreamTestServer::readFile(recording);
  EXPECT_TRUE(recorded == test::loopedPrefix(served, recorded.size()));
  EXPECT_GT(recorded.size() + 8192, got.size());
  // Whole frames of one stream from the first byte to the last.
  size_t at = 0;
  uint32_t firstBits = 0;
  while (at < recorded.size()) {
    ASSERT_GE(recorded.size() - at, FrameSync::headerBytes(FrameKind::kAdts));
    uint32_t frameBytes = 0;
    uint32_t bits = 0;
    ASSERT_TRUE(FrameSync::parse(
        FrameKind::kAdts, reinterpret_cast<const uint8_t*>(recorded.data() + at), frameBytes, bits))
        << at;
    if (at == 0) firstBits = bits;
    EXPECT_EQ(bits, firstBits);
    at += frameBytes;
  }
  EXPECT_EQ(at, recorded.size());
  stream->Disconnect();
}

}  // namespace
}  // namespace orvel
