#pragma once
// "New category": asks for the name of a new category. UI thread only.

#include "library/RadioDatabase.h"
#include "ui/ToolkitDialog.h"

namespace orvel {

class NewCategoryDialog : public ToolkitDialog {
  Q_OBJECT

 public:
  static constexpr int kNameId = 1002;

  explicit NewCategoryDialog(QWidget* parent);

  // After OK: adds the category named in the dialog. A name that equals an existing one
  // without case is refused with string 53; an empty name adds nothing. True when a category
  // was added.
  bool addTo(RadioDatabase& database) const;
};

}  // namespace orvel
