#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/AppKeys.h"
#include "platform/Registry.h"
#include "tests/support/TempHome.h"
#include "ui/SettingsStore.h"

namespace orvel {
namespace {

class SettingsStoreTest : public ::testing::Test {
 protected:
  test::TempHome home;
  Registry registry{home.path("config/orvel-radio/registry")};
  SettingsStore store{registry};

  uint32_t number(const char16_t* name) {
    uint32_t value = 12345;
    EXPECT_TRUE(store.GetNumber(name, &value));
    return value;
  }
  WString text(const char16_t* name) {
    WString value = u"unset";
    EXPECT_TRUE(store.GetText(name, &value));
    return value;
  }
};

TEST_F(SettingsStoreTest, AFirstStartGetsTheDefaultsAndWritesAllFiveValues) {
  EXPECT_EQ(number(SettingsStore::kUsePrebuffering), 0u);  // nothing set before Load
  ASSERT_TRUE(store.Load(kRadioKey));
  EXPECT_EQ(number(SettingsStore::kUsePrebuffering), 1u);
  EXPECT_EQ(text(SettingsStore::kRecDir), u"");
  EXPECT_EQ(number(SettingsStore::kFirstTime), 1u);
  EXPECT_EQ(number(SettingsStore::kReconnect), 1u);
  EXPECT_EQ(number(SettingsStore::kNotify), 1u);

  store.SetNumber(SettingsStore::kFirstTime, 0);
  ASSERT_TRUE(store.Save(kRadioKey));
  const auto values = registry.values(kRadioKey);
  ASSERT_EQ(values.size(), 5u);
  EXPECT_EQ(values[0].name, u"UsePrebuffering");
  EXPECT_EQ(values[0].type, kRegDword);
  EXPECT_EQ(values[0].data, (Bytes{1, 0, 0, 0}));
  EXPECT_EQ(values[1].name, u"RecDir");
  EXPECT_EQ(values[1].type, kRegSz);
  EXPECT_EQ(values[1].data, (Bytes{0, 0}));  // the terminator alone
  EXPECT_EQ(values[2].data, (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(values[3].name, u"Reconnect");
  EXPECT_EQ(values[3].type, kRegDword);
  EXPECT_EQ(values[3].data, (Bytes{1, 0, 0, 0}));
  EXPECT_EQ(values[4].name, u"Notify");
  EXPECT_EQ(values[4].type, kRegDword);
  EXPECT_EQ(values[4].data, (Bytes{1, 0, 0, 0}));
}

TEST_F(SettingsStoreTest, ValuesOfTheWrongShapeGiveTheDefault) {
  const uint8_t two[] = {0, 0};
  const uint8_t four[] = {0, 0, 0, 0};
  registry.setValue(kRadioKey, u"UsePrebuffering", kRegBinary, two, 2);
  registry.setValue(kRadioKey, u"FirstTime", kRegBinary, four, 4);  // 4 bytes of any type count
  registry.setDword(kRadioKey, u"RecDir", 7);
  ASSERT_TRUE(store.Load(kRadioKey));
  EXPECT_EQ(number(SettingsStore::kUsePrebuffering), 1u);
  EXPECT_EQ(number(SettingsStore::kFirstTime), 0u);
  EXPECT_EQ(text(SettingsStore::kRecDir), u"");
}

TEST_F(SettingsStoreTest, LongTextIsCutTo259Characters) {
  registry.setString(kRadioKey, u"RecDir", WString(300, u'x'));
  ASSERT_TRUE(store.Load(kRadioKey));
  EXPECT_EQ(text(SettingsStore::kRecDir).size(), 259u);
  store.SetText(SettingsStore::kRecDir, WString(400, u'y'));
  EXPECT_EQ(text(SettingsStore::kRecDir), WString(259, u'y'));
}

TEST_F(SettingsStoreTest, NamesAreTheStoresOwnConstantsOnly) {
  const WString copy = u"RecDir";  // same text, another address
  EXPECT_FALSE(store.SetText(copy.c_str(), u"card"));
  EXPECT_FALSE(store.SetText(SettingsStore::kUsePrebuffering, u"1"));  // not a text setting
  EXPECT_FALSE(store.SetNumber(SettingsStore::kRecDir, 1));
  uint32_t value;
  EXPECT_FALSE(store.GetNumber(SettingsStore::kFirstTime, nullptr));
  const WString firstTime = u"FirstTime";
  EXPECT_FALSE(store.GetNumber(firstTime.c_str(), &value));
  EXPECT_FALSE(store.Load(nullptr));
  EXPECT_FALSE(store.Save(nullptr));
}

TEST_F(SettingsStoreTest, ChangedSettingsReachTheRegistryOnlyAtSave) {
  ASSERT_TRUE(store.Load(kRadioKey));
  store.SetText(SettingsStore::kRecDir, u"SD Card");
  store.SetNumber(SettingsStore::kUsePrebuffering, 0);
  store.SetNumber(SettingsStore::kReconnect, 0);
  EXPECT_FALSE(registry.queryValue(kRadioKey, u"RecDir"));
  store.Save(kRadioKey);
  SettingsStore next(registry);
  ASSERT_TRUE(next.Load(kRadioKey));
  WString recDir;
  uint32_t prebuffering = 9;
  next.GetText(SettingsStore::kRecDir, &recDir);
  next.GetNumber(SettingsStore::kUsePrebuffering, &prebuffering);
  EXPECT_EQ(recDir, u"SD Card");
  EXPECT_EQ(prebuffering, 0u);
  uint32_t reconnect = 9;
  next.GetNumber(SettingsStore::kReconnect, &reconnect);
  EXPECT_EQ(reconnect, 0u);
}

// The player's thread reads the recording folder while the settings dialog may set it: every
// read sees one whole value (ThreadSanitizer builds see any unguarded access).
TEST_F(SettingsStoreTest, TheRecordingFolderCanBeReadWhileTheUiSetsIt) {
  ASSERT_TRUE(store.Load(kRadioKey));
  const WString first(200, u'a'), second(3, u'b');
  std::atomic<bool> done{false};
  std::thread reader([&] {
    WString seen;
    while (!done.load()) {
      store.GetText(SettingsStore::kRecDir, &seen);
      EXPECT_TRUE(seen.empty() || seen == first || seen == second);
    }
  });
  for (int i = 0; i < 20000; ++i) store.SetText(SettingsStore::kRecDir, i % 2 ? second : first);
  done = true;
  reader.join();
}

}  // namespace
}  // namespace orvel
