// The skin step of start-up: first-run clean-up, the chooser's answers and their messages,
// and the fallback to the default skin.
#include <gtest/gtest.h>

#include <filesystem>

#include "SkinFixture.h"
#include "platform/AppKeys.h"
#include "platform/FilePath.h"
#include "platform/Registry.h"
#include "resources/StringTable.h"
#include "skin/ImageDecoder.h"
#include "skin/SkinDescription.h"
#include "skin/SkinList.h"
#include "skin/SkinStartup.h"
#include "tests/support/RecordingMessageBoxHost.h"
#include "tests/support/TempHome.h"

namespace fs = std::filesystem;

namespace orvel {
namespace {

using Icon = MessageBoxHost::Icon;

class SkinStartupTest : public ::testing::Test {
 protected:
  QApplication& app = test::skinTestApplication();

  WString addSkin(const std::string& folder, int w, int h,
                  const std::string& text = std::string()) {
    return fromFsPath(test::writeSkin(skins + "/" + folder,
                                      text.empty() ? test::completeDescription(w, h) : text));
  }
  void addDefaultSkins() {
    addSkin("ov_default", 240, 320);
    addSkin("ov_default_land", 320, 240);
    registry.setString(kRadioKey, u"InstSkin01", addSkin("ov_default_vga", 480, 640));
    registry.setString(kRadioKey, u"InstSkin02", addSkin("ov_default_vga_land", 640, 480));
  }
  WString stored(const char16_t* name) {
    const auto value = registry.queryValue(kRadioKey, name);
    if (!value) return u"(none)";
    return WString(reinterpret_cast<const char16_t*>(value->data.data()),
                   value->data.size() / 2 - 1);
  }

  test::TempHome home;
  test::RecordingMessageBoxHost boxes;
  Registry registry{home.path("registry")};
  std::string skins = home.path("program/Skins");
  SkinStartup startup{registry, fromFsPath(home.path("program"))};
};

TEST_F(SkinStartupTest, TheFirstRunKeepsOnlyTheDefaultSkinsOfTheScreenSize) {
  addDefaultSkins();
  EXPECT_FALSE(startup.firstRunCleanup(0, 240, 320));
  EXPECT_TRUE(fs::exists(skins + "/ov_default_vga"));

  EXPECT_TRUE(startup.firstRunCleanup(1, 320, 240));
  EXPECT_FALSE(fs::exists(skins + "/ov_default_vga"));
  EXPECT_FALSE(fs::exists(skins + "/ov_default_vga_land"));
  EXPECT_TRUE(fs::exists(skins + "/ov_default/default.rs"));
  EXPECT_TRUE(fs::exists(skins + "/ov_default_land/default.rs"));
  EXPECT_EQ(stored(u"InstSkin01"), u"(none)");
  EXPECT_EQ(stored(u"InstSkin02"), u"(none)");
}

TEST_F(SkinStartupTest, TheFirstRunOnALargeScreenRemovesTheSmallSkins) {
  addDefaultSkins();
  EXPECT_TRUE(startup.firstRunCleanup(1, 480, 640));
  EXPECT_FALSE(fs::exists(skins + "/ov_default"));
  EXPECT_FALSE(fs::exists(skins + "/ov_default_land"));
  EXPECT_TRUE(fs::exists(skins + "/ov_default_vga/strip.png"));
  EXPECT_NE(stored(u"InstSkin02"), u"(none)");
  ASSERT_TRUE(startup.run(480, 640, nullptr));
  EXPECT_EQ(stored(u"W480H640"), stored(u"InstSkin01"));
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SkinStartupTest, NoFittingSkinShowsTheStopMessageAndFails) {
  addSkin("ov_default", 240, 320);
  EXPECT_FALSE(startup.run(640, 480, nullptr));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, StringTable::load(kStrNoSkinForScreen));
  EXPECT_EQ(boxes.shown[0].icon, Icon::Stop);
  EXPECT_EQ(boxes.shown[0].caption, u"Orvel Radio");
}

TEST_F(SkinStartupTest, SeveralFittingSkinsAskTheUserAndUseTheChoice) {
  addDefaultSkins();
  int asked = 0;
  const bool ok = startup.run(480, 640, [&](SkinList& list, int w, int h) {
    ++asked;
    ASSERT_EQ(list.validCount(), 4);
    list.RememberSkin(w, h, list.validSkin(2)->path);  // the small portrait skin, doubled
  });
  ASSERT_TRUE(ok);
  EXPECT_EQ(asked, 1);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, StringTable::load(kStrNoSkinAssigned));
  EXPECT_EQ(boxes.shown[0].icon, Icon::Information);
  EXPECT_EQ(startup.skinPath(), startup.defaultSkinPath());
  auto description = startup.takeDescription();
  auto decoder = startup.takeDecoder();
  ASSERT_NE(decoder, nullptr);
  auto* panel = description->ElementForLayout(SkinDescription::kPresetsPanel);
  ASSERT_NE(panel, nullptr);
  EXPECT_FLOAT_EQ(panel->scale(), 2.0f);
}

TEST_F(SkinStartupTest, ABrokenChoiceFallsBackToTheDefaultSkinWithTheParseError) {
  addSkin("ov_default", 240, 320);
  registry.setString(kRadioKey, u"W240H320", fromFsPath(skins + "/gone/default.rs"));
  ASSERT_TRUE(startup.run(240, 320, nullptr));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, StringTable::load(kStrCannotLoadSkins) + u"\n\n" +
                                     StringTable::load(kStrCannotOpenSkinFile));
  EXPECT_EQ(boxes.shown[0].icon, Icon::None);
  EXPECT_EQ(stored(u"W240H320"), startup.defaultSkinPath());

  // When the default skin is broken too, the step fails after the one message.
  std::string broken = test::completeDescription();
  broken.resize(broken.find("[Info]"));
  addSkin("ov_default", 240, 320, broken);
  registry.setString(kRadioKey, u"W240H320", fromFsPath(skins + "/gone/default.rs"));
  boxes.shown.clear();
  EXPECT_FALSE(startup.run(240, 320, nullptr));
  EXPECT_EQ(boxes.shown.size(), 1u);
}

}  // namespace
}  // namespace orvel
