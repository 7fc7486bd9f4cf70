// The network stream against a real icecast2 server on loopback, fed by ffmpeg.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "IcecastServer.h"
#include "RecordingEvents.h"
#include "engine/IcyStream.h"
#include "resources/StringTable.h"

namespace orvel {
namespace {

using Clock = std::chrono::steady_clock;

// Length of the MPEG-1 Layer III frame whose header starts at `p`, or 0 when it is none.
size_t mp3FrameLength(const uint8_t* p) {
  static const int kBitrates[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
  static const int kRates[] = {44100, 48000, 32000};
  if (p[0] != 0xFF || (p[1] & 0xFE) != 0xFA) return 0;
  const int bitrate = (p[2] >> 4) & 15;
  const int rate = (p[2] >> 2) & 3;
  if (bitrate == 0 || bitrate == 15 || rate == 3) return 0;
  return 144 * kBitrates[bitrate] * 1000 / kRates[rate] + ((p[2] >> 1) & 1);
}

// Frames found back to back from the first frame to the end: any byte that is not audio (a
// metadata block left in) breaks the chain. Returns the chained frames, 0 when it breaks.
size_t chainedFrames(const std::string& bytes) {
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  size_t start = 0;
  // The burst may begin inside a frame: the first frame is where three frames chain.
  for (; start + 4 < bytes.size(); ++start) {
    size_t at = start;
    int chained = 0;
    while (chained < 3 && at + 4 < bytes.size() && mp3FrameLength(data + at) > 0) {
      at += mp3FrameLength(data + at);
      ++chained;
    }
    if (chained == 3) break;
  }
  size_t frames = 0;
  size_t at = start;
  while (at + 4 <= bytes.size()) {
    const size_t length = mp3FrameLength(data + at);
    if (length == 0) return 0;
    at += length;
    ++frames;
  }
  return frames;
}

TEST(IcecastStreamTest, PlaysAStationWithHeadersAndChangingTitles) {
  if (!test::IcecastServer::available()) GTEST_SKIP() << "icecast2 or ffmpeg is not installed";
  test::IcecastServer icecast;
  std::string error;
  ASSERT_TRUE(icecast.start(error)) << error;
  ASSERT_TRUE(icecast.setTitle("First Title"));

  test::RecordingEvents events;
  IcyStream stream(&events);
  events.stream = &stream;
  stream.Connect(OpenRequest{fromUtf8(icecast.streamUrl()), false, 0});
  ASSERT_TRUE(events.waitConnected());
  std::vector<int32_t> steps = events.reports();
  std::erase_if(steps, [](int32_t id) {
    return id != kStrConnecting && id != kStrRequestingServer && id != kStrConnectedToServer;
  });
  EXPECT_EQ(steps,
            (std::vector<int32_t>{kStrConnecting, kStrRequestingServer, kStrConnectedToServer}));
  ASSERT_TRUE(stream.GetStreamHeaders());
  EXPECT_EQ(stream.GetStreamHeaders()->name, fromUtf8(test::IcecastServer::kStationName));
  std::string format;
  EXPECT_TRUE(stream.FormatName(format));
  EXPECT_EQ(format, "mp3");

  // Read until both titles have come through, at most 20 s of a real-time stream.
  std::string audio;
  bool secondSent = false;
  const auto start = Clock::now();
  while (Clock::now() - start < std::chrono::seconds(20)) {
    const uint8_t* data = nullptr;
    const int32_t n = stream.ReadChunk(&data, nullptr);
    ASSERT_GT(n, 0);
    audio.append(reinterpret_cast<const char*>(data), static_cast<size_t>(n));
    if (!secondSent && !events.titles.empty()) {
      ASSERT_TRUE(icecast.setTitle("Zweiter Titel \xC3\xA4\xC3\xB6\xC3\xBC"));
      secondSent = true;
    }
    if (!events.titles.empty() && events.titles.back() != u"First Title") break;
  }
  ASSERT_FALSE(events.titles.empty());
  EXPECT_EQ(events.titles.front(), u"First Title");
  EXPECT_EQ(events.titles.back(), u"Zweiter Titel \u00e4\u00f6\u00fc");
  EXPECT_GT(chainedFrames(audio), 50u) << "metadata left among " << audio.size() << " bytes";
  EXPECT_TRUE(stream.Disconnect());
}

}  // namespace
}  // namespace orvel
