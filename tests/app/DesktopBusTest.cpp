// The program on a private session bus, driven as the desktop drives it: playerctl plays,
// pauses, stops and steps over presets that point at loopback stations, opens a URL and sets the
// volume; the metadata carries the loopback server's titles, and every change is signalled.
#include <gtest/gtest.h>

#include <QTest>

#include "NotificationRecorder.h"
#include "PrivateSessionBus.h"
#include "RunningProgram.h"
#include "StreamTestServer.h"
#include "library/RadioDatabase.h"
#include "platform/AppKeys.h"
#include "platform/wave/WaveVolume.h"
#include "ui/MainPanelControl.h"
#include "ui/SettingsStore.h"

namespace orvel {
namespace {

const QString kFormat = QStringLiteral("{{status}}|{{xesam:artist}}|{{xesam:title}}|{{xesam:url}}");

class DesktopBusTest : public ::testing::Test {
 protected:
  // Starts the program on the private bus with preset 1 on station A, preset 2 on station B
  // and the seven others on station C.
  void start() {
    ASSERT_FALSE(bus.address().isEmpty());
    ASSERT_TRUE(server.running());
    program = std::make_unique<test::RunningProgram>(ScreenSize{240, 320}, urlA, true);
    program->home().setEnv("DBUS_SESSION_BUS_ADDRESS", bus.address().toStdString());
    ASSERT_TRUE(program->start());
    RadioDatabase& database = program->window()->database();
    const CategoryInfo* category = database.AddCategory({u"Bus"}, true);
    for (int preset = 1; preset < 9; ++preset) {
      const std::string& url = preset == 1 ? urlB : urlC;
      const RadioInfo* radio = database.AddRadio(category, {fromUtf8(url), u""}, true);
      StreamInfo info;
      info.url = fromUtf8(url);
      ASSERT_TRUE(database.SetPreset(preset, database.AddStream(radio, info, true)));
    }
  }
  // Waits until playerctl reports that; true when it did within 10 s.
  bool reports(const QString& expected) {
    return test::waitUntil(
        [&] {
          return bus.playerctl({"metadata", "--format", kFormat}) == expected;
        },
        10000);
  }
  static QString line(const QString& status, const QString& artist, const QString& title,
                      const std::string& url) {
    return status + "|" + artist + "|" + title + "|" + QString::fromStdString(url);
  }
  // Waits until a PropertiesChanged recorded after `from` carries text.
  bool signalled(qsizetype from, const QString& text) {
    return test::waitUntil([&] {
      const QString recorded = bus.monitored().mid(from);
      const qsizetype signal = recorded.indexOf(QStringLiteral("member=PropertiesChanged"));
      return signal >= 0 && recorded.indexOf(text, signal) >= 0;
    });
  }

