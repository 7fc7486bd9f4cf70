#pragma once
// One alarm: on a day, play a preset from the begin time and stop recording at the end time.

#include <cstdint>

#include "platform/SystemTime.h"

namespace orvel {

struct AlarmEntry {
  SystemTime begin;    // local time: the day and the begin time
  SystemTime end;      // local time: the same day, the end time
  int32_t preset = 0;  // 0..8; the user sees 1..9
  uint32_t id = 0;     // names the alarm on the command line
  bool registered = false;  // its notifications are registered with the service

  // Begin and end are now, preset 0, the id is the low 32 bits of now as a FILETIME.
  static AlarmEntry NewEntry();
  static AlarmEntry NewEntry(const SystemTime& now);

  // 0 when the end lies more than one minute after the begin; otherwise the id of the text
  // that says so (62). Impossible dates are refused the same way.
  uint16_t CheckTimes() const;
};

}  // namespace orvel
