#include "ui/AlarmListDialog.h"

#include <QDateTime>
#include <QHeaderView>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTreeWidget>
#include <algorithm>

#include "resources/StringTable.h"
#include "ui/NewAlarmDialog.h"
#include "ui/ToolkitHelpers.h"

namespace orvel {

namespace {
// Column widths, times the scale factor.
constexpr int kDateWidth = 50;
constexpr int kTimeWidth = 90;
constexpr int kPresetWidth = 23;
constexpr int kListFontHeight = 9;  // times k, as the radio list

QDate dateOf(const SystemTime& time) { return QDate(time.year, time.month, time.day); }

QTime timeOf(const SystemTime& time) { return QTime(time.hour, time.minute, time.second); }

QString shortTime(const SystemTime& time) {
  return QLocale().toString(timeOf(time), AlarmListDialog::timeFormatWithoutSeconds());
}
}  // namespace

QString AlarmListDialog::timeFormatWithoutSeconds() {
  static const QRegularExpression seconds(QStringLiteral("[:.,]?s+([.,]z+)?"));
  return QLocale().timeFormat(QLocale::ShortFormat).remove(seconds).trimmed();
}

bool AlarmListDialog::run(QWidget* parent, const std::string& programDir, AlarmNotifier& notifier) {
  AlarmListDialog dialog(parent, programDir, notifier);
  return dialog.ToolkitDialog::run() == kIdOk;
}

AlarmListDialog::AlarmListDialog(QWidget* parent, const std::string& programDir,
                                 AlarmNotifier& notifier)
    : ToolkitDialog(parent, QStringLiteral("Scheduled recording")),
      m_filePath(AlarmList::filePath(programDir)),
      m_alarms(notifier) {
  m_alarms.Load(m_filePath);  // a missing file is an empty list
  setUpHeader(QStringLiteral("Scheduled recording:"), true);
  m_list = new QTreeWidget(this);
  m_list->setObjectName(QString::number(kListId));
  m_list->setColumnCount(3);
  m_list->setHeaderLabels(
      {toolkit::loadString(kStrDate), toolkit::loadString(kStrTime), QStringLiteral("#")});
  m_list->setRootIsDecorated(false);
  m_list->setIndentation(0);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setFrameShape(QFrame::Box);
  m_list->header()->setStretchLastSection(false);
  m_list->setFont(toolkit::toolkitFont(false, kListFontHeight, scale(), true));
  body()->addWidget(m_list, 1);
  m_listView.attach(m_list, this, kListId);

  QAction* newAlarm = menuBar()->addAction(QStringLiteral("New"));
  connect(newAlarm, &QAction::triggered, this, [this] { sendCommand(kCmdNew); });
  m_context = new QMenu(this);
  addCommand(m_context, QStringLiteral("Delete"), kCmdDelete);
  rebuild();
}

AlarmListDialog::~AlarmListDialog() = default;

void AlarmListDialog::addAlarm(const AlarmEntry& entry) {
  m_alarms.Add(entry);
  rebuild();
}

void AlarmListDialog::rebuild() {
  m_list->clear();
  const QLocale locale;
  for (size_t i = 0; i < m_alarms.Count(); ++i) {
    const AlarmEntry* entry = m_alarms.Get(i);
    auto* row = new QTreeWidgetItem(m_list);
    row->setText(kDateColumn, locale.toString(dateOf(entry->begin), QLocale::ShortFormat));
    row->setText(kTimeColumn, shortTime(entry->begin) + " - " + shortTime(entry->end));
    row->setText(kPresetColumn, QString::number(entry->preset + 1));
  }
  fitColumns();
}

void AlarmListDialog::fitColumns() {
  const int designed[] = {kDateWidth, kTimeWidth, kPresetWidth};
  const int margin = 8 * scale();
  const QFontMetrics metrics(m_list->font());
  for (int column = kDateColumn; column <= kPresetColumn; ++column) {
    int needed = metrics.horizontalAdvance(m_list->headerItem()->text(column));
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
      needed = std::max(needed, metrics.horizontalAdvance(m_list->topLevelItem(row)->text(column)));
    }
    m_list->setColumnWidth(column, std::max(designed[column] * scale(), needed + margin));
  }
}

int AlarmListDialog::selectedRow() const {
  const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
  return selected.size() == 1 ? m_list->indexOfTopLevelItem(selected.front()) : -1;
}

bool AlarmListDialog::notify(const ToolkitNotification& notification) {
  if (notification.senderId != kListId || notification.code != ToolkitNotification::kTapAndHold) {
    return false;
  }
  if (selectedRow() >= 0) m_context->popup(notification.screenPoint);
  return true;
}

bool AlarmListDialog::command(int id) {
  switch (id) {
    case kCmdNew: {
      NewAlarmDialog editor(this);
      if (editor.run() == kIdOk) addAlarm(editor.entry());
      return true;
    }
    case kCmdDelete:
      if (const int row = selectedRow(); row >= 0) {
        m_alarms.Remove(static_cast<size_t>(row));
        rebuild();
      }
      return true;
    case kIdOk:
      m_alarms.Save(m_filePath);  // a failed write is not reported
      end(kIdOk);
      return true;
    default:
      return ToolkitDialog::command(id);
  }
}

}  // namespace orvel
