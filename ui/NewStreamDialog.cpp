#include "ui/NewStreamDialog.h"

#include <QComboBox>
#include <QLineEdit>

#include "platform/AppKeys.h"
#include "platform/MessageBoxHost.h"
#include "resources/StringTable.h"
#include "ui/ToolkitHelpers.h"

namespace orvel {

using toolkit::toQString;
using toolkit::toWString;

NewStreamDialog::NewStreamDialog(QWidget* parent, RadioDatabase& database)
    : ToolkitDialog(parent, QStringLiteral("New stream")), m_database(database) {
  addEdit(kUrlId, QStringLiteral("URL:"))->setFocus();
  addEdit(kFormatId, QStringLiteral("Format:"));
  addEdit(kBitrateId, QStringLiteral("Bitrate:"));
  addEdit(kCommentId, QStringLiteral("Comment:"));
  QComboBox* radios = addDropDown(kRadioId, QStringLiteral("Radio:"));
  const auto byCategory = database.radiosByCategory();
  for (const CategoryInfo* category : database.allCategories()) {
    const auto found = byCategory.find(category);
    if (found == byCategory.end()) continue;
    for (const RadioInfo* radio : found->second) {
      radios->addItem(toQString(radio->title),
                      QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(radio)));
    }
  }
  radios->model()->sort(0);
  radios->setCurrentIndex(0);
  body()->addStretch(1);
}

bool NewStreamDialog::command(int id) {
  if (id != kIdOk) return ToolkitDialog::command(id);
  QLineEdit* url = item<QLineEdit>(kUrlId);
  if (url->text().isEmpty()) {
    MessageBoxHost::current().show(StringTable::load(kStrUrlEmpty), kProgramTitle,
                                   MessageBoxHost::Icon::Stop, MessageBoxHost::Buttons::Ok);
    url->setFocus();
    return true;
  }
  const auto* radio = reinterpret_cast<const RadioInfo*>(
      item<QComboBox>(kRadioId)->currentData().value<quintptr>());
  StreamInfo info;
  info.url = toWString(url->text());
  info.format = toWString(item<QLineEdit>(kFormatId)->text());
  info.bitrate = toWString(item<QLineEdit>(kBitrateId)->text());
  info.comment = toWString(item<QLineEdit>(kCommentId)->text());
  info.origin = kOriginUser;
  const StreamInfo* added = m_database.AddStream(radio, info, false);
  const RadioInfo* owner = m_database.GetRadioInfo(radio);
  if (added != nullptr && owner != nullptr && owner->selectedStream == nullptr) {
    m_database.SetSelectedStream(radio, added);
  }
  end(kIdOk);
  return true;
}

}  // namespace orvel
