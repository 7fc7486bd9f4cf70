// The about box: layout by orientation, the version line, the logo size, the links with their
// registry branding, and the updater's start.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/AppKeys.h"
#include "platform/Registry.h"
#include "tests/support/TempHome.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/AboutBox.h"
#include "ui/AboutLogo.h"
#include "ui/WebLink.h"

namespace orvel {
namespace {

namespace fs = std::filesystem;

constexpr char16_t kVersionInfo[] = u"\\Software\\Orvel\\Radio\\VersionInfo";

class AboutBoxTest : public ::testing::Test {
 protected:
  AboutBoxTest() { fs::create_directories(programDir); }

  std::unique_ptr<AboutBox> open(int width, int height) {
    screens.push_back(test::screenWindow(width, height));
    return std::make_unique<AboutBox>(screens.back().get(), width > height, registry, programDir);
  }

  test::TempHome home;
  Registry registry{home.path("registry")};
  std::string programDir = home.path("program");
  // Kept for the whole test: a box goes before the screen it was opened over.
  std::vector<std::unique_ptr<QWidget>> screens;
};

TEST_F(AboutBoxTest, DefaultsShowBothLinksTheVersionAndTheLogoForTheScreen) {
  auto box = open(240, 320);
  EXPECT_EQ(box->layoutId(), AboutBox::kPortraitId);
  EXPECT_EQ(box->item<QLabel>(AboutBox::kVersionId)->text(), QString("Orvel Radio v1.00"));
  EXPECT_EQ(box->item<QLabel>(AboutBox::kLogoId)->pixmap().size(),
            QSize(AboutLogo::kWidth, AboutLogo::kHeight));
  EXPECT_FALSE(box->homeLink()->isHidden());
  EXPECT_EQ(box->homeLink()->link(), AboutBox::kDefaultHomeUrl);
  EXPECT_EQ(box->supportLink()->link(), AboutBox::kDefaultSupportUrl);

  box = open(640, 480);
  EXPECT_EQ(box->layoutId(), AboutBox::kLandscapeId);
  EXPECT_EQ(box->item<QLabel>(AboutBox::kLogoId)->pixmap().size(),
            QSize(2 * AboutLogo::kWidth, 2 * AboutLogo::kHeight));
  EXPECT_EQ(open(320, 240)->layoutId(), AboutBox::kLandscapeId);
}

TEST_F(AboutBoxTest, WebLinkHideHidesTheHomePageLinkAndItsLabelOnly) {
  registry.setDword(kVersionInfo, u"WebLinkHide", 1);
  registry.setString(kVersionInfo, u"WebLinkTitle", u"never shown");
  auto box = open(240, 320);
  EXPECT_TRUE(box->homeLink()->isHidden());
  EXPECT_TRUE(box->item<QLabel>(AboutBox::kHomeLabelId)->isHidden());
  EXPECT_FALSE(box->supportLink()->isHidden());
  EXPECT_FALSE(box->item<QLabel>(AboutBox::kSupportLabelId)->isHidden());
  EXPECT_NE(box->homeLink()->text(), u"never shown");

  // Only 1 hides.
  registry.setDword(kVersionInfo, u"WebLinkHide", 2);
  registry.setDword(kVersionInfo, u"SupportHide", 1);
  box = open(240, 320);
  EXPECT_FALSE(box->homeLink()->isHidden());
  EXPECT_TRUE(box->supportLink()->isHidden());
  EXPECT_TRUE(box->item<QLabel>(AboutBox::kSupportLabelId)->isHidden());
}

TEST_F(AboutBoxTest, TitlesAndAddressesFromTheRegistryReplaceTheDefaultsOneByOne) {
  const WString defaultSupportText = open(240, 320)->supportLink()->text();
  registry.setString(kVersionInfo, u"SupportURL", u"mailto:help@radio.example");
  registry.setString(kVersionInfo, u"WebLinkTitle", u"Radio Shop");
  auto box = open(240, 320);
  EXPECT_EQ(box->supportLink()->text(), defaultSupportText);
  EXPECT_EQ(box->supportLink()->link(), u"mailto:help@radio.example");
  EXPECT_EQ(box->homeLink()->text(), u"Radio Shop");
  EXPECT_EQ(box->homeLink()->link(), AboutBox::kDefaultHomeUrl);

  // A value of the wrong type is no value.
  registry.setDword(kVersionInfo, u"WebLinkURL", 7);
  EXPECT_EQ(open(240, 320)->homeLink()->link(), AboutBox::kDefaultHomeUrl);
}

TEST_F(AboutBoxTest, TheUpdatePackageNamesTheProcessor) {
  EXPECT_EQ(AboutBox::updatePackage(true), u"radio_p03.XScale.cab");
  EXPECT_EQ(AboutBox::updatePackage(false), u"radio_p.ARM.cab");
  EXPECT_EQ(AboutBox::updaterArguments(true),
            (std::vector<std::string>{"-app=Orvel Radio", "-file=radio_p03.XScale.cab",
                                      "-version=1.00"}));
}

TEST_F(AboutBoxTest, GetUpdateStartsTheUpdaterOfTheProgramDirectoryWhenItIsThere) {
  const std::string out = home.path("updater-args");
  auto box = open(240, 320);
  // No updater: the command is handled and starts nothing.
  EXPECT_TRUE(box->sendCommand(AboutBox::kCmdGetUpdate));

  const std::string updater = programDir + "/" + AboutBox::kUpdaterName;
  test::writeFile(updater, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + out + ".tmp'\nmv '" + out +
                               ".tmp' '" + out + "'\n");
  fs::permissions(updater, fs::perms::owner_all);
  EXPECT_TRUE(box->sendCommand(AboutBox::kCmdGetUpdate));
  for (int i = 0; i < 100 && !fs::exists(out); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_TRUE(fs::exists(out));
  const std::string args = test::readFile(out);
  EXPECT_EQ(args.substr(0, args.find("-file=")), "-app=Orvel Radio\n");
  EXPECT_NE(args.find("\n-version=1.00\n"), std::string::npos);
}

}  // namespace
}  // namespace orvel
