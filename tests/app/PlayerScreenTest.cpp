// The player screen in the real main window, against the loopback stream server: presets,
// the play and volume buttons, the three text lines, alarms, recording and screen rotation.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>

#include "RunningProgram.h"
#include "StreamTestServer.h"
#include "alarms/AlarmList.h"
#include "alarms/ServiceAlarmNotifier.h"
#include "library/RadioDatabase.h"
#include "library/StreamInfo.h"
#include "platform/AppKeys.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "platform/notify/DirectoryNotificationStore.h"
#include "platform/wave/WaveVolume.h"
#include "resources/StringTable.h"
#include "skin/SkinButton.h"
#include "skin/SkinDescription.h"
#include "skin/SkinTextControl.h"
#include "ui/MainPanelControl.h"
#include "ui/PresetsPanelControl.h"
#include "ui/RadioDialog.h"
#include "ui/RadioRowItem.h"
#include "ui/SettingsStore.h"

namespace orvel {
namespace {

QString text(SkinTextControl* control, int line = 0) {
  return QString::fromStdU16String(control->line(line));
}
QString shownText(SkinTextControl* control) { return text(control, control->currentLine()); }

// A short tap: the release follows the press before the hold time.
void tap(QWidget* widget) {
  QTimer::singleShot(50, widget, [widget] { QTest::mouseRelease(widget, Qt::LeftButton); });
  QTest::mousePress(widget, Qt::LeftButton);
}

// Taps the dialog's row whose main text is name; false when there is none.
bool tapRowNamed(RadioDialog* dialog, const QString& name) {
  for (int i = 0; i < dialog->rowCount(); ++i) {
    if (dialog->row(i)->mainText() != name) continue;
    QAbstractItemView* list = dialog->list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(i, 1)).center());
    return true;
  }
  return false;
}

// Starts the program as the alarm service does, with this process's environment.
int launch(const QStringList& arguments, const QString& workingDirectory = QString()) {
  QProcess process;
  process.setWorkingDirectory(workingDirectory);
  process.start(QStringLiteral(ORVEL_BIN_DIR "/orvel-radio"), arguments);
  test::waitUntil([&] { return process.state() == QProcess::NotRunning; }, 15000);
  return process.exitCode();
}

class PlayerScreenTest : public ::testing::Test {
 protected:
  void start(const std::string& query, bool asPreset1, ScreenSize screen = {240, 320}) {
    ASSERT_TRUE(server.running());
    program = std::make_unique<test::RunningProgram>(screen, server.url(query), asPreset1);
    ASSERT_TRUE(program->start());
    window = program->window();
    ASSERT_NE(window, nullptr);
    main = window->mainPanel();
    presets = window->presetsPanel();
  }
  bool playing() {
    return test::waitUntil([&] { return main->playButton()->mode() == 1; });
  }
  // The volume in the registry; 1 when none is stored (no volume is odd on both channels).
  uint32_t storedVolume() {
    const auto value = program->registry().queryValue(kRadioKey, u"Volume");
    if (!value || value->data.size() != 4) return 1;
    return uint32_t(value->data[0]) | uint32_t(value->data[1]) << 8 |
           uint32_t(value->data[2]) << 16 | uint32_t(value->data[3]) << 24;
  }

  test::StreamTestServer server;
  std::unique_ptr<test::RunningProgram> program;
  MainWindow* window = nullptr;
  MainPanelControl* main = nullptr;
  PresetsPanelControl* presets = nullptr;
};

