#include "ui/GeneralSettingsPage.h"

#include <QCheckBox>
#include <QComboBox>

#include "ui/SettingsStore.h"
#include "resources/StringTable.h"
#include "ui/RecordingLocations.h"
#include "ui/ToolkitHelpers.h"

namespace orvel {

using toolkit::toQString;
using toolkit::toWString;

GeneralSettingsPage::GeneralSettingsPage(QWidget* parent, SettingsStore& settings,
                                         const std::vector<std::string>& mountPoints)
    : ToolkitDialog(parent, QStringLiteral("General")), m_settings(settings) {
  uint32_t prebuffer = 0;
  settings.GetNumber(SettingsStore::kUsePrebuffering, &prebuffer);
  m_prebuffering = new QCheckBox(QStringLiteral("Use prebuffering"), this);
  m_prebuffering->setObjectName(QString::number(kPrebufferingId));
  m_prebuffering->setChecked(prebuffer != 0);
  body()->addWidget(m_prebuffering);

  m_location = addDropDown(kLocationId, QStringLiteral("Location for recordings:"));
  m_location->addItem(toolkit::loadString(kStrMainMemory));
  const std::vector<WString> cards =
      RecordingLocations::cardNames(mountPoints, RecordingLocations::systemNetworkFolder());
  for (const WString& card : cards) m_location->addItem(toQString(card));
  WString recDir;
  settings.GetText(SettingsStore::kRecDir, &recDir);
  m_location->setCurrentIndex(RecordingLocations::selectedIndex(cards, recDir));
  body()->addStretch(1);
}

bool GeneralSettingsPage::command(int id) {
  if (id != kIdOk) return ToolkitDialog::command(id);
  const int location = m_location->currentIndex();
  m_settings.SetText(SettingsStore::kRecDir,
                     location <= 0 ? WString() : toWString(m_location->currentText()));
  m_settings.SetNumber(SettingsStore::kUsePrebuffering, m_prebuffering->isChecked() ? 1 : 0);
  return true;
}

}  // namespace orvel
