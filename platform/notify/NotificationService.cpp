#include "platform/notify/NotificationService.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/ProgramDirectory.h"
#include "platform/notify/DirectoryNotificationStore.h"
#include "platform/notify/SystemdNotificationStore.h"

namespace orvel {

std::unique_ptr<NotificationService> NotificationService::create() {
  const char* choice = std::getenv("ORVEL_RADIO_NOTIFY");
  const std::string selected = choice != nullptr ? choice : "";
  if (selected.rfind("dir:", 0) == 0 && selected.size() > 4) {
    return std::make_unique<DirectoryNotificationStore>(selected.substr(4));
  }
  const char* systemctlOverride = std::getenv("ORVEL_RADIO_SYSTEMCTL");
  const std::string systemctl = systemctlOverride != nullptr ? systemctlOverride : "systemctl";
  if (selected == "systemd" || SystemdNotificationStore::available(systemctl)) {
    return std::make_unique<SystemdNotificationStore>(SystemdNotificationStore::defaultUnitFolder(),
                                                      systemctl);
  }
  const std::string folder = ProgramDirectory::location() + "-notifications";
  // Said once: when the folder is made.
  std::error_code ec;
  if (!std::filesystem::exists(folder, ec)) {
    std::filesystem::create_directories(folder, ec);
    std::fprintf(stderr,
                 "orvel-radio: no user systemd answers; alarms are kept in %s and will not start "
                 "the program by themselves\n",
                 folder.c_str());
  }
  return std::make_unique<DirectoryNotificationStore>(folder);
}

}  // namespace orvel
