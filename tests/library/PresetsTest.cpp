#include <gtest/gtest.h>

#include <filesystem>

#include "library/RadioDatabase.h"
#include "platform/FilePath.h"
#include "tests/library/LibraryFiles.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

using test::rrdBytes;
using test::rrdText;

// Preset line n as the program writes it: category "Lines<n>", title "T<n>", URL "http://<n>".
WString presetLine(int n) {
  const WString number = fromAscii(std::to_string(n));
  return u"\"T" + number + u"\",\"http://" + number + u"\",\"Line" + number +
         u"\",\"\",\"\",\"\",\"\",a\n";
}

WString emptyPreset(int n) {
  return u"\"\",\"\",\"Cat" + fromAscii(std::to_string(n)) + u"\",\"\",\"\",\"\",\"\",\n";
}

class PresetsTest : public ::testing::Test {
 protected:
  PresetsTest() { std::filesystem::create_directories(m_home.path("Radios")); }
  WString presetsPath() const { return fromFsPath(m_home.path("Radios/presets.rrd")); }
  void writePresets(int lines) {
    WString text;
    for (int n = 1; n <= lines; ++n) text += presetLine(n);
    test::writeFile(toFsPath(presetsPath()), rrdBytes(text));
  }
  // "url" of each preset 0..8, "-" for an empty one.
  static std::string presetUrls(const RadioDatabase& database) {
    std::string out;
    for (int index = 0; index < RadioDatabase::kPresetCount; ++index) {
      const StreamInfo* stream = database.GetPreset(index);
      out += (index ? " " : "") + (stream ? toUtf8(stream->url) : std::string("-"));
    }
    return out;
  }

  test::TempHome m_home;
};

TEST_F(PresetsTest, AFreshInstallationGetsNineEmptyPresets) {
  RadioDatabase database;
  ASSERT_TRUE(database.OpenPresets(presetsPath()));
  EXPECT_EQ(presetUrls(database), "- - - - - - - - -");
  EXPECT_EQ(database.PresetCaption(0), u"");
  ASSERT_TRUE(database.Close());
  WString expected;
  for (int n = 0; n < 9; ++n) expected += emptyPreset(n);
  EXPECT_EQ(rrdText(toFsPath(presetsPath())), expected);
}

TEST_F(PresetsTest, FiveLinesAreFilledUpToNineAndKeepTheirOrder) {
  writePresets(5);
  RadioDatabase database;
  database.OpenPresets(presetsPath());
  EXPECT_EQ(presetUrls(database), "- - - - http://5 http://4 http://3 http://2 http://1");
  ASSERT_TRUE(database.Close());
  WString expected;
  for (int n = 1; n <= 5; ++n) expected += presetLine(n);
  for (int n = 5; n <= 8; ++n) expected += emptyPreset(n);
  EXPECT_EQ(rrdText(toFsPath(presetsPath())), expected);

  RadioDatabase again;
  again.OpenPresets(presetsPath());
  EXPECT_EQ(presetUrls(again), "- - - - http://5 http://4 http://3 http://2 http://1");
}

TEST_F(PresetsTest, TwelveLinesAreAllKept) {
  writePresets(12);
  RadioDatabase database;
  database.OpenPresets(presetsPath());
  EXPECT_EQ(presetUrls(database),
            "http://12 http://11 http://10 http://9 http://8 http://7 http://6 http://5 http://4");
  EXPECT_EQ(database.GetPreset(9), nullptr);
  ASSERT_TRUE(database.Close());
  WString expected;
  for (int n = 1; n <= 12; ++n) expected += presetLine(n);
  EXPECT_EQ(rrdText(toFsPath(presetsPath())), expected);
}

TEST_F(PresetsTest, SettingAPresetCopiesTheStreamAndItsTitles) {
  writePresets(9);
  RadioDatabase database;
  database.OpenPresets(presetsPath());
  const CategoryInfo* category = database.AddCategory(CategoryInfo{u"Jazz"}, false);
  const RadioInfo* titled = database.AddRadio(category, RadioInfo{u"Swiss Jazz", u"RSJ"}, false);
  const RadioInfo* untitled = database.AddRadio(category, RadioInfo{u"Untitled FM", u""}, false);
  StreamInfo info;
  info.url = u"http://rsj";
  info.bitrate = u"128";
  info.origin = kOriginShipped;
  const StreamInfo* rsj = database.AddStream(titled, info, false);
  info.url = u"http://untitled";
  const StreamInfo* plain = database.AddStream(untitled, info, false);

  ASSERT_TRUE(database.SetPreset(2, rsj));
  ASSERT_TRUE(database.SetPreset(8, plain));
  EXPECT_EQ(database.PresetCaption(2), u"RSJ");
  EXPECT_EQ(database.PresetCaption(8), u"Untitled FM");
  EXPECT_EQ(database.PresetCaption(0), u"T9");
  const StreamInfo* preset = database.GetPreset(2);
  ASSERT_NE(preset, nullptr);
  EXPECT_NE(preset, rsj) << "a copy, not the library's stream";
  EXPECT_EQ(preset->bitrate, u"128");
  EXPECT_EQ(preset->radio->title, u"Swiss Jazz");
  database.DeleteStream(rsj, true);
  EXPECT_EQ(database.GetPreset(2)->url, u"http://rsj");

  EXPECT_FALSE(database.SetPreset(3, nullptr));
  EXPECT_FALSE(database.SetPreset(9, plain));
  EXPECT_FALSE(database.SetPreset(-1, plain));
  ASSERT_TRUE(database.Close());

  RadioDatabase again;
  again.OpenPresets(presetsPath());
  EXPECT_EQ(presetUrls(again),
            "http://9 http://8 http://rsj http://6 http://5 http://4 http://3 http://2 "
            "http://untitled");
  EXPECT_EQ(again.PresetCaption(2), u"RSJ");
}

TEST_F(PresetsTest, APresetWithAnEmptyUrlIsEmpty) {
  test::writeFile(toFsPath(presetsPath()),
                  rrdBytes(u"\"Named\",\"\",\"Cat0\",\"\",\"\",\"\",\"N\",a\n" + presetLine(1)));
  RadioDatabase database;
  database.OpenPresets(presetsPath());
  ASSERT_NE(database.GetPreset(7), nullptr);
  EXPECT_EQ(database.GetPreset(7)->url, u"http://1");
  EXPECT_EQ(database.GetPreset(8), nullptr);
  EXPECT_EQ(database.PresetCaption(8), u"N") << "the caption does not depend on the URL";
}

}  // namespace
}  // namespace orvel