TEST_F(PlayerScreenTest, APresetPlaysWithStationAndTitleAndPlayStopsIt) {
  start("/radio?mode=icy&metaint=4096&titles=Artist%20-%20Song", true);
  EXPECT_EQ(presets->presetButton(0)->caption(), QString("Loop"));
  EXPECT_EQ(window->windowTitle(), QString("Orvel Radio"));

  tap(presets->presetButton(0));
  ASSERT_TRUE(playing());
  EXPECT_TRUE(main->player()->IsPlaying());
  EXPECT_EQ(text(main->stationText()), QString("Loopback Radio"));
  EXPECT_EQ(presets->presetButton(0)->mode(), 1);
  EXPECT_EQ(presets->presetButton(1)->mode(), 0);
  ASSERT_TRUE(test::waitUntil([&] { return text(main->titleText()) == "Artist - Song"; }));

  tap(main->playButton());
  ASSERT_TRUE(test::waitUntil([&] { return main->playButton()->mode() == 0; }));
  EXPECT_EQ(text(main->stationText()), QString());
  EXPECT_EQ(text(main->titleText()), QString());
  EXPECT_EQ(presets->presetButton(0)->mode(), 0);
  EXPECT_FALSE(main->player()->IsPlaying());
}

// A preset holding a station's playlist link plays the stream the playlist names.
TEST_F(PlayerScreenTest, APlaylistLinkPlaysTheStreamItNames) {
  start("/listen.pls?playlist=pls&type=audio/x-scpls&entries="
        "%2Fradio%3Fmode%3Dicy%26metaint%3D4096%26titles%3DListed",
        true);
  tap(presets->presetButton(0));
  ASSERT_TRUE(playing());
  EXPECT_EQ(text(main->stationText()), QString("Loopback Radio"));
  EXPECT_TRUE(test::waitUntil([&] { return text(main->titleText()) == "Listed"; }));
}

TEST_F(PlayerScreenTest, PrebufferingShowsTheQueueFill) {
  // 110000 bytes arrive, then the server goes quiet: the decoder takes up to 64 KiB and the
  // queue stays part full.
  start("/radio?stall=110000", true);
  tap(presets->presetButton(0));
  const QRegularExpression buffering(QStringLiteral("^Buffering: (\\d+)%$"));
  int fill = 0;
  ASSERT_TRUE(test::waitUntil([&] {
    const auto match = buffering.match(text(main->stateText()));
    fill = match.hasMatch() ? match.captured(1).toInt() : 0;
    return fill > 0;
  }));
  EXPECT_LT(fill, 100);
  EXPECT_EQ(text(main->stationText()), QString("Loopback Radio"));
  EXPECT_EQ(main->playButton()->mode(), 0);
  EXPECT_EQ(presets->presetButton(0)->mode(), 1);
}

TEST_F(PlayerScreenTest, AnEmptyPresetOpensTheChooserAndStoresTheStreamWithoutPlaying) {
  start("/radio", false);
  int empty = 0;
  while (empty < 9 && !presets->presetButton(empty)->caption().isEmpty()) ++empty;
  ASSERT_LT(empty, 9) << "the shipped presets leave none empty";
  bool chose = false;
  test::whenModal<RadioDialog>([&](RadioDialog* dialog) {
    chose = tapRowNamed(dialog, QString::fromStdU16String(test::RunningProgram::kCategory)) &&
            tapRowNamed(dialog, QString::fromStdU16String(test::RunningProgram::kRadio));
    if (!chose) dialog->close();
  });
  tap(presets->presetButton(empty));
  ASSERT_TRUE(test::waitUntil([&] { return !presets->presetButton(empty)->caption().isEmpty(); }));
  EXPECT_TRUE(chose);
  EXPECT_EQ(presets->presetButton(empty)->caption(), QString("Loop"));
  const StreamInfo* stored = program->startup().database()->GetPreset(empty);
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->url, fromUtf8(server.url("/radio")));
  // Choosing does not play.
  QTest::qWait(300);
  EXPECT_EQ(main->player()->IsPlaying(), false);
  EXPECT_EQ(presets->presetButton(empty)->mode(), 0);
}

