#include "platform/ProgramDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/AppKeys.h"
#include "platform/Registry.h"
#include "tests/support/TempHome.h"

namespace fs = std::filesystem;

namespace orvel {
namespace {

TEST(ProgramDirectory, EnvironmentNamesTheFolder) {
  test::TempHome home;
  EXPECT_EQ(ProgramDirectory::location(), home.dataHome() + "/orvel-radio");
  home.setEnv("XDG_DATA_HOME", std::nullopt);
  EXPECT_EQ(ProgramDirectory::location(), home.root() + "/.local/share/orvel-radio");
  home.setEnv("ORVEL_RADIO_HOME", home.path("mine"));
  EXPECT_EQ(ProgramDirectory::location(), home.path("mine"));
}

TEST(ProgramDirectory, FirstUseSeedsTheShippedDataOnceAndRegistersTheVgaSkins) {
  test::TempHome home;
  const std::string shipped = home.path("shipped");
  test::writeFile(shipped + "/Radios/default.rrd", "library");
  test::writeFile(shipped + "/Skins/ov_default/default.rs", "skin");
  test::writeFile(shipped + "/Skins/ov_default_vga/vga.rs", "skin");
  test::writeFile(shipped + "/Skins/ov_default_vga_land/vga_land.rs", "skin");
  test::writeFile(shipped + "/Skins/other/other.rs", "not a default skin");
  Registry registry(home.path("config/registry"));
  const std::string dir = home.path("data/orvel-radio");

  ASSERT_TRUE(ProgramDirectory::seed(dir, shipped, registry));
  EXPECT_EQ(test::readFile(dir + "/Radios/default.rrd"), "library");
  EXPECT_TRUE(fs::exists(dir + "/Skins/ov_default/default.rs"));
  EXPECT_FALSE(fs::exists(dir + "/Skins/other"));
  const auto inst1 = registry.queryValue(kRadioKey, u"InstSkin01");
  ASSERT_TRUE(inst1);
  EXPECT_EQ(inst1->data, RegValue::text(u"", fromAscii(dir + "/Skins/ov_default_vga/vga.rs")).data);
  EXPECT_TRUE(registry.queryValue(kRadioKey, u"InstSkin02"));

  // An existing folder is never seeded again, even when things were deleted from it.
  fs::remove_all(dir + "/Skins/ov_default");
  registry.deleteValue(kRadioKey, u"InstSkin01");
  home.setEnv("ORVEL_RADIO_HOME", dir);
  EXPECT_EQ(ProgramDirectory::ensure(registry), dir);
  EXPECT_FALSE(fs::exists(dir + "/Skins/ov_default"));
  EXPECT_FALSE(registry.queryValue(kRadioKey, u"InstSkin01"));
}

TEST(ProgramDirectory, MissingShippedDataStillGivesAnEmptyFolder) {
  test::TempHome home;
  Registry registry(home.path("config/registry"));
  home.setEnv("ORVEL_RADIO_HOME", home.path("fresh"));
  EXPECT_FALSE(ProgramDirectory::seed(home.path("x/y"), "/nonexistent\n", registry) &&
               fs::exists(home.path("x/y/Radios/default.rrd")));
  EXPECT_EQ(ProgramDirectory::ensure(registry), home.path("fresh"));
  EXPECT_TRUE(fs::is_directory(home.path("fresh")));
}

}  // namespace
}  // namespace orvel
