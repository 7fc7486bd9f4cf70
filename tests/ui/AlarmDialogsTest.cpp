// The alarm list and new-alarm dialogs: what OK and Cancel leave in "Alarms.dat" and with the
// notification service, the rows, deleting, and the one-minute rule.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QMenu>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

#include "alarms/AlarmNotifier.h"
#include "platform/AppKeys.h"
#include "resources/StringTable.h"
#include "tests/support/RecordingMessageBoxHost.h"
#include "tests/support/TempHome.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/AlarmListDialog.h"
#include "ui/NewAlarmDialog.h"

namespace orvel {
namespace {

class RecordingNotifier : public AlarmNotifier {
 public:
  void RegisterAlarm(const AlarmEntry& entry) override { registered.push_back(entry.id); }
  void WithdrawAlarm(const AlarmEntry& entry) override { withdrawn.push_back(entry.id); }
  std::vector<uint32_t> registered;
  std::vector<uint32_t> withdrawn;
};

SystemTime at(int hour, int minute, int second) {
  SystemTime time;
  time.year = 2026;
  time.month = 12;
  time.dayOfWeek = 3;
  time.day = 9;
  time.hour = static_cast<uint16_t>(hour);
  time.minute = static_cast<uint16_t>(minute);
  time.second = static_cast<uint16_t>(second);
  return time;
}

AlarmEntry alarm(uint32_t id, int preset) {
  AlarmEntry entry;
  entry.begin = at(7, 0, 0);
  entry.end = at(8, 30, 0);
  entry.preset = preset;
  entry.id = id;
  return entry;
}

class AlarmDialogsTest : public ::testing::Test {
 protected:
  AlarmDialogsTest() { std::filesystem::create_directories(programDir); }

  std::string file() const { return AlarmList::filePath(programDir); }
  // Writes a list of the entries as the program would.
  void writeList(const std::vector<AlarmEntry>& entries) {
    NullAlarmNotifier silent;
    AlarmList list(silent);
    for (const AlarmEntry& entry : entries) list.Add(entry);
    ASSERT_TRUE(list.Save(file()));
  }
  // Fills the modal new-alarm dialog once it shows and confirms it.
  static void answerNewAlarm(QTime begin, QTime end, int preset) {
    QTimer::singleShot(0, [=] {
      auto* editor = dynamic_cast<NewAlarmDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(editor, nullptr);
      editor->item<QTimeEdit>(NewAlarmDialog::kBeginId)->setTime(begin);
      editor->item<QTimeEdit>(NewAlarmDialog::kEndId)->setTime(end);
      editor->item<QComboBox>(NewAlarmDialog::kPresetId)->setCurrentIndex(preset);
      editor->sendCommand(ToolkitWindow::kIdOk);
    });
  }

