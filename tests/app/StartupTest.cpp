// Start-up and single instance with real processes: this test process plays the running
// instance (or watches one), and the real orvel-radio program is started beside it.
#include "app/Startup.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <filesystem>

#include "alarms/AlarmList.h"
#include "alarms/AlarmNotifier.h"
#include "app/MainWindow.h"
#include "platform/AppKeys.h"
#include "platform/AtomicFile.h"
#include "platform/ProgramDirectory.h"
#include "platform/Registry.h"
#include "platform/qt/InstanceServer.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

const QString kProgram = QStringLiteral(ORVEL_BIN_DIR "/orvel-radio");

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::testApplication();
    home.setEnv("ORVEL_RADIO_HOME", programDir);
    // Seeded as a first start would be, so that the skin step finds the default skins.
    ASSERT_TRUE(ProgramDirectory::seed(programDir, ORVEL_SOURCE_DIR "/resources", registry));
    AlarmList list(notifier);
    AlarmEntry entry;
    entry.id = 77;
    list.Add(entry);
    ASSERT_TRUE(list.Save(AlarmList::filePath(programDir)));
  }

  // Runs the program to its end; its exit code, or -1000 when it did not finish in time.
  static int runProgram(const QStringList& arguments) {
    QProcess process;
    process.start(kProgram, arguments);
    if (!process.waitForFinished(15000)) {
      process.kill();
      return -1000;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2000;
  }

  test::TempHome home;
  std::string programDir = home.path("program");
  NullAlarmNotifier notifier;
  Registry registry{Registry::defaultPath()};
};

TEST_F(StartupTest, ASecondStartHandsItsAlarmToTheRunningWindowAndExitsWithMinusOne) {
  Startup first(registry, LaunchArguments{ScreenSize{240, 320}, u"", ""});
  ASSERT_TRUE(first.start());
  std::vector<Message> received;
  QObject::connect(first.mainWindow(), &MainWindow::messageHandled,
                   [&](quint32 m, quint64 w, qint64 l) {
                     received.push_back(Message{m, w, static_cast<intptr_t>(l)});
                   });
  const auto alarmsBefore = readWholeFile(AlarmList::filePath(programDir));
  int onExit = 0, offExit = 0;
  QTimer::singleShot(0, [&] {
    // Without --screen: they take the running instance's screen, whose skins were kept.
    onExit = runProgram({"AlarmOn", "3", "77"});
    offExit = runProgram({"AlarmOff", "555"});
    // Let the window take what the second starts sent, then close it like "Exit".
    QElapsedTimer waited;
    waited.start();
    while (received.size() < 2 && waited.elapsed() < 5000) QApplication::processEvents();
    first.mainWindow()->close();
  });
  EXPECT_EQ(first.finish(), 0);

  EXPECT_EQ(onExit, 255);  // -1
  EXPECT_EQ(offExit, 255);
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].message, kMsgAlarmOn);
  EXPECT_EQ(received[0].wParam, 3u);
  EXPECT_EQ(received[1].message, kMsgAlarmOff);
  EXPECT_EQ(received[1].wParam, 0u);
  EXPECT_EQ(readWholeFile(AlarmList::filePath(programDir)), alarmsBefore);
}

TEST_F(StartupTest, WithoutARunningInstanceTheNewWindowGetsTheAlarmBeforeItsLoopRuns) {
  Startup startup(registry, LaunchArguments{ScreenSize{480, 640}, u"AlarmOn 5 77", ""});
  ASSERT_TRUE(startup.start());
  MainWindow* window = startup.mainWindow();
  EXPECT_TRUE(window->receivedMessages().empty());  // posted, handled once the loop runs
  EXPECT_EQ(window->centralWidget()->size(), QSize(480, 640));
  EXPECT_EQ(window->windowTitle(), "Orvel Radio");
  std::vector<Message> received;
  QObject::connect(window, &MainWindow::messageHandled, window, [&](quint32 m, quint64 w, qint64) {
    received.push_back(Message{m, w, 0});
    window->close();
  });
  QTimer::singleShot(10000, window, &MainWindow::close);  // a safety net, not a pass
  EXPECT_EQ(startup.finish(), 0);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].message, kMsgAlarmOn);
  EXPECT_EQ(received[0].wParam, 5u);
}

TEST_F(StartupTest, SigtermClosesTheWindowAndTheSettingsAreWrittenAtExit) {
  std::filesystem::remove_all(programDir);  // a really first start: the folder is made
  QProcess process;
  process.start(kProgram, {"--screen", "240x320"});
  ASSERT_TRUE(process.waitForStarted());
  QElapsedTimer waited;
  waited.start();
  while (!std::filesystem::exists(InstanceServer::socketPath().toStdString()) &&
         waited.elapsed() < 15000) {
    QThread::msleep(20);
  }
  ASSERT_TRUE(std::filesystem::exists(InstanceServer::socketPath().toStdString()));
  // The settings are written at exit, not before (the seeding's skin values may be there).
  EXPECT_FALSE(registry.queryValue(kRadioKey, u"UsePrebuffering"));
  ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
  ASSERT_TRUE(process.waitForFinished(15000));
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 0);
  EXPECT_TRUE(std::filesystem::is_directory(programDir));
  const auto prebuffering = registry.queryValue(kRadioKey, u"UsePrebuffering");
  ASSERT_TRUE(prebuffering);
  EXPECT_EQ(prebuffering->data, (Bytes{1, 0, 0, 0}));
  const auto recDir = registry.queryValue(kRadioKey, u"RecDir");
  ASSERT_TRUE(recDir);
  EXPECT_EQ(recDir->data, (Bytes{0, 0}));
}

TEST_F(StartupTest, ALaterStartWithoutAScreenOptionGetsTheLastScreen) {
  EXPECT_FALSE(Startup::storedScreen(registry));
  {
    Startup first(registry, LaunchArguments{ScreenSize{320, 240}, u"", ""});
    ASSERT_TRUE(first.start());
    QTimer::singleShot(0, first.mainWindow(), &MainWindow::close);
    EXPECT_EQ(first.finish(), 0);
  }
  EXPECT_EQ(Startup::storedScreen(registry), (ScreenSize{320, 240}));
  Startup later(registry, LaunchArguments{std::nullopt, u"", ""});
  ASSERT_TRUE(later.start());
  EXPECT_EQ(later.mainWindow()->centralWidget()->size(), QSize(320, 240));
  QTimer::singleShot(0, later.mainWindow(), &MainWindow::close);
  EXPECT_EQ(later.finish(), 0);
  registry.setString(kRadioKey, u"Screen", u"huge");
  EXPECT_FALSE(Startup::storedScreen(registry));
}

TEST_F(StartupTest, ASocketLeftByACrashedInstanceIsTakenOver) {
  // A bound socket whose process is gone: nobody accepts on it.
  const std::string path = InstanceServer::socketPath().toStdString();
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(fd);

  Startup startup(registry, LaunchArguments{ScreenSize{240, 320}, u"", ""});
  ASSERT_TRUE(startup.start());
  QTimer::singleShot(0, startup.mainWindow(), &MainWindow::close);
  EXPECT_EQ(startup.finish(), 0);
}

TEST(StartupArguments, ABadScreenOptionIsRefusedWithAClearMessage) {
  QProcess process;
  process.start(kProgram, {"--screen", "huge"});
  ASSERT_TRUE(process.waitForFinished(15000));
  EXPECT_EQ(process.exitCode(), 255);
  EXPECT_TRUE(process.readAllStandardError().contains("--screen wants WIDTHxHEIGHT"));
}

}  // namespace
}  // namespace orvel
