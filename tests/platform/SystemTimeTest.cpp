#include "platform/SystemTime.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

TEST(SystemTime, FileTimeCountsHundredNanosecondsSince1601) {
  EXPECT_EQ(systemTimeToFileTime(SystemTime{1601, 1, 1, 1, 0, 0, 0, 0}), 0u);
  // The Unix epoch, a well-known constant of the platform.
  EXPECT_EQ(systemTimeToFileTime(SystemTime{1970, 1, 4, 1, 0, 0, 0, 0}), 116444736000000000u);
  const SystemTime t{2024, 2, 4, 29, 23, 59, 58, 999};
  const auto ft = systemTimeToFileTime(t);
  ASSERT_TRUE(ft);
  EXPECT_EQ(fileTimeToSystemTime(*ft), t);  // 2024-02-29 was a Thursday
}

TEST(SystemTime, RefusesImpossibleDates) {
  EXPECT_FALSE(systemTimeToFileTime(SystemTime{2023, 2, 0, 29, 0, 0, 0, 0}));
  EXPECT_FALSE(systemTimeToFileTime(SystemTime{2024, 13, 0, 1, 0, 0, 0, 0}));
  EXPECT_FALSE(systemTimeToFileTime(SystemTime{2024, 1, 0, 1, 24, 0, 0, 0}));
  EXPECT_FALSE(systemTimeToFileTime(SystemTime{1600, 1, 0, 1, 0, 0, 0, 0}));
}

TEST(SystemTime, OneMinuteIsSixHundredMillionUnits) {
  const auto a = systemTimeToFileTime(SystemTime{2026, 12, 3, 9, 7, 0, 0, 0});
  const auto b = systemTimeToFileTime(SystemTime{2026, 12, 3, 9, 7, 1, 0, 0});
  ASSERT_TRUE(a && b);
  EXPECT_EQ(*b - *a, 600000000u);
}

TEST(SystemTime, LocalTimeIsAValidDate) {
  const SystemTime now = getLocalTime();
  EXPECT_TRUE(systemTimeToFileTime(now));
  EXPECT_EQ(fileTimeToSystemTime(*systemTimeToFileTime(now)).dayOfWeek, now.dayOfWeek);
}

}  // namespace
}  // namespace orvel
