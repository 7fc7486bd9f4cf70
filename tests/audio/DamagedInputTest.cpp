#include <gtest/gtest.h>

#include <random>

#include "MemoryStream.h"
#include "audio/CodecRegistry.h"
#include "audio/Mp3Decoder.h"
#include "audio/OggDecoder.h"

namespace orvel {
namespace {

using test::fixture;
using test::MemoryStream;

// Decodes to the end; returns the PCM bytes, or -1 when Open refused the data.
int64_t decodeEverything(AudioDecoder* decoder, MemoryStream& stream) {
  AudioFormat format{};
  if (decoder->Open(&stream, &format) != 0) {
    decoder->Release();
    return -1;
  }
  std::vector<char> buffer(20000);
  int64_t total = 0;
  for (int calls = 0; calls < 10000; ++calls) {
    WaveHeader block;
    block.lpData = buffer.data();
    block.dwBufferLength = static_cast<uint32_t>(buffer.size());
    const bool more = decoder->Decode(&block, block.dwBufferLength);
    EXPECT_LE(block.dwBytesRecorded, block.dwBufferLength);
    total += block.dwBytesRecorded;
    if (!more) break;
  }
  TagInfo tags;
  decoder->Control(kControlReadTags, &tags, nullptr);
  decoder->Release();
  return total;
}

std::vector<uint8_t> damaged(std::vector<uint8_t> bytes, std::mt19937& random, int how) {
  std::uniform_int_distribution<size_t> at(0, bytes.size() - 1);
  if (how == 0) {
    bytes.resize(at(random));  // cut anywhere
  } else {
    for (int i = 0; i < 40; ++i) bytes[at(random)] = static_cast<uint8_t>(random());
  }
  return bytes;
}

TEST(DamagedInput, CutOrScrambledFilesEndDecodingCleanly) {
  std::mt19937 random(11);
  CodecRegistry registry(CodecRegistry::kLibraryPattern, ORVEL_BIN_DIR);
  for (const char* file :
       {"mpeg1-l3.mp3", "tagged-v2.mp3", "layer2.mp2", "tone.ogg", "chained.ogg", "sweep.aac",
        "sweep.opus", "sweep.flac", "sweep-flac.oga", "sweep-vorbis.oga"}) {
    const std::vector<uint8_t> original = MemoryStream::load(fixture(file));
    for (int round = 0; round < 12; ++round) {
      SCOPED_TRACE(testing::Message() << file << " round " << round);
      MemoryStream stream(damaged(original, random, round % 2), 1000 + round * 300, round % 3 != 0);
      AudioDecoder* decoder = nullptr;
      ASSERT_TRUE(registry.CreateDecoder(&decoder, fromAscii(file)));
      // Nothing comes out of thin air: at most a few seconds of audio per file.
      EXPECT_LT(decodeEverything(decoder, stream), 10 * 44100 * 4);
    }
  }
}

TEST(DamagedInput, RandomBytesAreRefusedOrDecodeToLittle) {
  std::mt19937 random(5);
  CodecRegistry registry(CodecRegistry::kLibraryPattern, ORVEL_BIN_DIR);
  for (int round = 0; round < 8; ++round) {
    std::vector<uint8_t> noise(20000);
    for (auto& b : noise) b = static_cast<uint8_t>(random());
    MemoryStream forOgg(noise);
    EXPECT_EQ(decodeEverything(new OggDecoder, forOgg), -1);
    MemoryStream forMp3(noise, 777, round % 2 == 0);
    EXPECT_LT(decodeEverything(new Mp3Decoder, forMp3), 10 * 48000 * 4);
    for (const char16_t* format : {u"x.opus", u"x.flac", u"x.oga", u"x.aac"}) {
      AudioDecoder* decoder = nullptr;
      ASSERT_TRUE(registry.CreateDecoder(&decoder, format));
      MemoryStream stream(noise, 777, round % 2 == 0);
      const int64_t bytes = decodeEverything(decoder, stream);
      // Without their magic bytes the Ogg and FLAC formats are refused at once.
      if (!equalsNoCase(format, u"x.aac")) {
        EXPECT_EQ(bytes, -1) << toUtf8(format);
      }
      EXPECT_LT(bytes, 10 * 48000 * 4) << toUtf8(format);
    }
  }
}

}  // namespace
}  // namespace orvel
