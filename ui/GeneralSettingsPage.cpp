#include "ui/GeneralSettingsPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>

#include "resources/StringTable.h"
#include "ui/RecordingLocations.h"
#include "ui/SettingsStore.h"
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

  // The text is wider than the small screen, so it is a wrapped label beside the box; a tap on
  // it toggles the box, as a tap on a check box's own text does.
  uint32_t reconnect = 0;
  settings.GetNumber(SettingsStore::kReconnect, &reconnect);
  const QString reconnectText = toolkit::loadString(kStrReconnectSetting);
  m_reconnect = new QCheckBox(this);
  m_reconnect->setObjectName(QString::number(kReconnectId));
  m_reconnect->setAccessibleName(reconnectText);
  m_reconnect->setChecked(reconnect == 1);
  m_reconnectLabel = new QLabel(reconnectText, this);
  m_reconnectLabel->setWordWrap(true);
  m_reconnectLabel->installEventFilter(this);
  auto* row = new QHBoxLayout;
  // As far from the box as a check box's own text, so both texts line up.
  row->setSpacing(m_reconnect->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing));
  row->addWidget(m_reconnect, 0, Qt::AlignTop);
  row->addWidget(m_reconnectLabel, 1);
  body()->addLayout(row);

  uint32_t notify = 0;
  settings.GetNumber(SettingsStore::kNotify, &notify);
  m_notify = new QCheckBox(QStringLiteral("Show notifications"), this);
  m_notify->setObjectName(QString::number(kNotifyId));
  m_notify->setChecked(notify != 0);
  body()->addWidget(m_notify);

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

bool GeneralSettingsPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_reconnectLabel && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    m_reconnect->toggle();
    return true;
  }
  return ToolkitDialog::eventFilter(watched, event);
}

bool GeneralSettingsPage::command(int id) {
  if (id != kIdOk) return ToolkitDialog::command(id);
  const int location = m_location->currentIndex();
  m_settings.SetText(SettingsStore::kRecDir,
                     location <= 0 ? WString() : toWString(m_location->currentText()));
  m_settings.SetNumber(SettingsStore::kUsePrebuffering, m_prebuffering->isChecked() ? 1 : 0);
  m_settings.SetNumber(SettingsStore::kReconnect, m_reconnect->isChecked() ? 1 : 0);
  m_settings.SetNumber(SettingsStore::kNotify, m_notify->isChecked() ? 1 : 0);
  return true;
}

}  // namespace orvel