TEST_F(PlayerScreenTest, AlarmLaunchesPlayThePresetAndStopTheRecording) {
  start("/radio?mode=icy&metaint=4096&titles=Artist%20-%20Song", true);
  DirectoryNotificationStore store(program->home().path("notify"));
  ServiceAlarmNotifier notifier(store, ORVEL_BIN_DIR "/orvel-radio");
  {
    AlarmList alarms(notifier);
    AlarmEntry alarm;
    alarm.begin = SystemTime{2031, 1, 3, 15, 7, 0, 0, 0};
    alarm.end = SystemTime{2031, 1, 3, 15, 8, 30, 0, 0};
    alarm.preset = 0;
    alarm.id = 4242;
    alarms.Add(alarm);
    ASSERT_TRUE(alarms.Save(AlarmList::filePath(program->programDir())));
  }
  // The launch hands its command to this running instance and ends.
  EXPECT_EQ(launch({"AlarmOn", "0", "4242"}), 255);
  ASSERT_TRUE(playing());
  EXPECT_EQ(presets->presetButton(0)->mode(), 1);

  window->sendCommand(MainWindow::kCmdRecordStart);
  ASSERT_TRUE(test::waitUntil([&] { return !main->player()->RecordingPath().empty(); }));
  const std::string recording = toUtf8(main->player()->RecordingPath());
  EXPECT_TRUE(std::filesystem::exists(recording));
  EXPECT_TRUE(
      test::waitUntil([&] { return shownText(main->stateText()) == "Recording started..."; }));

  EXPECT_EQ(launch({"AlarmOff", "4242"}), 255);
  ASSERT_TRUE(test::waitUntil([&] { return main->player()->RecordingPath().empty(); }));
  // Playback goes on; the alarm is gone from its file.
  EXPECT_TRUE(main->player()->IsPlaying());
  EXPECT_EQ(main->playButton()->mode(), 1);
  AlarmList after(notifier);
  ASSERT_TRUE(after.Load(AlarmList::filePath(program->programDir())));
  EXPECT_EQ(after.Count(), 0u);
}

TEST_F(PlayerScreenTest, LinksAndPlaylistsGivenToALaterStartPlayInTheRunningInstance) {
  start("/radio", false);
  const std::string link = server.url("/linked?mode=icy&metaint=4096&titles=Linked%20-%20Song");
  EXPECT_EQ(launch({QString::fromStdString(link)}), 255);
  ASSERT_TRUE(playing());
  EXPECT_EQ(main->streamUrl(), fromUtf8(link));
  EXPECT_TRUE(test::waitUntil([&] { return text(main->titleText()) == "Linked - Song"; }));

  // A playlist path is read where it was given (relative to the later start's folder); its
  // first stream plays.
  const std::string listed = server.url("/listed");
  test::writeFile(program->home().path("lists/station.pls"),
                  "[playlist]\nNumberOfEntries=2\nFile1=" + listed +
                      "\nTitle1=Listed\nLength1=-1\nFile2=http://127.0.0.1:1/\nTitle2=Other\n"
                      "Length2=-1\n");
  EXPECT_EQ(launch({"station.pls"}, QString::fromStdString(program->home().path("lists"))), 255);
  ASSERT_TRUE(test::waitUntil([&] { return main->streamUrl() == fromUtf8(listed); }));
  ASSERT_TRUE(playing());

  // Neither a link nor a playlist: the later start hands nothing over.
  EXPECT_EQ(launch({"ftp://127.0.0.1/x"}), 255);
  EXPECT_EQ(launch({QString::fromStdString(program->home().path("lists/missing.m3u"))}), 255);
  QTest::qWait(300);
  EXPECT_EQ(main->streamUrl(), fromUtf8(listed));
  EXPECT_TRUE(main->player()->IsPlaying());
}

// Every accessible name under the interface, depth first.
void collectNames(QAccessibleInterface* node, QStringList& names, int depth = 0) {
  if (node == nullptr || depth > 12) return;
  names << node->text(QAccessible::Name);
  for (int i = 0; i < node->childCount(); ++i) collectNames(node->child(i), names, depth + 1);
}

