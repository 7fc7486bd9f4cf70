#include <gtest/gtest.h>

#include "library/RrdFile.h"
#include "platform/AtomicFile.h"
#include "platform/FilePath.h"
#include "tests/library/LibraryFiles.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

using test::rrdBytes;
using test::rrdText;
using test::streamPaths;

class RrdFileTest : public ::testing::Test {
 protected:
  // Writes the file and loads it with the append flag, so the lines keep their order.
  bool load(RrdFile& file, WStringView text) {
    test::writeFile(m_path, rrdBytes(text));
    return file.Load(fromFsPath(m_path), true);
  }
  // The stream of line `line` (0 = first line of the file) of a file loaded with append.
  static const StreamInfo& line(const RrdFile& file, size_t line) {
    const auto streams = file.allStreams();
    return *streams.at(streams.size() - 1 - line);
  }

  test::TempHome m_home;
  std::string m_path = m_home.path("library.rrd");
};

TEST_F(RrdFileTest, ValuesWithQuotesCommasAndLeadingQuotesRoundTrip) {
  RrdFile source;
  const CategoryInfo* category = source.AddCategory(CategoryInfo{u"News, \"Talk\""}, false);
  const WString titles[] = {u"Say \"Hi\", all", u"\"Quoted\" FM", u"\"", u"\"\"", u"ends\"", u"",
                            u"Ünïcødé ☃"};
  for (const WString& title : titles) {
    const RadioInfo* radio = source.AddRadio(category, RadioInfo{title, u"s,\"h\""}, false);
    StreamInfo info;
    info.url = u"http://example.com/a?b=\"c\",d";
    info.comment = u",\"";
    info.bitrate = u"128";
    info.format = u"MP3";
    source.SetSelectedStream(radio, source.AddStream(radio, info, false));
  }
  ASSERT_TRUE(source.Save(fromFsPath(m_path)));

  RrdFile copy;
  ASSERT_TRUE(copy.Load(fromFsPath(m_path), true));
  ASSERT_EQ(copy.allStreams().size(), std::size(titles));
  for (size_t i = 0; i < std::size(titles); ++i) {
    const StreamInfo& original = *source.allStreams()[i];
    const StreamInfo& stream = *copy.allStreams()[i];
    EXPECT_EQ(stream.radio->title, original.radio->title);
    EXPECT_EQ(stream.radio->shortTitle, u"s,\"h\"");
    EXPECT_EQ(stream.radio->category->name, u"News, \"Talk\"");
    EXPECT_EQ(stream.url, original.url);
    EXPECT_EQ(stream.comment, u",\"");
    EXPECT_EQ(stream.radio->selectedStream, &stream);
  }
  EXPECT_EQ(copy.serialize(), source.serialize());
}

TEST_F(RrdFileTest, WritesQuotedFieldsInReverseListOrderWithBareLineFeeds) {
  RrdFile file;
  const CategoryInfo* category = file.AddCategory(CategoryInfo{u"Cat"}, false);
  const RadioInfo* radio = file.AddRadio(category, RadioInfo{u"Ra\"dio", u"R"}, false);
  StreamInfo low;
  low.url = u"lo";
  low.bitrate = u"64";
  StreamInfo high = low;
  high.url = u"hi";
  high.bitrate = u"128";
  high.format = u"ogg";
  high.comment = u"c";
  file.AddStream(radio, low, false);
  file.SetSelectedStream(radio, file.AddStream(radio, high, false));
  ASSERT_TRUE(file.Save(fromFsPath(m_path)));
  EXPECT_EQ(rrdText(m_path),
            u"\"Ra\"\"dio\",\"lo\",\"Cat\",\"\",\"64\",\"\",\"R\",\n"
            u"\"Ra\"\"dio\",\"hi\",\"Cat\",\"c\",\"128\",\"ogg\",\"R\",a\n");
}

