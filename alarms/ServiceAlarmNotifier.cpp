#include "alarms/ServiceAlarmNotifier.h"

#include <cstring>

#include "platform/AppKeys.h"
#include "platform/notify/NotificationService.h"
#include "resources/StringTable.h"

namespace orvel {
namespace {

bool sameTime(const SystemTime& a, const SystemTime& b) {
  return std::memcmp(&a, &b, sizeof(SystemTime)) == 0;
}

WString alarmOnArguments(const AlarmEntry& entry) {
  return fromAscii("AlarmOn " + std::to_string(entry.preset) + " " + std::to_string(entry.id));
}

WString alarmOffArguments(const AlarmEntry& entry) {
  return fromAscii("AlarmOff " + std::to_string(entry.id));
}

}  // namespace

ServiceAlarmNotifier::ServiceAlarmNotifier(NotificationService& service, std::string programPath)
    : m_service(&service), m_programPath(std::move(programPath)) {}

ServiceAlarmNotifier::ServiceAlarmNotifier(std::string programPath)
    : m_service(nullptr), m_programPath(std::move(programPath)) {}

ServiceAlarmNotifier::~ServiceAlarmNotifier() = default;

NotificationService& ServiceAlarmNotifier::service() {
  if (m_service == nullptr) {
    m_ownService = NotificationService::create();
    m_service = m_ownService.get();
  }
  return *m_service;
}

void ServiceAlarmNotifier::RegisterAlarm(const AlarmEntry& entry) {
  NotificationService& service = this->service();
  service.MarkHandled(m_programPath);

  NotificationTrigger trigger;
  trigger.type = kTriggerTime;
  trigger.application = m_programPath;
  trigger.start = entry.begin;
  trigger.end = entry.end;
  trigger.arguments = alarmOnArguments(entry);

  const UserNotification dialog{kActionDialog, kProgramTitle, StringTable::load(kStrAlarmText)};
  const UserNotification silent{};
  service.Set(trigger, &dialog);
  service.Set(trigger, &silent);

  trigger.start = entry.end;
  trigger.arguments = alarmOffArguments(entry);
  service.Set(trigger, &silent);
}

void ServiceAlarmNotifier::WithdrawAlarm(const AlarmEntry& entry) {
  NotificationService& service = this->service();
  for (uint32_t handle : service.GetHandles()) {
    const auto info = service.GetInfo(handle);
    if (!info || info->trigger.application != m_programPath ||
        info->trigger.type != kTriggerTime) {
      continue;
    }
    if (sameTime(info->trigger.start, entry.begin) || sameTime(info->trigger.start, entry.end)) {
      service.Clear(handle);
    }
  }
}

}  // namespace orvel
