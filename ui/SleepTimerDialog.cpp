#include "ui/SleepTimerDialog.h"

#include <QComboBox>
#include <QVBoxLayout>

#include "ui/SleepTimer.h"

namespace orvel {

SleepTimerDialog::SleepTimerDialog(QWidget* parent, int minutes)
    : ToolkitDialog(parent, QStringLiteral("Sleep timer")) {
  setUpHeader(QStringLiteral("Sleep timer"), true);
  QComboBox* times = addDropDown(kTimeId, QStringLiteral("Stop playing after:"));
  for (const int choice : SleepTimer::kChoices) {
    times->addItem(choice == 0 ? QStringLiteral("Off") : QStringLiteral("%1 minutes").arg(choice),
                   choice);
    if (choice == minutes) times->setCurrentIndex(times->count() - 1);
  }
  times->setAccessibleName(QStringLiteral("Stop playing after"));
  body()->addStretch(1);
}

int SleepTimerDialog::minutes() const { return item<QComboBox>(kTimeId)->currentData().toInt(); }

std::optional<int> SleepTimerDialog::run(QWidget* parent, int minutes) {
  SleepTimerDialog dialog(parent, minutes);
  if (dialog.ToolkitDialog::run() != 1) return std::nullopt;
  return dialog.minutes();
}

}  // namespace orvel
