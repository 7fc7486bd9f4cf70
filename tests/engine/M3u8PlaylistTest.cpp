// The HLS playlist reader: which media playlist a master playlist leads to, and what each
// segment of a media playlist carries with it.
#include <gtest/gtest.h>

#include "engine/M3u8Playlist.h"

namespace orvel {
namespace {

std::string chosen(const std::string& variants) {
  const std::optional<M3u8Playlist> playlist = M3u8Playlist::parse("#EXTM3U\n" + variants);
  return playlist ? playlist->chooseMedia() : "(no playlist)";
}

TEST(M3u8PlaylistTest, MasterLeadsToTheBestAudioWithinTheLimit) {
  const std::string audio128 = "#EXT-X-STREAM-INF:BANDWIDTH=140000,CODECS=\"mp4a.40.2\"\na.m3u8\n";
  const std::string audio320 = "#EXT-X-STREAM-INF:BANDWIDTH=320000,CODECS=\"mp4a.40.2\"\nb.m3u8\n";
  const std::string audio400 = "#EXT-X-STREAM-INF:BANDWIDTH=400000,CODECS=\"mp4a.40.2\"\nc.m3u8\n";
  const std::string audio500 = "#EXT-X-STREAM-INF:BANDWIDTH=500000,CODECS=\"mp4a.40.2\"\nd.m3u8\n";
  const std::string video =
      "#EXT-X-STREAM-INF:BANDWIDTH=200000,CODECS=\"avc1.42e00a,mp4a.40.2\"\nv.m3u8\n";
  EXPECT_EQ(chosen(audio128 + audio400 + audio320), "b.m3u8");
  EXPECT_EQ(chosen(audio500 + audio400), "c.m3u8") << "all above the limit: the lowest";
  EXPECT_EQ(chosen(video + audio128), "a.m3u8") << "audio-only variants come first";
  EXPECT_EQ(chosen(video), "v.m3u8");
  EXPECT_EQ(chosen("#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"x\",URI=\"x1.m3u8\"\n"
                   "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"g\",URI=\"g1.m3u8\"\n"
                   "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"g\",DEFAULT=YES,URI=\"g2.m3u8\"\n"
                   "#EXT-X-STREAM-INF:BANDWIDTH=900000,CODECS=\"avc1.4d401f,mp4a.40.2\","
                   "AUDIO=\"g\"\nv.m3u8\n"),
            "g2.m3u8")
      << "the variant's default audio rendition";
  EXPECT_FALSE(M3u8Playlist::parse("[playlist]\nFile1=a.m3u8\n"));
}

TEST(M3u8PlaylistTest, SegmentsCarryTheirSequenceKeyMapAndTitle) {
  const std::optional<M3u8Playlist> playlist = M3u8Playlist::parse(
      "\xEF\xBB\xBF#EXTM3U\r\n#EXT-X-TARGETDURATION:2\r\n#EXT-X-MEDIA-SEQUENCE:41\r\n"
      "#EXT-X-KEY:METHOD=AES-128,URI=\"k1\",IV=0x000102030405060708090A0B0C0D0E0F\r\n"
      "#EXTINF:2.0,title=\"Say \\\"Hi\\\", all\",artist=\"Band\",url=\"x\"\r\ns41.ts\r\n"
      "#EXT-X-KEY:METHOD=AES-128,URI=\"k2\"\r\n#EXT-X-MAP:URI=\"init.mp4\"\r\n"
      "#EXT-X-DISCONTINUITY\r\n#EXTINF:2.0,Plain name\r\ns42.ts\r\n"
      "#EXT-X-KEY:METHOD=NONE\r\n#EXTINF:2.0,\r\ns43.ts\r\n#EXTINF:2.0,\r\ns44.ts\r\n"
      "#EXT-X-ENDLIST\r\n");
  ASSERT_TRUE(playlist);
  EXPECT_FALSE(playlist->master);
  EXPECT_TRUE(playlist->endList);
  ASSERT_EQ(playlist->segments.size(), 4u);
  const auto& first = playlist->segments[0];
  const auto& second = playlist->segments[1];
  EXPECT_EQ(first.sequence, 41u);
  EXPECT_EQ(playlist->segments[3].sequence, 44u);
  EXPECT_EQ(first.title, "Band - Say \"Hi\", all");
  EXPECT_EQ(second.title, "") << "only title= names a title";
  EXPECT_EQ(first.key.method, M3u8Playlist::Key::Method::kAes128);
  ASSERT_TRUE(first.key.iv);
  EXPECT_EQ((*first.key.iv)[15], 0x0F);
  EXPECT_EQ(second.key.uri, "k2");
  EXPECT_FALSE(second.key.iv) << "no IV: the sequence number";
  EXPECT_EQ(playlist->segments[2].key.method, M3u8Playlist::Key::Method::kNone);
  EXPECT_FALSE(first.discontinuity);
  EXPECT_TRUE(second.discontinuity);
  EXPECT_FALSE(playlist->segments[2].discontinuity);
  EXPECT_EQ(first.map, "");
  EXPECT_EQ(playlist->segments[3].map, "init.mp4");
  // Three target durations (6 s) from the live edge: the last three segments.
  EXPECT_EQ(playlist->liveStart(), 1u);
}

}  // namespace
}  // namespace orvel
