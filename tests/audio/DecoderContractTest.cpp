#include <gtest/gtest.h>

#include <string>

#include "MemoryStream.h"
#include "audio/DecoderDescription.h"
#include "audio/Mp3Decoder.h"
#include "audio/Mp3FrameHeader.h"
#include "platform/Text.h"

namespace orvel {
namespace {

using test::MemoryStream;

// A primitives library that gives frames of kFrameValues numbered samples, kFrames of them,
// and counts its calls.
constexpr uint32_t kFrameValues = 8;
int g_framesLeft = 0;
int g_decodeCalls = 0;
int16_t g_next = 0;
int g_initResult = 1;

int32_t fakeInit(Mp3InputContext*, Mp3DecoderState*, uint32_t* n, uint32_t*, uint32_t*) {
  *n = kFrameValues;
  return g_initResult;
}

int32_t fakeDecode(Mp3InputContext*, int16_t* pcm, uint32_t* count, int32_t, Mp3DecoderState*) {
  ++g_decodeCalls;
  *count = 0;
  if (g_framesLeft == 0) return 1;
  --g_framesLeft;
  for (uint32_t i = 0; i < kFrameValues; ++i) pcm[i] = g_next++;
  *count = kFrameValues;
  return 0;
}

int32_t fakeSynth() { return 0; }

Mp3PrimitivesLibrary fakeLibrary() {
  Mp3PrimitivesLibrary library;
  library.init = &fakeInit;
  library.decodeFrame = &fakeDecode;
  library.synthPqmf = &fakeSynth;
  return library;
}

std::vector<uint8_t> silentFrames(int count) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < count; ++i) {
    const uint8_t header[4] = {0xFF, 0xFB, 0x90, 0x64};
    bytes.insert(bytes.end(), header, header + 4);
    bytes.insert(bytes.end(), 413, 0);
  }
  return bytes;
}

class CountingFilter : public AudioFilter {
 public:
  explicit CountingFilter(int32_t result) : m_result(result) {}
  int32_t Init(const FilterProperties*) override { return 0; }
  int32_t Process(WaveHeader*) override {
    ++calls;
    return m_result;
  }
  void Release() override {}
  int calls = 0;

 private:
  int32_t m_result;
};

class Mp3DecoderBlocks : public testing::Test {
 protected:
  void SetUp() override {
    g_framesLeft = 5;
    g_decodeCalls = 0;
    g_next = 0;
    g_initResult = 1;
  }
  std::vector<int16_t> decode(uint32_t bytes, bool* result = nullptr) {
    std::vector<int16_t> out(bytes / 2 + 1);
    WaveHeader block;
    block.lpData = reinterpret_cast<char*>(out.data());
    block.dwBufferLength = bytes;
    const bool ok = m_decoder->Decode(&block, bytes);
    if (result != nullptr) *result = ok;
    out.resize(block.dwBytesRecorded / 2);
    return out;
  }
  Mp3PrimitivesLibrary m_library = fakeLibrary();
  MemoryStream m_stream{silentFrames(12)};
  Mp3Decoder* m_decoder = new Mp3Decoder(&m_library);
  void TearDown() override { m_decoder->Release(); }
};