  test::TempHome home;
  std::string programDir = home.path("program");
  RecordingNotifier notifier;
  std::unique_ptr<QWidget> screen = test::screenWindow(240, 320);
};

TEST_F(AlarmDialogsTest, AnEmptyListConfirmedWritesACountOfZero) {
  AlarmListDialog dialog(screen.get(), programDir, notifier);
  EXPECT_EQ(dialog.list()->topLevelItemCount(), 0);
  EXPECT_EQ(dialog.list()->headerItem()->text(0), QString("Date"));
  EXPECT_EQ(dialog.list()->headerItem()->text(1), QString("Time"));
  EXPECT_EQ(dialog.list()->headerItem()->text(2), QString("#"));
  EXPECT_EQ(dialog.list()->columnWidth(AlarmListDialog::kTimeColumn), 90);
  dialog.sendCommand(ToolkitWindow::kIdOk);
  EXPECT_EQ(dialog.result(), ToolkitWindow::kIdOk);
  EXPECT_EQ(test::readFile(file()), std::string(4, '\0'));
  EXPECT_TRUE(notifier.registered.empty());
}

TEST_F(AlarmDialogsTest, AlarmsAddedAndCancelledLeaveTheFileAndTheServiceAlone) {
  writeList({alarm(11, 0)});
  const std::string before = test::readFile(file());
  QTimer::singleShot(0, [this] {
    auto* dialog = dynamic_cast<AlarmListDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    for (int i = 0; i < 2; ++i) {
      answerNewAlarm(QTime(9, 0), QTime(10, 0), 3);
      dialog->sendCommand(AlarmListDialog::kCmdNew);
    }
    EXPECT_EQ(dialog->list()->topLevelItemCount(), 3);
    dialog->sendCommand(ToolkitWindow::kIdCancel);
  });
  EXPECT_FALSE(AlarmListDialog::run(screen.get(), programDir, notifier));
  EXPECT_EQ(test::readFile(file()), before);
  EXPECT_TRUE(notifier.registered.empty());
}

TEST_F(AlarmDialogsTest, NewAlarmsAreRegisteredAndWrittenOnOk) {
  writeList({alarm(11, 0)});
  AlarmListDialog dialog(screen.get(), programDir, notifier);
  answerNewAlarm(QTime(9, 0, 0), QTime(9, 45, 0), 4);
  dialog.sendCommand(AlarmListDialog::kCmdNew);
  ASSERT_EQ(dialog.alarms().Count(), 2u);
  const AlarmEntry* added = dialog.alarms().Get(1);
  EXPECT_EQ(added->preset, 4);
  EXPECT_EQ(added->begin.hour, 9);
  EXPECT_EQ(added->end.minute, 45);
  EXPECT_EQ(added->begin.day, added->end.day);
  EXPECT_FALSE(added->registered);
  dialog.sendCommand(ToolkitWindow::kIdOk);
  // Only the new alarm is registered; the loaded one already was.
  EXPECT_EQ(notifier.registered, std::vector<uint32_t>{added->id});
  NullAlarmNotifier silent;
  AlarmList reread(silent);
  ASSERT_TRUE(reread.Load(file()));
  EXPECT_EQ(reread.Count(), 2u);
}

TEST_F(AlarmDialogsTest, RowsShowTheDayTimesAndPresetNumberInTheUsersFormat) {
  const QLocale previous;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  writeList({alarm(1, 0), alarm(2, 8)});
  AlarmListDialog dialog(screen.get(), programDir, notifier);
  QLocale::setDefault(previous);
  ASSERT_EQ(dialog.list()->topLevelItemCount(), 2);
  const QTreeWidgetItem* row = dialog.list()->topLevelItem(1);
  EXPECT_EQ(row->text(AlarmListDialog::kDateColumn), QString("09.12.26"));
  EXPECT_EQ(row->text(AlarmListDialog::kTimeColumn), QString("07:00 - 08:30"));
  EXPECT_EQ(row->text(AlarmListDialog::kPresetColumn), QString("9"));
  EXPECT_EQ(dialog.list()->topLevelItem(0)->text(AlarmListDialog::kPresetColumn), QString("1"));

  // The C locale's short times carry seconds; rows and pickers leave them out.
  QLocale::setDefault(QLocale::c());
  AlarmListDialog plain(screen.get(), programDir, notifier);
  NewAlarmDialog editor(screen.get());
  QLocale::setDefault(previous);
  EXPECT_EQ(plain.list()->topLevelItem(0)->text(AlarmListDialog::kTimeColumn),
            QString("07:00 - 08:30"));
  EXPECT_EQ(editor.item<QTimeEdit>(NewAlarmDialog::kBeginId)->displayFormat(), QString("HH:mm"));
  // The date column is widened to what the format needs.
  const QTreeWidget* list = plain.list();
  EXPECT_GE(list->columnWidth(AlarmListDialog::kDateColumn),
            list->fontMetrics().horizontalAdvance(list->topLevelItem(0)->text(0)));
}

TEST_F(AlarmDialogsTest, DeleteFromTheRowMenuWithdrawsAtOnceAndCancelKeepsTheFile) {
  writeList({alarm(1, 0), alarm(2, 1), alarm(3, 2)});
  const std::string before = test::readFile(file());
  AlarmListDialog dialog(screen.get(), programDir, notifier);
  dialog.show();
  QApplication::processEvents();
  // Nothing selected: the hold shows no menu and Delete does nothing.
  QTest::mouseClick(dialog.list()->viewport(), Qt::RightButton, {}, QPoint(5, 200));
  EXPECT_FALSE(dialog.contextMenu()->isVisible());
  dialog.sendCommand(AlarmListDialog::kCmdDelete);
  EXPECT_EQ(dialog.alarms().Count(), 3u);

  QTest::mouseClick(dialog.list()->viewport(), Qt::RightButton, {},
                    test::rowCentre(dialog.list(), 1));
  ASSERT_TRUE(dialog.contextMenu()->isVisible());
  dialog.contextMenu()->hide();
  ToolkitWindow::findCommand(dialog.contextMenu(), AlarmListDialog::kCmdDelete)->trigger();
  EXPECT_EQ(notifier.withdrawn, std::vector<uint32_t>{2});
  ASSERT_EQ(dialog.list()->topLevelItemCount(), 2);
  EXPECT_EQ(dialog.list()->topLevelItem(1)->text(AlarmListDialog::kPresetColumn), QString("3"));
  dialog.sendCommand(ToolkitWindow::kIdCancel);
  EXPECT_EQ(test::readFile(file()), before);
}

TEST_F(AlarmDialogsTest, NewAlarmNeedsTheEndMoreThanAMinuteAfterTheBegin) {
  test::RecordingMessageBoxHost boxes;
  NewAlarmDialog editor(screen.get());
  const QComboBox* presets = editor.item<QComboBox>(NewAlarmDialog::kPresetId);
  ASSERT_EQ(presets->count(), 9);
  EXPECT_EQ(presets->itemText(0), QString("1"));
  EXPECT_EQ(presets->itemText(8), QString("9"));
  EXPECT_EQ(presets->currentIndex(), 0);
  EXPECT_EQ(editor.item<QDateEdit>(NewAlarmDialog::kDayId)->date(), QDate::currentDate());

  editor.item<QDateEdit>(NewAlarmDialog::kDayId)->setDate(QDate(2027, 2, 28));
  editor.item<QTimeEdit>(NewAlarmDialog::kBeginId)->setTime(QTime(7, 0, 0));
  editor.item<QTimeEdit>(NewAlarmDialog::kEndId)->setTime(QTime(7, 1, 0));
  editor.sendCommand(ToolkitWindow::kIdOk);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, StringTable::load(kStrEndTimeTooEarly));
  EXPECT_EQ(boxes.shown[0].caption, kProgramTitle);
  EXPECT_EQ(boxes.shown[0].icon, MessageBoxHost::Icon::Stop);
  EXPECT_EQ(editor.result(), 0);  // still open

  editor.item<QTimeEdit>(NewAlarmDialog::kEndId)->setTime(QTime(6, 59, 0));
  editor.sendCommand(ToolkitWindow::kIdOk);
  EXPECT_EQ(boxes.shown.size(), 2u);

  editor.item<QTimeEdit>(NewAlarmDialog::kEndId)->setTime(QTime(7, 1, 1));
  editor.sendCommand(ToolkitWindow::kIdOk);
  EXPECT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(editor.result(), ToolkitWindow::kIdOk);
  const AlarmEntry& entry = editor.entry();
  EXPECT_EQ(entry.begin, (SystemTime{2027, 2, 0, 28, 7, 0, 0, 0}));
  EXPECT_EQ(entry.end, (SystemTime{2027, 2, 0, 28, 7, 1, 1, 0}));
  EXPECT_EQ(entry.preset, 0);
}

}  // namespace
}  // namespace orvel
