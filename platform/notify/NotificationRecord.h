#pragma once
// The text form of one registration, "Key=Value" lines, shared by both stores (the systemd store
// keeps it in its timer unit as X-Orvel keys), and what a registration must be for either store
// to keep it. Unknown keys are ignored; a record that is not storable is refused when read.

#include <optional>
#include <string>

#include "platform/notify/NotificationService.h"

namespace orvel {

class NotificationRecord {
 public:
  // `keyPrefix` is put before every key ("X-Orvel" in unit files, nothing in plain files).
  static std::string encode(const NotificationInfo& info, const std::string& keyPrefix);
  static std::optional<NotificationInfo> decode(const std::string& text,
                                                const std::string& keyPrefix);
  // "YYYY-MM-DD HH:MM:SS.mmm wN" (N: the day of week as given).
  static std::string formatTime(const SystemTime& time);
  static std::optional<SystemTime> parseTime(const std::string& text);
  // True when a store may keep the registration: a time trigger with a program, real start and
  // end times, and every text on one line (a line break would end the record's line early).
  static bool isStorable(const NotificationInfo& info);
  // The handle a store's file name carries ("12" of "12.notification"); nothing unless it is a
  // decimal number from 1 to 4294967295.
  static std::optional<uint32_t> parseHandle(const std::string& text);
  // True when the registration's start time is at or before `now`.
  static bool isDue(const NotificationInfo& info, const SystemTime& now);
};

}  // namespace orvel
