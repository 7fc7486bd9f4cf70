#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include "alarms/AlarmList.h"
#include "alarms/AlarmNotifier.h"
#include "app/CommandDispatcher.h"
#include "ui/ErrorBox.h"
#include "platform/AppKeys.h"
#include "platform/AtomicFile.h"
#include "platform/MessageQueue.h"
#include "resources/StringTable.h"
#include "tests/support/RecordingMessageBoxHost.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

TEST(CommandLine, AlarmGrammar) {
  auto on = CommandLine::parseAlarmCommand(u"AlarmOn 3 77");
  EXPECT_EQ(on.kind, AlarmCommandKind::AlarmOn);
  EXPECT_EQ(on.number, 3);
  auto off = CommandLine::parseAlarmCommand(u"AlarmOff 4000000000");
  EXPECT_EQ(off.kind, AlarmCommandKind::AlarmOff);
  EXPECT_EQ(static_cast<uint32_t>(off.number), 4000000000u);
  EXPECT_EQ(CommandLine::parseAlarmCommand(u"alarmon 3").kind, AlarmCommandKind::None);
  EXPECT_EQ(CommandLine::parseAlarmCommand(u" AlarmOn 3").kind, AlarmCommandKind::None);
  EXPECT_EQ(CommandLine::parseAlarmCommand(u"").kind, AlarmCommandKind::None);
  // One separator character of any kind, then the number read like _wtol.
  EXPECT_EQ(CommandLine::parseAlarmCommand(u"AlarmOn_5").number, 5);
  EXPECT_EQ(CommandLine::parseAlarmCommand(u"AlarmOn  6").number, 6);
  EXPECT_EQ(CommandLine::parseAlarmCommand(u"AlarmOn").kind, AlarmCommandKind::AlarmOn);
  EXPECT_EQ(CommandLine::parseAlarmCommand(u"AlarmOn").number, 0);
}

TEST(CommandLine, ScreenOptionComesFirstAndIsRemoved) {
  auto args = CommandLine::parseArguments({"orvel-radio", "--screen", "320x240", "AlarmOn", "3", "77"});
  ASSERT_TRUE(args.error.empty());
  EXPECT_EQ(args.screen, (ScreenSize{320, 240}));
  EXPECT_EQ(args.commandLine, u"AlarmOn 3 77");
  args = CommandLine::parseArguments({"orvel-radio", "--screen=640x480"});
  EXPECT_EQ(args.screen, (ScreenSize{640, 480}));
  EXPECT_EQ(args.commandLine, u"");
  // Later it is just part of the command line.
  args = CommandLine::parseArguments({"orvel-radio", "AlarmOff", "5", "--screen", "1x1"});
  EXPECT_FALSE(args.screen);
  EXPECT_EQ(args.commandLine, u"AlarmOff 5 --screen 1x1");
  for (const char* bad : {"", "480", "480x", "x640", "-480x640", "480x640x2", "99999x640", "10x10"}) {
    EXPECT_FALSE(CommandLine::parseArguments({"orvel-radio", "--screen", bad}).error.empty()) << bad;
  }
  EXPECT_FALSE(CommandLine::parseArguments({"orvel-radio", "--screen"}).error.empty());
}

class CommandDispatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AlarmList list(notifier);
    AlarmEntry a;
    a.id = 77;
    list.Add(a);
    a.id = 555;
    list.Add(a);
    ASSERT_TRUE(list.Save(alarmsPath));
  }
  test::TempHome home;
  std::string alarmsPath = AlarmList::filePath(home.root());
  NullAlarmNotifier notifier;
  MessageQueue window;
};

TEST_F(CommandDispatcherTest, AlarmOnPostsThePresetIndex) {
  auto posted = CommandDispatcher::dispatch(u"AlarmOn 3 77", home.root(), notifier, &window);
  ASSERT_TRUE(posted);
  const Message m = window.get();
  EXPECT_EQ(m.message, kMsgAlarmOn);
  EXPECT_EQ(m.wParam, 3u);
  EXPECT_EQ(m.lParam, 0);
}

TEST_F(CommandDispatcherTest, AlarmOffRemovesExactlyThatAlarmAndAlwaysPosts) {
  const auto before = readWholeFile(alarmsPath);
  ASSERT_TRUE(CommandDispatcher::dispatch(u"AlarmOff 1234", home.root(), notifier, &window));
  EXPECT_EQ(window.get().message, kMsgAlarmOff);
  EXPECT_EQ(readWholeFile(alarmsPath), before);  // rewritten unchanged

  ASSERT_TRUE(CommandDispatcher::dispatch(u"AlarmOff 555", home.root(), notifier, &window));
  EXPECT_EQ(window.get().wParam, 0u);
  AlarmList list(notifier);
  ASSERT_TRUE(list.Load(alarmsPath));
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.Get(0)->id, 77u);
}

TEST_F(CommandDispatcherTest, NothingIsPostedWithoutAlarmFileWindowOrKnownWord) {
  EXPECT_FALSE(CommandDispatcher::dispatch(u"alarmon 3", home.root(), notifier, &window));
  EXPECT_FALSE(CommandDispatcher::dispatch(u"AlarmOff 77", home.root(), notifier, nullptr));
  std::remove(alarmsPath.c_str());
  EXPECT_FALSE(CommandDispatcher::dispatch(u"AlarmOn 3", home.root(), notifier, &window));
  EXPECT_EQ(window.size(), 0u);
}

TEST(ErrorBox, ShowsTheTextByIdWithTheProgramCaption) {
  test::RecordingMessageBoxHost boxes;
  EXPECT_FALSE(ErrorBox::show(kStrErrorAlreadyHandled));
  EXPECT_TRUE(boxes.shown.empty());
  ErrorBox::show(kStrCannotOpenDefaultDatabase);
  ErrorBox::show(11);  // not in the table
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].text, u"Cannot open default database!");
  EXPECT_EQ(boxes.shown[0].caption, u"Orvel Radio");
  EXPECT_EQ(boxes.shown[0].icon, MessageBoxHost::Icon::Stop);
  EXPECT_EQ(boxes.shown[1].text, u"Unknown error.");
}

TEST(StringTable, EveryIdHasItsText) {
  EXPECT_EQ(StringTable::load(kStrRetry), u"Retry...");
  EXPECT_EQ(StringTable::load(kStrMenuBarEmpty), u"Empty");
  EXPECT_EQ(StringTable::load(kStrServerRejectedRequest), u"Server didn't accept our request!");
  EXPECT_EQ(StringTable::load(3), u"");
  EXPECT_EQ(StringTable::load(11), u"");
  int present = 0;
  for (int id = 0; id < 1000; ++id) present += StringTable::find(static_cast<uint16_t>(id)) != nullptr;
  EXPECT_EQ(StringTable::load(kStrReconnecting), u"Reconnecting... (%d)");
  // The handheld's 48 texts and the three of reconnecting.
  EXPECT_EQ(present, 51);
}

}  // namespace
}  // namespace orvel
