// A stream whose queue has run dry while the server still sends now and then (one byte a
// second, or nothing for a few seconds) keeps a decode waiting in a read. The user interface's
// queries and every command must still answer at once, and playing must work again once the
// data flows.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <thread>

#include "FaultPlayer.h"
#include "PlayToolRunner.h"
#include "StreamTestServer.h"
#include "resources/StringTable.h"

namespace orvel::test {
namespace {

using Clock = std::chrono::steady_clock;
// Decoding runs as fast as the stream allows, so the queue drains at once.
constexpr const char* kFastDevice = "wav-fast:/dev/null";

class BlockedReadTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_server->running()); }

  // Waits until the decoder has taken every queued byte and is waiting for more.
  static bool waitDrained(Player& player) {
    const auto start = Clock::now();
    while (player.GetBufferFill() > 0) {
      if (msSince(start) > 10000) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    return player.GetBufferFill() == 0;
  }

  // Runs `call` on a thread of its own, as the user interface would; false when it did not
  // return within `limitMs`. The server is then stopped, which ends the blocked read, so the
  // test still gets to its end.
  bool returnsWithin(int limitMs, const std::function<void()>& call) {
    auto done = std::async(std::launch::async, call);
    if (done.wait_for(std::chrono::milliseconds(limitMs)) == std::future_status::ready) {
      return true;
    }
    m_server.reset();
    return false;
  }

  // The reply to `command` within `limitMs`; nothing (and the server stopped) otherwise.
  std::optional<bool> replyWithin(FaultPlayer& player, uint32_t command, int limitMs) {
    const std::optional<bool> result = player.waitReply(command, limitMs);
    if (!result) m_server.reset();
    return result;
  }

  std::unique_ptr<StreamTestServer> m_server = std::make_unique<StreamTestServer>();
};

TEST_F(BlockedReadTest, DrippingServerLeavesQueriesAndCommandsPrompt) {
  FaultPlayer player(ConnectionTiming{.stallLimitMs = 2500}, kFastDevice);
  // 5 s of audio at once, then one byte a second: never a stall.
  ASSERT_EQ(player.open(m_server->url("/s?drip=20000")), true);
  player.player().Play();
  ASSERT_EQ(player.waitReply(Player::kPlay), true);
  ASSERT_TRUE(waitDrained(player.player()));

  bool known = false;
  ASSERT_TRUE(returnsWithin(500, [&] {
    TagInfo info;
    known = player.player().GetTrackInfo(info);
  })) << "the track query waited for the decode";
  EXPECT_TRUE(known);

  player.player().RecordStart();
  ASSERT_EQ(replyWithin(player, Player::kRecordStart, 1000), true);
  WString path;
  ASSERT_TRUE(returnsWithin(500, [&] { path = player.player().RecordingPath(); }));
  EXPECT_FALSE(path.empty());
  player.player().RecordStop();
  ASSERT_EQ(replyWithin(player, Player::kRecordStop, 1000), true);

  auto start = Clock::now();
  player.player().Stop();
  ASSERT_EQ(replyWithin(player, Player::kStop, 3000), true);
  EXPECT_LT(msSince(start), 3000);

  // Playing again blocks the command thread in the first buffer's decode: the Close cuts it.
  player.player().Play();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  start = Clock::now();
  player.player().Close();
  ASSERT_EQ(replyWithin(player, Player::kPlay, 3000), false);
  ASSERT_EQ(replyWithin(player, Player::kClose, 3000), true);
  EXPECT_LT(msSince(start), 3000);
  EXPECT_EQ(player.player().state(), Player::Idle);
  EXPECT_EQ(player.player().GetLastError(), 0);
}