TEST_F(RrdFileTest, FieldReadingFollowsTheQuoteRules) {
  RrdFile file;
  ASSERT_TRUE(
      load(file,
           u"\"a,b\",\"u1\",\"c\",\"\",\"\",\"\",\"\",\n"         // comma inside quotes
           u"\"ab\"cd\"ef\",\"u2\",\"c\",,,,,\n"                  // pending quote
           u"plain\"text,u3,c,,,,,\n"                             // quote in unquoted text
           u"\"C\r\nR\",\"u\r4\",\"c\",,,,,A\r\n"                 // CR skipped, LF ends
           u"\"x\",\"u5\",\"c\",,,,,a,\"y\",\"u6\",\"c\",,,,,\n"  // line goes on after ",a,"
           u"\"short\",\"u7\"\n"));                               // missing fields
  ASSERT_EQ(file.allStreams().size(), 8u);
  EXPECT_EQ(line(file, 0).radio->title, u"a,b");
  EXPECT_EQ(line(file, 1).radio->title, u"abcd\"ef");
  EXPECT_EQ(line(file, 2).radio->title, u"plain\"text");
  EXPECT_EQ(line(file, 3).radio->title, u"C");
  EXPECT_EQ(line(file, 3).radio->category->name, u"");
  EXPECT_EQ(line(file, 4).radio->title, u"R\"");
  EXPECT_EQ(line(file, 4).url, u"u4");
  EXPECT_EQ(line(file, 4).radio->selectedStream, &line(file, 4)) << "capital A is the marker";
  EXPECT_EQ(line(file, 5).url, u"u5");
  EXPECT_EQ(line(file, 5).radio->selectedStream, &line(file, 5));
  EXPECT_EQ(line(file, 6).url, u"u6");
  EXPECT_EQ(line(file, 7).url, u"u7");
  EXPECT_EQ(line(file, 7).radio->category->name, u"");
  EXPECT_EQ(line(file, 7).comment, u"");
}

TEST_F(RrdFileTest, TheMarkerIsMatchedWithoutCase) {
  RrdFile file;
  ASSERT_TRUE(load(file,
                   u"\"t1\",\"u1\",\"c\",,,,,A\n"
                   u"\"t2\",\"u2\",\"c\",,,,,b\n"
                   u"\"t3\",\"u3\",\"c\",,,,,\"a\"\n"));
  EXPECT_EQ(line(file, 0).radio->selectedStream, &line(file, 0));
  EXPECT_EQ(line(file, 1).radio->selectedStream, nullptr);
  EXPECT_EQ(line(file, 2).radio->selectedStream, &line(file, 2));
}

TEST_F(RrdFileTest, CutOffLinesAndBlankLinesAddNothing) {
  RrdFile file;
  ASSERT_TRUE(load(file,
                   u"\n\r\n"
                   u"\"t1\",\"u1\",\"c\",,,,,\n"
                   u"\r\n\n"
                   u"\"t2\",\"u2\",\"c\",,,,,a"));  // no line feed: dropped
  EXPECT_EQ(streamPaths(file), "c/t1/u1");

  std::string odd = rrdBytes(u"\"t1\",\"u1\",\"c\",,,,,\n\"t2\"");
  odd.push_back('x');  // a lone last byte ends the file too
  test::writeFile(m_path, odd);
  RrdFile again;
  ASSERT_TRUE(again.Load(fromFsPath(m_path), true));
  EXPECT_EQ(streamPaths(again), "c/t1/u1");
}

TEST_F(RrdFileTest, RefusesFilesWithoutTheLittleEndianMark) {
  const std::string path = m_home.path("x.rrd");
  const std::pair<const char*, std::string> cases[] = {
      {"big endian", std::string("\xFE\xFF\0\"", 4)},
      {"no mark", "\"t\",\"u\",\"c\",,,,,\n"},
      {"empty", ""},
      {"one byte", "\xFF"},
  };
  for (const auto& [name, content] : cases) {
    test::writeFile(path, content);
    RrdFile file;
    EXPECT_FALSE(file.Load(fromFsPath(path), false)) << name;
    EXPECT_EQ(file.CategoryCount(), 0) << name;
  }
  RrdFile missing;
  EXPECT_FALSE(missing.Load(fromFsPath(m_home.path("missing.rrd")), false));
  test::writeFile(path, "\xFF\xFE");
  RrdFile markOnly;
  EXPECT_TRUE(markOnly.Load(fromFsPath(path), false));
  EXPECT_EQ(markOnly.CategoryCount(), 0);
}

