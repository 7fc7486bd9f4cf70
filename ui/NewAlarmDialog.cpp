#include "ui/NewAlarmDialog.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QTimeEdit>

#include "platform/AppKeys.h"
#include "platform/MessageBoxHost.h"
#include "resources/StringTable.h"
#include "ui/AlarmListDialog.h"

namespace orvel {

namespace {

// The day of the date with the time of day: the fields of a local SYSTEMTIME.
SystemTime systemTimeOf(QDate day, QTime time) {
  SystemTime result;
  result.year = static_cast<uint16_t>(day.year());
  result.month = static_cast<uint16_t>(day.month());
  result.dayOfWeek = static_cast<uint16_t>(day.dayOfWeek() % 7);  // Qt counts Sunday as 7
  result.day = static_cast<uint16_t>(day.day());
  result.hour = static_cast<uint16_t>(time.hour());
  result.minute = static_cast<uint16_t>(time.minute());
  result.second = static_cast<uint16_t>(time.second());
  result.milliseconds = static_cast<uint16_t>(time.msec());
  return result;
}

template <typename Picker>
Picker* addPicker(ToolkitDialog& dialog, int id, const QString& label) {
  dialog.addStatic(0, label);
  auto* picker = new Picker(&dialog);
  picker->setObjectName(QString::number(id));
  dialog.body()->addWidget(picker);
  return picker;
}

}  // namespace

NewAlarmDialog::NewAlarmDialog(QWidget* parent)
    : ToolkitDialog(parent, QStringLiteral("New alarm")) {
  const QDateTime now = QDateTime::currentDateTime();
  auto* day = addPicker<QDateEdit>(*this, kDayId, QStringLiteral("Day:"));
  day->setCalendarPopup(true);
  day->setDate(now.date());
  auto* begin = addPicker<QTimeEdit>(*this, kBeginId, QStringLiteral("Begin:"));
  auto* end = addPicker<QTimeEdit>(*this, kEndId, QStringLiteral("End:"));
  for (QTimeEdit* picker : {begin, end}) {
    picker->setDisplayFormat(AlarmListDialog::timeFormatWithoutSeconds());
    picker->setTime(now.time());
  }
  QComboBox* preset = addDropDown(kPresetId, QStringLiteral("Preset #:"));
  for (int i = 1; i <= kPresetCount; ++i) preset->addItem(QString::number(i));
  preset->setCurrentIndex(0);
  body()->addStretch(1);
}

AlarmEntry NewAlarmDialog::makeEntry() const {
  AlarmEntry entry = AlarmEntry::NewEntry();
  const QDate day = item<QDateEdit>(kDayId)->date();
  entry.begin = systemTimeOf(day, item<QTimeEdit>(kBeginId)->time());
  entry.end = systemTimeOf(day, item<QTimeEdit>(kEndId)->time());
  entry.preset = item<QComboBox>(kPresetId)->currentIndex();
  return entry;
}

bool NewAlarmDialog::command(int id) {
  if (id != kIdOk) return ToolkitDialog::command(id);
  m_entry = makeEntry();
  if (const uint16_t error = m_entry.CheckTimes(); error != 0) {
    MessageBoxHost::current().show(StringTable::load(error), kProgramTitle,
                                   MessageBoxHost::Icon::Stop, MessageBoxHost::Buttons::Ok);
    return true;
  }
  end(kIdOk);
  return true;
}

}  // namespace orvel
