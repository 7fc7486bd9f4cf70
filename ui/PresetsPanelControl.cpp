#include "ui/PresetsPanelControl.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include "library/RadioDatabase.h"
#include "platform/qt/GestureRecognizer.h"
#include "skin/SkinButton.h"
#include "skin/SkinDescription.h"
#include "ui/PresetsHost.h"
#include "ui/SkinAccessible.h"

namespace orvel {

PresetsPanelControl::PresetsPanelControl(PresetsHost* host, RadioDatabase& database)
    : m_host(host), m_database(database) {}

PresetsPanelControl::~PresetsPanelControl() = default;

bool PresetsPanelControl::setup(QWidget* parent, SkinDescription& description, bool visible) {
  SkinAccessible::install();
  if (!SkinPanel::setup(parent, description, SkinDescription::kPresetsPanel, visible)) {
    return false;
  }
  setAccessibleName(QStringLiteral("Presets"));
  for (int i = 0; i < kPresetCount; ++i) {
    auto* button = new SkinButton(this);
    m_buttons[i] = button;
    if (!button->setup(this, backgroundPicture(), description, SkinDescription::kPreset1Btn + i,
                       true, true)) {
      destroyButtons();
      return false;
    }
  }
  for (int i = 0; i < kPresetCount; ++i) setCaption(i);
  return true;
}

void PresetsPanelControl::destroyButtons() {
  for (SkinButton*& button : m_buttons) {
    delete button;
    button = nullptr;
  }
}

void PresetsPanelControl::setCaption(int index) {
  const bool filled = m_database.GetPreset(index) != nullptr;
  if (filled) m_buttons[index]->setCaption(m_database.PresetCaption(index));
  // "Preset 1: Jazz FM"; an empty preset says so, as a tap on it asks for a station.
  const QString number = QStringLiteral("Preset %1").arg(index + 1);
  m_buttons[index]->setAccessibleName(
      filled ? number + QStringLiteral(": ") +
                   QString::fromStdU16String(m_database.PresetCaption(index))
             : number + QStringLiteral(" (empty)"));
}

void PresetsPanelControl::HighlightPreset(int index) {
  for (SkinButton* button : m_buttons) {
    if (button != nullptr) button->setMode(0);
  }
  if (index >= 0 && index < kPresetCount && m_buttons[index] != nullptr) {
    m_buttons[index]->setMode(1);
  }
}

intptr_t PresetsPanelControl::notify(uint32_t code, const Notification& data) {
  if (code != kNotifyPressed) return 0;
  const auto found = std::find(m_buttons.begin(), m_buttons.end(), data.button);
  if (found == m_buttons.end()) return 0;
  const QPoint point = data.point != nullptr ? *data.point : QPoint();
  tapped(static_cast<int>(found - m_buttons.begin()), GestureRecognizer::isTapAndHold(this, point));
  return 0;
}

void PresetsPanelControl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) {
    SkinPanel::mousePressEvent(event);
    return;
  }
  auto* button = dynamic_cast<SkinButton*>(childAt(event->position().toPoint()));
  const auto found = std::find(m_buttons.begin(), m_buttons.end(), button);
  if (found != m_buttons.end()) tapped(static_cast<int>(found - m_buttons.begin()), true);
}

void PresetsPanelControl::tapped(int index, bool held) {
  const StreamInfo* stream = m_database.GetPreset(index);
  if (!held && stream != nullptr) {
    if (m_host != nullptr) m_host->PlayPreset(stream, index);
    return;
  }
  // The button leaves its pressed look before the chooser covers it.
  SkinButton* button = m_buttons[index];
  if (button->isPressed()) {
    const QPointF inside(1, 1);
    QCoreApplication::postEvent(
        button, new QMouseEvent(QEvent::MouseButtonRelease, inside, button->mapToGlobal(inside),
                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
  }
  const StreamInfo* chosen = nullptr;
  if (m_host == nullptr || !m_host->ChooseStream(&chosen) || chosen == nullptr) return;
  if (m_database.SetPreset(index, chosen)) setCaption(index);
}

}  // namespace orvel
