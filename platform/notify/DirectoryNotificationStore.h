#pragma once
// The notification service kept in a plain folder: one file per registration
// ("<handle>.notification"), handles counted in "next-handle", all changes under a file lock.
// Nothing here starts programs by itself: tests (and anyone who wants to) call TakeDue and start
// what it returns, as the service would.

#include <string>
#include <vector>

#include "platform/notify/NotificationService.h"

namespace orvel {

class DirectoryNotificationStore : public NotificationService {
 public:
  explicit DirectoryNotificationStore(std::string folder);

  uint32_t Set(const NotificationTrigger& trigger, const UserNotification* notification) override;
  std::vector<uint32_t> GetHandles() override;
  std::optional<NotificationInfo> GetInfo(uint32_t handle) override;
  bool Clear(uint32_t handle) override;
  void MarkHandled(const std::string& application) override;

  // The registrations whose start time is at or before `now` and that were not taken before,
  // in handle order; each is marked as fired.
  std::vector<NotificationInfo> TakeDue(const SystemTime& now);

  const std::string& folder() const { return m_folder; }

 private:
  std::string fileOf(uint32_t handle) const;
  std::optional<NotificationInfo> read(uint32_t handle, bool* fired) const;

  const std::string m_folder;
};

}  // namespace orvel
