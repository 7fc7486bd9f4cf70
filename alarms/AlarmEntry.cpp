#include "alarms/AlarmEntry.h"

#include "resources/StringTable.h"

namespace orvel {

AlarmEntry AlarmEntry::NewEntry() { return NewEntry(getLocalTime()); }

AlarmEntry AlarmEntry::NewEntry(const SystemTime& now) {
  AlarmEntry entry;
  entry.begin = now;
  entry.end = now;
  entry.id = static_cast<uint32_t>(systemTimeToFileTime(now).value_or(0) & 0xFFFFFFFFu);
  return entry;
}

uint16_t AlarmEntry::CheckTimes() const {
  constexpr FileTime kOneMinute = 60 * kFileTimePerSecond;
  const auto b = systemTimeToFileTime(begin);
  const auto e = systemTimeToFileTime(end);
  if (!b || !e || *e <= *b + kOneMinute) return kStrEndTimeTooEarly;
  return 0;
}

}  // namespace orvel