TEST_F(RrdFileTest, OverlongFieldsKeepTheirFirst259CharactersAndTheLineGoesOn) {
  const WString longTitle(300, u'T');
  const WString longQuoted = WString(200, u'q') + u"\",\"" + WString(200, u'r');
  RrdFile file;
  ASSERT_TRUE(load(file, u"\"" + longTitle + u"\",\"u1\",\"c\",,,,,a\n" + u"\"" +
                             WString(200, u'q') + u"\"\",\"\"" + WString(200, u'r') +
                             u"\",\"u2\",\"c\",,,,,\n" + longQuoted));
  ASSERT_EQ(file.allStreams().size(), 2u);
  EXPECT_EQ(line(file, 0).radio->title, WString(259, u'T'));
  EXPECT_EQ(line(file, 0).url, u"u1");
  EXPECT_EQ(line(file, 0).radio->selectedStream, &line(file, 0));
  EXPECT_EQ(line(file, 1).radio->title,
            (WString(200, u'q') + u"\",\"" + WString(200, u'r')).substr(0, 259));
  EXPECT_EQ(line(file, 1).url, u"u2");
}

TEST_F(RrdFileTest, BinaryGarbageIsReadWithoutHarm) {
  std::string garbage("\xFF\xFE");
  uint32_t seed = 12345;
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 1103515245u + 12345u;
    garbage.push_back(static_cast<char>(seed >> 24));
  }
  garbage += std::string("\0\0\"\0t\0\"\0,\0", 10);
  test::writeFile(m_path, garbage);
  RrdFile file;
  ASSERT_TRUE(file.Load(fromFsPath(m_path), false));
  for (const StreamInfo* stream : file.allStreams()) {
    EXPECT_LE(stream->url.size(), 259u);
    EXPECT_EQ(stream->url.find(u'\0'), WString::npos) << "NUL code units are dropped";
    EXPECT_EQ(stream->radio->title.find(u'\n'), WString::npos);
  }
  ASSERT_TRUE(file.Save(fromFsPath(m_path)));
  RrdFile again;
  ASSERT_TRUE(again.Load(fromFsPath(m_path), false));
  EXPECT_EQ(streamPaths(again), streamPaths(file)) << "what was read survives a save";
}

TEST_F(RrdFileTest, AppendLoadWritesTheLinesBackUnchanged) {
  const WString text =
      u"\"b\",\"u1\",\"z\",\"\",\"64\",\"\",\"\",\n"
      u"\"a\",\"u2\",\"z\",\"\",\"128\",\"ogg\",\"\",a\n"
      u"\"b\",\"u3\",\"a\",\"c\",\"\",\"\",\"s\",\n"
      u"\"b\",\"u1\",\"z\",\"\",\"64\",\"\",\"\",a\n";
  RrdFile file;
  ASSERT_TRUE(load(file, text));
  ASSERT_TRUE(file.Save(fromFsPath(m_path)));
  EXPECT_EQ(rrdText(m_path), text);
}

TEST_F(RrdFileTest, AFailedSaveKeepsTheOldFile) {
  test::writeFile(m_path, rrdBytes(u"\"old\",\"u\",\"c\",,,,,\n"));
  RrdFile file;
  file.AddStream(
      file.AddRadio(file.AddCategory(CategoryInfo{u"c"}, false), RadioInfo{u"new", u""}, false),
      StreamInfo(), false);
  setAtomicWriteCrashBeforeRenameForTest(true);
  const bool saved = file.Save(fromFsPath(m_path));
  setAtomicWriteCrashBeforeRenameForTest(false);
  EXPECT_FALSE(saved);
  EXPECT_EQ(rrdText(m_path), u"\"old\",\"u\",\"c\",,,,,\n");
  EXPECT_FALSE(file.Save(fromFsPath(m_home.path("no/such/folder/x.rrd"))));
}

}  // namespace
}  // namespace orvel
