#include "alarms/ServiceAlarmNotifier.h"

#include <gtest/gtest.h>

#include "alarms/AlarmList.h"
#include "platform/notify/DirectoryNotificationStore.h"
#include "resources/StringTable.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

constexpr const char* kProgram = "/usr/bin/orvel-radio";

AlarmEntry alarmAt(uint32_t id, int32_t preset, uint16_t day) {
  AlarmEntry e;
  e.begin = SystemTime{2031, 3, 0, day, 7, 0, 0, 0};
  e.end = SystemTime{2031, 3, 0, day, 8, 15, 0, 0};
  e.preset = preset;
  e.id = id;
  return e;
}

class ServiceAlarmNotifierTest : public ::testing::Test {
 protected:
  test::TempHome home;
  DirectoryNotificationStore service{home.path("notify")};
  ServiceAlarmNotifier notifier{service, kProgram};
  std::string alarmsPath = AlarmList::filePath(home.root());

  std::vector<WString> arguments() {
    std::vector<WString> out;
    for (uint32_t h : service.GetHandles()) out.push_back(service.GetInfo(h)->trigger.arguments);
    return out;
  }
};

TEST_F(ServiceAlarmNotifierTest, SavingThreeNewAlarmsMakesNineRegistrationsInListOrder) {
  AlarmList list(notifier);
  list.Add(alarmAt(11, 0, 3));
  list.Add(alarmAt(22, 4, 4));
  list.Add(alarmAt(4000000000u, 8, 5));
  ASSERT_TRUE(list.Save(alarmsPath));
  EXPECT_EQ(arguments(), (std::vector<WString>{
                             u"AlarmOn 0 11", u"AlarmOn 0 11", u"AlarmOff 11",
                             u"AlarmOn 4 22", u"AlarmOn 4 22", u"AlarmOff 22",
                             u"AlarmOn 8 4000000000", u"AlarmOn 8 4000000000",
                             u"AlarmOff 4000000000"}));
  const auto handles = service.GetHandles();
  const auto first = service.GetInfo(handles[0]);
  EXPECT_EQ(first->notification.actionFlags, kActionDialog);
  EXPECT_EQ(first->notification.dialogTitle, u"Orvel Radio");
  EXPECT_EQ(first->notification.dialogText, u"Orvel Radio alarm!");
  EXPECT_EQ(first->trigger.application, kProgram);
  EXPECT_EQ(first->trigger.start, alarmAt(11, 0, 3).begin);
  EXPECT_EQ(service.GetInfo(handles[1])->notification.actionFlags, 0u);
  const auto off = service.GetInfo(handles[2]);
  EXPECT_EQ(off->trigger.start, alarmAt(11, 0, 3).end);
  EXPECT_EQ(off->trigger.end, alarmAt(11, 0, 3).end);

  AlarmList loaded(notifier);
  ASSERT_TRUE(loaded.Load(alarmsPath));
  ASSERT_TRUE(loaded.Save(alarmsPath));
  EXPECT_EQ(service.GetHandles().size(), 9u);  // nothing registered twice
}

TEST_F(ServiceAlarmNotifierTest, RemovingAnAlarmWithdrawsItsLaunchesAndNothingElse) {
  AlarmList list(notifier);
  list.Add(alarmAt(11, 0, 3));
  list.Add(alarmAt(22, 1, 4));
  ASSERT_TRUE(list.Save(alarmsPath));
  // Another program's registration at the same time stays.
  NotificationTrigger other;
  other.application = "/usr/bin/other";
  other.start = alarmAt(11, 0, 3).begin;
  other.end = other.start;
  const uint32_t otherHandle = service.Set(other, nullptr);

  ASSERT_TRUE(list.Remove(0));
  EXPECT_EQ(arguments(), (std::vector<WString>{u"AlarmOn 1 22", u"AlarmOn 1 22", u"AlarmOff 22",
                                               u""}));
  EXPECT_TRUE(service.GetInfo(otherHandle));
}

TEST(AlarmTimes, TheEndMustLieMoreThanAMinuteAfterTheBegin) {
  AlarmEntry e;
  e.begin = SystemTime{2026, 12, 3, 9, 7, 0, 0, 0};
  e.end = SystemTime{2026, 12, 3, 9, 7, 1, 0, 0};
  EXPECT_EQ(e.CheckTimes(), kStrEndTimeTooEarly);
  e.end.second = 1;
  EXPECT_EQ(e.CheckTimes(), 0);
  e.end = SystemTime{2026, 12, 3, 9, 6, 59, 0, 0};
  EXPECT_EQ(e.CheckTimes(), kStrEndTimeTooEarly);
  e.end = SystemTime{2026, 13, 3, 9, 8, 0, 0, 0};
  EXPECT_EQ(e.CheckTimes(), kStrEndTimeTooEarly);
}

}  // namespace
}  // namespace orvel
