// Choosing the skin for a screen from the installed skins and the stored choices.
#include <gtest/gtest.h>

#include "SkinFixture.h"
#include "platform/AppKeys.h"
#include "platform/FilePath.h"
#include "platform/Registry.h"
#include "skin/SkinList.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

class SkinListTest : public ::testing::Test {
 protected:
  SkinListTest() { test::skinTestApplication(); }

  // A skin in the program directory's Skins folder designed for w x h.
  WString addSkin(const std::string& folder, int w, int h) {
    return fromFsPath(
        test::writeSkin(home.path("program/Skins/" + folder), test::completeDescription(w, h)));
  }
  void addBuiltIns() {
    portrait = addSkin("ov_default", 240, 320);
    landscape = addSkin("ov_default_land", 320, 240);
  }
  int choose(int w, int h) {
    SkinList list(registry, programDir);
    return list.ChooseSkin(w, h, path);
  }

  test::TempHome home;
  Registry registry{home.path("registry")};
  WString programDir = fromFsPath(home.path("program"));
  WString portrait, landscape, path;
};

TEST_F(SkinListTest, TheOneFittingSkinIsChosenAtItsSizeOrTwiceIt) {
  addBuiltIns();
  EXPECT_EQ(choose(240, 320), SkinList::kSkinFound);
  EXPECT_EQ(path, portrait);
  EXPECT_EQ(choose(320, 240), SkinList::kSkinFound);
  EXPECT_EQ(path, landscape);
  EXPECT_EQ(choose(480, 640), SkinList::kSkinFound);
  EXPECT_EQ(path, portrait);
  EXPECT_EQ(choose(800, 600), SkinList::kNoSkinFits);
  EXPECT_TRUE(path.empty());
}

TEST_F(SkinListTest, SeveralFittingSkinsNeedAChoiceThatIsThenKept) {
  addBuiltIns();
  const WString vga = addSkin("vga", 480, 640);
  registry.setString(kRadioKey, u"InstSkin01", vga);
  EXPECT_EQ(choose(480, 640), SkinList::kSeveralSkinsFit);
  EXPECT_TRUE(path.empty());
  // The VGA skin also fits the small screen at half its size.
  EXPECT_EQ(choose(240, 320), SkinList::kSeveralSkinsFit);

  SkinList list(registry, programDir);
  list.RememberSkin(480, 640, vga);
  const auto stored = registry.queryValue(kRadioKey, u"W480H640");
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->type, kRegSz);
  EXPECT_EQ(choose(480, 640), SkinList::kSkinFound);
  EXPECT_EQ(path, vga);
}

TEST_F(SkinListTest, AStoredChoiceIsUsedUnchangedEvenWhenItsFileIsGone) {
  const WString gone = fromFsPath(home.path("gone/default.rs"));
  registry.setString(kRadioKey, u"W240H320", gone);
  EXPECT_EQ(choose(240, 320), SkinList::kSkinFound);
  EXPECT_EQ(path, gone);
  // A stored value that is not a string is no choice.
  registry.setDword(kRadioKey, u"W320H240", 5);
  EXPECT_EQ(choose(320, 240), SkinList::kNoSkinFits);
}

TEST_F(SkinListTest, OnlyStringValuesNamedInstSkinAtTheStartAreInstalledSkins) {
  addBuiltIns();
  const WString vga = addSkin("vga", 480, 640);
  const WString noInfo = fromFsPath(test::writeSkin(
      home.path("noinfo"),
      test::completeDescription().substr(0, test::completeDescription().find("[Info]"))));
  registry.setString(kRadioKey, u"MyInstSkin01", vga);
  registry.setString(kRadioKey, u"instskin02", vga);
  registry.setDword(kRadioKey, u"InstSkin03", 1);
  registry.setString(kRadioKey, u"InstSkinBroken", noInfo);
  SkinList list(registry, programDir);
  EXPECT_EQ(list.validCount(), 2);
  ASSERT_NE(list.validSkin(1), nullptr);
  EXPECT_EQ(list.validSkin(1)->path, landscape);
  EXPECT_EQ(list.validSkin(1)->info->width, 320);
  EXPECT_EQ(list.validSkin(2), nullptr);
  EXPECT_EQ(list.validSkin(-1), nullptr);

  registry.setString(kRadioKey, u"InstSkinVga", vga);
  SkinList later(registry, programDir);
  EXPECT_EQ(later.validCount(), 3);
  EXPECT_EQ(later.validSkin(0)->path, vga);
}

}  // namespace
}  // namespace orvel
