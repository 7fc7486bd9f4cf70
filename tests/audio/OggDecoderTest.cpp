#include <gtest/gtest.h>
#include <tremor/ivorbisfile.h>

#include <cstdio>
#include <cstring>

#include "MemoryStream.h"
#include "audio/OggDecoder.h"

namespace orvel {
namespace {

using test::fixture;
using test::MemoryStream;

// Tremor's own decode of a file read through stdio.
std::vector<int16_t> referenceDecode(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  OggVorbis_File vf;
  std::vector<int16_t> pcm;
  if (file == nullptr || ov_open(file, &vf, nullptr, 0) != 0) return pcm;
  char buffer[4096];
  int link = 0;
  for (;;) {
    const long got = ov_read(&vf, buffer, sizeof buffer, &link);
    if (got == OV_HOLE) continue;
    if (got <= 0) break;
    const auto* samples = reinterpret_cast<const int16_t*>(buffer);
    pcm.insert(pcm.end(), samples, samples + got / 2);
  }
  ov_clear(&vf);  // closes the file
  return pcm;
}

struct Decoded {
  std::vector<int16_t> pcm;
  int shortBlocks = 0;  // blocks that came back not full
  bool lastResult = true;
  uint32_t lastBytes = 0;
  std::vector<size_t> linkStarts;  // output byte offsets where a new link's tags took over
};

Decoded decodeAll(AudioDecoder& decoder, uint32_t blockBytes) {
  Decoded out;
  std::vector<char> buffer(blockBytes);
  for (;;) {
    WaveHeader block;
    block.lpData = buffer.data();
    block.dwBufferLength = blockBytes;
    out.lastResult = decoder.Decode(&block, blockBytes);
    out.lastBytes = block.dwBytesRecorded;
    uint32_t linkOffset = 0;
    if (decoder.Control(kControlTagsChanged, &linkOffset, nullptr) == 1) {
      out.linkStarts.push_back(out.pcm.size() * 2 + linkOffset);
    }
    const auto* samples = reinterpret_cast<const int16_t*>(buffer.data());
    out.pcm.insert(out.pcm.end(), samples, samples + block.dwBytesRecorded / 2);
    if (!out.lastResult) break;
    if (block.dwBytesRecorded != blockBytes) ++out.shortBlocks;
  }
  return out;
}

TEST(OggDecoder, DecodesAFileAsTremorDoesInFullBlocks) {
  const std::vector<int16_t> expected = referenceDecode(fixture("tone.ogg"));
  ASSERT_EQ(expected.size(), 3u * 44100 * 2);
  for (const uint32_t blockBytes : {32768u, 4004u}) {
    MemoryStream stream(MemoryStream::load(fixture("tone.ogg")), 1000);
    auto* decoder = new OggDecoder;
    AudioFormat format{};
    ASSERT_EQ(decoder->Open(&stream, &format), 0);
    EXPECT_EQ(format.wave.nSamplesPerSec, 44100u);
    EXPECT_EQ(format.wave.nChannels, 2);
    EXPECT_EQ(format.wave.nBlockAlign, 4);
    EXPECT_EQ(format.blockSize, kDefaultBlockSize);
    EXPECT_EQ(format.durationMs, 3000u);
    const Decoded decoded = decodeAll(*decoder, blockBytes);
    EXPECT_EQ(decoded.pcm, expected);
    EXPECT_EQ(decoded.shortBlocks, 0);
    // The stream ended inside the last block: false, with what there was.
    EXPECT_FALSE(decoded.lastResult);
    EXPECT_EQ(decoded.lastBytes, expected.size() * 2 % blockBytes);
    // A rewind by time starts again from the beginning.
    EXPECT_EQ(decoder->Control(kControlRewind, nullptr, nullptr), 0);
    EXPECT_EQ(decoder->GetPosition(true), 0);
    EXPECT_EQ(decodeAll(*decoder, blockBytes).pcm.size(), expected.size());
    decoder->Release();
  }
}

TEST(OggDecoder, PlaysAChainedStreamThatCannotSeekAcrossTheSongChange) {
  std::vector<int16_t> expected = referenceDecode(fixture("tone.ogg"));
  const std::vector<int16_t> second = referenceDecode(fixture("second.ogg"));
  expected.insert(expected.end(), second.begin(), second.end());
  MemoryStream stream(MemoryStream::load(fixture("chained.ogg")), 1500, false);
  auto* decoder = new OggDecoder;
  AudioFormat format{};
  ASSERT_EQ(decoder->Open(&stream, &format), 0);
  EXPECT_EQ(format.durationMs, 0u);
  const Decoded decoded = decodeAll(*decoder, 44100);
  EXPECT_EQ(decoded.pcm, expected);
  // The second song's tags take over exactly where its first sample lies in the output.
  EXPECT_EQ(decoded.linkStarts,
            std::vector<size_t>{referenceDecode(fixture("tone.ogg")).size() * 2});
  // The rewind is refused by the library; nothing breaks.
  EXPECT_EQ(decoder->Control(kControlRewind, nullptr, nullptr), 0);
  decoder->Release();
}

// Removes the n-th Ogg page, which leaves a gap the library reports as a hole; `frames`
// receives the audio frames the page held.
std::vector<uint8_t> withoutPage(std::vector<uint8_t> bytes, int n, int64_t& frames) {
  size_t at = 0;
  int64_t previousGranule = 0;
  for (int page = 0; at + 27 < bytes.size(); ++page) {
    const uint8_t segments = bytes[at + 26];
    size_t length = 27 + segments;
    for (int i = 0; i < segments; ++i) length += bytes[at + 27 + i];
    int64_t granule = 0;
    std::memcpy(&granule, bytes.data() + at + 6, 8);
    if (page == n) {
      frames = granule - previousGranule;
      bytes.erase(bytes.begin() + static_cast<long>(at),
                  bytes.begin() + static_cast<long>(at + length));
      break;
    }
    previousGranule = granule;
    at += length;
  }
  return bytes;
}

TEST(OggDecoder, SkipsAHoleAndKeepsFillingTheBlock) {
  const std::vector<int16_t> whole = referenceDecode(fixture("tone.ogg"));
  int64_t lostFrames = 0;
  MemoryStream stream(withoutPage(MemoryStream::load(fixture("tone.ogg")), 3, lostFrames), 4096,
                      false);
  ASSERT_GT(lostFrames, 0);
  auto* decoder = new OggDecoder;
  AudioFormat format{};
  ASSERT_EQ(decoder->Open(&stream, &format), 0);
  const Decoded decoded = decodeAll(*decoder, 32768);
  EXPECT_EQ(decoded.shortBlocks, 0);
  // Everything but the lost page (and a packet's overlap at its edge) comes out.
  const int64_t expectedSamples = static_cast<int64_t>(whole.size()) - 2 * lostFrames;
  EXPECT_NEAR(static_cast<double>(decoded.pcm.size()), static_cast<double>(expectedSamples),
              2 * 2048.0);
  EXPECT_TRUE(std::equal(whole.begin(), whole.begin() + 10000, decoded.pcm.begin()));
  decoder->Release();
}

TEST(OggDecoder, RefusesWhatIsNotOggVorbis) {
  for (const char* file : {"mpeg1-l3.mp3", ""}) {
    MemoryStream stream(*file != '\0' ? MemoryStream::load(fixture(file)) : std::vector<uint8_t>{});
    auto* decoder = new OggDecoder;
    AudioFormat format{};
    EXPECT_EQ(decoder->Open(&stream, &format), 1);
    EXPECT_FALSE(decoder->GetFormat(&format));
    EXPECT_EQ(decoder->GetPosition(true), 0);
    EXPECT_EQ(decoder->Control(kControlImplementation, nullptr, nullptr), 120);
    EXPECT_EQ(decoder->Control(999, nullptr, nullptr), kControlUnknown);
    TagInfo tags;
    EXPECT_EQ(decoder->Control(kControlReadTags, &tags, nullptr), -1);
    WaveHeader block;
    EXPECT_FALSE(decoder->Decode(&block, 0));
    decoder->Release();
  }
}

TEST(OggDecoder, ReadsTheCommentsOfTheStream) {
  MemoryStream stream(MemoryStream::load(fixture("tone.ogg")), 4096, false);
  auto* decoder = new OggDecoder;
  AudioFormat format{};
  ASSERT_EQ(decoder->Open(&stream, &format), 0);
  TagInfo tags;
  tags.album = u"stale";
  EXPECT_EQ(decoder->Control(kControlReadTags, nullptr, nullptr), -1);
  ASSERT_EQ(decoder->Control(kControlReadTags, &tags, nullptr), 0);
  EXPECT_EQ(tags.title, WString(u"Premi\u00E8re"));
  EXPECT_EQ(tags.artist, WString(u"\u03A9mega"));
  EXPECT_EQ(tags.genre, WString(u"Jazz"));
  EXPECT_EQ(tags.year, WString(u"2004"));
  EXPECT_EQ(tags.track, WString(u"9"));
  EXPECT_FALSE(tags.album);
  decoder->Release();
}

TEST(OggDecoder, TakesTheLastOfRepeatedCommentsAndIgnoresOthers) {
  std::vector<std::string> texts = {"title=A",    "TITLE=B",      "TITLEX=C",      "ARTIST",
                                    "Artist=x=y", "tracknumber=", "DATE=\xE9t\xE9"};
  std::vector<char*> pointers;
  std::vector<int> lengths;
  for (auto& text : texts) {
    pointers.push_back(text.data());
    lengths.push_back(static_cast<int>(text.size()));
  }
  vorbis_comment comments{};
  comments.user_comments = pointers.data();
  comments.comment_lengths = lengths.data();
  comments.comments = static_cast<int>(texts.size());
  TagInfo tags;
  OggDecoder::readComments(comments, tags);
  EXPECT_EQ(tags.title, WString(u"B"));
  EXPECT_EQ(tags.artist, WString(u"x=y"));
  EXPECT_EQ(tags.track, WString(u""));
  EXPECT_EQ(tags.year, WString(u"\u00E9t\u00E9"));  // not UTF-8: Windows-1252
  EXPECT_FALSE(tags.genre);
}

}  // namespace
}  // namespace orvel
