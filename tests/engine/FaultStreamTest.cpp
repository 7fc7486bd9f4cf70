// Faults while a stream plays and records: the server stalls, resets, is cut inside a metadata
// block, drips one byte a second or sends garbage, and the disk fills. Each gives its status,
// ends playback (or lets it be closed) within the limits, and leaves a recording that is the
// stream's audio up to the failure, in whole frames. With reconnections, a drop is bridged and
// the recording goes on in the same file.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "FaultPlayer.h"
#include "PlayToolRunner.h"
#include "StreamTestServer.h"
#include "audio/Mp3FrameHeader.h"
#include "platform/StorageVolumes.h"
#include "resources/StringTable.h"

namespace orvel::test {
namespace {

using Clock = std::chrono::steady_clock;
// Decoding runs as fast as it can and the PCM goes nowhere.
constexpr const char* kFastDevice = "wav-fast:/dev/null";

// The length of the frame whose header is at `at`; 0 when there is none.
uint32_t frameBytesAt(const std::string& bytes, size_t at) {
  if (at + 4 > bytes.size()) return 0;
  const auto byte = [&](size_t i) { return uint32_t{static_cast<uint8_t>(bytes[at + i])}; };
  Mp3FrameHeader header;
  const uint32_t word = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
  return Mp3FrameHeader::parse(word, header) ? header.frameBytes : 0;
}

// Where the frames of `bytes` start, when it is whole frames from its first byte to its last;
// empty otherwise.
std::vector<size_t> wholeFrames(const std::string& bytes) {
  std::vector<size_t> starts;
  for (size_t at = 0; at < bytes.size();) {
    const uint32_t length = frameBytesAt(bytes, at);
    if (length == 0 || at + length > bytes.size()) return {};
    starts.push_back(at);
    at += length;
  }
  return starts;
}

class FaultStreamTest : public testing::Test {
 protected:
  // Half a minute of noise at 128 kbit/s: longer than any stretch a test checks, and without
  // repeats, so where a recording lies in the stream is never ambiguous. Frames only (no tag,
  // no Xing frame), so the server's loop of it is whole frames across the wrap too.
  static void SetUpTestSuite() {
    s_folder = new std::string(makeTempFolder());
    s_ready = runCommand(
        "ffmpeg -v error -f lavfi -i anoisesrc=d=30:c=pink:a=0.3 -ac 2 "
        "-c:a libmp3lame -b:a 128k -id3v2_version 0 -write_xing 0 " +
        *s_folder + "/noise.mp3");
  }
  static void TearDownTestSuite() {
    std::filesystem::remove_all(*s_folder);
    delete s_folder;
  }
  void SetUp() override {
    ASSERT_TRUE(s_ready) << "ffmpeg could not make the test audio";
    m_audio = StreamTestServer::readFile(*s_folder + "/noise.mp3");
    ASSERT_GT(m_audio.size(), 400000u);
    m_server = std::make_unique<FileStreamServer>(*s_folder + "/noise.mp3");
    ASSERT_TRUE(m_server->running());
  }
  void TearDown() override { StorageVolumes::setFreeBytesProbe({}); }
  std::string url(const std::string& pathAndQuery) const { return m_server->url(pathAndQuery); }

  // Opens, starts recording before the first decoded buffer, plays.
  static void openRecordPlay(FaultPlayer& player, const std::string& url, int32_t reconnects = 0) {
    ASSERT_EQ(player.open(url, 40000, reconnects), true) << url;
    player.player().RecordStart();
    ASSERT_EQ(player.waitReply(Player::kRecordStart), true);
    player.player().Play();
    ASSERT_EQ(player.waitReply(Player::kPlay), true);
  }

  // Where `recorded` lies in the server's loop of the file: the audio byte after its end, or
  // npos when it is not one unbroken run of the loop.
  size_t endInLoop(const std::string& recorded, size_t searchLimit) const {
    const std::string loop = loopedPrefix(m_audio, searchLimit + recorded.size());
    const size_t at = loop.find(recorded.substr(0, 4096));
    if (at == std::string::npos || loop.compare(at, recorded.size(), recorded) != 0) {
      return std::string::npos;
    }
    return at + recorded.size();
  }

