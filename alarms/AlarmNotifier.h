#pragma once
// Registers alarms with the notification service that starts the program at their times, and
// withdraws them. Called on the UI thread; may block briefly on the service.

#include "alarms/AlarmEntry.h"

namespace orvel {

class AlarmNotifier {
 public:
  virtual ~AlarmNotifier() = default;
  // Makes the three registrations of an alarm: "AlarmOn" at the begin (with and without the
  // dialog notification) and "AlarmOff" at the end. Failures are not reported.
  virtual void RegisterAlarm(const AlarmEntry& entry) = 0;
  // Withdraws the alarm's pending registrations (those at its begin or end time).
  virtual void WithdrawAlarm(const AlarmEntry& entry) = 0;
};

// For callers that must not touch the notification service (tools, tests).
class NullAlarmNotifier : public AlarmNotifier {
 public:
  void RegisterAlarm(const AlarmEntry&) override {}
  void WithdrawAlarm(const AlarmEntry&) override {}
};

}  // namespace orvel
