#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include "platform/ChildProcess.h"
#include "platform/notify/DirectoryNotificationStore.h"
#include "platform/notify/NotificationRecord.h"
#include "platform/notify/SystemdNotificationStore.h"
#include "tests/support/TempHome.h"

namespace fs = std::filesystem;

namespace orvel {
namespace {

NotificationTrigger trigger(const std::string& app, const char16_t* args, uint16_t hour) {
  NotificationTrigger t;
  t.application = app;
  t.arguments = args;
  t.start = SystemTime{2030, 6, 6, 14, hour, 5, 9, 123};  // a Friday, kept as given
  t.end = SystemTime{2030, 6, 6, 14, static_cast<uint16_t>(hour + 1), 0, 0, 0};
  return t;
}

TEST(NotificationRecord, RoundTripsEveryFieldAndRefusesBrokenRecords) {
  NotificationInfo info{7, trigger("/opt/orvel radio/orvel-radio", u"AlarmOn 3 77", 7),
                        UserNotification{kActionDialog, u"Orvel Radio", u"Orvel Radio alarm! é"}};
  const std::string text = NotificationRecord::encode(info, "X-Orvel");
  const auto back = NotificationRecord::decode("[Unit]\n" + text + "Other=1\n", "X-Orvel");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->handle, 7u);
  EXPECT_EQ(back->trigger, info.trigger);
  EXPECT_EQ(back->notification, info.notification);

  std::string noApp = text;
  noApp.replace(noApp.find("Application="), 12, "Applicatio_=");
  EXPECT_FALSE(NotificationRecord::decode(noApp, "X-Orvel"));
  std::string badTime = text;
  badTime.replace(badTime.find("2030-06-14"), 10, "2030-02-30");
  EXPECT_FALSE(NotificationRecord::decode(badTime, "X-Orvel"));
  EXPECT_FALSE(NotificationRecord::decode("X-OrvelHandle=99999999999\n", "X-Orvel"));
}

TEST(DirectoryNotificationStore, RegistersListsClearsAndFiresInHandleOrder) {
  test::TempHome home;
  DirectoryNotificationStore store(home.path("notify"));
  const UserNotification dialog{kActionDialog, u"Orvel Radio", u"Orvel Radio alarm!"};
  const uint32_t a = store.Set(trigger("/bin/orvel-radio", u"AlarmOn 1 5", 7), &dialog);
  const uint32_t b = store.Set(trigger("/bin/orvel-radio", u"AlarmOn 1 5", 7), nullptr);
  const uint32_t c = store.Set(trigger("/bin/other", u"x", 9), nullptr);
  EXPECT_EQ(store.GetHandles(), (std::vector<uint32_t>{a, b, c}));
  EXPECT_EQ(store.GetInfo(a)->notification.actionFlags, kActionDialog);
  EXPECT_EQ(store.GetInfo(b)->notification.actionFlags, 0u);

  EXPECT_TRUE(store.Clear(b));
  EXPECT_FALSE(store.Clear(b));
  EXPECT_FALSE(store.GetInfo(b));
  // Handles are never given twice.
  EXPECT_GT(store.Set(trigger("/bin/orvel-radio", u"AlarmOff 5", 8), nullptr), c);

  const SystemTime at8 = SystemTime{2030, 6, 5, 14, 8, 30, 0, 0};
  const auto due = store.TakeDue(at8);
  ASSERT_EQ(due.size(), 2u);
  EXPECT_EQ(due[0].handle, a);
  EXPECT_EQ(due[1].trigger.arguments, u"AlarmOff 5");
  EXPECT_TRUE(store.TakeDue(at8).empty());  // each fires once
}

TEST(DirectoryNotificationStore, MarkHandledRemovesOnlyThePastRegistrationsOfTheProgram) {
  test::TempHome home;
  DirectoryNotificationStore store(home.path("notify"));
  NotificationTrigger past = trigger("/bin/orvel-radio", u"AlarmOn 0 1", 7);
  past.start.year = 2001;
  const uint32_t pastOurs = store.Set(past, nullptr);
  past.application = "/bin/other";
  const uint32_t pastOther = store.Set(past, nullptr);
  const uint32_t future = store.Set(trigger("/bin/orvel-radio", u"AlarmOn 0 2", 7), nullptr);
  store.MarkHandled("/bin/orvel-radio");
  EXPECT_EQ(store.GetHandles(), (std::vector<uint32_t>{pastOther, future}));
  EXPECT_FALSE(store.GetInfo(pastOurs));
}

class SystemdStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A systemctl that records its arguments and answers with the code in a file.
    test::writeFile(stub, "#!/bin/sh\necho \"$*\" >> '" + log + "'\nexit $(cat '" + code + "')\n");
    ::chmod(stub.c_str(), 0755);
    test::writeFile(code, "0");
    home.setEnv("DISPLAY", ":5");
  }
  std::vector<std::string> calls() {
    std::vector<std::string> lines;
    std::istringstream in(test::readFile(log));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  test::TempHome home;
  std::string stub = home.path("bin/systemctl");
  std::string log = home.path("systemctl.log");
  std::string code = home.path("systemctl.code");
  std::string units = home.path("config/systemd/user");
};

