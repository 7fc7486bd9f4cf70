#pragma once
// The notification service: it starts a program with given arguments at a given local time, and
// can show a desktop notification then. The program registers its alarms here and never stays
// running to wait for them.
//
// Two stores stand behind this interface: the user's systemd (timer units) and a plain folder
// (tests, and machines without a user systemd). All operations are called on the UI thread and
// may block briefly (systemctl runs with a time limit).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/SystemTime.h"
#include "platform/Text.h"

namespace orvel {

// The trigger types and action flags keep the handheld's values.
inline constexpr uint32_t kTriggerTime = 2;      // start the program at the start time
inline constexpr uint32_t kActionDialog = 0x4;   // also show a notification with title and text

struct NotificationTrigger {
  uint32_t type = kTriggerTime;
  std::string application;  // full path of the program to start
  WString arguments;        // its command line, one line
  SystemTime start;         // local time
  SystemTime end;           // local time

  bool operator==(const NotificationTrigger&) const = default;
};

struct UserNotification {
  uint32_t actionFlags = 0;
  WString dialogTitle;
  WString dialogText;

  bool operator==(const UserNotification&) const = default;
};

struct NotificationInfo {
  uint32_t handle = 0;
  NotificationTrigger trigger;
  UserNotification notification;
};

class NotificationService {
 public:
  virtual ~NotificationService() = default;

  // Registers a trigger (with no user notification: an empty one). The handle, or 0 when the
  // registration failed.
  virtual uint32_t Set(const NotificationTrigger& trigger, const UserNotification* notification) = 0;
  // The handles of all pending registrations, in handle order.
  virtual std::vector<uint32_t> GetHandles() = 0;
  // What a handle registered; nothing for an unknown handle.
  virtual std::optional<NotificationInfo> GetInfo(uint32_t handle) = 0;
  // Withdraws a registration; false for an unknown handle.
  virtual bool Clear(uint32_t handle) = 0;
  // Removes the registrations of `application` whose time has passed (they have fired).
  virtual void MarkHandled(const std::string& application) = 0;

  // The service the program uses: ORVEL_RADIO_NOTIFY=dir:PATH selects the folder store; else
  // the user's systemd when it answers, else the folder store "<program directory>-notifications"
  // (said on stderr when that folder is made).
  static std::unique_ptr<NotificationService> create();
};

}  // namespace orvel
