#include <gtest/gtest.h>

#include "MemoryStream.h"
#include "audio/ByteReader.h"
#include "audio/Mp3FrameHeader.h"
#include "audio/Mp3FrameScan.h"
#include "audio/Mp3HeaderSync.h"

namespace orvel {
namespace {

using test::MemoryStream;

constexpr uint32_t kMpeg1Layer3At128k44 = 0xFFFB9064;

void appendFrame(std::vector<uint8_t>& bytes, uint32_t word) {
  Mp3FrameHeader header;
  ASSERT_TRUE(Mp3FrameHeader::parse(word, header));
  for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(word >> shift));
  bytes.insert(bytes.end(), header.frameBytes - 4, 0);
}

TEST(Mp3FrameHeader, ParsesTheCommonHeadersAndTheirLengths) {
  Mp3FrameHeader h;
  ASSERT_TRUE(Mp3FrameHeader::parse(kMpeg1Layer3At128k44, h));
  EXPECT_EQ(h.channels, 2);
  EXPECT_EQ(h.sampleRate, 44100u);
  EXPECT_EQ(h.frameBytes, 417u);
  EXPECT_EQ(h.samplesPerFrame, 1152u);
  EXPECT_EQ(h.sideInfoBytes, 32u);
  ASSERT_TRUE(Mp3FrameHeader::parse(0xFFFB9264, h));  // padding bit
  EXPECT_EQ(h.frameBytes, 418u);

  ASSERT_TRUE(Mp3FrameHeader::parse(0xFFF38064, h));  // MPEG-2 layer III, 64 kbit/s, 22050 Hz
  EXPECT_EQ(h.sampleRate, 22050u);
  EXPECT_EQ(h.frameBytes, 208u);
  EXPECT_EQ(h.samplesPerFrame, 576u);
  EXPECT_EQ(h.sideInfoBytes, 17u);

  ASSERT_TRUE(Mp3FrameHeader::parse(0xFFE318C4, h));  // MPEG-2.5, 8 kbit/s, 8000 Hz, mono
  EXPECT_EQ(h.sampleRate, 8000u);
  EXPECT_EQ(h.channels, 1);
  EXPECT_EQ(h.sideInfoBytes, 9u);
  EXPECT_EQ(h.frameBytes, 144000u * 8 / 16000);

  ASSERT_TRUE(Mp3FrameHeader::parse(0xFFFF9064, h));  // layer I, 288 kbit/s
  EXPECT_EQ(h.frameBytes, (12000u * 288 / 44100) * 4);
  EXPECT_EQ(h.samplesPerFrame, 384u);
}

TEST(Mp3FrameHeader, RejectsInvalidFieldsAndLayer2ModeRules) {
  Mp3FrameHeader h;
  EXPECT_FALSE(Mp3FrameHeader::parse(0xFFFB0064, h));  // free format
  EXPECT_FALSE(Mp3FrameHeader::parse(0xFFFBF064, h));  // bitrate index 15
  EXPECT_FALSE(Mp3FrameHeader::parse(0xFFFB9C64, h));  // rate index 3
  EXPECT_FALSE(Mp3FrameHeader::parse(0xFFF99064, h));  // layer bits 00
  // Layer II, 32 kbit/s: only in single-channel mode.
  EXPECT_FALSE(Mp3FrameHeader::parse(0xFFFD1004, h));
  EXPECT_TRUE(Mp3FrameHeader::parse(0xFFFD10C4, h));
  // Layer II, 320 kbit/s: not in single-channel mode, nor in joint stereo with extension 0.
  EXPECT_FALSE(Mp3FrameHeader::parse(0xFFFDD0C4, h));
  EXPECT_FALSE(Mp3FrameHeader::parse(0xFFFDD044, h));
  EXPECT_TRUE(Mp3FrameHeader::parse(0xFFFDD054, h));
  EXPECT_TRUE(Mp3FrameHeader::parse(0xFFFDD004, h));
}

struct SyncCase {
  std::vector<uint8_t> bytes;
  int64_t headerAt;  // -1: no header
};

TEST(Mp3HeaderSync, FindsHeadersBehindFalseStartsAtEveryChunkSize) {
  const std::vector<SyncCase> cases = {
      {{0xFF, 0xFF, 0xFB, 0x90, 0x64}, 1},  // rejected at the third byte
      {{0x12, 0xFF, 0xFB, 0xF0, 0xFF, 0xFB, 0x90, 0x64}, 4},
      {{0xFF, 0xFD, 0xD0, 0xFF, 0xFB, 0x90, 0x64}, 3},        // parse fails: layer II rule
      {{0xFF, 0xFB, 0x90, 0x66, 0xFF, 0xFB, 0x90, 0x64}, 4},  // emphasis 10
      {{0xFF, 0xFF, 0xFF, 0xFB, 0x90, 0x64}, 2},
      {{0xFF, 0xFB, 0xFF, 0xFB, 0x90, 0x64}, 2},
      {{0x00, 0xFF, 0xE8, 0x90, 0x64}, -1},  // reserved version only
  };
  for (const SyncCase& c : cases) {
    for (size_t chunk = 1; chunk <= c.bytes.size(); ++chunk) {
      MemoryStream stream(c.bytes, chunk);
      ByteReader reader(&stream);
      reader.refill();
      Mp3FrameHeader header;
      uint32_t word = 0;
      const bool found = Mp3HeaderSync::findHeader(reader, header, word);
      SCOPED_TRACE(testing::Message() << "case at " << c.headerAt << ", chunk " << chunk);
      ASSERT_EQ(found, c.headerAt >= 0);
      if (found) {
        EXPECT_EQ(word, kMpeg1Layer3At128k44);
        EXPECT_EQ(reader.position() - 4, c.headerAt);
      }
    }
  }
}

TEST(Mp3HeaderSync, StopsAtTheChunkEndOnlyWhenTheStreamSaysItHasEnded) {
  std::vector<uint8_t> bytes = {0x00, 0x00, 0xFF, 0xFB, 0x90, 0x64};
  MemoryStream waiting(bytes, 3);
  ByteReader reader(&waiting);
  reader.refill();
  Mp3FrameHeader header;
  uint32_t word = 0;
  EXPECT_TRUE(Mp3HeaderSync::findHeader(reader, header, word));

  MemoryStream ended(bytes, 3);
  ended.alwaysAtEnd = true;
  ByteReader early(&ended);
  early.refill();
  EXPECT_FALSE(Mp3HeaderSync::findHeader(early, header, word));
}

TEST(Mp3FrameScan, MeasuresTheFormatAndDurationOfTheFirstFrames) {
  std::vector<uint8_t> bytes(100, 0x00);  // junk before the first frame
  for (int i = 0; i < 40; ++i) appendFrame(bytes, kMpeg1Layer3At128k44);
  MemoryStream stream(bytes, 1000);
  ByteReader reader(&stream);
  reader.refill();
  AudioFormat format{};
  Mp3FrameScan scan;
  ASSERT_TRUE(scan.run(reader, 0, format));
  EXPECT_EQ(scan.dataOffset(), 100);
  EXPECT_EQ(scan.frameCount(), 40u);
  EXPECT_EQ(format.wave.nSamplesPerSec, 44100u);
  EXPECT_EQ(format.wave.nChannels, 2);
  EXPECT_EQ(format.wave.nAvgBytesPerSec, 176400u);
  EXPECT_EQ(format.blockSize, kDefaultBlockSize);
  EXPECT_EQ(format.durationMs, static_cast<uint32_t>(1152.0 * 40 * 1000.0 / 44100));
}

TEST(Mp3FrameScan, ReportsTheLaterFormatWhenItChangesEarly) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 3; ++i) appendFrame(bytes, kMpeg1Layer3At128k44);
  const size_t changeAt = bytes.size();
  for (int i = 0; i < 20; ++i) appendFrame(bytes, 0xFFFB9464);  // 48000 Hz
  MemoryStream stream(bytes, 512);
  ByteReader reader(&stream);
  reader.refill();
  AudioFormat format{};
  Mp3FrameScan scan;
  ASSERT_TRUE(scan.run(reader, 0, format));
  EXPECT_EQ(format.wave.nSamplesPerSec, 48000u);
  EXPECT_EQ(scan.dataOffset(), static_cast<int64_t>(changeAt));
  EXPECT_EQ(scan.frameCount(), 20u);
}

