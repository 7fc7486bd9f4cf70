#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/StorageVolumes.h"

namespace orvel {
namespace {

class TextFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_folder = testing::TempDir() + "/text-file-test";
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder + "/config");
    const char* home = std::getenv("HOME");
    m_home = home != nullptr ? home : "";
    const char* config = std::getenv("XDG_CONFIG_HOME");
    m_hadConfig = config != nullptr;
    if (m_hadConfig) m_config = config;
    setenv("HOME", (m_folder + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (m_folder + "/config").c_str(), 1);
  }
  void TearDown() override {
    setenv("HOME", m_home.c_str(), 1);
    if (m_hadConfig) {
      setenv("XDG_CONFIG_HOME", m_config.c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
    std::filesystem::remove_all(m_folder);
  }
  void writeUserDirs(std::string_view text) {
    ASSERT_TRUE(writeFileAtomically(m_folder + "/config/user-dirs.dirs", text));
  }

  std::string m_folder;
  std::string m_home;
  std::string m_config;
  bool m_hadConfig = false;
};

TEST_F(TextFileTest, LinesLoseTheirEndsWhateverTheStyle) {
  const std::string path = m_folder + "/lines.txt";
  ASSERT_TRUE(writeFileAtomically(path, std::string_view("one\r\ntwo\n\nlast without end")));
  EXPECT_EQ(readTextLines(path), (std::vector<std::string>{"one", "two", "", "last without end"}));
  ASSERT_TRUE(writeFileAtomically(path, std::string_view("")));
  EXPECT_TRUE(readTextLines(path).empty());
  EXPECT_TRUE(readTextLines(m_folder + "/missing.txt").empty());
  EXPECT_TRUE(readTextLines(m_folder).empty());  // a folder is no text file
}

TEST_F(TextFileTest, DocumentsFolderComesFromTheUserDirsFile) {
  const std::string home = m_folder + "/home";
  EXPECT_EQ(StorageVolumes::documentsFolder(), home + "/Documents");  // no file

  writeUserDirs(
      "# written by xdg-user-dirs-update\r\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\r\n"
      "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\r\n");
  EXPECT_EQ(StorageVolumes::documentsFolder(), home + "/Papers");
  EXPECT_EQ(StorageVolumes::documentsFolderInHome(), "Papers");

  writeUserDirs("XDG_DOCUMENTS_DIR=\"/srv/docs\"");
  EXPECT_EQ(StorageVolumes::documentsFolder(), "/srv/docs");

  // Set to the home folder itself, or to something that is no absolute path: the default.
  writeUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/\"\n");
  EXPECT_EQ(StorageVolumes::documentsFolder(), home + "/Documents");
  writeUserDirs("XDG_DOCUMENTS_DIR=\"relative\"\n");
  EXPECT_EQ(StorageVolumes::documentsFolder(), home + "/Documents");
}

}  // namespace
}  // namespace orvel
