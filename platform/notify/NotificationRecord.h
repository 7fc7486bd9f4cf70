#pragma once
// The text form of one registration, "Key=Value" lines, shared by both stores (the systemd store
// keeps it in its timer unit as X-Orvel keys). Unknown keys are ignored; a record without an
// application or with an unreadable time is refused.

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
  // True when a text can be kept on one line of a record.
  static bool fitsOnOneLine(const std::string& text);
};

}  // namespace orvel
