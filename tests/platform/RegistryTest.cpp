#include "platform/Registry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "tests/support/TempHome.h"

namespace orvel {
namespace {

constexpr char16_t kKey[] = u"\\Software\\Orvel\\Radio";

class RegistryTest : public ::testing::Test {
 protected:
  test::TempHome home;
  std::string path = home.path("config/orvel-radio/registry");
  Registry registry{path};
};

TEST_F(RegistryTest, ValuesKeepTypeSizeAndCreationOrderAcrossTheFile) {
  const uint8_t blob[] = {0x00, 0xFF, 0x10};
  const uint8_t unterminated[] = {'a', 0, 'b', 0};  // a REG_SZ without its terminator
  ASSERT_TRUE(registry.setDword(kKey, u"UsePrebuffering", 1));
  ASSERT_TRUE(registry.setString(kKey, u"RecDir", u""));
  ASSERT_TRUE(registry.setString(kKey, u"W240H320", u"/x/\"quoted\" \\ tab\t nl\n é \U0001F3B5"));
  ASSERT_TRUE(registry.setValue(kKey, u"Blob", kRegBinary, blob, sizeof blob));
  ASSERT_TRUE(registry.setValue(kKey, u"Odd", kRegSz, unterminated, sizeof unterminated));
  ASSERT_TRUE(registry.setValue(kKey, u"Short", kRegDword, blob, 2));

  Registry reread(path);  // a second reader sees exactly what the file holds
  const auto values = reread.values(u"Software\\Orvel\\Radio\\");
  ASSERT_EQ(values.size(), 6u);
  EXPECT_EQ(values[0].name, u"UsePrebuffering");
  EXPECT_EQ(values[0].data, (Bytes{1, 0, 0, 0}));
  EXPECT_EQ(values[1].type, kRegSz);
  EXPECT_EQ(values[1].data.size(), 2u);  // an empty text is its terminator alone
  EXPECT_EQ(values[2].data, RegValue::text(u"", u"/x/\"quoted\" \\ tab\t nl\n é \U0001F3B5").data);
  EXPECT_EQ(values[3].data, Bytes(blob, blob + 3));
  EXPECT_EQ(values[4].data, Bytes(unterminated, unterminated + 4));
  EXPECT_EQ(values[5].type, kRegDword);
  EXPECT_EQ(values[5].data.size(), 2u);
}

TEST_F(RegistryTest, NamesMatchWithoutCaseAndKeepTheirFirstSpelling) {
  registry.setDword(kKey, u"FirstTime", 1);
  registry.setDword(u"\\SOFTWARE\\orvel\\RADIO", u"firsttime", 0);
  const auto values = registry.values(kKey);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0].name, u"FirstTime");
  EXPECT_EQ(values[0].data[0], 0);
  EXPECT_EQ(registry.subkeys(u"\\Software\\Orvel"), std::vector<WString>{u"Radio"});
}

TEST_F(RegistryTest, DeletesValuesAndKeys) {
  registry.setString(kKey, u"InstSkin01", u"a");
  registry.setString(kKey, u"InstSkin02", u"b");
  registry.setDword(u"\\Software\\Orvel\\Radio\\VersionInfo", u"WebLinkHide", 1);
  EXPECT_TRUE(registry.deleteValue(kKey, u"InstSkin01"));
  EXPECT_FALSE(registry.deleteValue(kKey, u"InstSkin01"));
  EXPECT_FALSE(registry.queryValue(kKey, u"InstSkin01"));
  EXPECT_TRUE(registry.queryValue(kKey, u"InstSkin02"));
  EXPECT_TRUE(registry.deleteKey(u"\\Software\\Orvel\\Radio\\VersionInfo"));
  EXPECT_FALSE(registry.keyExists(u"\\Software\\Orvel\\Radio\\VersionInfo"));
  EXPECT_TRUE(registry.keyExists(kKey));
  EXPECT_FALSE(registry.queryValue(u"\\No\\Such", u"x"));
}