TEST(Mp3FrameScan, TakesTheXingFrameCountOnlyWhenItsFlagIsSet) {
  for (const bool flagged : {true, false}) {
    std::vector<uint8_t> bytes;
    appendFrame(bytes, kMpeg1Layer3At128k44);
    uint8_t* xing = bytes.data() + 4 + 32;
    const uint8_t tag[12] = {'X', 'i', 'n',  'g', 0, 0, 0, uint8_t(flagged ? 0x0F : 0x0E),
                             0,   0,   0x12, 0x34};
    std::memcpy(xing, tag, sizeof tag);
    for (int i = 0; i < 9; ++i) appendFrame(bytes, kMpeg1Layer3At128k44);
    // Chunks of 40 bytes: the look-ahead has to join chunks without consuming them.
    MemoryStream stream(bytes, 40);
    ByteReader reader(&stream);
    reader.refill();
    AudioFormat format{};
    Mp3FrameScan scan;
    ASSERT_TRUE(scan.run(reader, 0, format));
    EXPECT_EQ(scan.frameCount(), flagged ? 0x1234u : 10u);
  }
}

TEST(Mp3FrameScan, GivesNoDurationForAStreamOfUnknownSize) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 12; ++i) appendFrame(bytes, kMpeg1Layer3At128k44);
  MemoryStream stream(bytes, 4096, false);
  ByteReader reader(&stream);
  reader.refill();
  AudioFormat format{};
  Mp3FrameScan scan;
  ASSERT_TRUE(scan.run(reader, 500, format));
  EXPECT_EQ(format.durationMs, 0u);
  EXPECT_EQ(format.requestedDurationMs, 500u);
  EXPECT_EQ(format.blockSize, 176400u / 2);
}

}  // namespace
}  // namespace orvel
