#include "alarms/AlarmEntry.h"

namespace orvel {

AlarmEntry AlarmEntry::NewEntry() { return NewEntry(getLocalTime()); }

AlarmEntry AlarmEntry::NewEntry(const SystemTime& now) {
  AlarmEntry entry;
  entry.begin = now;
  entry.end = now;
  entry.id = static_cast<uint32_t>(systemTimeToFileTime(now).value_or(0) & 0xFFFFFFFFu);
  return entry;
}

}  // namespace orvel
