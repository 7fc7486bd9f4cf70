#include "ui/RadioPropertiesDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>

#include "platform/AppKeys.h"
#include "platform/MessageBoxHost.h"
#include "resources/StringTable.h"
#include "ui/ToolkitHelpers.h"

namespace orvel {

using toolkit::toQString;
using toolkit::toWString;

RadioPropertiesDialog::RadioPropertiesDialog(QWidget* parent, RadioDatabase& database,
                                             const CategoryInfo* category, const RadioInfo* radio,
                                             const StreamInfo* stream)
    : ToolkitDialog(parent, QStringLiteral("Radio properties")),
      m_database(database),
      m_category(category),
      m_radio(radio),
      m_stream(stream) {
  const bool streamRow = stream != nullptr;
  const StreamInfo* shown = streamRow ? stream : radio->selectedStream;
  const std::pair<int, QString> radioFields[] = {
      {kTitleId, toQString(radio->title)}, {kShortTitleId, toQString(radio->shortTitle)}};
  const std::pair<int, QString> streamFields[] = {
      {kUrlId, shown ? toQString(shown->url) : QString()},
      {kFormatId, shown ? toQString(shown->format) : QString()},
      {kBitrateId, shown ? toQString(shown->bitrate) : QString()},
      {kCommentId, shown ? toQString(shown->comment) : QString()}};
  const QString labels[] = {QStringLiteral("Title:"), QStringLiteral("Short title:"),
                            QStringLiteral("URL:"), QStringLiteral("Format:"),
                            QStringLiteral("Bitrate:"), QStringLiteral("Comment:")};
  int label = 0;
  for (const auto& [id, text] : radioFields) {
    QLineEdit* edit = addEdit(id, labels[label++]);
    edit->setText(text);
    edit->setEnabled(!streamRow);
  }
  for (const auto& [id, text] : streamFields) {
    QLineEdit* edit = addEdit(id, labels[label++]);
    edit->setText(text);
    edit->setEnabled(streamRow);
  }
  QComboBox* categories = addDropDown(kCategoryId, QStringLiteral("Category:"));
  for (const CategoryInfo* each : database.allCategories()) {
    categories->addItem(toQString(each->name),
                        QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(each)));
    if (each == category) categories->setCurrentIndex(categories->count() - 1);
  }
  categories->setEnabled(!streamRow);
  body()->addStretch(1);
}

bool RadioPropertiesDialog::refuseEmpty(int editId, uint16_t message) {
  QLineEdit* edit = item<QLineEdit>(editId);
  if (!edit->isEnabled() || !edit->text().isEmpty()) return false;
  MessageBoxHost::current().show(StringTable::load(message), kProgramTitle,
                                 MessageBoxHost::Icon::Stop, MessageBoxHost::Buttons::Ok);
  edit->setFocus();
  return true;
}

bool RadioPropertiesDialog::command(int id) {
  if (id != kIdOk) return ToolkitDialog::command(id);
  // An empty title or URL would be written into the library file as a record that the next
  // start cannot use, so it is refused as in the dialogs that make new ones.
  if (refuseEmpty(kTitleId, kStrTitleEmpty) || refuseEmpty(kUrlId, kStrUrlEmpty)) return true;
  if (m_stream != nullptr) {
    applyStream();
  } else {
    applyRadio();
  }
  end(kIdOk);
  return true;
}

void RadioPropertiesDialog::applyStream() {
  StreamInfo info;
  info.url = toWString(item<QLineEdit>(kUrlId)->text());
  info.comment = toWString(item<QLineEdit>(kCommentId)->text());
  info.bitrate = toWString(item<QLineEdit>(kBitrateId)->text());
  info.format = toWString(item<QLineEdit>(kFormatId)->text());
  info.origin = kOriginUser;
  m_database.SetStreamInfo(m_stream, info);
}

void RadioPropertiesDialog::applyRadio() {
  const auto* target = reinterpret_cast<const CategoryInfo*>(
      item<QComboBox>(kCategoryId)->currentData().value<quintptr>());
  if (target != nullptr && target != m_category) {
    moveRadio(target);
    return;
  }
  RadioInfo info;
  info.title = toWString(item<QLineEdit>(kTitleId)->text());
  info.shortTitle = toWString(item<QLineEdit>(kShortTitleId)->text());
  m_database.SetRadioInfo(m_radio, info);
}

void RadioPropertiesDialog::moveRadio(const CategoryInfo* target) {
  RadioInfo info;
  info.title = toWString(item<QLineEdit>(kTitleId)->text());
  info.shortTitle = toWString(item<QLineEdit>(kShortTitleId)->text());
  const RadioInfo* moved = m_database.AddRadio(target, info, false);
  if (moved == nullptr) return;
  const StreamInfo* selectedCopy = nullptr;
  for (const StreamInfo* stream : m_database.streamsOf(m_radio)) {
    const StreamInfo* copy = m_database.AddStream(moved, *stream, false);
    if (stream == m_radio->selectedStream) selectedCopy = copy;
  }
  if (selectedCopy != nullptr) m_database.SetSelectedStream(moved, selectedCopy);
  m_database.DeleteRadio(m_radio);
}

}  // namespace orvel
