#pragma once
// Registers alarms with the notification service: three registrations per alarm, all starting
// this program. At the begin time "AlarmOn <preset> <id>" twice (once with the notification
// "Orvel Radio alarm!", once without); at the end time "AlarmOff <id>".
// Withdrawing clears every pending registration of this program whose start time is the
// alarm's begin or end: a deleted alarm leaves no launch behind.

#include <memory>
#include <string>

#include "alarms/AlarmNotifier.h"

namespace orvel {

class NotificationService;

class ServiceAlarmNotifier : public AlarmNotifier {
 public:
  // `programPath`: the full path of the program the registrations start.
  ServiceAlarmNotifier(NotificationService& service, std::string programPath);
  // Uses the machine's service (NotificationService::create), made at the first use: finding
  // it may take a moment, and most starts never need it.
  explicit ServiceAlarmNotifier(std::string programPath);
  ~ServiceAlarmNotifier() override;

  void RegisterAlarm(const AlarmEntry& entry) override;
  void WithdrawAlarm(const AlarmEntry& entry) override;

 private:
  NotificationService& service();

  std::unique_ptr<NotificationService> m_ownService;
  NotificationService* m_service;  // m_ownService's, or the one given; null until first use
  const std::string m_programPath;
};

}  // namespace orvel
