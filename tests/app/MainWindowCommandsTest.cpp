// The main window's "Tools" commands and start-up's skin question, in the real program: each
// runs its dialog, and what the dialog decided reaches the window (a skin reload, the alarm
// file, the about box's layout for the screen).
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QMenuBar>
#include <QMessageBox>
#include <filesystem>

#include "RunningProgram.h"
#include "alarms/AlarmList.h"
#include "platform/AppKeys.h"
#include "platform/Text.h"
#include "resources/StringTable.h"
#include "skin/SkinDescription.h"
#include "skin/SkinList.h"
#include "ui/AboutBox.h"
#include "ui/AlarmListDialog.h"
#include "ui/SettingsDialog.h"
#include "ui/SkinsDialog.h"
#include "ui/ToolkitWindow.h"

namespace orvel {
namespace {

namespace fs = std::filesystem;

// Selects the skin whose description file is path; false when the list does not offer it.
bool selectSkin(SkinsDialog* page, const WString& path) {
  for (int i = 0; i < page->skins()->count(); ++i) {
    page->skins()->setCurrentIndex(i);
    if (page->selectedPath() == path) return true;
  }
  return false;
}

class MainWindowCommandsTest : public ::testing::Test {
 protected:
  // A 480 x 640 skin installed under another name: half its size fits 240 x 320 as well, so two
  // skins fit the portrait screen.
  void installSecondSkin() {
    const std::string folder = program.programDir() + "/Skins/second_vga";
    fs::copy(ORVEL_SOURCE_DIR "/resources/Skins/ov_default_vga", folder,
             fs::copy_options::recursive);
    secondSkin = fromUtf8(folder + "/default.rs");
    program.registry().setString(kRadioKey, u"InstSkin05", secondSkin);
  }
  // The built-in portrait skin chosen for the screen, as after an earlier start.
  void chooseBuiltInSkin() {
    program.registry().setString(kRadioKey, u"W240H320",
                                 fromUtf8(program.programDir() + "/Skins/ov_default/default.rs"));
  }
  void start() {
    ASSERT_TRUE(program.start());
    window = program.window();
    ASSERT_NE(window, nullptr);
  }
  QAction* toolsAction(const QString& text) {
    for (QAction* menu : window->menus()->actions()) {
      if (menu->text() != "Tools" || menu->menu() == nullptr) continue;
      for (QAction* item : menu->menu()->actions()) {
        if (item->text() == text) return item;
      }
    }
    return nullptr;
  }
  int skinWidth() { return program.startup().skin()->info()->width; }

  test::RunningProgram program{ScreenSize{240, 320}, "", false};
  MainWindow* window = nullptr;
  WString secondSkin;
};

TEST_F(MainWindowCommandsTest, AlarmsConfirmedWritesTheAlarmFile) {
  start();
  const QAction* alarms = toolsAction("Alarms...");
  ASSERT_NE(alarms, nullptr);
  EXPECT_TRUE(alarms->isEnabled());
  const std::string file = AlarmList::filePath(program.programDir());
  fs::remove(file);
  bool ran = false;
  test::whenModal<AlarmListDialog>([&](AlarmListDialog* dialog) {
    ran = true;
    dialog->sendCommand(ToolkitWindow::kIdOk);
  });
  window->sendCommand(MainWindow::kCmdAlarms);
  EXPECT_TRUE(ran);
  ASSERT_TRUE(fs::exists(file));
  EXPECT_EQ(fs::file_size(file), 4u);  // an empty list: its count alone
}

TEST_F(MainWindowCommandsTest, SettingsConfirmedWithAnotherSkinReloadsIt) {
  installSecondSkin();
  chooseBuiltInSkin();
  start();
  EXPECT_TRUE(toolsAction("Settings...")->isEnabled());
  ASSERT_EQ(skinWidth(), 240);
  bool offered = false;
  test::whenModal<SettingsDialog>([&](SettingsDialog* sheet) {
    offered = selectSkin(sheet->skinsPage(), secondSkin);
    sheet->sendCommand(ToolkitWindow::kIdOk);
  });
  window->sendCommand(MainWindow::kCmdSettings);
  ASSERT_TRUE(offered);
  EXPECT_EQ(skinWidth(), 480);
  // The panels still tile the screen with the half-size skin.
  EXPECT_EQ(window->screenWidget()->size(), QSize(240, 320));
}

TEST_F(MainWindowCommandsTest, SettingsCancelledKeepsTheShownSkinButStoresTheChoice) {
  installSecondSkin();
  chooseBuiltInSkin();
  start();
  bool offered = false;
  test::whenModal<SettingsDialog>([&](SettingsDialog* sheet) {
    offered = selectSkin(sheet->skinsPage(), secondSkin);
    sheet->close();
  });
  window->sendCommand(MainWindow::kCmdSettings);
  ASSERT_TRUE(offered);
  EXPECT_EQ(skinWidth(), 240);
  const auto stored = program.registry().queryValue(kRadioKey, u"W240H320");
  ASSERT_TRUE(stored.has_value());
  WString path;
  SkinList(program.registry(), fromUtf8(program.programDir())).ChooseSkin(240, 320, path);
  EXPECT_EQ(path, secondSkin);
}

TEST_F(MainWindowCommandsTest, AboutTakesTheLayoutOfTheScreensOrientation) {
  start();
  EXPECT_TRUE(toolsAction("About...")->isEnabled());
  int layout = 0;
  const auto closeAbout = [&](AboutBox* box) {
    layout = box->layoutId();
    box->close();
  };
  test::whenModal<AboutBox>(closeAbout);
  window->sendCommand(MainWindow::kCmdAbout);
  EXPECT_EQ(layout, AboutBox::kPortraitId);

  window->sendCommand(MainWindow::kCmdRotate);
  test::whenModal<AboutBox>(closeAbout);
  window->sendCommand(MainWindow::kCmdAbout);
  EXPECT_EQ(layout, AboutBox::kLandscapeId);
}

TEST_F(MainWindowCommandsTest, StartUpAsksWhichSkinWhenSeveralFitAndNoneIsChosen) {
  installSecondSkin();
  QString notice;
  bool offered = false;
  test::whenModal<QMessageBox>([&](QMessageBox* box) {
    notice = box->text();
    test::whenModal<SkinsDialog>([&](SkinsDialog* dialog) {
      offered = selectSkin(dialog, secondSkin);
      dialog->close();  // the choice is stored however the dialog closes
    });
    box->accept();
  });
  start();
  EXPECT_EQ(notice, QString::fromStdU16String(StringTable::load(kStrNoSkinAssigned)));
  ASSERT_TRUE(offered);
  EXPECT_EQ(skinWidth(), 480);
  WString path;
  SkinList(program.registry(), fromUtf8(program.programDir())).ChooseSkin(240, 320, path);
  EXPECT_EQ(path, secondSkin);
}

}  // namespace
}  // namespace orvel
