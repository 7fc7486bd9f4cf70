#include <gtest/gtest.h>

#include <filesystem>

#include "library/RadioDatabase.h"
#include "platform/AtomicFile.h"
#include "platform/FilePath.h"
#include "tests/library/LibraryFiles.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

using test::rrdBytes;
using test::rrdText;
using test::streamPaths;

// One line of an .rrd file.
WString rrdLine(const char* title, const char* url, const char* category, const char* bitrate = "",
                const char* marker = "") {
  return u"\"" + fromUtf8(title) + u"\",\"" + fromUtf8(url) + u"\",\"" + fromUtf8(category) +
         u"\",\"\",\"" + fromUtf8(bitrate) + u"\",\"\",\"\"," + fromUtf8(marker) + u"\n";
}

class RadioDatabaseTest : public ::testing::Test {
 protected:
  RadioDatabaseTest() { std::filesystem::create_directories(m_home.path("Radios")); }

  std::string path(const char* name) const { return m_home.path(std::string("Radios/") + name); }
  void write(const char* name, WStringView text) { test::writeFile(path(name), rrdBytes(text)); }
  // Opens the three files as start-up does; gives whether the shipped library opened.
  bool open(RadioDatabase& database) {
    const bool shipped = database.OpenDefaultLibrary(fromFsPath(path("default.rrd")));
    database.OpenUserLibrary(fromFsPath(path("user.rrd")));
    database.OpenPresets(fromFsPath(path("presets.rrd")));
    return shipped;
  }
  const RadioInfo* radio(const RadioDatabase& database, const char* category,
                         const char* title) const {
    for (const StreamInfo* stream : database.allStreams()) {
      if (stream->radio->category->name == fromUtf8(category) &&
          stream->radio->title == fromUtf8(title)) {
        return stream->radio;
      }
    }
    return nullptr;
  }

  test::TempHome m_home;
};

TEST_F(RadioDatabaseTest, EachFileGetsBackExactlyItsOwnStreams) {
  write("default.rrd", rrdLine("Jazz FM", "http://j/64", "Jazz", "64") +
                           rrdLine("Jazz FM", "http://j/128", "Jazz", "128", "a") +
                           rrdLine("Jazz FM", "http://other", "Other", "32"));
  write("user.rrd", rrdLine("Jazz FM", "http://j/user", "Jazz", "96", "a") +
                        rrdLine("Mine", "http://mine", "My Radios"));
  {
    RadioDatabase database;
    ASSERT_TRUE(open(database));
    const RadioInfo* jazz = radio(database, "Jazz", "Jazz FM");
    ASSERT_NE(jazz, nullptr);
    ASSERT_EQ(database.StreamCount(jazz), 3) << "the user's stream joins the shipped radio";
    EXPECT_EQ(database.GetStream(jazz, 0)->origin, kOriginShipped);
    EXPECT_EQ(database.GetStream(jazz, 1)->url, u"http://j/user");
    EXPECT_EQ(database.GetStream(jazz, 1)->origin, kOriginUser);
    EXPECT_EQ(jazz->selectedStream, database.GetStream(jazz, 1));
    EXPECT_NE(radio(database, "Other", "Jazz FM"), jazz) << "another category, another radio";

    StreamInfo added;
    added.url = u"http://j/added";
    added.bitrate = u"256";
    database.AddStream(jazz, added, false);
    EXPECT_TRUE(database.Close());
  }
  EXPECT_EQ(rrdText(path("default.rrd")), rrdLine("Jazz FM", "http://other", "Other", "32") +
                                              rrdLine("Jazz FM", "http://j/64", "Jazz", "64") +
                                              rrdLine("Jazz FM", "http://j/128", "Jazz", "128"))
      << "the selected stream is a user's one now";
  EXPECT_EQ(rrdText(path("user.rrd")), rrdLine("Mine", "http://mine", "My Radios") +
                                           rrdLine("Jazz FM", "http://j/user", "Jazz", "96", "a") +
                                           rrdLine("Jazz FM", "http://j/added", "Jazz", "256"));

  RadioDatabase again;
  ASSERT_TRUE(open(again));
  const RadioInfo* jazz = radio(again, "Jazz", "Jazz FM");
  ASSERT_NE(jazz, nullptr);
  EXPECT_EQ(again.StreamCount(jazz), 4);
  EXPECT_EQ(again.GetStream(jazz, 0)->url, u"http://j/added");
  EXPECT_EQ(jazz->selectedStream->url, u"http://j/user");
}

TEST_F(RadioDatabaseTest, DeletionsEditsAndEmptyRecordsShowAtTheNextStart) {
  write("default.rrd", rrdLine("Keep", "http://keep", "Shipped") +
                           rrdLine("Drop", "http://drop", "Shipped") +
                           rrdLine("Edit", "http://edit", "Shipped", "128", "a"));
  {
    RadioDatabase database;
    ASSERT_TRUE(open(database));
    database.DeleteRadio(radio(database, "Shipped", "Drop"));
    const RadioInfo* edit = radio(database, "Shipped", "Edit");
    StreamInfo edited;
    edited.url = u"http://edited";
    edited.origin = kOriginUser;  // the stream editor makes every edited stream the user's
    database.SetStreamInfo(database.GetStream(edit, 0), edited);
    const CategoryInfo* empty = database.AddCategory(CategoryInfo{u"Empty"}, false);
    database.AddRadio(empty, RadioInfo{u"No streams", u""}, false);
    database.Close();
  }
  EXPECT_EQ(rrdText(path("default.rrd")), rrdLine("Keep", "http://keep", "Shipped"));
  EXPECT_EQ(rrdText(path("user.rrd")), rrdLine("Edit", "http://edited", "Shipped", "", "a"));
  RadioDatabase again;
  open(again);
  EXPECT_EQ(streamPaths(again), "Shipped/Edit/http://edited;Shipped/Keep/http://keep");
  EXPECT_EQ(again.CategoryCount(), 1);
}

