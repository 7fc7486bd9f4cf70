#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/MetadataSplitter.h"

namespace orvel {
namespace {

// A stream of `blocks` audio runs of `metaint` bytes, each followed by the given metadata
// (a length byte and its block), and the audio alone.
struct Stream {
  std::vector<uint8_t> wire;
  std::vector<uint8_t> audio;
};

std::vector<uint8_t> block(const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.resize((bytes.size() + 15) / 16 * 16, 0);
  bytes.insert(bytes.begin(), static_cast<uint8_t>(bytes.size() / 16));
  return bytes;
}

Stream makeStream(uint32_t metaint, const std::vector<std::vector<uint8_t>>& metadata) {
  Stream stream;
  uint8_t value = 1;
  for (const auto& meta : metadata) {
    for (uint32_t i = 0; i < metaint; ++i, ++value) {
      stream.wire.push_back(value);
      stream.audio.push_back(value);
    }
    stream.wire.insert(stream.wire.end(), meta.begin(), meta.end());
  }
  return stream;
}

class MetadataSplitterTest : public ::testing::Test {
 protected:
  // Feeds the wire in pieces of the given sizes (the last repeated), in place.
  std::vector<uint8_t> feed(std::vector<uint8_t> wire, std::vector<size_t> pieces) {
    std::vector<uint8_t> audio;
    size_t at = 0;
    for (size_t i = 0; at < wire.size(); ++i) {
      const size_t n = std::min(pieces[std::min(i, pieces.size() - 1)], wire.size() - at);
      const uint32_t kept =
          splitter.split(wire.data() + at, static_cast<uint32_t>(n), wire.data() + at);
      audio.insert(audio.end(), wire.begin() + at, wire.begin() + at + kept);
      at += n;
    }
    return audio;
  }

  std::vector<std::string> titles;
  MetadataSplitter splitter{[this](std::string_view t) { titles.emplace_back(t); }};
};

TEST_F(MetadataSplitterTest, RemovesABlockAndTakesItsTitle) {
  const Stream stream = makeStream(8192, {block("StreamTitle='Artist - Song';")});
  ASSERT_EQ(stream.wire.size(), 8192u + 1 + 32);
  splitter.reset(8192);
  EXPECT_EQ(feed(stream.wire, {stream.wire.size()}), stream.audio);
  EXPECT_EQ(titles, std::vector<std::string>{"Artist - Song"});
}

TEST_F(MetadataSplitterTest, BlocksAndLengthBytesMayStraddleReadsAtAnyOffset) {
  const Stream stream =
      makeStream(40, {block("StreamTitle='One';"), {0}, block("StreamUrl='x';StreamTitle='Two';")});
  for (size_t cut = 1; cut < stream.wire.size(); ++cut) {
    titles.clear();
    splitter.reset(40);
    ASSERT_EQ(feed(stream.wire, {cut, stream.wire.size()}), stream.audio) << "cut at " << cut;
    ASSERT_EQ(titles, (std::vector<std::string>{"One", "Two"})) << "cut at " << cut;
  }
  titles.clear();
  splitter.reset(40);
  EXPECT_EQ(feed(stream.wire, {1}), stream.audio);  // one byte at a time
  EXPECT_EQ(titles.size(), 2u);
}

TEST_F(MetadataSplitterTest, OnlyAWellFormedTitleIsReported) {
  std::string_view title;
  EXPECT_TRUE(MetadataSplitter::extractTitle("StreamTitle='Rock 'n' Roll';", title));
  EXPECT_EQ(title, "Rock ");  // cut at the first quote
  EXPECT_TRUE(MetadataSplitter::extractTitle("StreamTitle='';", title));
  EXPECT_EQ(title, "");
  EXPECT_FALSE(MetadataSplitter::extractTitle("StreamTitle='no end", title));
  EXPECT_FALSE(MetadataSplitter::extractTitle("StreamUrl='x';", title));
  // Text after a null byte is not looked at.
  EXPECT_FALSE(MetadataSplitter::extractTitle(std::string_view("\0StreamTitle='x';", 17), title));

  // A block filled to its last byte without any terminator.
  std::string full = "StreamTitle='" + std::string(4080 - 13, 'x');
  const Stream stream = makeStream(16, {block(full), block("StreamTitle='ok';")});
  splitter.reset(16);
  EXPECT_EQ(feed(stream.wire, {100}), stream.audio);
  EXPECT_EQ(titles, std::vector<std::string>{"ok"});
}

TEST_F(MetadataSplitterTest, WithoutMetaintChunksPassUnchanged) {
  std::vector<uint8_t> wire(1000);
  for (size_t i = 0; i < wire.size(); ++i) wire[i] = static_cast<uint8_t>(i);
  for (int32_t metaint : {0, -5}) {
    splitter.reset(metaint);
    EXPECT_EQ(feed(wire, {333}), wire);
  }
  EXPECT_TRUE(titles.empty());
}

}  // namespace
}  // namespace orvel