  test::PrivateSessionBus bus;
  test::StreamTestServer server;
  const std::string urlA = server.url("/a?mode=icy&metaint=4096&titles=Artist%20A%20-%20Song%20A");
  const std::string urlB = server.url("/b?mode=icy&metaint=4096&titles=Artist%20B%20-%20Song%20B");
  const std::string urlC = server.url("/c?mode=icy&metaint=4096&titles=Plain%20C");
  std::unique_ptr<test::RunningProgram> program;
};

TEST_F(DesktopBusTest, PlayerctlDrivesPlaybackPresetsUrlsAndVolumeWithEveryChangeSignalled) {
  start();
  EXPECT_EQ(bus.playerctl({"status"}), QString("Stopped"));
  bus.monitorPropertyChanges();

  // Nothing played yet: Play starts the first preset that holds a stream.
  qsizetype mark = bus.monitored().size();
  bus.playerctl({"play"});
  ASSERT_TRUE(reports(line("Playing", "Artist A", "Song A", urlA)));
  EXPECT_TRUE(signalled(mark, "\"Playing\""));
  EXPECT_TRUE(signalled(mark, "Song A"));
  EXPECT_EQ(bus.playerctl({"metadata", "xesam:album"}), QString("Loopback Radio"));

  mark = bus.monitored().size();
  bus.playerctl({"next"});
  ASSERT_TRUE(reports(line("Playing", "Artist B", "Song B", urlB)));
  EXPECT_TRUE(signalled(mark, "Song B"));
  EXPECT_EQ(program->window()->mainPanel()->currentPreset(), 1);
  bus.playerctl({"previous"});
  ASSERT_TRUE(reports(line("Playing", "Artist A", "Song A", urlA)));
  // Previous from the first preset goes round to the last.
  bus.playerctl({"previous"});
  ASSERT_TRUE(reports(line("Playing", "", "Plain C", urlC)));
  EXPECT_EQ(program->window()->mainPanel()->currentPreset(), 8);

  mark = bus.monitored().size();
  bus.playerctl({"pause"});
  ASSERT_TRUE(reports(line("Paused", "", "Plain C", urlC)));
  EXPECT_TRUE(signalled(mark, "\"Paused\""));
  EXPECT_EQ(bus.playerProperty("CanPause"), QString("(<false>,)"));
  EXPECT_EQ(bus.playerProperty("CanPlay"), QString("(<true>,)"));
  EXPECT_EQ(bus.playerProperty("CanSeek"), QString("(<false>,)"));
  bus.playerctl({"play-pause"});
  ASSERT_TRUE(reports(line("Playing", "", "Plain C", urlC)));

  mark = bus.monitored().size();
  bus.playerctl({"stop"});
  ASSERT_TRUE(test::waitUntil([&] { return bus.playerctl({"status"}) == "Stopped"; }));
  EXPECT_TRUE(signalled(mark, "\"Stopped\""));
  EXPECT_EQ(bus.playerctl({"metadata", "xesam:url"}), QString());
  // Play after Stop plays the last station again.
  bus.playerctl({"play"});
  ASSERT_TRUE(reports(line("Playing", "", "Plain C", urlC)));

  mark = bus.monitored().size();
  const std::string opened = server.url("/opened?mode=icy&metaint=4096&titles=Open%20-%20Uri");
  bus.playerctl({"open", QString::fromStdString(opened)});
  ASSERT_TRUE(reports(line("Playing", "Open", "Uri", opened)));
  EXPECT_TRUE(signalled(mark, QString::fromStdString(opened)));

  // The volume both ways: set over the bus it is the player's, set by the player it is read.
  mark = bus.monitored().size();
  bus.playerctl({"volume", "0.25"});
  EXPECT_NEAR((WaveVolume::get() & 0xFFFF) / 65535.0, 0.25, 0.001);
  EXPECT_EQ(WaveVolume::get() >> 16, WaveVolume::get() & 0xFFFF);
  EXPECT_TRUE(signalled(mark, "Volume"));
  WaveVolume::set(0x80008000);
  EXPECT_NEAR(bus.playerctl({"volume"}).toDouble(), 0x8000 / 65535.0, 0.001);

  // Raise shows the window again.
  program->window()->showMinimized();
  ASSERT_TRUE(test::waitUntil([&] { return program->window()->isMinimized(); }));
  bus.callPlayer("org.mpris.MediaPlayer2.Raise");
  EXPECT_TRUE(test::waitUntil([&] { return !program->window()->isMinimized(); }));
}

TEST_F(DesktopBusTest, EachNewTitleWhileTheWindowIsInactiveReplacesTheLastNotification) {
  test::NotificationRecorder notices(bus.address());
  ASSERT_TRUE(notices.registered());
  start();
  MainWindow* window = program->window();
  MainPanelControl* main = window->mainPanel();
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(test::waitUntil([&] { return !window->isActiveWindow(); }));

  // Titles change every 8 KiB of sound ("Song 1", "Song 2", ...).
  const std::string titled = server.url("/titled?mode=icy&metaint=8192");
  ASSERT_TRUE(window->openLink(fromUtf8(titled)));
  QStringList seen;
  ASSERT_TRUE(test::waitUntil(
      [&] {
        const QString title = QString::fromStdU16String(main->title());
        if (!title.isEmpty() && (seen.isEmpty() || seen.back() != title)) seen << title;
        return seen.size() >= 3 && notices.calls().size() >= 3;
      },
      20000));
  QStringList summaries;
  for (const test::NotifyCall& call : notices.calls()) {
    summaries << call.summary;
    EXPECT_EQ(call.body, QString("Loopback Radio")) << call.summary.toStdString();
    // Each replaces the one before: one notification on the screen, updated.
    EXPECT_EQ(call.replacesId,
              &call == &notices.calls().front() ? 0u : notices.calls()[0].answeredId);
  }
  EXPECT_EQ(summaries, seen.mid(0, summaries.size()));

  // Not while the window is active, nor with the setting off.
  window->activateWindow();
  ASSERT_TRUE(test::waitUntil([&] { return window->isActiveWindow(); }));
  const size_t before = notices.calls().size();
  const QString shown = QString::fromStdU16String(main->title());
  ASSERT_TRUE(test::waitUntil([&] { return QString::fromStdU16String(main->title()) != shown; }));
  other.activateWindow();
  ASSERT_TRUE(test::waitUntil([&] { return !window->isActiveWindow(); }));
  program->startup().settings()->SetNumber(SettingsStore::kNotify, 0);
  const QString next = QString::fromStdU16String(main->title());
  ASSERT_TRUE(test::waitUntil([&] { return QString::fromStdU16String(main->title()) != next; }));
  QTest::qWait(200);
  EXPECT_EQ(notices.calls().size(), before);

  // An alarm that starts says so.
  program->startup().settings()->SetNumber(SettingsStore::kNotify, 1);
  window->post(kMsgAlarmOn, 0, 0);
  const auto alarmCall = [&] {
    for (size_t i = before; i < notices.calls().size(); ++i) {
      if (notices.calls()[i].summary == "Alarm") return notices.calls()[i].body;
    }
    return QString();
  };
  ASSERT_TRUE(test::waitUntil([&] { return !alarmCall().isEmpty(); }));
  EXPECT_EQ(alarmCall(), QString::fromStdU16String(test::RunningProgram::kRadio));

  // A recording cut short with its stream says so (the server closes after 5 s).
  main->StopPlayback();
  ASSERT_TRUE(test::waitUntil([&] { return main->player()->state() == Player::Idle; }));
  program->startup().settings()->SetNumber(SettingsStore::kReconnect, 0);
  program->startup().settings()->SetNumber(SettingsStore::kUsePrebuffering, 0);
  ASSERT_TRUE(window->openLink(fromUtf8(server.url("/short?rate=8000&close=40000"))));
  ASSERT_TRUE(test::waitUntil([&] { return main->player()->IsPlaying(); }));
  window->sendCommand(MainWindow::kCmdRecordStart);
  ASSERT_TRUE(test::waitUntil([&] { return !main->player()->RecordingPath().empty(); }));
  ASSERT_TRUE(test::waitUntil([&] { return main->player()->state() == Player::Idle; }));
  ASSERT_FALSE(notices.calls().empty());
  EXPECT_EQ(notices.calls().back().summary, QString("Recording stopped"));
}

TEST_F(DesktopBusTest, WithoutABusTheProgramStartsAndPlaysAsBefore) {
  ASSERT_TRUE(server.running());
  program = std::make_unique<test::RunningProgram>(ScreenSize{240, 320}, urlA, true);
  program->home().setEnv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + program->home().path("none"));
  ASSERT_TRUE(program->start());
  MainPanelControl* main = program->window()->mainPanel();
  main->PlayStream(program->window()->database().GetPreset(0), 0, false);
  EXPECT_TRUE(test::waitUntil([&] { return main->player()->IsPlaying(); }));
  EXPECT_EQ(program->stop(), 0);
}

}  // namespace
}  // namespace orvel
