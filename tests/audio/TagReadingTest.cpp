#include <gtest/gtest.h>

#include <string>

#include "MemoryStream.h"
#include "audio/Id3TagReader.h"
#include "audio/Mp3Decoder.h"

namespace orvel {
namespace {

using test::fixture;
using test::MemoryStream;

using Bytes = std::vector<uint8_t>;

Bytes frame(const std::string& id, const Bytes& body,
            std::optional<uint32_t> declaredSize = std::nullopt) {
  Bytes out(id.begin(), id.end());
  const uint32_t size = declaredSize.value_or(static_cast<uint32_t>(body.size()));
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(size >> shift));
  out.push_back(0);
  out.push_back(0);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Bytes latin(const std::string& text) {
  Bytes body(text.size() + 1, 0);
  std::memcpy(body.data() + 1, text.data(), text.size());
  return body;
}

Bytes tag(const std::vector<Bytes>& frames, uint8_t major = 3) {
  Bytes out = {'I', 'D', '3', major, 0, 0, 0, 0, 0x10, 0};
  for (const Bytes& f : frames) out.insert(out.end(), f.begin(), f.end());
  out.insert(out.end(), 64, 0);  // padding ends the walk
  out.insert(out.end(), 2000, 0x55);
  return out;
}

Bytes withVersion1(Bytes bytes, const std::string& title, uint8_t trackByte, uint8_t genre) {
  Bytes record(128, 0);
  std::memcpy(record.data(), "TAG", 3);
  std::memcpy(record.data() + 3, title.data(), std::min<size_t>(title.size(), 30));
  std::memcpy(record.data() + 33, "Artist1", 7);
  std::memcpy(record.data() + 63, "Album1", 6);
  std::memcpy(record.data() + 93, "1987", 4);
  record[97 + 29] = trackByte;
  record[127] = genre;
  bytes.insert(bytes.end(), record.begin(), record.end());
  return bytes;
}

const std::vector<Bytes> kSixFrames = {
    frame("TIT2", latin("Title")), frame("TPE1", latin("Artist")),
    frame("TALB", latin("Album")), frame("TYER", latin("2001")),
    frame("TRCK", latin("4/12")),  frame("TCON", latin("(17)Rock"))};

TEST(Id3TagReader, SixKnownFramesSucceedWithoutVersion1) {
  std::vector<Bytes> frames = kSixFrames;
  frames.insert(frames.begin() + 2, frame("TXXX", latin("skipped")));
  MemoryStream stream(withVersion1(tag(frames), "Other", 1, 0));
  TagInfo tags;
  ASSERT_TRUE(Id3TagReader::read(stream, tags));
  EXPECT_EQ(tags.title, WString(u"Title"));
  EXPECT_EQ(tags.artist, WString(u"Artist"));
  EXPECT_EQ(tags.album, WString(u"Album"));
  EXPECT_EQ(tags.year, WString(u"2001"));
  EXPECT_EQ(tags.track, WString(u"4/12"));
  EXPECT_EQ(tags.genre, WString(u"Rock"));
}

TEST(Id3TagReader, PartialVersion2IsCompletedByVersion1) {
  MemoryStream stream(
      withVersion1(tag({frame("TIT2", latin("New Title")), frame("TPE1", latin("New Artist"))}),
                   "Old Title", 5, 147));
  TagInfo tags;
  ASSERT_TRUE(Id3TagReader::read(stream, tags));
  EXPECT_EQ(tags.title, WString(u"New Title"));
  EXPECT_EQ(tags.artist, WString(u"New Artist"));
  EXPECT_EQ(tags.album, WString(u"Album1"));
  EXPECT_EQ(tags.year, WString(u"1987"));
  EXPECT_EQ(tags.track, WString(u"5"));
  EXPECT_EQ(tags.genre, WString(u"Synthpop"));

  // Without a version 1 record the partial tag fails (what it read stays).
  MemoryStream alone(tag({frame("TIT2", latin("T"))}));
  TagInfo partial;
  EXPECT_FALSE(Id3TagReader::read(alone, partial));
  EXPECT_EQ(partial.title, WString(u"T"));
}

TEST(Id3TagReader, Version1TrackAndGenreRules) {
  struct Case {
    uint8_t trackByte;
    uint8_t genre;
    std::optional<WString> track;
    std::optional<WString> genreName;
  };
  for (const Case& c : {Case{0, 148, std::nullopt, std::nullopt}, Case{5, 255, u"5", std::nullopt},
                        Case{12, 136, u"12", u"Christian"},
                        Case{0, 140, std::nullopt, u"Contemporary"}, Case{1, 0, u"1", u"Blues"}}) {
    MemoryStream stream(withVersion1(Bytes(500, 0x11), "T", c.trackByte, c.genre));
    TagInfo tags;
    ASSERT_TRUE(Id3TagReader::read(stream, tags));
    EXPECT_EQ(tags.track, c.track);
    EXPECT_EQ(tags.genre, c.genreName);
    EXPECT_EQ(tags.title, WString(u"T"));
  }
  MemoryStream tooShort(Bytes(100, 0));
  TagInfo tags;
  EXPECT_FALSE(Id3TagReader::read(tooShort, tags));
}

TEST(Id3TagReader, RefusesVersion4AndExtendedHeaders) {
  Bytes v4 = tag(kSixFrames, 4);
  MemoryStream version4(v4);
  TagInfo tags;
  EXPECT_FALSE(Id3TagReader::readVersion2(version4, tags));
  EXPECT_EQ(tags, TagInfo{});
  Bytes extended = tag(kSixFrames);
  extended[5] = 0x40;
  MemoryStream withExtended(extended);
  EXPECT_FALSE(Id3TagReader::readVersion2(withExtended, tags));
  EXPECT_EQ(tags, TagInfo{});
}

TEST(Id3TagReader, GenreNumbersAndTextEncodings) {
  EXPECT_EQ(Id3TagReader::stripGenreNumber(u"(13)"), u"");
  EXPECT_EQ(Id3TagReader::stripGenreNumber(u"(13)Pop"), u"Pop");
  EXPECT_EQ(Id3TagReader::stripGenreNumber(u"((13)"), u"((13)");
  EXPECT_EQ(Id3TagReader::stripGenreNumber(u"(13"), u"(13");

  Bytes littleEndian = {1, 0xFF, 0xFE, 'C', 0, 'a', 0, 'f', 0, 0xE9, 0, 0, 0};
  Bytes bigEndian = {1, 0xFE, 0xFF, 0x03, 0xA9, 0, 'm', 0, 0};
  Bytes noTerminator = {1, 0xFF, 0xFE, 0x11, 0x04, 0x35, 0x04};  // "Бе", no zero unit
  Bytes utf8 = {0, 0, 0, 'N', 0xC3, 0xA9, 'e'};
  Bytes onlyZeros = {0, 0, 0, 0};
  MemoryStream stream(
      tag({frame("TIT2", littleEndian), frame("TPE1", bigEndian), frame("TALB", noTerminator),
           frame("TYER", utf8), frame("TRCK", onlyZeros), frame("TCON", latin("(13)"))}));
  TagInfo tags;
  EXPECT_TRUE(Id3TagReader::readVersion2(stream, tags));
  EXPECT_EQ(tags.title, WString(u"Caf\u00E9"));
  EXPECT_EQ(tags.artist, WString(u"\u03A9m"));
  EXPECT_EQ(tags.album, WString(u"\u0411\u0435"));
  EXPECT_EQ(tags.year, WString(u"N\u00E9e"));
  EXPECT_FALSE(tags.track);
  EXPECT_EQ(tags.genre, WString(u""));
}

TEST(Id3TagReader, DamagedFrameSizesEndTheWalk) {
  for (const uint32_t badSize : {0u, 0x7FFFFFF0u, 0xFFFFFFFFu, 3000u}) {
    Bytes bytes = tag({frame("TIT2", latin("Title")), frame("TPE1", latin("A"), badSize),
                       frame("TALB", latin("Album"))});
    bytes.resize(bytes.size() - 2000);
    MemoryStream stream(bytes);
    TagInfo tags;
    EXPECT_FALSE(Id3TagReader::readVersion2(stream, tags)) << badSize;
    EXPECT_EQ(tags.title, WString(u"Title"));
    EXPECT_FALSE(tags.artist);
    EXPECT_FALSE(tags.album);
  }
  // A repeated frame counts twice: seven known frames are not success.
  std::vector<Bytes> seven = kSixFrames;
  seven.push_back(frame("TIT2", latin("Again")));
  MemoryStream repeated(tag(seven));
  TagInfo tags;
  EXPECT_FALSE(Id3TagReader::readVersion2(repeated, tags));
  EXPECT_EQ(tags.title, WString(u"Again"));
}

TEST(Mp3DecoderTags, ReadsFilesAndLeavesDecodingWhereItWas) {
  MemoryStream stream(MemoryStream::load(fixture("tagged-v1.mp3")));
  auto* decoder = new Mp3Decoder;
  AudioFormat format{};
  ASSERT_EQ(decoder->Open(&stream, &format), 0);
  std::vector<char> buffer(4096);
  WaveHeader block;
  block.lpData = buffer.data();
  block.dwBufferLength = 4096;
  ASSERT_TRUE(decoder->Decode(&block, 4096));
  const int32_t position = decoder->GetPosition(false);
  TagInfo tags;
  ASSERT_EQ(decoder->Control(kControlReadTags, &tags, nullptr), 0);
  EXPECT_EQ(tags.title, WString(u"Old Song"));
  EXPECT_EQ(tags.genre, WString(u"Rock"));
  EXPECT_EQ(tags.track, WString(u"3"));
  EXPECT_EQ(decoder->GetPosition(false), position);

  MemoryStream other(MemoryStream::load(fixture("tagged-v2.mp3")));
  TagInfo fromOther;
  ASSERT_EQ(decoder->Control(kControlReadTags, &fromOther, &other), 0);
  EXPECT_EQ(fromOther.title, WString(u"Song"));
  EXPECT_EQ(fromOther.track, WString(u"7"));

  MemoryStream network(MemoryStream::load(fixture("tagged-v2.mp3")), 4096, false);
  TagInfo none;
  EXPECT_EQ(decoder->Control(kControlReadTags, &none, &network), -1);
  EXPECT_EQ(none, TagInfo{});
  decoder->Release();
}

}  // namespace
}  // namespace orvel
