// The settings sheet (General and Skins pages), start-up's skins dialog, and the choice of
// places for recordings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "platform/AppKeys.h"
#include "platform/Registry.h"
#include "skin/SkinList.h"
#include "tests/support/TempHome.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/GeneralSettingsPage.h"
#include "ui/RecordingLocations.h"
#include "ui/SettingsDialog.h"
#include "ui/SettingsStore.h"
#include "ui/SkinsDialog.h"
#include "ui/WebLink.h"

namespace orvel {
namespace {

namespace fs = std::filesystem;

TEST(RecordingLocations, TheNetworkFolderFollowsTheLanguageOnlyWhenItExists) {
  std::vector<std::string> asked;
  const auto exists = [&](const std::string& path) {
    asked.push_back(path);
    return true;
  };
  EXPECT_EQ(RecordingLocations::networkFolder(u"german", exists), u"/Netzwerk");
  EXPECT_EQ(RecordingLocations::networkFolder(u"Japanese", exists),
            u"/\uff88\uff6f\uff84\uff9c\uff70\uff78");
  EXPECT_EQ(asked.back(),
            "/\xef\xbe\x88\xef\xbd\xaf\xef\xbe\x84\xef\xbe\x9c\xef\xbd\xb0\xef\xbd\xb8");
  EXPECT_EQ(RecordingLocations::networkFolder(u"French", [](const std::string&) { return false; }),
            u"/Network");
  asked.clear();
  EXPECT_EQ(RecordingLocations::networkFolder(u"English", exists), u"/Network");
  EXPECT_TRUE(asked.empty());
}

TEST(RecordingLocations, CardsAreMountNamesWithoutTheNetworkFolder) {
  const std::vector<std::string> mounts{"/media/ann/SDCARD", "/media/ann/network",
                                        "/run/media/ann/Netzwerk"};
  EXPECT_EQ(RecordingLocations::cardNames(mounts, u"/Network"),
            (std::vector<WString>{u"SDCARD", u"Netzwerk"}));
  EXPECT_EQ(RecordingLocations::cardNames(mounts, u"/NETZWERK"),
            (std::vector<WString>{u"SDCARD", u"network"}));
  EXPECT_TRUE(RecordingLocations::cardNames({}, u"/Network").empty());
}

TEST(RecordingLocations, TheLastCardNamedInTheFolderIsSelected) {
  const std::vector<WString> cards{u"SD", u"SD2", u"STICK"};
  EXPECT_EQ(RecordingLocations::selectedIndex(cards, u""), 0);
  EXPECT_EQ(RecordingLocations::selectedIndex(cards, u"/media/ann/GONE/Documents"), 0);
  EXPECT_EQ(RecordingLocations::selectedIndex(cards, u"/media/ann/STICK/Documents"), 3);
  // Plain substring search: "SD2" also holds "SD"; the later card wins.
  EXPECT_EQ(RecordingLocations::selectedIndex(cards, u"/media/ann/SD2"), 2);
  EXPECT_EQ(RecordingLocations::selectedIndex(cards, u"/media/ann/sd"), 0);
}

class SettingsDialogTest : public ::testing::Test {
 protected:
  SettingsDialogTest() {
    const std::string skins = ORVEL_SOURCE_DIR "/resources/Skins/";
    fs::create_directories(home.path("program/Skins"));
    for (const char* folder : {"ov_default", "ov_default_land", "ov_default_vga"}) {
      fs::copy(skins + folder, home.path("program/Skins/") + folder, fs::copy_options::recursive);
    }
    portrait = fromUtf8(home.path("program/Skins/ov_default/default.rs"));
    vga = fromUtf8(home.path("program/Skins/ov_default_vga/default.rs"));
    registry.setString(kRadioKey, u"InstSkin01", vga);
    settings.Load(kRadioKey);
  }

  // Runs the sheet, letting `act` work on it while it is open.
  SettingsDialog::Result runSheet(const std::function<void(SettingsDialog&)>& act,
                                  const std::vector<std::string>& mounts = {}) {
    SettingsDialog sheet(screen.get(), settings, skins, 240, 320, mounts);
    QTimer::singleShot(0, [&] { act(sheet); });
    return sheet.runSheet();
  }

  WString storedChoice() {
    WString path;
    SkinList fresh(registry, programDir);
    fresh.ChooseSkin(240, 320, path);
    return path;
  }

