#include "platform/Text.h"

#include <gtest/gtest.h>

#include "platform/FilePath.h"

namespace orvel {
namespace {

TEST(Text, DecodesValidUtf8AsUtf8AndEverythingElseAsWindows1252) {
  EXPECT_EQ(decodeAnsi("Caf\xC3\xA9"), u"Café");
  // A lone Latin-1 byte is not UTF-8: the whole string is read as Windows-1252.
  EXPECT_EQ(decodeAnsi("Caf\xE9 \x80\x92"), u"Café €\u2019");
  // Undefined Windows-1252 bytes keep their C1 value.
  EXPECT_EQ(decodeAnsi("\x81\x8D\x8F\x90\x9D"), u"\u0081\u008D\u008F\u0090\u009D");
  EXPECT_EQ(decodeAnsi("\xF0\x9F\x8E\xB5"), u"\U0001F3B5");
}

TEST(Text, RejectsOverlongSurrogateAndTruncatedUtf8) {
  EXPECT_FALSE(isValidUtf8("\xC0\xAF"));          // overlong "/"
  EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(isValidUtf8("abc\xE2\x82"));       // cut in the middle
  EXPECT_TRUE(isValidUtf8(""));
}

TEST(Text, Utf8RoundTripKeepsAstralCharactersAndReplacesLoneSurrogates) {
  const WString text = u"a\U0001F3B5\u00E9";
  EXPECT_EQ(fromUtf8(toUtf8(text)), text);
  EXPECT_EQ(toUtf8(WString(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(Text, CaselessComparisonFoldsAsciiAndLatin1Only) {
  EXPECT_TRUE(equalsNoCase(u"ÉCOUTE radio", u"écoute RADIO"));
  EXPECT_FALSE(equalsNoCase(u"\u00D7", u"\u00F7"));  // × and ÷ are not a letter pair
  EXPECT_LT(compareNoCase(u"abc", u"ABD"), 0);
  EXPECT_LT(compareNoCase(u"ab", u"ABC"), 0);
  EXPECT_TRUE(startsWithNoCase(u"HTTP://x", u"http://"));
}

TEST(Text, WtolReadsLikeTheCRuntime) {
  EXPECT_EQ(wtol(u"  42abc"), 42);
  EXPECT_EQ(wtol(u"\t-7"), -7);
  EXPECT_EQ(wtol(u"+3 77"), 3);
  EXPECT_EQ(wtol(u"x1"), 0);
  EXPECT_EQ(wtol(u""), 0);
  // An unsigned id printed with %u comes back through the cast unchanged.
  EXPECT_EQ(static_cast<uint32_t>(wtol(u"4000000000")), 4000000000u);
}

TEST(FilePath, SplitsOnTheLastSlashAndTheLastDotAfterIt) {
  PathParts p = splitPath(u"/home/u/Skins/ov.default/default.rs");
  EXPECT_EQ(p.directory, u"/home/u/Skins/ov.default");
  EXPECT_EQ(p.name, u"default");
  EXPECT_EQ(p.extension, u"rs");
  p = splitPath(u"/a.b/noext");
  EXPECT_EQ(p.name, u"noext");
  EXPECT_EQ(p.extension, u"");
  p = splitPath(u"file.tar.gz");
  EXPECT_EQ(p.directory, u"");
  EXPECT_EQ(p.name, u"file.tar");
  EXPECT_EQ(p.extension, u"gz");
  EXPECT_EQ(lastPathComponent(u"/a/b/c.mp3"), u"c.mp3");
  EXPECT_EQ(joinPath(u"/a/", u"/b"), u"/a/b");
  EXPECT_EQ(joinPath(u"/", u"b"), u"/b");
  EXPECT_EQ(joinPath(std::string("x"), std::string("")), "x");
}

}  // namespace
}  // namespace orvel