TEST_F(PlayerScreenTest, KeysDriveThePlayerScreenAndTheAccessibilityTreeDescribesIt) {
  start("/radio?mode=icy&metaint=4096&titles=Artist%20-%20Song", true);
  window->activateWindow();
  ASSERT_TRUE(test::waitUntil([&] { return window->isActiveWindow(); }));

  // 1 plays preset 1; Space stops; Space plays the last station again.
  QTest::keyClick(window, Qt::Key_1);
  ASSERT_TRUE(playing());
  EXPECT_EQ(main->currentPreset(), 0);
  ASSERT_TRUE(test::waitUntil([&] { return text(main->titleText()) == "Artist - Song"; }));
  QTest::keyClick(window, Qt::Key_Space);
  ASSERT_TRUE(test::waitUntil([&] { return main->playButton()->mode() == 0; }));
  QTest::keyClick(window, Qt::Key_Space);
  ASSERT_TRUE(playing());

  // A key steps the volume as a tap on the button does, both ways.
  WaveVolume::set(0x7FFF7FFF);
  QTest::mouseClick(main->volumeUpButton(), Qt::LeftButton);
  const uint32_t byTap = WaveVolume::get();
  WaveVolume::set(0x7FFF7FFF);
  QTest::keyClick(window, Qt::Key_Plus);
  EXPECT_EQ(WaveVolume::get(), byTap);
  EXPECT_EQ(storedVolume(), byTap);
  QTest::keyClick(window, Qt::Key_Down);
  EXPECT_EQ(WaveVolume::get(), 0x7FFF7FFFu);
  QTest::keyClick(window, Qt::Key_Up);
  QTest::keyClick(window, Qt::Key_Minus);
  EXPECT_EQ(WaveVolume::get(), 0x7FFF7FFFu);

  // The tree names every control and carries the lines' text.
  QStringList names;
  collectNames(QAccessible::queryAccessibleInterface(window), names);
  for (const char* name : {"Player", "Presets", "Stop", "Volume up", "Volume down", "State",
                           "Station", "Title", "Preset 1: Loop"}) {
    EXPECT_TRUE(names.contains(QString(name))) << name;
  }
  QAccessibleInterface* play = QAccessible::queryAccessibleInterface(main->playButton());
  ASSERT_NE(play, nullptr);
  EXPECT_EQ(play->role(), QAccessible::Button);
  QAccessibleInterface* title = QAccessible::queryAccessibleInterface(main->titleText());
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->text(QAccessible::Value), QString("Artist - Song"));
  QAccessibleInterface* station = QAccessible::queryAccessibleInterface(main->stationText());
  EXPECT_EQ(station->text(QAccessible::Value), QString("Loopback Radio"));
  // The Press action is a tap: it stops playback as the button does.
  play->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  ASSERT_TRUE(test::waitUntil([&] { return main->playButton()->mode() == 0; }));
  EXPECT_EQ(play->text(QAccessible::Name), QString("Play"));

  // Ctrl+O opens the radio dialog.
  bool opened = false;
  test::whenModal<RadioDialog>([&](RadioDialog* dialog) {
    opened = true;
    dialog->close();
  });
  QTest::keyClick(window, Qt::Key_O, Qt::ControlModifier);
  EXPECT_TRUE(test::waitUntil([&] { return opened; }, 5000));
}

