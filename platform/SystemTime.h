#pragma once
// Local time in the handheld's two shapes: SYSTEMTIME (eight 16-bit fields) and FILETIME
// (100 ns units since 1601-01-01). Conversions are pure; getLocalTime reads the clock.

#include <cstdint>
#include <optional>

namespace orvel {

struct SystemTime {
  uint16_t year = 0;
  uint16_t month = 0;      // 1..12
  uint16_t dayOfWeek = 0;  // 0 = Sunday
  uint16_t day = 0;        // 1..31
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t milliseconds = 0;

  bool operator==(const SystemTime&) const = default;
};
static_assert(sizeof(SystemTime) == 16);

using FileTime = uint64_t;  // 100 ns units since 1601-01-01

constexpr FileTime kFileTimePerSecond = 10'000'000;

// The current local time (the time zone of the process).
SystemTime getLocalTime();

// Nothing when a field is out of range (month 13, hour 24, February 30, ...).
// The day of week is ignored, as the platform's conversion does.
std::optional<FileTime> systemTimeToFileTime(const SystemTime& time);
SystemTime fileTimeToSystemTime(FileTime time);

// Converts between local time and seconds since the Unix epoch, with the process's zone.
std::optional<int64_t> localTimeToUnix(const SystemTime& time);

}  // namespace orvel
