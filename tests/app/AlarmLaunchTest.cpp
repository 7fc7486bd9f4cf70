// Alarm launches end to end: alarms saved through the notification service (a folder store),
// their registrations fired as the service would, the real program started by each, and the
// running instance (this test process) receiving what they hand over.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "alarms/AlarmList.h"
#include "alarms/ServiceAlarmNotifier.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "platform/AppKeys.h"
#include "platform/ProgramDirectory.h"
#include "platform/Registry.h"
#include "tests/support/NotificationFirer.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

TEST(AlarmLaunch, TheBeginPlaysThePresetInTheRunningInstanceAndTheEndRemovesTheAlarm) {
  test::testApplication();
  test::TempHome home;
  const std::string programDir = home.path("program");
  const std::string notifyDir = home.path("notify");
  home.setEnv("ORVEL_RADIO_HOME", programDir);
  home.setEnv("ORVEL_RADIO_NOTIFY", "dir:" + notifyDir);
  Registry registry(Registry::defaultPath());
  ASSERT_TRUE(ProgramDirectory::seed(programDir, ORVEL_SOURCE_DIR "/resources", registry));
  DirectoryNotificationStore store(notifyDir);
  ServiceAlarmNotifier notifier(store, ORVEL_BIN_DIR "/orvel-radio");

  AlarmEntry alarm;
  alarm.begin = SystemTime{2031, 1, 3, 15, 7, 0, 0, 0};
  alarm.end = SystemTime{2031, 1, 3, 15, 7, 30, 0, 0};
  alarm.preset = 6;
  alarm.id = 4242;
  AlarmEntry other = alarm;
  other.id = 99;
  other.begin.day = other.end.day = 16;
  Startup running(registry, LaunchArguments{ScreenSize{240, 320}, u"", ""});
  ASSERT_TRUE(running.start());
  {
    AlarmList list(notifier);
    list.Add(alarm);
    list.Add(other);
    ASSERT_TRUE(list.Save(AlarmList::filePath(programDir)));
  }
  ASSERT_EQ(store.GetHandles().size(), 6u);

  std::vector<Message> received;
  QObject::connect(running.mainWindow(), &MainWindow::messageHandled,
                   [&](quint32 m, quint64 w, qint64) { received.push_back(Message{m, w, 0}); });
  std::vector<test::FiredLaunch> atBegin, atEnd;
  QTimer::singleShot(0, [&] {
    atBegin = test::fireDue(store, SystemTime{2031, 1, 3, 15, 7, 0, 0, 500});
    atEnd = test::fireDue(store, SystemTime{2031, 1, 3, 15, 7, 30, 1, 0});
    QElapsedTimer waited;
    waited.start();
    while (received.size() < 3 && waited.elapsed() < 5000) QApplication::processEvents();
    running.mainWindow()->close();
  });
  EXPECT_EQ(running.finish(), 0);

  // Two launches at the begin (one with the notification), one at the end; each hands over.
  ASSERT_EQ(atBegin.size(), 2u);
  EXPECT_EQ(atBegin[0].registration.notification.actionFlags, kActionDialog);
  ASSERT_EQ(atEnd.size(), 1u);
  for (const auto& launch : atBegin) EXPECT_EQ(launch.exitCode, 255);
  EXPECT_EQ(atEnd[0].exitCode, 255);
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[0].message, kMsgAlarmOn);
  EXPECT_EQ(received[0].wParam, 6u);
  EXPECT_EQ(received[1].message, kMsgAlarmOn);
  EXPECT_EQ(received[2].message, kMsgAlarmOff);

  // The end launch removed its alarm from the file and withdrew what was left of it.
  AlarmList after(notifier);
  ASSERT_TRUE(after.Load(AlarmList::filePath(programDir)));
  ASSERT_EQ(after.Count(), 1u);
  EXPECT_EQ(after.Get(0)->id, 99u);
  EXPECT_EQ(store.GetHandles().size(), 3u);
  for (uint32_t handle : store.GetHandles()) {
    EXPECT_EQ(store.GetInfo(handle)->trigger.start.day, 16);
  }
}

}  // namespace
}  // namespace orvel