TEST_F(RadioDatabaseTest, EqualTitlesMergeAndSortByBitrate) {
  write("default.rrd", rrdLine("R", "http://low", "C", "64") +
                           rrdLine("R", "http://high", "C", "128") +
                           rrdLine("R", "http://elsewhere", "D", "128"));
  RadioDatabase database;
  ASSERT_TRUE(open(database));
  const RadioInfo* r = radio(database, "C", "R");
  ASSERT_EQ(database.StreamCount(r), 2);
  EXPECT_EQ(database.GetStream(r, 0)->url, u"http://high");
  EXPECT_EQ(database.GetStream(r, 1)->url, u"http://low");
  EXPECT_EQ(database.CategoryCount(), 2);
}

TEST_F(RadioDatabaseTest, UnreadableFilesAreKeptAsideNotOverwritten) {
  const std::string bigEndian("\xFE\xFF\0\"\0T", 6);
  test::writeFile(path("default.rrd"), bigEndian);
  test::writeFile(path("presets.rrd"), "not a library");
  write("user.rrd", rrdLine("Mine", "http://mine", "My Radios"));
  RadioDatabase database;
  EXPECT_FALSE(open(database));
  EXPECT_EQ(streamPaths(database), "My Radios/Mine/http://mine") << "still usable";
  EXPECT_TRUE(database.Close());
  EXPECT_EQ(test::readFile(path("default.rrd.corrupt")), bigEndian);
  EXPECT_EQ(test::readFile(path("presets.rrd.corrupt")), "not a library");
  EXPECT_EQ(rrdText(path("default.rrd")), u"");
  EXPECT_FALSE(std::filesystem::exists(path("user.rrd.corrupt")));

  RadioDatabase fresh;  // nothing there at all: the files are simply made
  std::filesystem::remove(path("default.rrd"));
  EXPECT_FALSE(fresh.OpenDefaultLibrary(fromFsPath(path("default.rrd"))));
  EXPECT_TRUE(fresh.Close());
  EXPECT_EQ(rrdText(path("default.rrd")), u"");
  EXPECT_FALSE(std::filesystem::exists(path("default.rrd.corrupt")) &&
               test::readFile(path("default.rrd.corrupt")) != bigEndian);
}

TEST_F(RadioDatabaseTest, AFailedWriteAtCloseKeepsEveryOldFile) {
  const WString shipped = rrdLine("Keep", "http://keep", "Shipped");
  write("default.rrd", shipped);
  RadioDatabase database;
  ASSERT_TRUE(open(database));
  database.DeleteRadio(radio(database, "Shipped", "Keep"));
  setAtomicWriteCrashBeforeRenameForTest(true);
  const bool closed = database.Close();
  setAtomicWriteCrashBeforeRenameForTest(false);
  EXPECT_FALSE(closed);
  EXPECT_EQ(rrdText(path("default.rrd")), shipped);
  EXPECT_FALSE(std::filesystem::exists(path("presets.rrd")));
}

TEST_F(RadioDatabaseTest, ImportGoesIntoMyRadiosWithTheUsersOrigin) {
  write("default.rrd", rrdLine("Shipped", "http://s", "Music"));
  write("other.RRD", rrdLine("A", "http://a", "Somewhere", "64") +
                         rrdLine("B", "http://b", "Elsewhere", "128", "a"));
  test::writeFile(path("list.m3u"), "#EXTM3U\n#EXTINF:-1,A\nhttp://a2\n");
  RadioDatabase database;
  ASSERT_TRUE(open(database));
  const CategoryInfo* mine = database.AddCategory(CategoryInfo{u"my radios"}, false);

  EXPECT_TRUE(database.ImportIntoMyRadios(fromFsPath(path("other.RRD"))));
  EXPECT_TRUE(database.ImportIntoMyRadios(fromFsPath(path("list.m3u"))));
  EXPECT_TRUE(database.ImportIntoMyRadios(fromFsPath(path("missing.asx"))));
  EXPECT_EQ(database.CategoryCount(), 2) << "\"my radios\" is found without case";
  const RadioInfo* a = radio(database, "my radios", "A");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(database.StreamCount(a), 2);
  EXPECT_EQ(a->selectedStream->url, u"http://a2");
  EXPECT_EQ(radio(database, "my radios", "B")->selectedStream->url, u"http://b");
  for (const StreamInfo* stream : database.allStreams()) {
    EXPECT_EQ(stream->origin, stream->radio->category == mine ? kOriginUser : kOriginShipped);
  }

  const std::string before = streamPaths(database);
  test::writeFile(path("bad.pls"), "[playlist]\nFile1=http://x\nNumberOfEntries=1\n");
  for (const char* name : {"bad.pls", "missing.m3u", "noextension", "list.txt"}) {
    EXPECT_FALSE(database.ImportIntoMyRadios(fromFsPath(path(name)))) << name;
  }
  EXPECT_FALSE(database.ImportFile(fromFsPath(path("list.m3u")), nullptr));
  EXPECT_EQ(streamPaths(database), before);
}

TEST_F(RadioDatabaseTest, TheOpenDialogFilterListsThePlaylistTypes) {
  static constexpr char16_t kFilter[] =
      u"All playlists\0*.m3u;*.pls\0M3U playlist\0*.m3u\0PLS playlist\0*.pls\0";
  EXPECT_EQ(RadioDatabase::GetOpenFilter(), WString(kFilter, std::size(kFilter)));
}

}  // namespace
}  // namespace orvel