  test::TempHome home;
  Registry registry{home.path("registry")};
  SettingsStore settings{registry};
  WString programDir = fromUtf8(home.path("program"));
  SkinList skins{registry, programDir};
  WString portrait, vga;
  std::unique_ptr<QWidget> screen = test::screenWindow(240, 320);
};

TEST_F(SettingsDialogTest, AFolderOnAVolumeNoLongerMountedOpensOnMainMemory) {
  settings.SetText(SettingsStore::kRecDir, u"/media/ann/GONE/Documents");
  settings.SetNumber(SettingsStore::kUsePrebuffering, 0);
  const auto result = runSheet([](SettingsDialog& sheet) {
    QComboBox* location = sheet.generalPage()->location();
    EXPECT_EQ(location->count(), 1);
    EXPECT_EQ(location->currentText(), QString("Main memory"));
    EXPECT_FALSE(sheet.generalPage()->prebuffering()->isChecked());
    QCheckBox* reconnect = sheet.generalPage()->reconnect();
    QLabel* label = sheet.generalPage()->reconnectLabel();
    EXPECT_TRUE(reconnect->isChecked());
    // The whole text shows on the smallest screen, and a tap on it toggles the box.
    EXPECT_EQ(label->text(), QString("Reconnect when the connection drops"));
    EXPECT_LE(label->heightForWidth(label->width()), label->height());
    EXPECT_LE(label->geometry().right(), sheet.generalPage()->width());
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_FALSE(reconnect->isChecked());
    sheet.generalPage()->prebuffering()->setChecked(true);
    sheet.sendCommand(ToolkitWindow::kIdOk);
  });
  EXPECT_TRUE(result.confirmed);
  WString recDir = u"unchanged";
  settings.GetText(SettingsStore::kRecDir, &recDir);
  EXPECT_EQ(recDir, u"");
  uint32_t prebuffer = 0;
  settings.GetNumber(SettingsStore::kUsePrebuffering, &prebuffer);
  EXPECT_EQ(prebuffer, 1u);
  uint32_t reconnect = 1;
  settings.GetNumber(SettingsStore::kReconnect, &reconnect);
  EXPECT_EQ(reconnect, 0u);
}

TEST_F(SettingsDialogTest, TheGeneralPageOffersTheVolumesAndWritesOnlyOnOk) {
  settings.SetText(SettingsStore::kRecDir, u"/media/ann/STICK/Documents");
  const std::vector<std::string> mounts{"/media/ann/SDCARD", "/media/ann/Network",
                                        "/media/ann/STICK"};
  auto result = runSheet(
      [](SettingsDialog& sheet) {
        QComboBox* location = sheet.generalPage()->location();
        EXPECT_EQ(location->count(), 3);
        EXPECT_EQ(location->currentText(), QString("STICK"));
        location->setCurrentIndex(1);
        sheet.generalPage()->prebuffering()->setChecked(false);
        sheet.generalPage()->reconnect()->setChecked(false);
        EXPECT_TRUE(sheet.generalPage()->notify()->isChecked());
        sheet.generalPage()->notify()->setChecked(false);
        sheet.sendCommand(ToolkitWindow::kIdCancel);
      },
      mounts);
  EXPECT_FALSE(result.confirmed);
  WString recDir;
  settings.GetText(SettingsStore::kRecDir, &recDir);
  EXPECT_EQ(recDir, u"/media/ann/STICK/Documents");
  uint32_t prebuffer = 0;
  settings.GetNumber(SettingsStore::kUsePrebuffering, &prebuffer);
  EXPECT_EQ(prebuffer, 1u);
  uint32_t reconnect = 0;
  settings.GetNumber(SettingsStore::kReconnect, &reconnect);
  EXPECT_EQ(reconnect, 1u);
  uint32_t notify = 0;
  settings.GetNumber(SettingsStore::kNotify, &notify);
  EXPECT_EQ(notify, 1u);

  result = runSheet(
      [](SettingsDialog& sheet) {
        sheet.generalPage()->location()->setCurrentIndex(1);
        sheet.generalPage()->notify()->setChecked(false);
        sheet.sendCommand(ToolkitWindow::kIdOk);
      },
      mounts);
  EXPECT_TRUE(result.confirmed);
  EXPECT_FALSE(result.skinChanged);
  settings.GetText(SettingsStore::kRecDir, &recDir);
  EXPECT_EQ(recDir, u"SDCARD");
  settings.GetNumber(SettingsStore::kNotify, &notify);
  EXPECT_EQ(notify, 0u);
}

TEST_F(SettingsDialogTest, TheSkinsPageListsFittingSkinsAndOpensOnTheAssignedOne) {
  registry.setString(kRadioKey, u"W240H320", portrait);
  const auto result = runSheet([](SettingsDialog& sheet) {
    SkinsDialog* page = sheet.skinsPage();
    QComboBox* list = page->skins();
    // The landscape skin does not fit; the installed VGA skin comes first.
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(0), QString("Orvel Default (VGA portrait)"));
    EXPECT_EQ(list->itemText(1), QString("Orvel Default (Portrait)"));
    EXPECT_EQ(list->currentIndex(), 1);
    EXPECT_EQ(page->item<QLabel>(SkinsDialog::kDimensionsId)->text(),
              QString("240 x 320 (width x height)"));
    EXPECT_EQ(page->item<QLabel>(SkinsDialog::kAuthorId)->text(), QString("Orvel Radio"));
    EXPECT_TRUE(page->warning()->isHidden());
    list->setCurrentIndex(0);
    EXPECT_EQ(page->item<QLabel>(SkinsDialog::kDimensionsId)->text(),
              QString("480 x 640 (width x height)"));
    sheet.sendCommand(ToolkitWindow::kIdOk);
  });
  EXPECT_TRUE(result.confirmed);
  EXPECT_TRUE(result.skinChanged);
  EXPECT_EQ(storedChoice(), vga);
}

TEST_F(SettingsDialogTest, CancelStillStoresAnotherFittingSkinButAsksForNoReload) {
  registry.setString(kRadioKey, u"W240H320", portrait);
  const auto result = runSheet([](SettingsDialog& sheet) {
    sheet.skinsPage()->skins()->setCurrentIndex(0);
    sheet.close();  // the window's close button: Cancel
  });
  EXPECT_FALSE(result.confirmed);
  EXPECT_TRUE(result.skinChanged);
  EXPECT_EQ(storedChoice(), vga);
}

TEST_F(SettingsDialogTest, KeepingTheAssignedSkinStoresNothing) {
  registry.setString(kRadioKey, u"W240H320", portrait);
  const auto result =
      runSheet([](SettingsDialog& sheet) { sheet.sendCommand(ToolkitWindow::kIdOk); });
  EXPECT_FALSE(result.skinChanged);
  EXPECT_EQ(storedChoice(), portrait);
}

TEST_F(SettingsDialogTest, AnAssignedSkinThatIsNotListedOpensOnTheFirst) {
  registry.setString(kRadioKey, u"W240H320", fromUtf8(home.path("program/Skins/gone.rs")));
  SkinsDialog dialog(screen.get(), skins, 240, 320);
  EXPECT_EQ(dialog.skins()->currentIndex(), 0);
  EXPECT_EQ(dialog.selectedPath(), vga);
}

TEST_F(SettingsDialogTest, StartUpsDialogStoresTheSelectionEvenWhenUnchanged) {
  QTimer::singleShot(0, [] {
    auto* dialog = dynamic_cast<SkinsDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->skins()->currentIndex(), 0);
    dialog->close();
  });
  SkinsDialog::run(screen.get(), skins, 240, 320);
  EXPECT_EQ(storedChoice(), vga);

