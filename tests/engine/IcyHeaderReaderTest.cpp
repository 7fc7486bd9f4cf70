#include <gtest/gtest.h>

#include <string>

#include "engine/IcyHeaderReader.h"

namespace orvel {
namespace {

struct Parse {
  bool ok = false;
  WString buffer;
  size_t consumed = 0;
};

Parse parse(const std::string& wire, uint32_t capacity = 2048) {
  Parse result;
  IcyHeaderReader reader(
      [&](uint8_t& byte) {
        if (result.consumed == wire.size()) return false;
        byte = static_cast<uint8_t>(wire[result.consumed++]);
        return true;
      },
      capacity);
  result.ok = reader.read(result.buffer);
  return result;
}

TEST(IcyHeaderReaderTest, ReadsLinesUpToTheEmptyLineAndNoFurther) {
  const std::string head = "ICY 200 OK\r\nicy-name: Radio \xE9t\xE9\r\nicy-metaint:8192\r\n\r\n";
  const Parse result = parse(head + "\xFF\xFB audio");
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.buffer, WString(u"icy-name: Radio \u00e9t\u00e9\0icy-metaint:8192\0\0", 38));
  EXPECT_EQ(result.consumed, head.size());  // the first audio byte stays for the decoder
  EXPECT_TRUE(parse("icy 200 ok\r\n\r\n").ok);
}

TEST(IcyHeaderReaderTest, RefusesOtherStatusLinesAndBrokenLineEnds) {
  EXPECT_FALSE(parse("ICY 401 Service Unavailable\r\n\r\n").ok);
  EXPECT_FALSE(parse("ICY 200 OK\n\r\n").ok);
  EXPECT_FALSE(parse("ICY 200 OK \r\n\r\n").ok);
  EXPECT_FALSE(parse("ICY 200 OK\r\nicy-name: x\n\r\n").ok);      // "\n" without "\r"
  EXPECT_FALSE(parse("ICY 200 OK\r\nicy-name: x\r\r\n\r\n").ok);  // a second "\r"
  EXPECT_FALSE(parse("ICY 200 OK\r\nicy-na\rme: x\r\n\r\n").ok);
  EXPECT_FALSE(parse("ICY 200 OK\r\nicy-name: x\r\n").ok);  // data ends before the empty line
  EXPECT_FALSE(parse("").ok);
}

TEST(IcyHeaderReaderTest, LimitsLinesAndTheHeaderBuffer) {
  EXPECT_TRUE(parse("ICY 200 OK\r\n" + std::string(1000, 'a') + "\r\n\r\n").ok);
  EXPECT_FALSE(parse("ICY 200 OK\r\n" + std::string(1100, 'a') + "\r\n\r\n").ok);
  // An endless stream of header lines stops at the buffer's capacity.
  std::string endless = "ICY 200 OK\r\n";
  for (int i = 0; i < 10000; ++i) endless += "x-junk: 0123456789\r\n";
  const Parse flood = parse(endless);
  EXPECT_FALSE(flood.ok);
  EXPECT_LT(flood.consumed, 3000u);  // about one buffer's worth of 200 000 bytes
  // Lines plus their nulls plus the final null must fit exactly.
  EXPECT_TRUE(parse("ICY 200 OK\r\nabc\r\n\r\n", 5).ok);
  EXPECT_FALSE(parse("ICY 200 OK\r\nabc\r\n\r\n", 4).ok);
}

}  // namespace
}  // namespace orvel
