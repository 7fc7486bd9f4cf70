#pragma once
// "New alarm": the day, the begin and end times and the preset (1 to 9) of a new alarm. The
// pickers start at the current date and time (seconds included, though not shown). OK makes a
// new entry and accepts it only when the end lies more than a minute after the begin; otherwise
// it shows string 62 and stays open (the next OK makes the entry afresh). UI thread only.

#include "alarms/AlarmEntry.h"
#include "ui/ToolkitDialog.h"

namespace orvel {

class NewAlarmDialog : public ToolkitDialog {
  Q_OBJECT

 public:
  static constexpr int kDayId = 1010;
  static constexpr int kBeginId = 1047;
  static constexpr int kEndId = 1013;
  static constexpr int kPresetId = 1012;
  static constexpr int kPresetCount = 9;

  explicit NewAlarmDialog(QWidget* parent);

  // The entry made by the last OK; meaningful after the dialog ended with OK.
  const AlarmEntry& entry() const { return m_entry; }

 protected:
  bool command(int id) override;

 private:
  AlarmEntry makeEntry() const;

  AlarmEntry m_entry;
};

}  // namespace orvel
