#pragma once
// The notification service on the user's systemd: each registration is a persistent timer unit
// and a service unit "orvel-radio-alarm-<handle>" in the user's unit folder, enabled with
// `systemctl --user`. The service starts the program with the registered arguments and the
// display and data environment of the registering session; a dialog registration also shows a
// desktop notification (notify-send, when present). The registration itself is kept in the
// timer unit as X-Orvel keys, so the units are the whole store.

#include <string>
#include <vector>

#include "platform/notify/NotificationService.h"

namespace orvel {

class SystemdNotificationStore : public NotificationService {
 public:
  static constexpr int kSystemctlTimeoutMs = 10000;
  static constexpr const char* kUnitPrefix = "orvel-radio-alarm-";

  // $XDG_CONFIG_HOME/systemd/user (default ~/.config/systemd/user).
  static std::string defaultUnitFolder();
  // True when `systemctl --user` answers.
  static bool available(const std::string& systemctl);

  SystemdNotificationStore(std::string unitFolder, std::string systemctl);

  uint32_t Set(const NotificationTrigger& trigger, const UserNotification* notification) override;
  std::vector<uint32_t> GetHandles() override;
  std::optional<NotificationInfo> GetInfo(uint32_t handle) override;
  bool Clear(uint32_t handle) override;
  void MarkHandled(const std::string& application) override;

  // The unit files' text (exposed for tests).
  std::string timerUnit(const NotificationInfo& info) const;
  std::string serviceUnit(const NotificationInfo& info) const;

 private:
  std::string unitPath(uint32_t handle, const char* suffix) const;
  bool systemctl(const std::vector<std::string>& arguments) const;
  bool removeUnits(uint32_t handle);

  const std::string m_folder;
  const std::string m_systemctl;
  const std::string m_notifySend;  // empty when the machine has none
};

}  // namespace orvel
