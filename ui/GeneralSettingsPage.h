#pragma once
// The "General" page of the settings: "Use prebuffering", "Reconnect when the connection drops",
// "Show notifications" and "Location for recordings:" (main memory or a mounted removable
// volume). It opens on the
// settings' values and writes them back when the settings are confirmed (command 1); Cancel leaves
// them. UI thread only; the store must outlive the page.

#include <string>
#include <vector>

#include "ui/ToolkitDialog.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace orvel {

class SettingsStore;

class GeneralSettingsPage : public ToolkitDialog {
  Q_OBJECT

 public:
  static constexpr int kPageId = 113;
  static constexpr int kPrebufferingId = 1007;
  static constexpr int kLocationId = 1048;
  static constexpr int kReconnectId = 1049;
  static constexpr int kNotifyId = 1050;

  // mountPoints: the removable volumes to offer (the desktop's, as StorageVolumes finds them).
  GeneralSettingsPage(QWidget* parent, SettingsStore& settings,
                      const std::vector<std::string>& mountPoints);

  QCheckBox* prebuffering() const { return m_prebuffering; }
  QCheckBox* reconnect() const { return m_reconnect; }
  QCheckBox* notify() const { return m_notify; }
  QLabel* reconnectLabel() const { return m_reconnectLabel; }
  QComboBox* location() const { return m_location; }

 protected:
  bool command(int id) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  SettingsStore& m_settings;
  QCheckBox* m_prebuffering;
  QCheckBox* m_reconnect;
  QLabel* m_reconnectLabel;
  QCheckBox* m_notify;
  QComboBox* m_location;
};

}  // namespace orvel
