#include "ui/SettingsDialog.h"

#include "platform/StorageVolumes.h"
#include "ui/GeneralSettingsPage.h"
#include "ui/SkinsDialog.h"

namespace orvel {

SettingsDialog::Result SettingsDialog::run(QWidget* parent, SettingsStore& settings,
                                           SkinList& skins, int screenWidth, int screenHeight) {
  SettingsDialog sheet(parent, settings, skins, screenWidth, screenHeight,
                       StorageVolumes::removableMounts());
  return sheet.runSheet();
}

SettingsDialog::SettingsDialog(QWidget* parent, SettingsStore& settings, SkinList& skins,
                               int screenWidth, int screenHeight,
                               const std::vector<std::string>& mountPoints)
    : ToolkitPropertySheet(parent, QStringLiteral("Settings")) {
  m_general = new GeneralSettingsPage(parent, settings, mountPoints);
  addPage(m_general, GeneralSettingsPage::kPageId, QStringLiteral("General"));
  m_skinsPage = new SkinsDialog(parent, skins, screenWidth, screenHeight);
  addPage(m_skinsPage, SkinsDialog::kPageId, QStringLiteral("Skins"));
}

SettingsDialog::~SettingsDialog() = default;

SettingsDialog::Result SettingsDialog::runSheet() {
  Result result;
  result.confirmed = ToolkitPropertySheet::run(GeneralSettingsPage::kPageId);
  result.skinChanged = m_skinsPage->selectionChanged();
  return result;
}

}  // namespace orvel
