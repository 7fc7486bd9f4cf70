#pragma once
// The "General" page of the settings: "Use prebuffering" and "Location for recordings:" (main
// memory or a mounted removable volume). It opens on the settings' values and writes them back
// when the settings are confirmed (command 1); Cancel leaves them. UI thread only; the store
// must outlive the page.

#include <string>
#include <vector>

#include "ui/ToolkitDialog.h"

class QCheckBox;
class QComboBox;

namespace orvel {

class SettingsStore;

class GeneralSettingsPage : public ToolkitDialog {
  Q_OBJECT

 public:
  static constexpr int kPageId = 113;
  static constexpr int kPrebufferingId = 1007;
  static constexpr int kLocationId = 1048;

  // mountPoints: the removable volumes to offer (the desktop's, as StorageVolumes finds them).
  GeneralSettingsPage(QWidget* parent, SettingsStore& settings,
                      const std::vector<std::string>& mountPoints);

  QCheckBox* prebuffering() const { return m_prebuffering; }
  QComboBox* location() const { return m_location; }

 protected:
  bool command(int id) override;

 private:
  SettingsStore& m_settings;
  QCheckBox* m_prebuffering;
  QComboBox* m_location;
};

}  // namespace orvel