TEST_F(PlayerScreenTest, VolumeTapsStepBothChannels) {
  start("/radio", false);
  WaveVolume::set(0x7FFF7FFF);
  QTest::mouseClick(main->volumeUpButton(), Qt::LeftButton);
  EXPECT_EQ(WaveVolume::get(), (33422u << 16) | 33422u);
  EXPECT_EQ(shownText(main->stateText()), QString("Volume: 50%"));
  // The transient line gives way to the state line after a second.
  ASSERT_TRUE(test::waitUntil([&] { return main->stateText()->currentLine() == 0; }, 3000));

  WaveVolume::set(0xFFFFFFFF);
  QTest::mouseClick(main->volumeUpButton(), Qt::LeftButton);
  EXPECT_EQ(WaveVolume::get(), 0xFFFFFFFFu);
  EXPECT_EQ(shownText(main->stateText()), QString("Volume: 100%"));

  WaveVolume::set((1000u << 16) | 1000u);
  QTest::mousePress(main->volumeDownButton(), Qt::LeftButton);
  EXPECT_EQ(WaveVolume::get(), (345u << 16) | 345u);
  ASSERT_TRUE(test::waitUntil([&] { return WaveVolume::get() == 0; }, 3000));
  // The held button changes the volume in memory; the registry gets it once, at the release.
  EXPECT_EQ(storedVolume(), (1000u << 16) | 1000u);
  QTest::mouseRelease(main->volumeDownButton(), Qt::LeftButton);
  EXPECT_EQ(shownText(main->stateText()), QString("Volume: 0%"));
  EXPECT_EQ(storedVolume(), 0u);

  // A button still held at exit: the volume is stored then.
  QTest::mousePress(main->volumeUpButton(), Qt::LeftButton);
  ASSERT_TRUE(test::waitUntil(
      [&] { return (WaveVolume::get() & 0xFFFF) > uint32_t(MainPanelControl::kFineVolumeStep); },
      3000));
  EXPECT_EQ(storedVolume(), 0u);
  EXPECT_EQ(program->stop(), 0);
  EXPECT_EQ(storedVolume(), WaveVolume::get());
}

// The player's notifications come from several threads: whatever order the screen sees them in,
// its state line ends as the player's state is.
TEST_F(PlayerScreenTest, TheStateLineFollowsThePlayerWhateverTheOrderOfItsMessages) {
  start("/radio?mode=icy&metaint=4096&titles=Artist%20-%20Song", true);
  tap(presets->presetButton(0));
  ASSERT_TRUE(playing());
  ASSERT_TRUE(test::waitUntil([&] { return text(main->titleText()) == "Artist - Song"; }));
  const QString station = text(main->stationText());

  // A reconnection in progress shows its attempt; the station and title lines stay.
  main->post(Player::kStatus, kStrReconnecting, 3);
  ASSERT_TRUE(test::waitUntil([&] { return text(main->stateText()) == "Reconnecting... (3)"; }));
  EXPECT_EQ(text(main->stationText()), station);
  EXPECT_EQ(text(main->titleText()), QString("Artist - Song"));
  main->post(Player::kStatus, kStrReconnected, 0);
  ASSERT_TRUE(test::waitUntil([&] { return text(main->stateText()).isEmpty(); }));

  // The prebuffer filled before the player thread posted the Open reply: no buffering display
  // follows, and a volume step stays shown.
  main->post(Player::kPrebufferDone, 0, 0);
  main->post(Player::kOpen + Player::kReplyOffset, 1, 0);
  QTest::mouseClick(main->volumeUpButton(), Qt::LeftButton);
  const QString volume = shownText(main->stateText());
  EXPECT_TRUE(volume.startsWith("Volume: "));
  QTest::qWait(3 * MainPanelControl::kBufferingMs);
  EXPECT_EQ(shownText(main->stateText()), volume);
  EXPECT_FALSE(text(main->stateText()).startsWith("Buffering"));
}

