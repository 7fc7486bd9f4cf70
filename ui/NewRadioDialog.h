#pragma once
// "New radio": title, short title and the category (a sorted drop-down list). OK refuses an
// empty title with string 55 and stays open; otherwise adds the radio (merged with a radio of
// the same title in that category). UI thread only.

#include "library/RadioDatabase.h"
#include "ui/ToolkitDialog.h"

namespace orvel {

class NewRadioDialog : public ToolkitDialog {
  Q_OBJECT

 public:
  static constexpr int kTitleId = 1005;
  static constexpr int kShortTitleId = 1015;
  static constexpr int kCategoryId = 1048;

  NewRadioDialog(QWidget* parent, RadioDatabase& database);

 protected:
  bool command(int id) override;

 private:
  RadioDatabase& m_database;
};

}  // namespace orvel
