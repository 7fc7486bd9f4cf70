// orvel-library run as a user would, on a private program directory seeded from the source tree.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "tests/support/TempHome.h"

namespace orvel {
namespace {

struct ToolRun {
  int status;
  std::string out;
};

class LibraryToolTest : public ::testing::Test {
 protected:
  LibraryToolTest() { m_home.setEnv("ORVEL_RADIO_HOME", m_home.path("program")); }

  ToolRun tool(const std::string& arguments) {
    const std::string command = std::string(ORVEL_BIN_DIR) + "/orvel-library " + arguments;
    ToolRun run{-1, {}};
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }

  test::TempHome m_home;
};

TEST_F(LibraryToolTest, ListsTheShippedLibraryAndEmptyPresets) {
  const ToolRun list = tool("list");
  ASSERT_EQ(list.status, 0);
  EXPECT_NE(list.out.find("category Eclectic\n  radio FIP | FIP\n"
                          "    stream https://icecast.radiofrance.fr/fip-midfi.mp3 | 128 | MP3 | "
                          "Radio France, Paris | origin=1 *\n"),
            std::string::npos)
      << list.out;
  EXPECT_NE(list.out.find("| 192 | Ogg Vorbis |"), std::string::npos);
  EXPECT_EQ(list.out.find("origin=0"), std::string::npos);

  const ToolRun presets = tool("presets");
  ASSERT_EQ(presets.status, 0);
  EXPECT_EQ(presets.out,
            "1: (empty)\n2: (empty)\n3: (empty)\n4: (empty)\n5: (empty)\n6: (empty)\n"
            "7: (empty)\n8: (empty)\n9: (empty)\n");
  EXPECT_TRUE(std::filesystem::exists(m_home.path("program/Radios/presets.rrd")))
      << "closed as clean-up does";
}

TEST_F(LibraryToolTest, ImportsIntoMyRadiosAndKeepsThemAcrossRuns) {
  const std::string playlist = m_home.path("station.pls");
  test::writeFile(playlist,
                  "[playlist]\r\nnumberofentries=1\r\nFile1=http://127.0.0.1:9/live\r\n"
                  "Title1=Test Station\r\nLength1=-1\r\n");
  const ToolRun imported = tool(playlist);
  EXPECT_EQ(imported.status, 2) << "no command given";
  const ToolRun import = tool("import " + playlist);
  ASSERT_EQ(import.status, 0);
  EXPECT_EQ(import.out, "imported\n");

  const ToolRun list = tool("list");
  EXPECT_NE(list.out.find("category My Radios\n  radio Test Station | \n"
                          "    stream http://127.0.0.1:9/live |  |  |  | origin=0 *\n"),
            std::string::npos)
      << list.out;

  test::writeFile(m_home.path("bad.m3u"), "");
  const ToolRun bad = tool("import " + m_home.path("bad.m3u"));
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.out, "Cannot load playlist! It has unsupported format.\n");
}

TEST_F(LibraryToolTest, TheShippedLibraryIsMadeFromItsStationList) {
  const std::string made = m_home.path("default.rrd");
  const std::string source = std::string(ORVEL_SOURCE_DIR) + "/resources/Radios/";
  ASSERT_EQ(tool("generate " + source + "default-stations.txt " + made).status, 0);
  EXPECT_EQ(test::readFile(made), test::readFile(source + "default.rrd"))
      << "run: orvel-library generate resources/Radios/default-stations.txt "
         "resources/Radios/default.rrd";
}

}  // namespace
}  // namespace orvel
