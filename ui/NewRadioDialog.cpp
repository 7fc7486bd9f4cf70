#include "ui/NewRadioDialog.h"

#include <QComboBox>
#include <QLineEdit>

#include "platform/AppKeys.h"
#include "platform/MessageBoxHost.h"
#include "resources/StringTable.h"
#include "ui/ToolkitHelpers.h"

namespace orvel {

using toolkit::toQString;
using toolkit::toWString;

NewRadioDialog::NewRadioDialog(QWidget* parent, RadioDatabase& database)
    : ToolkitDialog(parent, QStringLiteral("New radio")), m_database(database) {
  addEdit(kTitleId, QStringLiteral("Title:"))->setFocus();
  addEdit(kShortTitleId, QStringLiteral("Short title:"));
  QComboBox* categories = addDropDown(kCategoryId, QStringLiteral("Category:"));
  for (const CategoryInfo* category : database.allCategories()) {
    categories->addItem(toQString(category->name), QVariant::fromValue<quintptr>(
                                                       reinterpret_cast<quintptr>(category)));
  }
  categories->model()->sort(0);
  categories->setCurrentIndex(0);
  body()->addStretch(1);
}

bool NewRadioDialog::command(int id) {
  if (id != kIdOk) return ToolkitDialog::command(id);
  QLineEdit* title = item<QLineEdit>(kTitleId);
  if (title->text().isEmpty()) {
    MessageBoxHost::current().show(StringTable::load(kStrTitleEmpty), kProgramTitle,
                                   MessageBoxHost::Icon::Stop, MessageBoxHost::Buttons::Ok);
    title->setFocus();
    return true;
  }
  const auto* category = reinterpret_cast<const CategoryInfo*>(
      item<QComboBox>(kCategoryId)->currentData().value<quintptr>());
  RadioInfo info;
  info.title = toWString(title->text());
  info.shortTitle = toWString(item<QLineEdit>(kShortTitleId)->text());
  m_database.AddRadio(category, info, false);
  end(kIdOk);
  return true;
}

}  // namespace orvel