TEST_F(SystemdStoreTest, ARegistrationIsATimerAndAServiceThatStartTheProgram) {
  SystemdNotificationStore store(units, stub);
  EXPECT_EQ(SystemdNotificationStore::defaultUnitFolder(), units);
  const UserNotification dialog{kActionDialog, u"Orvel Radio", u"Orvel Radio alarm!"};
  const uint32_t handle =
      store.Set(trigger("/opt/orvel radio/orvel-radio", u"AlarmOn 3 77", 7), &dialog);
  ASSERT_EQ(handle, 1u);

  const std::string timer = test::readFile(units + "/orvel-radio-alarm-1.timer");
  EXPECT_NE(timer.find("OnCalendar=2030-06-14 07:05:09\n"), std::string::npos);
  EXPECT_NE(timer.find("Persistent=true\n"), std::string::npos);
  EXPECT_NE(timer.find("Unit=orvel-radio-alarm-1.service\n"), std::string::npos);
  const std::string service = test::readFile(units + "/orvel-radio-alarm-1.service");
  EXPECT_NE(service.find("ExecStart=\"/opt/orvel radio/orvel-radio\" \"AlarmOn\" \"3\" \"77\"\n"),
            std::string::npos);
  EXPECT_NE(service.find("Environment=\"DISPLAY=:5\"\n"), std::string::npos);
  if (!ChildProcess::findInPath("notify-send").empty()) {
    EXPECT_NE(service.find("\"Orvel Radio\" \"Orvel Radio alarm!\""), std::string::npos);
  }
  EXPECT_EQ(calls(), (std::vector<std::string>{
                         "--user --no-ask-password daemon-reload",
                         "--user --no-ask-password enable --now orvel-radio-alarm-1.timer"}));

  const auto info = store.GetInfo(handle);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->trigger, trigger("/opt/orvel radio/orvel-radio", u"AlarmOn 3 77", 7));
  EXPECT_EQ(info->notification, dialog);

  EXPECT_TRUE(store.Clear(handle));
  EXPECT_FALSE(fs::exists(units + "/orvel-radio-alarm-1.timer"));
  EXPECT_FALSE(fs::exists(units + "/orvel-radio-alarm-1.service"));
  EXPECT_EQ(calls()[2], "--user --no-ask-password disable --now orvel-radio-alarm-1.timer");
  EXPECT_TRUE(store.GetHandles().empty());
}

TEST_F(SystemdStoreTest, ARegistrationSystemdRefusesLeavesNoUnitsBehind) {
  test::writeFile(code, "1");
  SystemdNotificationStore store(units, stub);
  EXPECT_EQ(store.Set(trigger("/bin/orvel-radio", u"AlarmOff 77", 8), nullptr), 0u);
  EXPECT_TRUE(store.GetHandles().empty());
  EXPECT_FALSE(fs::exists(units + "/orvel-radio-alarm-1.service"));
  EXPECT_FALSE(SystemdNotificationStore::available(stub));
}

