// The segment readers against segments that ffmpeg made from one elementary stream: whatever the
// container, the encryption and the way the bytes are split, the same stream comes back out.
#include <gtest/gtest.h>

#include <random>

#include "SegmentFeeding.h"
#include "engine/hls/SegmentDecryptor.h"

namespace orvel {
namespace {

using test::Bytes;

// The offset of the first byte where `got` and `want` differ, or their common length.
size_t firstDifference(const Bytes& got, const Bytes& want) {
  size_t at = 0;
  while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
  return at;
}

struct Case {
  const char* playlist;
  const char* init;
  const char* source;
  SegmentDemuxer::Container container;
  const char* format;
};

TEST(SegmentDemuxerTest, EveryContainerGivesBackTheStreamItCarries) {
  using Container = SegmentDemuxer::Container;
  const Case cases[] = {
      {"ts-aac.m3u8", "", "src.aac", Container::kMpegTs, "aac"},
      {"ts-mp3.m3u8", "", "src.mp3", Container::kMpegTs, "mp3"},
      {"fmp4.m3u8", "fmp4-init.mp4", "src.aac", Container::kFragmentedMp4, "aac"},
      {"fmp4-mp3.m3u8", "fmp4-mp3-init.mp4", "src.mp3", Container::kFragmentedMp4, "mp3"},
      {"packed-aac.m3u8", "", "src.aac", Container::kPackedAudio, "aac"},
      {"packed-mp3.m3u8", "", "src.mp3", Container::kPackedAudio, "mp3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.playlist);
    const std::vector<Bytes> segments = test::loadSegments(c.playlist);
    const Bytes source = test::loadFixture(c.source);
    ASSERT_GT(segments.size(), 2u);
    ASSERT_FALSE(source.empty());
    EXPECT_EQ(SegmentDemuxer::detect(segments[1].data(), segments[1].size()), c.container);
    for (unsigned seed : {0u, 1u, 2u, 3u}) {
      SCOPED_TRACE(seed);
      std::unique_ptr<SegmentDemuxer> demuxer = SegmentDemuxer::create(c.container);
      ASSERT_TRUE(demuxer);
      EXPECT_EQ(demuxer->formatName(), "");
      if (*c.init != 0) {
        const Bytes init = test::loadFixture(c.init);
        ASSERT_TRUE(demuxer->setInit(init.data(), init.size()));
      }
      const test::Demuxed out = test::feedSegments(*demuxer, segments, seed);
      EXPECT_TRUE(out.readable);
      ASSERT_EQ(out.bytes.size(), source.size())
          << "first difference at " << firstDifference(out.bytes, source);
      EXPECT_TRUE(out.bytes == source) << "differs at " << firstDifference(out.bytes, source);
      EXPECT_EQ(demuxer->formatName(), c.format);
      if (c.container != Container::kPackedAudio) {
        EXPECT_TRUE(out.titles.empty());
        continue;
      }
      // Each packed segment opens with a tag naming the track: one title where it starts.
      ASSERT_EQ(out.titles.size(), segments.size());
      for (size_t i = 0; i < segments.size(); ++i) {
        EXPECT_EQ(out.titles[i].text, "Ørkester - Zwölf Töne");
        EXPECT_EQ(out.titles[i].offset, out.segmentStarts[i]);
      }
    }
  }
}

// Transport-level damage: packets lost, sync bytes hit, garbage between packets. What comes out
// is still whole frames of the stream, in order, and most of them.
TEST(SegmentDemuxerTest, DamagedTransportStreamsLoseFramesButNeverMixThem) {
  const Bytes source = test::loadFixture("src.aac");
  std::vector<Bytes> sourceFrames;
  ASSERT_TRUE(test::splitFrames(source, sourceFrames));
  for (unsigned seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    std::vector<Bytes> segments = test::loadSegments("ts-aac.m3u8");
    for (Bytes& segment : segments) {
      const size_t packets = segment.size() / 188;
      Bytes damaged;
      for (size_t p = 0; p < packets; ++p) {
        const auto* packet = segment.data() + p * 188;
        const unsigned roll = random() % 40;
        if (roll == 0) continue;  // lost
        const size_t start = damaged.size();
        damaged.insert(damaged.end(), packet, packet + 188);
        if (roll == 1) damaged[start] = 0x46;  // sync byte hit
        if (roll == 2) {
          for (unsigned i = random() % 400; i > 0; --i) {
            damaged.push_back(static_cast<uint8_t>(random()));
          }
        }
      }
      segment.swap(damaged);
    }
    std::unique_ptr<SegmentDemuxer> demuxer =
        SegmentDemuxer::create(SegmentDemuxer::Container::kMpegTs);
    const test::Demuxed out = test::feedSegments(*demuxer, segments, seed);
    std::vector<Bytes> frames;
    ASSERT_TRUE(test::splitFrames(out.bytes, frames));
    EXPECT_TRUE(test::isSubsequence(frames, sourceFrames));
    EXPECT_GT(frames.size(), sourceFrames.size() / 2);
  }
}

// An fMP4 segment whose boxes cannot be true is refused, and the next segment reads as usual.
TEST(SegmentDemuxerTest, ImpossibleFmp4SegmentsFailAlone) {
  const std::vector<Bytes> segments = test::loadSegments("fmp4.m3u8");
  const Bytes init = test::loadFixture("fmp4-init.mp4");
  ASSERT_GT(segments.size(), 2u);
  auto box = [](const char* type, const Bytes& payload) {
    Bytes out = {0, 0, 0, 0, 0, 0, 0, 0};
    const size_t size = payload.size() + 8;
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(size >> (24 - 8 * i));
    std::copy(type, type + 4, out.begin() + 4);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
  };
  // Track runs of the audio track with no per-sample fields, each naming 65535 samples.
  Bytes traf = box("tfhd", {0, 0, 0, 0, 0, 0, 0, 1});
  for (int i = 0; i < 64; ++i) {
    const Bytes trun = box("trun", {0, 0, 0, 0, 0, 0, 0xFF, 0xFF});
    traf.insert(traf.end(), trun.begin(), trun.end());
  }
  const Bytes manyRuns = box("moof", box("traf", traf));
  const Bytes tooShort = {0, 0, 0, 4, 'm', 'o', 'o', 'f'};
  for (const Bytes& bad : {manyRuns, tooShort}) {
    auto demuxer = SegmentDemuxer::create(SegmentDemuxer::Container::kFragmentedMp4);
    std::vector<uint8_t> out;
    EXPECT_FALSE(demuxer->feed(segments[0].data(), segments[0].size(), out));  // no init yet
    EXPECT_FALSE(demuxer->endSegment(out));
    ASSERT_TRUE(demuxer->setInit(init.data(), init.size()));
    const test::Demuxed read = test::feedSegments(*demuxer, {bad, segments[1]}, 4);
    EXPECT_FALSE(read.readable);
    EXPECT_TRUE(out.empty());
    auto fresh = SegmentDemuxer::create(SegmentDemuxer::Container::kFragmentedMp4);
    ASSERT_TRUE(fresh->setInit(init.data(), init.size()));
    const test::Demuxed good = test::feedSegments(*fresh, {segments[1]}, 4);
    EXPECT_TRUE(read.bytes == good.bytes);
  }
}

SegmentDecryptor::Block fixtureKey() {
  const Bytes hex = test::loadFixture("key.hex");
  SegmentDecryptor::Block key{};
  EXPECT_TRUE(SegmentDecryptor::parseIv("0x" + std::string(hex.begin(), hex.end()), key));
  return key;
}

// Decrypts a whole segment fed in random pieces; false when the decryptor says it failed.
bool decrypt(const SegmentDecryptor::Block& key, const SegmentDecryptor::Block& iv,
             const Bytes& segment, unsigned seed, Bytes& clear) {
  std::mt19937 random(seed);
  SegmentDecryptor decryptor;
  clear.clear();
  bool ok = decryptor.start(key, iv);
  for (size_t at = 0; at < segment.size();) {
    const size_t piece = std::min<size_t>(1 + random() % 100, segment.size() - at);
    ok = decryptor.update(segment.data() + at, piece, clear) && ok;
    at += piece;
  }
  return decryptor.finish(clear) && ok;
}

TEST(SegmentDemuxerTest, EncryptedSegmentsDecryptToTheClearOnes) {
  const SegmentDecryptor::Block key = fixtureKey();
  const std::vector<Bytes> clear = test::loadSegments("ts-aac.m3u8");
  std::vector<Bytes> encrypted;
  for (size_t i = 0; i < clear.size(); ++i) {
    encrypted.push_back(test::loadFixture("enc-ts-aac" + std::to_string(i) + ".ts"));
  }
  for (size_t i = 0; i < clear.size(); ++i) {
    SCOPED_TRACE(i);
    Bytes got;
    ASSERT_TRUE(decrypt(key, SegmentDecryptor::sequenceIv(i), encrypted[i], unsigned(i), got));
    EXPECT_TRUE(got == clear[i]);
    // The same IV written out in the playlist.
    SegmentDecryptor::Block iv{};
    ASSERT_TRUE(SegmentDecryptor::parseIv("0x" + std::string(31, '0') + char('0' + i), iv));
    ASSERT_TRUE(decrypt(key, iv, encrypted[i], 7, got));
    EXPECT_TRUE(got == clear[i]);
    // Cut short of a whole block, or under the wrong key: a failed segment, never clear bytes.
    const Bytes cut(encrypted[i].begin(), encrypted[i].end() - 5);
    EXPECT_FALSE(decrypt(key, iv, cut, 3, got));
    SegmentDecryptor::Block wrong = key;
    wrong[0] ^= 1;
    EXPECT_FALSE(decrypt(wrong, iv, encrypted[i], 3, got) && got == clear[i]);
  }
  SegmentDecryptor::Block iv{};
  EXPECT_FALSE(SegmentDecryptor::parseIv("0x0102", iv));
  EXPECT_FALSE(SegmentDecryptor::parseIv("0x" + std::string(31, '0') + "g", iv));
  EXPECT_FALSE(SegmentDecryptor::parseIv(std::string(34, '0'), iv));
}

}  // namespace
}  // namespace orvel