TEST_F(RegistryTest, ACrashBetweenWriteAndRenameLeavesTheOldFile) {
  registry.setDword(kKey, u"UsePrebuffering", 1);
  const std::string before = test::readFile(path);

  setAtomicWriteCrashBeforeRenameForTest(true);
  EXPECT_FALSE(registry.setDword(kKey, u"UsePrebuffering", 0));
  setAtomicWriteCrashBeforeRenameForTest(false);
  EXPECT_EQ(test::readFile(path), before);
  EXPECT_EQ(registry.queryValue(kKey, u"UsePrebuffering")->data[0], 1);

  // The next write succeeds and sweeps away the half-finished temporary file.
  EXPECT_TRUE(registry.setDword(kKey, u"UsePrebuffering", 0));
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(home.path("config/orvel-radio"))) {
    files += entry.path().filename().string().rfind("registry.tmp", 0) == 0;
  }
  EXPECT_EQ(files, 0);
}

TEST_F(RegistryTest, ProcessesWritingAtOnceLoseNoValue) {
  constexpr int kProcesses = 4;
  constexpr int kValuesEach = 40;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      Registry own(path);
      for (int i = 0; i < kValuesEach; ++i) {
        own.setDword(kKey, fromAscii("P" + std::to_string(p) + "V" + std::to_string(i)), i);
      }
      ::_exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(registry.values(kKey).size(), static_cast<size_t>(kProcesses * kValuesEach));
}

TEST_F(RegistryTest, AFileThatIsNotARegistryIsReadAsEmptyAndKeptAside) {
  test::writeFile(path, std::string("\x7F" "ELF\0\0garbage\n[\\Software]\n", 24));
  EXPECT_FALSE(registry.keyExists(u"\\Software"));
  EXPECT_TRUE(registry.setDword(kKey, u"UsePrebuffering", 1));
  EXPECT_TRUE(std::filesystem::exists(path + ".corrupt"));
  EXPECT_EQ(registry.values(kKey).size(), 1u);
}

TEST_F(RegistryTest, ATruncatedFileKeepsEveryCompleteLine) {
  registry.setDword(kKey, u"UsePrebuffering", 1);
  registry.setString(kKey, u"RecDir", u"SD Card");
  const std::string full = test::readFile(path);
  test::writeFile(path, full.substr(0, full.size() - 5));  // cut inside the last value
  const auto values = registry.values(kKey);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0].name, u"UsePrebuffering");
}

TEST(RegistryTree, MutatedFilesNeverCrashTheReader) {
  RegistryTree tree;
  tree.findOrCreate(kKey)->values = {RegValue::dword(u"A", 7), RegValue::text(u"B\"x", u"\\u00e9"),
                                     RegValue{u"C", kRegBinary, {1, 2, 3}}};
  const std::string text = tree.serialize();
  std::mt19937 random(1234);
  for (int round = 0; round < 20000; ++round) {
    std::string mutated = text;
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits; ++e) {
      const size_t at = random() % mutated.size();
      switch (random() % 3) {
        case 0: mutated[at] = static_cast<char>(random()); break;
        case 1: mutated.erase(at, 1 + random() % 4); break;
        default: mutated.insert(at, 1, "\"\\[]=,:@\n"[random() % 9]); break;
      }
      if (mutated.empty()) mutated = "x";
    }
    RegistryTree parsed;
    size_t skipped = 0;
    if (!parsed.parse(mutated, &skipped)) continue;
    // Whatever was read must survive its own round trip unchanged.
    RegistryTree again;
    ASSERT_TRUE(again.parse(parsed.serialize(), &skipped));
    EXPECT_EQ(skipped, 0u);
    ASSERT_EQ(again.serialize(), parsed.serialize());
  }
}

}  // namespace
}  // namespace orvel
