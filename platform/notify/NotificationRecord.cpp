#include "platform/notify/NotificationRecord.h"

#include <cstdio>
#include <sstream>

namespace orvel {
namespace {

std::optional<uint32_t> parseNumber(const std::string& text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  if (v > UINT32_MAX) return std::nullopt;
  return static_cast<uint32_t>(v);
}

bool fitsOnOneLine(const std::string& text) {
  return text.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

std::string NotificationRecord::formatTime(const SystemTime& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u.%03u w%u", t.year, t.month, t.day,
                t.hour, t.minute, t.second, t.milliseconds, t.dayOfWeek);
  return buf;
}

std::optional<SystemTime> NotificationRecord::parseTime(const std::string& text) {
  unsigned y, mo, d, h, mi, s, ms, w;
  char tail;
  if (std::sscanf(text.c_str(), "%4u-%2u-%2u %2u:%2u:%2u.%3u w%5u%c", &y, &mo, &d, &h, &mi, &s, &ms,
                  &w, &tail) != 8 ||
      w > 0xFFFF) {
    return std::nullopt;
  }
  // The day of week is kept as it was given: registrations are matched on all sixteen bytes.
  const SystemTime t{static_cast<uint16_t>(y), static_cast<uint16_t>(mo), static_cast<uint16_t>(w),
                     static_cast<uint16_t>(d), static_cast<uint16_t>(h),  static_cast<uint16_t>(mi),
                     static_cast<uint16_t>(s), static_cast<uint16_t>(ms)};
  if (!systemTimeToFileTime(t)) return std::nullopt;
  return t;
}

bool NotificationRecord::isStorable(const NotificationInfo& info) {
  const NotificationTrigger& t = info.trigger;
  return t.type == kTriggerTime && !t.application.empty() && systemTimeToFileTime(t.start) &&
         systemTimeToFileTime(t.end) && fitsOnOneLine(t.application) &&
         fitsOnOneLine(toUtf8(t.arguments)) &&
         fitsOnOneLine(toUtf8(info.notification.dialogTitle)) &&
         fitsOnOneLine(toUtf8(info.notification.dialogText));
}

std::optional<uint32_t> NotificationRecord::parseHandle(const std::string& text) {
  const auto handle = parseNumber(text);
  if (!handle || *handle == 0) return std::nullopt;
  return handle;
}

bool NotificationRecord::isDue(const NotificationInfo& info, const SystemTime& now) {
  const auto start = systemTimeToFileTime(info.trigger.start);
  const auto at = systemTimeToFileTime(now);
  return start && at && *start <= *at;
}

std::string NotificationRecord::encode(const NotificationInfo& info, const std::string& p) {
  std::ostringstream out;
  out << p << "Handle=" << info.handle << "\n"
      << p << "Type=" << info.trigger.type << "\n"
      << p << "Application=" << info.trigger.application << "\n"
      << p << "Arguments=" << toUtf8(info.trigger.arguments) << "\n"
      << p << "Start=" << formatTime(info.trigger.start) << "\n"
      << p << "End=" << formatTime(info.trigger.end) << "\n"
      << p << "Action=" << info.notification.actionFlags << "\n"
      << p << "DialogTitle=" << toUtf8(info.notification.dialogTitle) << "\n"
      << p << "DialogText=" << toUtf8(info.notification.dialogText) << "\n";
  return out.str();
}

std::optional<NotificationInfo> NotificationRecord::decode(const std::string& text,
                                                           const std::string& p) {
  NotificationInfo info;
  bool haveStart = false, haveEnd = false, haveHandle = false;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.compare(0, p.size(), p) != 0) continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(p.size(), eq - p.size());
    const std::string value = line.substr(eq + 1);
    if (key == "Handle") {
      const auto n = parseNumber(value);
      if (!n) return std::nullopt;
      info.handle = *n;
      haveHandle = true;
    } else if (key == "Type" || key == "Action") {
      const auto n = parseNumber(value);
      if (!n) return std::nullopt;
      (key == "Type" ? info.trigger.type : info.notification.actionFlags) = *n;
    } else if (key == "Application") {
      info.trigger.application = value;
    } else if (key == "Arguments") {
      info.trigger.arguments = fromUtf8(value);
    } else if (key == "Start" || key == "End") {
      const auto t = parseTime(value);
      if (!t) return std::nullopt;
      (key == "Start" ? info.trigger.start : info.trigger.end) = *t;
      (key == "Start" ? haveStart : haveEnd) = true;
    } else if (key == "DialogTitle") {
      info.notification.dialogTitle = fromUtf8(value);
    } else if (key == "DialogText") {
      info.notification.dialogText = fromUtf8(value);
    }
  }
  if (!haveHandle || !haveStart || !haveEnd || !isStorable(info)) return std::nullopt;
  return info;
}

}  // namespace orvel
