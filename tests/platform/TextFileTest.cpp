#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/StorageVolumes.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

// A private home (HOME and XDG_CONFIG_HOME in a fresh folder) for each test.
class TextFileTest : public ::testing::Test {
 protected:
  void writeUserDirs(std::string_view text) {
    ASSERT_TRUE(writeFileAtomically(m_home.configHome() + "/user-dirs.dirs", text));
  }

  test::TempHome m_home;
  const std::string m_folder = m_home.root();
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
  const std::string home = m_home.root();
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
