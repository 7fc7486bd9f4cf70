#include <gtest/gtest.h>
#include <mpg123.h>

#include <filesystem>
#include <numeric>

#include "MemoryStream.h"
#include "audio/Mp3Decoder.h"
#include "audio/Mp3FrameHeader.h"

namespace orvel {
namespace {

using test::fixture;
using test::MemoryStream;

// libmpg123's own decode of the bytes from `from` on, every frame in full.
std::vector<int16_t> referenceDecode(const std::vector<uint8_t>& bytes, size_t from) {
  mpg123_init();
  mpg123_handle* handle = mpg123_new(nullptr, nullptr);
  mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  mpg123_param(handle, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
  mpg123_format_none(handle);
  for (long rate : {8000L, 11025L, 12000L, 16000L, 22050L, 24000L, 32000L, 44100L, 48000L}) {
    mpg123_format(handle, rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  }
  mpg123_open_feed(handle);
  mpg123_feed(handle, bytes.data() + from, bytes.size() - from);
  std::vector<int16_t> pcm;
  for (;;) {
    off_t frame = 0;
    unsigned char* audio = nullptr;
    size_t count = 0;
    const int result = mpg123_decode_frame(handle, &frame, &audio, &count);
    if (result == MPG123_NEW_FORMAT) continue;
    if (result != MPG123_OK) break;
    const auto* samples = reinterpret_cast<const int16_t*>(audio);
    pcm.insert(pcm.end(), samples, samples + count / 2);
  }
  mpg123_delete(handle);
  return pcm;
}

std::vector<int16_t> decodeAll(AudioDecoder& decoder, uint32_t blockBytes, int* calls = nullptr) {
  std::vector<int16_t> pcm;
  std::vector<char> buffer(blockBytes);
  for (;;) {
    WaveHeader block;
    block.lpData = buffer.data();
    block.dwBufferLength = blockBytes;
    const bool more = decoder.Decode(&block, blockBytes);
    if (calls != nullptr) ++*calls;
    const auto* samples = reinterpret_cast<const int16_t*>(buffer.data());
    pcm.insert(pcm.end(), samples, samples + block.dwBytesRecorded / 2);
    if (!more) break;
  }
  return pcm;
}

TEST(Mp3Decoder, DecodesEveryKindOfFileExactlyAsLibmpg123) {
  struct Case {
    const char* file;
    uint32_t rate;
    uint16_t channels;
  };
  for (const Case& c : {Case{"mpeg1-l3.mp3", 44100, 2}, Case{"mpeg2-l3.mp3", 22050, 1},
                        Case{"mpeg25-l3.mp3", 8000, 1}, Case{"layer2.mp2", 44100, 2},
                        Case{"vbr.mp3", 44100, 2}, Case{"tagged-v2.mp3", 44100, 2}}) {
    SCOPED_TRACE(c.file);
    const std::vector<uint8_t> bytes = MemoryStream::load(fixture(c.file));
    ASSERT_FALSE(bytes.empty());
    const std::vector<int16_t> expected = referenceDecode(bytes, 0);
    ASSERT_GT(expected.size(), 8000u);
    // Odd chunk and block sizes cut frames and headers everywhere.
    for (const auto& [chunk, block] : {std::pair{4096u, 32768u}, std::pair{333u, 1002u}}) {
      MemoryStream stream(bytes, chunk);
      auto* decoder = new Mp3Decoder;
      AudioFormat format{};
      ASSERT_EQ(decoder->Open(&stream, &format), 0);
      EXPECT_EQ(format.wave.nSamplesPerSec, c.rate);
      EXPECT_EQ(format.wave.nChannels, c.channels);
      EXPECT_EQ(format.blockSize, 2304u);  // the library's frame size, in the caller's copy
      AudioFormat own{};
      ASSERT_TRUE(decoder->GetFormat(&own));
      EXPECT_EQ(own.blockSize, kDefaultBlockSize);
      const double seconds = static_cast<double>(expected.size()) / c.channels / c.rate;
      EXPECT_NEAR(format.durationMs, seconds * 1000, 60);
      int calls = 0;
      EXPECT_EQ(decodeAll(*decoder, block, &calls), expected);
      // Each block adds its whole milliseconds.
      EXPECT_LE(decoder->GetPosition(true), seconds * 1000);
      EXPECT_GE(decoder->GetPosition(true), seconds * 1000 - calls);
      decoder->Release();
    }
  }
}

TEST(Mp3Decoder, OnAStreamThatCannotSeekStartsAtTheChunkItStillHolds) {
  const std::vector<uint8_t> bytes = MemoryStream::load(fixture("mpeg1-l3.mp3"));
  constexpr size_t kChunk = 2000;
  MemoryStream stream(bytes, kChunk, false);
  auto* decoder = new Mp3Decoder;
  AudioFormat format{};
  ASSERT_EQ(decoder->Open(&stream, &format), 0);
  EXPECT_EQ(format.durationMs, 0u);
  // The decoder goes back to the first byte of the chunk it holds: nothing of it is lost.
  const size_t from = static_cast<size_t>(stream.GetPosition()) - kChunk;
  EXPECT_LT(from, 10u * 417);  // before the end of the ten frames the scan read
  const std::vector<int16_t> expected = referenceDecode(bytes, from);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(decodeAll(*decoder, 4608 * 3 + 2), expected);
  decoder->Release();

  // A server's first burst, as one chunk holding the whole opening scan: decoding starts at
  // the first byte of the stream.
  MemoryStream burst(bytes, 65536, false);
  auto* fromBurst = new Mp3Decoder;
  ASSERT_EQ(fromBurst->Open(&burst, &format), 0);
  EXPECT_EQ(decodeAll(*fromBurst, 4608), referenceDecode(bytes, 0));
  fromBurst->Release();
}

TEST(Mp3Decoder, RefusesDataWithoutFramesAndAMissingLibrary) {
  std::vector<uint8_t> noise(5000);
  std::iota(noise.begin(), noise.end(), 0);
  for (auto& b : noise) b = static_cast<uint8_t>(b & 0x7F);
  MemoryStream stream(noise);
  auto* decoder = new Mp3Decoder;
  AudioFormat format{};
  EXPECT_EQ(decoder->Open(&stream, &format), 1);
  AudioFormat own{};
  EXPECT_FALSE(decoder->GetFormat(&own));
  WaveHeader block;
  EXPECT_FALSE(decoder->Decode(&block, 0));
  decoder->Release();

  const std::string empty = testing::TempDir() + "/no-primitives";
  std::filesystem::create_directories(empty);
  const Mp3PrimitivesLibrary missing = Mp3PrimitivesLibrary::loadFrom(empty, false);
  EXPECT_FALSE(missing.usable());
  MemoryStream good(MemoryStream::load(fixture("mpeg1-l3.mp3")));
  auto* unusable = new Mp3Decoder(&missing);
  EXPECT_EQ(unusable->Open(&good, &format), 1);
  unusable->Release();
}

TEST(Mp3PrimitivesLibrary, PrefersThePlainBuildUnlessOnXScale) {
  const std::string dir = testing::TempDir() + "/primitives-choice";
  std::filesystem::create_directories(dir);
  std::filesystem::remove(dir + "/libOvGrpPrim.so");
  EXPECT_EQ(Mp3PrimitivesLibrary::choosePath(dir, false), dir + "/libOvGrpPrimXA.so");
  { std::ofstream(dir + "/libOvGrpPrim.so") << "x"; }
  EXPECT_EQ(Mp3PrimitivesLibrary::choosePath(dir, false), dir + "/libOvGrpPrim.so");
  EXPECT_EQ(Mp3PrimitivesLibrary::choosePath(dir, true), dir + "/libOvGrpPrimXA.so");
  EXPECT_TRUE(Mp3PrimitivesLibrary::nameIsXScale(": Intel PXA270 rev 7"));
  EXPECT_FALSE(Mp3PrimitivesLibrary::nameIsXScale(": ARMv7 Processor"));
  // Both builds that the project makes load and resolve every entry point.
  EXPECT_TRUE(Mp3PrimitivesLibrary::loadFrom(ORVEL_BIN_DIR, false).usable());
  EXPECT_TRUE(Mp3PrimitivesLibrary::loadFrom(ORVEL_BIN_DIR, true).usable());
}

}  // namespace
}  // namespace orvel