TEST_F(Mp3DecoderBlocks, HandsOutTheRestOfAFrameBeforeDecodingMore) {
  AudioFormat format{};
  ASSERT_EQ(m_decoder->Open(&m_stream, &format), 0);
  EXPECT_EQ(format.blockSize, kFrameValues);
  EXPECT_EQ(decode(6), (std::vector<int16_t>{0, 1, 2}));
  EXPECT_EQ(g_decodeCalls, 1);
  // Fewer bytes than are left over: no library call.
  EXPECT_EQ(decode(4), (std::vector<int16_t>{3, 4}));
  EXPECT_EQ(g_decodeCalls, 1);
  // The rest of the frame, then whole frames, then part of the next.
  EXPECT_EQ(decode(22), (std::vector<int16_t>{5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(g_decodeCalls, 2);
  bool ok = false;
  const std::vector<int16_t> rest = decode(1000, &ok);
  EXPECT_TRUE(ok);
  ASSERT_EQ(rest.size(), 5 * kFrameValues - 16);
  EXPECT_EQ(rest.front(), 16);
  EXPECT_EQ(rest.back(), 39);
  EXPECT_TRUE(decode(1000, &ok).empty());
  EXPECT_FALSE(ok);
}

TEST_F(Mp3DecoderBlocks, RunsTheFilterChainOverEveryBlock) {
  AudioFormat format{};
  ASSERT_EQ(m_decoder->Open(&m_stream, &format), 0);
  CountingFilter passing(0);
  CountingFilter failing(1);
  EXPECT_FALSE(m_decoder->AddFilter(nullptr));
  ASSERT_TRUE(m_decoder->AddFilter(&passing));
  ASSERT_TRUE(m_decoder->AddFilter(&passing));
  bool ok = false;
  EXPECT_EQ(decode(4, &ok).size(), 2u);
  EXPECT_TRUE(ok);
  EXPECT_EQ(passing.calls, 2);
  // Removing a filter that was added twice removes one node.
  EXPECT_TRUE(m_decoder->RemoveFilter(&passing));
  decode(4);
  EXPECT_EQ(passing.calls, 3);
  EXPECT_FALSE(m_decoder->RemoveFilter(&failing));
  // A failing filter makes Decode fail although PCM was written, and stops the chain.
  ASSERT_TRUE(m_decoder->AddFilter(&failing));
  ASSERT_TRUE(m_decoder->AddFilter(&passing));
  EXPECT_EQ(decode(20, &ok).size(), 10u);
  EXPECT_FALSE(ok);
  EXPECT_EQ(passing.calls, 4);
  EXPECT_EQ(failing.calls, 1);
  EXPECT_TRUE(m_decoder->RemoveAllFilters());
  EXPECT_EQ(decode(2, &ok).size(), 1u);
  EXPECT_TRUE(ok);
}

TEST_F(Mp3DecoderBlocks, AnswersTheControlCodes) {
  AudioFormat format{};
  format.requestedDurationMs = 250;
  ASSERT_EQ(m_decoder->Open(&m_stream, &format), 0);
  AudioFormat own{};
  ASSERT_TRUE(m_decoder->GetFormat(&own));
  EXPECT_EQ(own.blockSize, 176400u / 4);
  EXPECT_EQ(own.requestedDurationMs, 250u);
  EXPECT_EQ(m_decoder->Control(kControlImplementation, nullptr, nullptr), 125);
  EXPECT_EQ(m_decoder->Control(999, nullptr, nullptr), kControlUnknown);
  EXPECT_EQ(m_decoder->Control(kControlDuration, nullptr, nullptr),
            static_cast<int32_t>(own.durationMs));
  EXPECT_EQ(m_decoder->Control(kControlDescription, nullptr, nullptr), -1);
  char16_t text[128] = {};
  ASSERT_EQ(m_decoder->Control(kControlDescription, text, nullptr), 0);
  std::u16string joined;
  for (int i = 0, strings = 0; strings < 5; ++i) {
    joined += text[i] != 0 ? text[i] : u'|';
    strings += text[i] == 0;
  }
  const int32_t kbps = static_cast<int32_t>(12 * 417 * 8 / own.durationMs);
  EXPECT_EQ(joined, u"MP3|" + fromAscii(std::to_string(kbps)) + u" kbps|44100 Hz|16 bits|2 ch|");

  decode(6);
  // A rewind clears the library state and leftover and goes back to the stream's start.
  EXPECT_EQ(m_decoder->Control(kControlRewind, nullptr, nullptr), 0);
  EXPECT_EQ(m_decoder->GetPosition(false), 0);
  EXPECT_EQ(decode(2), (std::vector<int16_t>{8}));
}

TEST(DecoderDescription, HasNoBitrateWithoutSizeOrDuration) {
  EXPECT_EQ(DecoderDescription::bitrateKbps(-1, 1000), 0);
  EXPECT_EQ(DecoderDescription::bitrateKbps(16000, 0), 0);
  EXPECT_EQ(DecoderDescription::bitrateKbps(16000, 1000), 128);
}

}  // namespace
}  // namespace orvel