  // Stops the recording and checks it holds at least `minimum` bytes of the stream's audio in
  // whole frames, unbroken, ending with the last whole frame before byte `audioEnd` of the
  // server's loop (or, when `exact` is false, at most there: a reset may drop what the client
  // had not read yet).
  void expectRecordingUpTo(FaultPlayer& player, size_t audioEnd, size_t minimum, bool exact) {
    const std::string path = toUtf8(player.player().RecordingPath());
    ASSERT_FALSE(path.empty());
    player.player().RecordStop();
    ASSERT_EQ(player.waitReply(Player::kRecordStop), true);
    const std::string recorded = StreamTestServer::readFile(path);
    ASSERT_GE(recorded.size(), minimum);
    EXPECT_FALSE(wholeFrames(recorded).empty()) << "the recording is not whole frames";
    const size_t end = endInLoop(recorded, audioEnd);
    ASSERT_NE(end, std::string::npos) << "the recording is not the stream's audio";
    if (exact) {
      EXPECT_LE(end, audioEnd);
      EXPECT_GT(end + frameBytesAt(loopedPrefix(m_audio, audioEnd + 4), end), audioEnd);
    } else {
      EXPECT_LE(end, audioEnd);
    }
  }

  static std::string* s_folder;
  static bool s_ready;
  std::unique_ptr<FileStreamServer> m_server;
  std::string m_audio;
};

std::string* FaultStreamTest::s_folder = nullptr;
bool FaultStreamTest::s_ready = false;

TEST_F(FaultStreamTest, StallEndsPlaybackAfterTheLimitWithTheRecordingComplete) {
  FaultPlayer player(ConnectionTiming{.stallLimitMs = 1500}, kFastDevice);
  openRecordPlay(player, url("/s?stall=200000"));
  const auto start = Clock::now();
  ASSERT_TRUE(player.waitFor(Player::kStatus, kStrConnectionInterrupted));
  ASSERT_TRUE(player.waitFor(Player::kPlaybackEnded, std::nullopt, 5000));
  EXPECT_LT(msSince(start), 6000);
  EXPECT_EQ(player.player().state(), Player::Ready);
  expectRecordingUpTo(player, 200000, 100000, true);
}

TEST_F(FaultStreamTest, ResetEndsPlaybackAtOnceWithTheRecordingComplete) {
  FaultPlayer player(ConnectionTiming{.stallLimitMs = 10000}, kFastDevice);
  const auto start = Clock::now();
  openRecordPlay(player, url("/s?reset=150000"));
  ASSERT_TRUE(player.sawOrWaitFor(Player::kStatus, kStrConnectionInterrupted));
  ASSERT_TRUE(player.waitFor(Player::kPlaybackEnded));
  // Far below the stall limit: a reset is an error at once, not a silence.
  EXPECT_LT(msSince(start), 5000);
  // The reset throws away what the kernel held unread, the more the slower the client runs (a
  // sanitized build kept 36 KiB): only the kept part must be there, unbroken.
  expectRecordingUpTo(player, 150000, 8192, false);
}

TEST_F(FaultStreamTest, CutInsideAMetadataBlockLeavesNoMetadataInTheAudio) {
  FaultPlayer player(ConnectionTiming{}, kFastDevice);
  // Every block is 49 bytes ("StreamTitle='Alpha';StreamUrl='';" padded to 48, one length
  // byte; "Gamma" is as long); the connection ends 20 bytes into the 20th block.
  constexpr size_t kMetaint = 8000;
  constexpr size_t kBlocks = 20;
  const size_t cut = kBlocks * kMetaint + (kBlocks - 1) * 49 + 20;
  openRecordPlay(player, url("/s?titles=Alpha|Gamma&metaint=8000&close=" + std::to_string(cut)));
  ASSERT_TRUE(player.sawOrWaitFor(Player::kStatus, kStrConnectionInterrupted));
  ASSERT_TRUE(player.waitFor(Player::kPlaybackEnded));
  EXPECT_GE(player.count(Player::kTitleChanged, 0), 2u);
  TagInfo info;
  ASSERT_TRUE(player.player().GetTrackInfo(info));
  ASSERT_TRUE(info.title.has_value());
  // The 19th and last whole block names Alpha; the half block never becomes a title.
  EXPECT_EQ(*info.title, u"Alpha");
  expectRecordingUpTo(player, kBlocks * kMetaint, 50000, true);
}

TEST_F(FaultStreamTest, DiskFillingUpEndsPlaybackAndFreezesTheRecording) {
  // The first check finds room, every later one a full disk.
  std::atomic<int> checks{0};
  StorageVolumes::setFreeBytesProbe([&](const std::string&) -> std::optional<uint64_t> {
    return ++checks == 1 ? uint64_t{1} << 30 : uint64_t{RecordingStream::kMemoryThresholdBytes};
  });
  FaultPlayer player(ConnectionTiming{}, kFastDevice);
  openRecordPlay(player, url("/s"));
  const std::string path = toUtf8(player.player().RecordingPath());
  ASSERT_TRUE(player.waitFor(Player::kPlaybackEnded, std::nullopt, 30000));
  EXPECT_EQ(checks, 2);
  const std::string recorded = StreamTestServer::readFile(path);
  // Everything up to the second check (each comes after more than 512 KiB, within one read
  // of it), less the read it dropped.
  constexpr size_t kChunk = ByteQueue::kChunkBufferBytes;
  EXPECT_GT(recorded.size(), size_t{2} * RecordingStream::kSpaceCheckBytes - kChunk);
  EXPECT_LE(recorded.size(), size_t{2} * (RecordingStream::kSpaceCheckBytes + kChunk));
  EXPECT_NE(endInLoop(recorded, m_audio.size()), std::string::npos) << "the recording has a gap";
  // Playing again gets nothing while the full disk holds the recording.
  player.player().Play();
  EXPECT_EQ(player.waitReply(Player::kPlay), false);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(StreamTestServer::readFile(path).size(), recorded.size());
  EXPECT_EQ(player.player().RecordingPath(), fromUtf8(path));
  // Once the recording is stopped the stream plays on.
  player.player().RecordStop();
  EXPECT_EQ(player.waitReply(Player::kRecordStop), true);
  player.player().Play();
  EXPECT_EQ(player.waitReply(Player::kPlay), true);
}

TEST_F(FaultStreamTest, DrippingServerIsNoStallAndTheCloseEndsItAtOnce) {
  FaultPlayer player(ConnectionTiming{.stallLimitMs = 2500}, "null");
  // 120000 bytes (7.5 s of audio) fit the queue at once; then one byte a second.
  ASSERT_EQ(player.open(url("/s?drip=120000")), true);
  player.player().Play();
  ASSERT_EQ(player.waitReply(Player::kPlay), true);
  // Every network read gets its byte within the limit: no interruption is reported.
  EXPECT_FALSE(player.sawOrWaitFor(Player::kStatus, kStrConnectionInterrupted, 4000));
  EXPECT_EQ(player.player().state(), Player::Playing);
  const auto start = Clock::now();
  player.player().Close();
  EXPECT_EQ(player.waitReply(Player::kClose, 10000), true);
  EXPECT_LT(msSince(start), 3000);
  EXPECT_EQ(player.player().state(), Player::Idle);
}

TEST_F(FaultStreamTest, GarbageAfterTheHeadersNeitherCrashesNorHangs) {
  FaultPlayer player(ConnectionTiming{}, "null");
  // Random bytes hold things that look like frame headers: the open may take them (and the
  // decoding then fails or makes noise) or refuse them with "Cannot open decoder".
  const auto start = Clock::now();
  const std::optional<bool> opened = player.open(url("/s?garbage=1"));
  ASSERT_TRUE(opened.has_value());
  EXPECT_LT(msSince(start), 20000);
  if (*opened) {
    player.player().Play();
    ASSERT_TRUE(player.waitReply(Player::kPlay).has_value());
    player.waitFor(Player::kPlaybackEnded, std::nullopt, 2000);
    const auto closing = Clock::now();
    player.player().Close();
    EXPECT_EQ(player.waitReply(Player::kClose), true);
    EXPECT_LT(msSince(closing), 3000);
  } else {
    EXPECT_EQ(player.player().GetLastError(), kStrCannotOpenDecoder);
  }
  EXPECT_EQ(player.player().state(), Player::Idle);
  EXPECT_EQ(player.open(url("/good")), true);
}

TEST_F(FaultStreamTest, DropIsBridgedAndTheRecordingJoinsBothSidesAtWholeFrames) {
  FaultPlayer player(ConnectionTiming{.reconnectPauseMs = 300}, kFastDevice);
  // The drop falls inside a frame; the new connection's audio starts inside another, later one.
  constexpr size_t kMetaint = 8000;
  constexpr size_t kCut = 150000;
  openRecordPlay(player, url("/s?metaint=8000&close=150000&drops=1&skip=5001"), 2);
  // The decoding outruns the network, so it waits through the pause instead of failing.
  ASSERT_TRUE(player.sawOrWaitFor(Player::kStatus, kStrReconnected));
  const std::string path = toUtf8(player.player().RecordingPath());
  const auto start = Clock::now();
  while (std::filesystem::file_size(path) < 2 * kCut && msSince(start) < 10000) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  player.player().RecordStop();
  ASSERT_EQ(player.waitReply(Player::kRecordStop), true);
  EXPECT_EQ(player.player().state(), Player::Playing);
  EXPECT_EQ(player.count(Player::kPlaybackEnded, 0), 0u);
  EXPECT_EQ(player.count(Player::kStatus, kStrReconnecting), 1u);
  EXPECT_EQ(player.count(Player::kStatus, kStrConnectionInterrupted), 0u);

  const std::string recorded = StreamTestServer::readFile(path);
  ASSERT_GT(recorded.size(), 2 * kCut);
  const std::vector<size_t> frames = wholeFrames(recorded);
  ASSERT_FALSE(frames.empty()) << "the recording is not whole frames";
  // The old side is an unbroken run of the loop; the new side begins with the last frame where
  // the two part (its header may match the old side's next one) and runs unbroken too.
  const std::string loop = loopedPrefix(m_audio, 2 * m_audio.size());
  const size_t first = loop.find(recorded.substr(0, 4096));
  ASSERT_NE(first, std::string::npos);
  size_t same = 0;
  while (same < recorded.size() && recorded[same] == loop[first + same]) ++same;
  const size_t splice = *(std::upper_bound(frames.begin(), frames.end(), same) - 1);
  EXPECT_NE(endInLoop(recorded.substr(splice), m_audio.size()), std::string::npos)
      << "the new connection's side is not the stream's audio";
  // Of the old side only the frame the drop cut in two is missing.
  const size_t cutAudio = kCut - kCut / (kMetaint + 49) * 49;
  EXPECT_LE(first + splice, cutAudio);
  EXPECT_GT(first + splice + frameBytesAt(loop, first + splice), cutAudio);
}

TEST_F(FaultStreamTest, StopOrCloseEndsTheReconnectionAtOnce) {
  FaultPlayer player(ConnectionTiming{.reconnectPauseMs = 10000}, kFastDevice);
  ASSERT_EQ(player.open(url("/p?close=60000"), 40000, OpenRequest::kReconnectForever), true);
  player.player().Play();
  ASSERT_EQ(player.waitReply(Player::kPlay), true);
  ASSERT_TRUE(player.sawOrWaitFor(Player::kStatus, kStrReconnecting));
  // The decoding waits for the next connection in the middle of the pause.
  auto start = Clock::now();
  player.player().Stop();
  EXPECT_EQ(player.waitReply(Player::kStop, 5000), true);
  EXPECT_TRUE(player.sawOrWaitFor(Player::kStatus, kStrConnectionInterrupted, 2000));
  EXPECT_LT(msSince(start), 2000);

  // A Close while the reconnection's request waits for a server that never answers.
  FaultPlayer asking(ConnectionTiming{.reconnectPauseMs = 20}, kFastDevice);
  ASSERT_EQ(asking.open(url("/q?close=60000&then=silent"), 40000, OpenRequest::kReconnectForever),
            true);
  asking.player().Play();
  ASSERT_EQ(asking.waitReply(Player::kPlay), true);
  ASSERT_TRUE(asking.sawOrWaitFor(Player::kStatus, kStrReconnecting));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  start = Clock::now();
  asking.player().Close();
  EXPECT_EQ(asking.waitReply(Player::kClose, 5000), true);
  EXPECT_LT(msSince(start), 2000);
}

}  // namespace
}  // namespace orvel::test
