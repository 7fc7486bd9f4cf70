#include <gtest/gtest.h>

#include "RecordingEvents.h"
#include "engine/IcyStream.h"
#include "engine/StreamHeaders.h"

namespace orvel {
namespace {

WString lines(std::initializer_list<const char16_t*> list) {
  WString buffer;
  for (const char16_t* line : list) {
    buffer += line;
    buffer.push_back(u'\0');
  }
  buffer.push_back(u'\0');
  return buffer;
}

TEST(StreamHeadersTest, FirstOccurrenceWinsAndMetaintTakesTheLast) {
  int32_t metaint = -1;
  const StreamHeaders headers = StreamHeaders::parse(
      lines({u"x-audiocast-name: First", u"ICY-NAME:Second", u"icy-genre:   Jazz",
             u"icy-metaint: 100", u"Server: Icecast", u"content-type: audio/ogg",
             u"icy-url:http://example.org", u"x-audiocast-bitrate: 128", u"icy-metaint:8192",
             u"Server", u"icy-br: 64"}),
      metaint);
  EXPECT_EQ(headers.name, u"First");
  EXPECT_EQ(headers.genre, u"Jazz");
  EXPECT_EQ(headers.server, u"Icecast");
  EXPECT_EQ(headers.contentType, u"audio/ogg");
  EXPECT_EQ(headers.url, u"http://example.org");
  EXPECT_EQ(headers.bitrate, u"128");
  EXPECT_EQ(metaint, 8192);
}

TEST(StreamHeadersTest, HostileMetaintAndMissingTypeAreHarmless) {
  int32_t metaint = 0;
  for (const char16_t* value :
       {u"icy-metaint: -5", u"icy-metaint: 99999999999", u"icy-metaint: abc", u"icy-metaint:"}) {
    const StreamHeaders headers = StreamHeaders::parse(lines({value}), metaint);
    EXPECT_EQ(metaint, 0) << toUtf8(value);
    EXPECT_EQ(headers.contentType, u"audio/mpeg");
  }
  StreamHeaders::parse(lines({u"icy-metaint: 2147483647"}), metaint);
  EXPECT_EQ(metaint, 2147483647);
}

// Gives the test access to the header step of a connection.
class HeaderStream : public IcyStream {
 public:
  using IcyStream::ConnectDone;
  using IcyStream::IcyStream;
};

TEST(StreamHeadersTest, FormatNameFollowsTheAcceptTypes) {
  test::RecordingEvents events;
  HeaderStream stream(&events);
  std::string name;
  EXPECT_FALSE(stream.FormatName(name));  // no headers yet
  const std::pair<const char16_t*, const char*> cases[] = {
      {u"Content-Type: audio/mpeg", "mp3"},    {u"Content-Type: application/ogg", "ogg"},
      {u"Content-Type: audio/aacp", "aac"},    {u"Content-Type: audio/MPEG", ""},
      {u"Content-Type: audio/x-aac", "aac"},   {u"Content-Type: Audio/Opus", "opus"},
      {u"Content-Type: audio/x-flac", "flac"}, {u"Content-Type: audio/aac+", ""},
      {u"Content-Type: text/plain", ""},       {u"Content-Type: audio/", "mp3"},
      {u"Content-Type: audio/mpe", "mp3"},     {u"Content-Type: mpeg", ""},
      {u"icy-name: no type", "mp3"},
  };
  for (const auto& [line, expected] : cases) {
    stream.ConnectDone(true, lines({line}));
    name.clear();
    EXPECT_EQ(stream.FormatName(name), *expected != '\0') << toUtf8(line);
    EXPECT_EQ(name, expected) << toUtf8(line);
  }
  EXPECT_EQ(events.count(test::RecordingEvents::kConnectedOk), std::size(cases));
}

}  // namespace
}  // namespace orvel