TEST_F(SystemdStoreTest, BothStoresRefuseTheSameBadRegistrationsAndRecords) {
  DirectoryNotificationStore directory(home.path("notify"));
  SystemdNotificationStore systemd(units, stub);
  const UserNotification dialog{kActionDialog, u"Orvel Radio", u"Orvel Radio alarm!"};
  // Line breaks cannot reach a record (they would end its line), the rest can be written.
  const std::vector<std::function<void(NotificationInfo&)>> lineBreaks = {
      [](NotificationInfo& i) { i.trigger.application += "\nExecStart=/bin/sh"; },
      [](NotificationInfo& i) { i.trigger.arguments = u"AlarmOn 1\r\n2"; },
      [](NotificationInfo& i) { i.notification.dialogText = u"alarm\n!"; },
  };
  const std::vector<std::function<void(NotificationInfo&)>> others = {
      [](NotificationInfo& i) { i.trigger.application.clear(); },
      [](NotificationInfo& i) { i.trigger.start.month = 13; },
      [](NotificationInfo& i) { i.trigger.end.day = 31; },  // June has 30 days
      [](NotificationInfo& i) { i.trigger.type = kTriggerTime + 1; },
  };
  for (const auto* spoilers : {&lineBreaks, &others}) {
    for (size_t k = 0; k < spoilers->size(); ++k) {
      NotificationInfo bad{1, trigger("/bin/orvel-radio", u"AlarmOn 1 5", 7), dialog};
      (*spoilers)[k](bad);
      EXPECT_EQ(directory.Set(bad.trigger, &bad.notification), 0u) << k;
      EXPECT_EQ(systemd.Set(bad.trigger, &bad.notification), 0u) << k;
      if (spoilers == &lineBreaks) continue;
      // The same registration put in place by hand is not read back by either.
      test::writeFile(home.path("notify/1.notification"), NotificationRecord::encode(bad, ""));
      test::writeFile(units + "/orvel-radio-alarm-1.timer", systemd.timerUnit(bad));
      EXPECT_FALSE(directory.GetInfo(1)) << k;
      EXPECT_FALSE(systemd.GetInfo(1)) << k;
    }
  }
  EXPECT_TRUE(calls().empty());  // nothing was ever enabled
  // Handle 0 is never given, so neither store lists it.
  fs::remove(home.path("notify/1.notification"));
  fs::remove(units + "/orvel-radio-alarm-1.timer");
  test::writeFile(home.path("notify/0.notification"), "");
  test::writeFile(units + "/orvel-radio-alarm-0.timer", "");
  EXPECT_TRUE(directory.GetHandles().empty());
  EXPECT_TRUE(systemd.GetHandles().empty());
}

TEST_F(SystemdStoreTest, SpecialCharactersCannotEscapeTheCommandLine) {
  SystemdNotificationStore store(units, stub);
  NotificationInfo info{4, trigger("/x/%h$HOME\"q\\", u"AlarmOn 1 2", 7), UserNotification{}};
  const std::string service = store.serviceUnit(info);
  EXPECT_NE(service.find("ExecStart=\"/x/%%h$$HOME\\\"q\\\\\" \"AlarmOn\""), std::string::npos);
}

TEST(SystemdUser, ARealTimerStartsTheProgram) {
  if (!SystemdNotificationStore::available("systemctl")) {
    GTEST_SKIP() << "no user systemd on this machine";
  }
  test::TempHome home;
  const std::string marker = home.path("started");
  const std::string script = home.path("fake-program");
  test::writeFile(script, "#!/bin/sh\necho \"$*\" > '" + marker + "'\n");
  ::chmod(script.c_str(), 0755);
  SystemdNotificationStore store(SystemdNotificationStore::defaultUnitFolder(), "systemctl");
  NotificationTrigger t;
  t.application = script;
  t.arguments = u"AlarmOn 4 99";
  const FileTime soon = *systemTimeToFileTime(getLocalTime()) + 3 * kFileTimePerSecond;
  t.start = fileTimeToSystemTime(soon);
  t.end = t.start;
  const uint32_t handle = store.Set(t, nullptr);
  ASSERT_NE(handle, 0u);
  for (int i = 0; i < 150 && !fs::exists(marker); ++i) ::usleep(100000);
  store.Clear(handle);
  EXPECT_EQ(test::readFile(marker), "AlarmOn 4 99\n");
}

}  // namespace
}  // namespace orvel
