#pragma once
// "Sleep timer": chooses after how many minutes playback fades out and stops (SleepTimer's
// choices), or Off. UI thread only.

#include <optional>

#include "ui/ToolkitDialog.h"

namespace orvel {

class SleepTimerDialog : public ToolkitDialog {
  Q_OBJECT

 public:
  static constexpr int kTimeId = 1001;

  // Shows the choice that runs now (0: Off) selected.
  SleepTimerDialog(QWidget* parent, int minutes);

  // The minutes chosen; 0 for Off.
  int minutes() const;

  // Runs the dialog; the minutes chosen after OK, nothing after Cancel.
  static std::optional<int> run(QWidget* parent, int minutes);
};

}  // namespace orvel
