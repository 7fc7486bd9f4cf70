#include "alarms/AlarmList.h"

#include <gtest/gtest.h>

#include <random>

#include "alarms/AlarmNotifier.h"
#include "platform/AtomicFile.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

class RecordingNotifier : public AlarmNotifier {
 public:
  void RegisterAlarm(const AlarmEntry& entry) override { registered.push_back(entry.id); }
  void WithdrawAlarm(const AlarmEntry& entry) override { withdrawn.push_back(entry.id); }
  std::vector<uint32_t> registered, withdrawn;
};

AlarmEntry alarm(uint32_t id, int32_t preset, uint16_t hour) {
  AlarmEntry e;
  e.begin = SystemTime{2026, 12, 3, 9, hour, 0, 0, 0};
  e.end = SystemTime{2026, 12, 3, 9, hour, 30, 15, 250};
  e.preset = preset;
  e.id = id;
  return e;
}

class AlarmListTest : public ::testing::Test {
 protected:
  test::TempHome home;
  std::string path = AlarmList::filePath(home.root());
  RecordingNotifier notifier;
};

TEST_F(AlarmListTest, TheFileHoldsACountAndFortyBytesPerEntry) {
  AlarmList list(notifier);
  list.Add(alarm(0xA1B2C3D4, 8, 7));
  ASSERT_TRUE(list.Save(path));
  const auto bytes = readWholeFile(path);
  ASSERT_TRUE(bytes);
  ASSERT_EQ(bytes->size(), 44u);
  EXPECT_EQ((*bytes)[0], 1);
  EXPECT_EQ((*bytes)[4], 2026 & 0xFF);  // begin year, little endian
  EXPECT_EQ((*bytes)[4 + 8], 7);        // begin hour
  EXPECT_EQ((*bytes)[4 + 16 + 14], 250);  // end milliseconds
  EXPECT_EQ((*bytes)[36], 8);            // preset
  EXPECT_EQ((*bytes)[40], 0xD4);         // id, low byte first
}

TEST_F(AlarmListTest, ThirtyAlarmsSurviveASaveAndALoad) {
  AlarmList list(notifier);
  for (uint32_t i = 0; i < 30; ++i) list.Add(alarm(1000 + i, static_cast<int32_t>(i % 9), i % 24));
  ASSERT_TRUE(list.Save(path));
  AlarmList loaded(notifier);
  ASSERT_TRUE(loaded.Load(path));
  ASSERT_EQ(loaded.Count(), 30u);
  EXPECT_EQ(loaded.Get(29)->id, 1029u);
  EXPECT_EQ(loaded.Get(29)->end, alarm(0, 0, 29 % 24).end);
  EXPECT_TRUE(loaded.Get(0)->registered);
  EXPECT_EQ(loaded.Get(30), nullptr);
}

TEST_F(AlarmListTest, SavingRegistersOnlyNewEntriesInListOrder) {
  AlarmList list(notifier);
  list.Add(alarm(1, 0, 7));
  list.Add(alarm(2, 1, 8));
  list.Add(alarm(3, 2, 9));
  ASSERT_TRUE(list.Save(path));
  EXPECT_EQ(notifier.registered, (std::vector<uint32_t>{1, 2, 3}));

  AlarmList loaded(notifier);
  ASSERT_TRUE(loaded.Load(path));
  ASSERT_TRUE(loaded.Save(path));
  EXPECT_EQ(notifier.registered.size(), 3u);  // nothing registered twice
}

TEST_F(AlarmListTest, RemovingWithdrawsTheAlarmAndClosesTheGap) {
  AlarmList list(notifier);
  list.Add(alarm(1, 0, 7));
  list.Add(alarm(2, 1, 8));
  list.Add(alarm(3, 2, 9));
  EXPECT_FALSE(list.Remove(3));
  EXPECT_TRUE(list.Remove(1));
  EXPECT_EQ(notifier.withdrawn, std::vector<uint32_t>{2});
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(list.Get(1)->id, 3u);
  EXPECT_EQ(list.FindById(3), 1);
  EXPECT_EQ(list.FindById(2), -1);
}

TEST_F(AlarmListTest, ShortAndTruncatedFilesGiveWhatTheyCompletelyHold) {
  AlarmList list(notifier);
  EXPECT_FALSE(list.Load(path));  // no file
  test::writeFile(path, std::string("\x02\x00\x00", 3));
  EXPECT_FALSE(list.Load(path));
  EXPECT_EQ(list.Count(), 0u);

  AlarmList three(notifier);
  for (uint32_t i = 1; i <= 3; ++i) three.Add(alarm(i, 0, 7));
  const auto bytes = three.serialize();
  test::writeFile(path, std::string(bytes.begin(), bytes.end() - 20));  // half of the last entry
  ASSERT_TRUE(list.Load(path));
  EXPECT_EQ(list.Count(), 2u);

  // A count far beyond the bytes never reads past them.
  std::vector<uint8_t> huge = {0xFF, 0xFF, 0xFF, 0xFF};
  huge.insert(huge.end(), bytes.begin() + 4, bytes.begin() + 44);
  test::writeFile(path, std::string(huge.begin(), huge.end()));
  ASSERT_TRUE(list.Load(path));
  EXPECT_EQ(list.Count(), 1u);
}

TEST_F(AlarmListTest, AFailedSaveKeepsTheOldFile) {
  AlarmList list(notifier);
  list.Add(alarm(1, 0, 7));
  ASSERT_TRUE(list.Save(path));
  list.Add(alarm(2, 0, 8));
  EXPECT_FALSE(list.Save(home.path("no/such/folder/Alarms.dat")));
  AlarmList loaded(notifier);
  ASSERT_TRUE(loaded.Load(path));
  EXPECT_EQ(loaded.Count(), 1u);
}

TEST(AlarmList, RandomBytesNeverCrashTheReaderAndReadBackStably) {
  NullAlarmNotifier none;
  std::mt19937 random(42);
  for (int round = 0; round < 20000; ++round) {
    std::vector<uint8_t> data(random() % 300);
    for (auto& b : data) b = static_cast<uint8_t>(random());
    AlarmList list(none);
    const bool ok = list.parse(data.data(), data.size());
    EXPECT_EQ(ok, data.size() >= 4);
    EXPECT_LE(list.Count() * AlarmList::kEntryBytes + 4, std::max<size_t>(data.size(), 4));
    const auto again = list.serialize();
    AlarmList reread(none);
    ASSERT_TRUE(reread.parse(again.data(), again.size()));
    ASSERT_EQ(reread.serialize(), again);
  }
}

TEST(AlarmEntry, ANewEntryIsNowWithTheLowFileTimeBitsAsItsId) {
  const SystemTime now{2026, 12, 3, 9, 6, 41, 7, 123};
  const AlarmEntry e = AlarmEntry::NewEntry(now);
  EXPECT_EQ(e.begin, now);
  EXPECT_EQ(e.end, now);
  EXPECT_EQ(e.preset, 0);
  EXPECT_FALSE(e.registered);
  EXPECT_EQ(e.id, static_cast<uint32_t>(*systemTimeToFileTime(now)));
}

}  // namespace
}  // namespace orvel
