#include "ui/ImportDialog.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "platform/AppKeys.h"
#include "platform/MessageBoxHost.h"
#include "resources/StringTable.h"
#include "ui/ToolkitHelpers.h"

namespace orvel {

ImportDialog::ImportDialog(QWidget* parent, RadioDatabase& database)
    : ToolkitDialog(parent, QStringLiteral("Import radio")), m_database(database) {
  setUpHeader(QStringLiteral("Import radio"), true);
  QLineEdit* path = addEdit(kPathId, QStringLiteral("Import radio from M3U or PLS file:"));
  auto* browse = new QPushButton(QStringLiteral("Browse..."), this);
  browse->setObjectName(QString::number(kBrowseId));
  browse->setAutoDefault(false);
  connect(browse, &QPushButton::clicked, this, [this] { command(kBrowseId); });
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(browse);
  body()->addLayout(row);
  addStatic(1001, QStringLiteral("On the station's web page, save the link to its M3U or PLS "
                                 "playlist."));
  addStatic(1041, QStringLiteral("Copy the playlist file to this computer and find it with "
                                 "\"Browse...\"."));
  addStatic(1044, QStringLiteral("Close with OK: the new radio is then in the category "
                                 "\"My Radios\"."));
  body()->addStretch(1);
  path->setFocus();
}

QString ImportDialog::fileDialogFilter() {
  // Pairs of description and pattern, each ended by a NUL, the whole by an empty part.
  const QStringList parts =
      toolkit::toQString(RadioDatabase::GetOpenFilter()).split(QChar(0), Qt::SkipEmptyParts);
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns.replace(u';', u' '));
  }
  return filters.join(QStringLiteral(";;"));
}

bool ImportDialog::command(int id) {
  if (id == kBrowseId) {
    browse();
    return true;
  }
  if (id != kIdOk) return ToolkitDialog::command(id);
  const WString path = toolkit::toWString(item<QLineEdit>(kPathId)->text());
  if (m_database.ImportIntoMyRadios(path)) {
    end(kIdOk);
  } else {
    MessageBoxHost::current().show(StringTable::load(kStrPlaylistUnsupported), kProgramTitle,
                                   MessageBoxHost::Icon::Stop, MessageBoxHost::Buttons::Ok);
    end(kIdCancel);
  }
  return true;
}

void ImportDialog::browse() {
  const QString chosen = QFileDialog::getOpenFileName(
      this, toolkit::loadString(kStrOpenPlaylistFile), item<QLineEdit>(kPathId)->text(),
      fileDialogFilter(), nullptr, QFileDialog::ReadOnly);
  if (!chosen.isEmpty()) item<QLineEdit>(kPathId)->setText(chosen);
}

}  // namespace orvel