TEST(PlayerScreenRequest, TheOpenRequestFollowsTheSettingsAndAnAlarmAlwaysReconnects) {
  test::TempHome home;
  Registry registry(home.path("registry"));
  SettingsStore settings(registry);
  ASSERT_TRUE(settings.Load(kRadioKey));
  StreamInfo stream;
  stream.url = u"http://127.0.0.1:1/radio";
  OpenRequest request = MainPanelControl::openRequest(stream, settings, false);
  EXPECT_EQ(request.url, stream.url);
  EXPECT_TRUE(request.prebuffer);
  EXPECT_EQ(request.retries, 0);
  EXPECT_EQ(request.reconnects, OpenRequest::kReconnectForever);

  settings.SetNumber(SettingsStore::kReconnect, 0);
  settings.SetNumber(SettingsStore::kUsePrebuffering, 0);
  request = MainPanelControl::openRequest(stream, settings, false);
  EXPECT_FALSE(request.prebuffer);
  EXPECT_EQ(request.reconnects, 0);
  request = MainPanelControl::openRequest(stream, settings, true);
  EXPECT_EQ(request.retries, MainPanelControl::kAlarmRetries);
  EXPECT_EQ(request.reconnects, OpenRequest::kReconnectForever);
}

TEST_F(PlayerScreenTest, RotatingReloadsTheOneFittingSkinInPlace) {
  start("/radio", false);
  const QRect portrait = main->geometry();
  window->sendCommand(MainWindow::kCmdRotate);
  ASSERT_TRUE(test::waitUntil([&] { return main->geometry() != portrait; }));
  EXPECT_EQ(window->screen().width, 320);
  EXPECT_EQ(window->screenWidget()->size(), QSize(320, 240));
  EXPECT_EQ(program->startup().skin()->info()->width, 320);
  // The panels tile the new screen.
  EXPECT_EQ(main->geometry().united(presets->geometry()), QRect(0, 0, 320, 240));
}

TEST_F(PlayerScreenTest, RotatingWithTwoFittingSkinsAndNoneChosenKeepsTheSkin) {
  start("/radio", false);
  // A second installed landscape skin.
  const std::string copy = program->programDir() + "/Skins/second_land";
  std::filesystem::copy(ORVEL_SOURCE_DIR "/resources/Skins/ov_default_land", copy,
                        std::filesystem::copy_options::recursive);
  program->registry().setString(kRadioKey, u"InstSkin05", fromUtf8(copy + "/default.rs"));
  QSignalSpy reloaded(window, &MainWindow::messageHandled);
  window->sendCommand(MainWindow::kCmdRotate);
  ASSERT_TRUE(test::waitUntil([&] { return reloaded.count() > 0; }));
  EXPECT_EQ(window->screen().width, 320);
  EXPECT_EQ(program->startup().skin()->info()->width, 240);
  EXPECT_FALSE(program->registry().queryValue(kRadioKey, u"W320H240").has_value());
}

// The playing screen at each screen size, for people to look at.
class PlayerScreenshotTest : public PlayerScreenTest,
                             public ::testing::WithParamInterface<ScreenSize> {};

TEST_P(PlayerScreenshotTest, PaintsThePlayingScreen) {
  start("/radio?mode=icy&metaint=4096&titles=Khruangbin%20-%20Maria%20Tambi%C3%A9n", true,
        GetParam());
  tap(presets->presetButton(0));
  ASSERT_TRUE(playing());
  ASSERT_TRUE(test::waitUntil([&] { return !text(main->titleText()).isEmpty(); }));
  const QImage shot = window->screenWidget()->grab().toImage();
  EXPECT_EQ(shot.size(), QSize(GetParam().width, GetParam().height));
  const QString dir = QStringLiteral(ORVEL_BIN_DIR "/../screenshots");
  QDir().mkpath(dir);
  EXPECT_TRUE(shot.save(
      QStringLiteral("%1/player-%2x%3.png").arg(dir).arg(GetParam().width).arg(GetParam().height)));
}

INSTANTIATE_TEST_SUITE_P(Screens, PlayerScreenshotTest,
                         ::testing::Values(ScreenSize{240, 320}, ScreenSize{320, 240},
                                           ScreenSize{480, 640}, ScreenSize{640, 480}),
                         [](const auto& info) {
                           return std::to_string(info.param.width) + "x" +
                                  std::to_string(info.param.height);
                         });

}  // namespace
}  // namespace orvel
