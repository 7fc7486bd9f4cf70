#pragma once
// Plays the notification service's part for a folder store: starts the program of every due
// registration with its arguments, as a systemd timer would, and waits for each to end.

#include <vector>

#include "platform/notify/DirectoryNotificationStore.h"

namespace orvel::test {

struct FiredLaunch {
  NotificationInfo registration;
  int exitCode;  // ChildProcess::run's answer
};

std::vector<FiredLaunch> fireDue(DirectoryNotificationStore& store, const SystemTime& now,
                                 int timeoutMs = 15000);

}  // namespace orvel::test