TEST_F(BlockedReadTest, TrackQueryDuringAWaitingDecodeKeepsTheDecodersTags) {
  const std::string folder = makeTempFolder();
  ASSERT_TRUE(
      runCommand("ffmpeg -v error -f lavfi -i sine=f=440:d=10 -ac 2 -c:a libvorbis "
                 "-q:a 3 -metadata artist='Drip Artist' " +
                 folder + "/tagged.ogg"));
  {
    m_server.reset();
    auto server = std::make_unique<FileStreamServer>(folder + "/tagged.ogg");
    ASSERT_TRUE(server->running());
    FaultPlayer player(ConnectionTiming{.stallLimitMs = 2500}, kFastDevice);
    // About 4 s of audio at once, then one byte a second.
    ASSERT_EQ(player.open(server->url("/?type=application/ogg&drip=60000")), true);
    player.player().Play();
    ASSERT_EQ(player.waitReply(Player::kPlay), true);
    ASSERT_TRUE(waitDrained(player.player()));
    TagInfo info;
    bool known = false;
    auto query =
        std::async(std::launch::async, [&] { known = player.player().GetTrackInfo(info); });
    if (query.wait_for(std::chrono::milliseconds(500)) != std::future_status::ready) {
      server.reset();
      FAIL() << "the track query waited for the decode";
    }
    EXPECT_TRUE(known);
    EXPECT_EQ(info.artist, std::optional<WString>(u"Drip Artist"));
  }
  std::filesystem::remove_all(folder);
}

TEST_F(BlockedReadTest, StopEndsAWaitingReadAndPlayGoesOnWhenDataReturns) {
  FaultPlayer player(ConnectionTiming{.stallLimitMs = 10000}, kFastDevice);
  // 5 s of audio, 4 s of silence from the server (below the stall limit), then a steady flow.
  ASSERT_EQ(player.open(m_server->url("/s?pause=20000&pause_ms=4000")), true);
  player.player().Play();
  ASSERT_EQ(player.waitReply(Player::kPlay), true);
  ASSERT_TRUE(waitDrained(player.player()));

  const auto start = Clock::now();
  player.player().Stop();
  ASSERT_EQ(replyWithin(player, Player::kStop, 1000), true);
  EXPECT_LT(msSince(start), 1000);
  EXPECT_EQ(player.player().state(), Player::Ready);

  // The stopped read lost nothing the decoder needs: once bytes come again it plays on.
  const auto waiting = Clock::now();
  while (player.player().GetBufferFill() < 10 && msSince(waiting) < 10000) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_GE(player.player().GetBufferFill(), 10);
  player.player().Play();
  ASSERT_EQ(player.waitReply(Player::kPlay), true);
  EXPECT_FALSE(player.waitFor(Player::kPlaybackEnded, std::nullopt, 2000));
  EXPECT_EQ(player.player().state(), Player::Playing);
}

// The Ogg decoder's Open reads the stream's headers (some KiB) on the command thread; from a
// server that sends 100 bytes and then one a second, that would take hours.
TEST_F(BlockedReadTest, CloseOrShutDownEndsAnOpenWaitingForTheFirstBytes) {
  const std::string folder = makeTempFolder();
  ASSERT_TRUE(runCommand("ffmpeg -v error -f lavfi -i sine=f=440:d=5 -ac 2 -c:a libvorbis " +
                         folder + "/tone.ogg"));
  {
    m_server.reset();
    auto server = std::make_unique<FileStreamServer>(folder + "/tone.ogg");
    ASSERT_TRUE(server->running());
    const std::string url = server->url("/?type=application/ogg&drip=100");
    FaultPlayer player(ConnectionTiming{.stallLimitMs = 2500}, kFastDevice);
    // On a failure the server goes, which ends the waiting read, so the test gets to its end.
    const auto replyWithin3s = [&](uint32_t command) {
      const std::optional<bool> result = player.waitReply(command, 3000);
      if (!result) server.reset();
      return result;
    };
    player.player().Open(OpenRequest{fromUtf8(url), false, 0});
    ASSERT_TRUE(player.waitFor(Player::kStatus, kStrConnectedToServer, 10000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    auto start = Clock::now();
    player.player().Close();
    ASSERT_EQ(replyWithin3s(Player::kOpen), false);
    ASSERT_EQ(replyWithin3s(Player::kClose), true);
    EXPECT_LT(msSince(start), 3000);
    EXPECT_EQ(player.player().state(), Player::Idle);
    EXPECT_EQ(player.player().GetLastError(), 0);  // given up, not failed

    // The same Open again, left to the shut-down.
    player.player().Open(OpenRequest{fromUtf8(url), false, 0});
    ASSERT_TRUE(player.waitFor(Player::kStatus, kStrConnectedToServer, 10000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    start = Clock::now();
    auto shutDown = std::async(std::launch::async, [&] { player.shutDown(); });
    const bool prompt =
        shutDown.wait_for(std::chrono::milliseconds(3000)) == std::future_status::ready;
    if (!prompt) server.reset();
    EXPECT_TRUE(prompt) << "the shut-down waited for the Open";
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace orvel::test