  // Before the player window exists the dialog takes the size of the screen it chooses for.
  QTimer::singleShot(0, [] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->size(), QSize(480, 640));
    dialog->close();
  });
  SkinsDialog::run(nullptr, skins, 480, 640);
  EXPECT_TRUE(registry.queryValue(kRadioKey, u"W480H640").has_value());
}

TEST_F(SettingsDialogTest, TheSkinsWebAddressIsALink) {
  const std::string rs = home.path("program/Skins/ov_default_vga/default.rs");
  std::string text = test::readFile(rs);
  const size_t web = text.find("Web=");
  ASSERT_NE(web, std::string::npos);
  text.insert(web + 4, "www.orvel.example/skins");
  test::writeFile(rs, text);
  SkinsDialog dialog(screen.get(), skins, 240, 320);
  ASSERT_EQ(dialog.selectedPath(), vga);
  EXPECT_EQ(dialog.webLink()->text(), u"www.orvel.example/skins");
  EXPECT_EQ(dialog.webLink()->link(), u"www.orvel.example/skins");
  EXPECT_TRUE(dialog.webLink()->font().underline());
  dialog.skins()->setCurrentIndex(1);
  EXPECT_EQ(dialog.webLink()->link(), u"");
}

}  // namespace
}  // namespace orvel
