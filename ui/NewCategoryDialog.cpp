#include "ui/NewCategoryDialog.h"

#include <QLineEdit>

#include "platform/AppKeys.h"
#include "platform/MessageBoxHost.h"
#include "resources/StringTable.h"
#include "ui/ToolkitHelpers.h"

namespace orvel {

NewCategoryDialog::NewCategoryDialog(QWidget* parent)
    : ToolkitDialog(parent, QStringLiteral("New category")) {
  addEdit(kNameId, QStringLiteral("Name of new category:"))->setFocus();
  body()->addStretch(1);
}

bool NewCategoryDialog::addTo(RadioDatabase& database) const {
  const WString name = toolkit::toWString(item<QLineEdit>(kNameId)->text());
  if (name.empty()) return false;
  for (const CategoryInfo* category : database.allCategories()) {
    if (equalsNoCase(category->name, name)) {
      MessageBoxHost::current().show(StringTable::load(kStrCategoryExists), kProgramTitle,
                                     MessageBoxHost::Icon::Stop, MessageBoxHost::Buttons::Ok);
      return false;
    }
  }
  return database.AddCategory(CategoryInfo{name}, false) != nullptr;
}

}  // namespace orvel
