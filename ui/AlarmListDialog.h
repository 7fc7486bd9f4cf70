#pragma once
// "Scheduled recording": the list of alarms, one row per alarm (the day; the begin and end
// times; the preset number), with "New" in the menu bar and "Delete" on a tap-and-hold of a row.
// The dialog works on its own list loaded from "Alarms.dat": OK saves it (registering the new
// alarms), Cancel drops what was added. A deletion withdraws the alarm's notifications at once,
// so Cancel cannot undo it. UI thread only.

#include <string>

#include "alarms/AlarmList.h"
#include "ui/ToolkitDialog.h"
#include "ui/ToolkitListView.h"

class QMenu;
class QTreeWidget;

namespace orvel {

class AlarmNotifier;

class AlarmListDialog : public ToolkitDialog {
  Q_OBJECT

 public:
  static constexpr int kListId = 101;
  enum Command : int {
    kCmdNew = 40011,
    kCmdDelete = 40039,
  };
  enum Column : int { kDateColumn, kTimeColumn, kPresetColumn };

  // "Alarms..." of the main window: runs the dialog over parent (the player window) on the
  // alarms of programDir/Alarms.dat. True when it was closed with OK (the list was saved).
  // Blocks in its own event loop; the notifier must outlive the call.
  static bool run(QWidget* parent, const std::string& programDir, AlarmNotifier& notifier);

  AlarmListDialog(QWidget* parent, const std::string& programDir, AlarmNotifier& notifier);
  ~AlarmListDialog() override;

  const AlarmList& alarms() const { return m_alarms; }
  QTreeWidget* list() const { return m_list; }
  QMenu* contextMenu() const { return m_context; }
  // The user's short time format without seconds (some locales show them in short times).
  static QString timeFormatWithoutSeconds();

  // Adds a copy of the entry and rebuilds the rows (what "New" does after its dialog's OK).
  void addAlarm(const AlarmEntry& entry);

  bool notify(const ToolkitNotification& notification) override;

 protected:
  bool command(int id) override;

 private:
  void rebuild();
  // The designed widths, widened where the user's formats need more.
  void fitColumns();
  // The single selected row, or -1 when none or several are selected.
  int selectedRow() const;

  std::string m_filePath;
  AlarmList m_alarms;
  QTreeWidget* m_list;
  QMenu* m_context;
  ToolkitListView m_listView;
};

}  // namespace orvel
