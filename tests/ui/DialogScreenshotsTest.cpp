// Paints the alarm, settings, skins and about dialogs at both screen sizes into
// <build>/tests/ui/screenshots/dialogs/ for a person to look at, and checks there that no
// control reaches past the screen and no one-line label is cut.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <filesystem>

#include "alarms/AlarmNotifier.h"
#include "ui/SettingsStore.h"
#include "platform/AppKeys.h"
#include "platform/Registry.h"
#include "skin/SkinList.h"
#include "tests/support/TempHome.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/AboutBox.h"
#include "ui/AlarmListDialog.h"
#include "ui/NewAlarmDialog.h"
#include "ui/SettingsDialog.h"
#include "ui/SkinsDialog.h"

namespace orvel {
namespace {

namespace fs = std::filesystem;

// Shows the window, saves its picture and reports what does not fit.
void shoot(QWidget& window, const std::string& name, QSize screen) {
  window.show();
  QApplication::processEvents();
  const std::string tag =
      name + "-" + std::to_string(screen.width()) + "x" + std::to_string(screen.height());
  ASSERT_TRUE(fs::create_directories("screenshots/dialogs") ||
              fs::is_directory("screenshots/dialogs"));
  EXPECT_TRUE(window.grab().save(QString::fromStdString("screenshots/dialogs/" + tag + ".png")));
  EXPECT_EQ(window.size(), screen) << tag;
  const QRect bounds = window.rect();
  for (QWidget* child : window.findChildren<QWidget*>()) {
    if (!child->isVisibleTo(&window) || child->isWindow()) continue;
    const QRect inWindow(child->mapTo(&window, QPoint(0, 0)), child->size());
    EXPECT_TRUE(bounds.contains(inWindow))
        << tag << ": " << child->metaObject()->className() << " "
        << child->objectName().toStdString() << " at " << inWindow.x() << "," << inWindow.y()
        << " size " << inWindow.width() << "x" << inWindow.height();
    if (auto* label = qobject_cast<QLabel*>(child);
        label && !label->wordWrap() && label->pixmap().isNull()) {
      EXPECT_GE(label->width(), label->sizeHint().width())
          << tag << ": label cut: " << label->text().toStdString();
    }
  }
  window.hide();
}

AlarmEntry alarm(uint32_t id, int preset, int hour) {
  AlarmEntry entry;
  entry.begin = SystemTime{2026, 12, 3, 9, static_cast<uint16_t>(hour), 0, 0, 0};
  entry.end = SystemTime{2026, 12, 3, 9, static_cast<uint16_t>(hour + 1), 30, 0, 0};
  entry.preset = preset;
  entry.id = id;
  return entry;
}

class DialogScreenshots : public ::testing::TestWithParam<QSize> {
 protected:
  DialogScreenshots() {
    fs::create_directories(home.path("program/Skins"));
    for (const char* folder : {"ov_default", "ov_default_vga"}) {
      fs::copy(std::string(ORVEL_SOURCE_DIR "/resources/Skins/") + folder,
               home.path("program/Skins/") + folder, fs::copy_options::recursive);
    }
    registry.setString(kRadioKey, u"InstSkin01",
                       fromUtf8(home.path("program/Skins/ov_default_vga/default.rs")));
    settings.Load(kRadioKey);
  }

  QSize size = GetParam();
  test::TempHome home;
  Registry registry{home.path("registry")};
  SettingsStore settings{registry};
  std::string programDir = home.path("program");
  std::unique_ptr<QWidget> screen = test::screenWindow(size.width(), size.height());
};

TEST_P(DialogScreenshots, AlarmDialogs) {
  NullAlarmNotifier notifier;
  {
    AlarmList list(notifier);
    list.Add(alarm(1, 0, 7));
    list.Add(alarm(2, 8, 18));
    ASSERT_TRUE(list.Save(AlarmList::filePath(programDir)));
  }
  AlarmListDialog alarms(screen.get(), programDir, notifier);
  shoot(alarms, "alarm-list", size);
  NewAlarmDialog editor(screen.get());
  shoot(editor, "new-alarm", size);
}

TEST_P(DialogScreenshots, SettingsAndSkins) {
  SkinList skins(registry, fromUtf8(programDir));
  SettingsDialog sheet(screen.get(), settings, skins, size.width(), size.height(),
                       {"/media/ann/SDCARD"});
  shoot(sheet, "settings-general", size);
  sheet.tabs()->setCurrentIndex(1);
  shoot(sheet, "settings-skins", size);
  SkinsDialog alone(screen.get(), skins, size.width(), size.height());
  shoot(alone, "skins", size);
}

TEST_P(DialogScreenshots, AboutBoxInBothOrientations) {
  AboutBox portrait(screen.get(), false, registry, programDir);
  shoot(portrait, "about", size);
  auto wide = test::screenWindow(size.height(), size.width());
  AboutBox landscape(wide.get(), true, registry, programDir);
  shoot(landscape, "about", size.transposed());
}

INSTANTIATE_TEST_SUITE_P(BothScreens, DialogScreenshots,
                         ::testing::Values(QSize(240, 320), QSize(480, 640)),
                         [](const auto& info) { return std::to_string(info.param.width()); });

}  // namespace
}  // namespace orvel
