// Start-up and single instance with real processes: this test process plays the running
// instance (or watches one), and the real orvel-radio program is started beside it.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "alarms/AlarmList.h"
#include "alarms/AlarmNotifier.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "platform/AppKeys.h"
#include "platform/AtomicFile.h"
#include "platform/ProgramDirectory.h"
#include "platform/Registry.h"
#include "platform/qt/InstanceServer.h"
#include "resources/StringTable.h"
#include "skin/SkinDescription.h"
#include "tests/app/RunningProgram.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestApplication.h"

namespace orvel {
namespace {

const QString kProgram = QStringLiteral(ORVEL_BIN_DIR "/orvel-radio");

// While it lives: notes the text of every message box that opens, and from afterMs on closes
// every window, so that a start-up that waits for the user fails the test instead of hanging.
class BoxWatch {
 public:
  explicit BoxWatch(int afterMs) {
    m_waited.start();
    QObject::connect(&m_poll, &QTimer::timeout, [this, afterMs] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box != nullptr && (texts.empty() || texts.back() != box->text())) {
        texts.push_back(box->text());
      }
      if (m_waited.elapsed() > afterMs) QApplication::closeAllWindows();
    });
    m_poll.start(20);
  }
  QStringList texts;

 private:
  QTimer m_poll;
  QElapsedTimer m_waited;
};

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

  WString stored(const char16_t* name) {
    const auto value = registry.queryValue(kRadioKey, name);
    if (!value || value->type != kRegSz) return u"(none)";
    return WString(reinterpret_cast<const char16_t*>(value->data.data()),
                   value->data.size() / 2 - 1);
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

TEST_F(StartupTest, AnUnreadableRegistryStillFindsTheLargeSkinsOfTheProgramFolder) {
  // What the first start on a 480 x 640 screen left: the small default skins are gone.
  std::filesystem::remove_all(programDir + "/Skins/ov_default");
  std::filesystem::remove_all(programDir + "/Skins/ov_default_land");
  const WString vga = fromUtf8(programDir + "/Skins/ov_default_vga/default.rs");
  ASSERT_EQ(stored(u"InstSkin01"), vga);
  std::ofstream(Registry::defaultPath(), std::ios::trunc) << "\x01garbage\n";
  ASSERT_EQ(stored(u"InstSkin01"), u"(none)");
  BoxWatch boxes(5000);

  Startup startup(registry, LaunchArguments{ScreenSize{480, 640}, u"", ""});
  ASSERT_TRUE(startup.start()) << boxes.texts.join(" / ").toStdString();
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(startup.skin()->info()->width, 480);
  EXPECT_EQ(stored(u"InstSkin01"), vga);
  EXPECT_EQ(stored(u"InstSkin02"), fromUtf8(programDir + "/Skins/ov_default_vga_land/default.rs"));
  EXPECT_EQ(stored(u"W480H640"), vga);
  QTimer::singleShot(0, startup.mainWindow(), &MainWindow::close);
  EXPECT_EQ(startup.finish(), 0);
}

// SIGTERM while start-up's box runs its own loop, before the main window exists: the box and
// the dialog after it close, and the program ends as "Exit" does, in time.
TEST_F(StartupTest, ATerminationSignalClosesTheOpenDialogAndEndsLikeExit) {
  // A second large portrait skin: start-up says that none is chosen, then asks in a dialog.
  const std::string second = programDir + "/Skins/second_vga";
  std::filesystem::copy(programDir + "/Skins/ov_default_vga", second,
                        std::filesystem::copy_options::recursive);
  registry.setString(kRadioKey, u"InstSkin05", fromUtf8(second + "/default.rs"));
  QElapsedTimer sinceSignal;
  test::whenModal<QMessageBox>([&](QMessageBox* box) {
    EXPECT_EQ(box->text().toStdU16String(), StringTable::load(kStrNoSkinAssigned));
    sinceSignal.start();
    ::raise(SIGTERM);
  });
  BoxWatch boxes(12000);
  {
    Startup startup(registry, LaunchArguments{ScreenSize{480, 640}, u"", ""});
    EXPECT_FALSE(startup.start());
    EXPECT_EQ(startup.mainWindow(), nullptr);
    EXPECT_EQ(startup.finish(), 0);
  }
  ASSERT_TRUE(sinceSignal.isValid());
  EXPECT_LT(sinceSignal.elapsed(), 2000);
  EXPECT_TRUE(registry.queryValue(kRadioKey, u"UsePrebuffering"));  // the settings were saved
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
